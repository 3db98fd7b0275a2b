// The ALSA sequencer's ports as MIDI outputs: every port that takes subscriptions
// (hardware, Qsynth, TiMidity, other programs).
//
// Threads: a SeqSink is opened and destroyed on the window's thread while no timer runs;
// between the two, the timer's thread sends through it (and the window's thread only
// when the timer is stopped: a pause, a jump). ALSA's sequencer handle is not shared with
// anything else, and each send is one call; the encoder is used by one send at a time.
#pragma once

#include <alsa/asoundlib.h>

#include <string>
#include <vector>

#include "platform/linux/midi_sink.h"
#include "platform/win32.h"

struct SeqPort {
    int client;
    int port;
    std::string name;  // "client:port client name:port name", UTF-8
};

// What a port is, whatever numbers the sequencer gave it this time: its client's and its
// own name.
std::string seq_port_identity(const SeqPort& port);

// The ports now; none on a machine without a sequencer (no /dev/snd/seq).
std::vector<SeqPort> list_seq_ports();

// A short message as a sequencer event (ALSA's own MIDI encoder reads it, made with room
// for a message's bytes), addressed by the caller; false for a message that is no channel
// message.
bool seq_event_from_short(snd_midi_event_t* encoder, DWORD message, snd_seq_event_t& event);
// A system-exclusive message, F0 to F7 as given, as a sequencer event that points at it.
void seq_event_from_sysex(const unsigned char* bytes, std::size_t size, snd_seq_event_t& event);

// One port opened for output: a port of our own connected to it, and each event sent
// straight to it, so that a port that is gone (a device unplugged) fails the send. It
// plays every message at once: a due time is of no use to it.
class SeqSink : public MidiSink {
  public:
    SeqSink() = default;
    ~SeqSink() override;

    bool open(const SeqPort& target, std::string& error);
    MMRESULT send_short(DWORD message, DueTime) override;
    MMRESULT send_long(const unsigned char* bytes, std::size_t size, DueTime) override;

  private:
    MMRESULT send(snd_seq_event_t& event);

    snd_seq_t* sequencer_ = nullptr;
    snd_midi_event_t* encoder_ = nullptr;
    int own_port_ = -1;
    snd_seq_addr_t target_ = {};
};
