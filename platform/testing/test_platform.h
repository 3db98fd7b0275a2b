// What tests link instead of the real MIDI output, timer and message posting: a
// recording MIDI output, a clock and timer the test drives, and a log of posted messages.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/synth_effects.h"
#include "platform/win32.h"

enum class MidiCall {
    Open,
    ShortMsg,
    PrepareHeader,
    LongMsg,
    UnprepareHeader,
    Close,
    CachePatches,      // message: the bank; bytes: the programs asked for
    CacheDrumPatches,  // message: the kit; bytes: the keys asked for
    SetVolume,         // message: the volume
};

struct MidiRecord {
    MidiCall call;
    DWORD message;                     // ShortMsg; Open: the device id
    std::vector<unsigned char> bytes;  // LongMsg
    MIDIHDR* header;                   // the *Header calls and LongMsg
    // ShortMsg and LongMsg: the due time it was sent with, in microseconds
    std::optional<std::uint64_t> due_us = {};
};

// The recording MIDI output; safe to use from the timer thread.
struct RecordingMidiOut {
    std::mutex lock;
    std::vector<MidiRecord> records;
    MMRESULT open_result = MMSYSERR_NOERROR;
    MMRESULT prepare_result = MMSYSERR_NOERROR;
    MMRESULT long_result = MMSYSERR_NOERROR;
    MMRESULT unprepare_result = MMSYSERR_NOERROR;
    MMRESULT short_result = MMSYSERR_NOERROR;
    std::vector<std::string> device_names;      // Shift-JIS, as midiOutGetDevCapsA names them
    DWORD device_support = 0;                   // their dwSupport, MIDICAPS_VOLUME say
    std::string error_text = "no device here";  // midiOutGetErrorTextA's for any error
    int open_outputs = 0;

    void reset();
    std::vector<MidiRecord> copy();
    int count(MidiCall call);
    std::vector<DWORD> short_messages();
};
extern RecordingMidiOut recording_midi_out;

// The clock and the periodic timer, moved only by the test.
struct DrivenTimer {
    DWORD now = 0;
    MMRESULT caps_result = TIMERR_NOERROR;
    TIMECAPS caps = {1, 1000000};
    bool refuse_timer = false;
    LPTIMECALLBACK callback = nullptr;
    UINT running_id = 0;
    UINT last_id = 0;
    UINT delay = 0;
    UINT flags = 0;                   // timeSetEvent's last
    bool tick_during_create = false;  // a first tick before timeSetEvent returns
    int ticks = 0;
    std::vector<UINT> begun_periods;
    std::vector<UINT> ended_periods;

    void reset();
    // Sets the clock to ms and runs one tick of the running timer.
    void tick_at(DWORD ms);
};
extern DrivenTimer driven_timer;

// PostMessageA's log.
struct PostedMessages {
    std::mutex lock;
    std::vector<MSG> messages;

    void reset();
    std::size_t count();
};
extern PostedMessages posted_messages;

// The SoundFont choice, where the system has one: the file in use, whether the next
// chosen one loads, and every one the program chose; and the effects set last.
struct ScriptedSoundFont {
    std::string in_use = "/usr/share/sounds/sf2/default-GM.sf2";
    bool loads = true;
    std::vector<std::string> chosen;
    SynthEffects effects = SynthEffects::kStandard;

    void reset();
};
extern ScriptedSoundFont scripted_sound_font;
