// The chase: the state the song has built up before a point, reduced per channel to a
// short list of messages, so that playing on from the point sounds as playing from the
// start would (every instrument, controller, parameter, bend and pressure in place).
//
// It assumes the output's channels were reset just before (controllers 120, 121 and 123
// on each), as a jump does; it then sets what that reset leaves wrong: the song's
// system-exclusive messages, in their order, then each channel's bank and program,
// controllers, registered and non-registered parameters, pitch bend and pressure. What
// the song sets only after the point and a reset does not undo (volume, pan, effects,
// program, the registered parameters) goes back to General MIDI's defaults, so that a
// jump back leaves nothing of the later song behind. Notes are never restarted.
#pragma once

#include <cstdint>

#include "playback/timeline.h"

struct ChaseMessage {
    unsigned char status;  // 0xF0: the song's sysex in slot `sysex` of the Timeline
    unsigned char data1;
    unsigned char data2;
    std::int16_t sysex;
};

// Every sysex slot, then per channel: two banks, a program, every controller, 16
// parameters of four messages, two selections of two, bend and pressure.
constexpr int kChaseLimit = kSysexSlots + 16 * (5 + 128 + 16 * 4 + 4 + 2);

struct ChaseList {
    ChaseMessage messages[kChaseLimit];
    int count;
};

// The chase of the state the events before up_to_index leave (events at and after it
// are the song that plays on); reads the whole Timeline to know what the song sets later.
void chase_messages(const Timeline& timeline, int up_to_index, ChaseList& out);
