// The ALSA sequencer's ports as MIDI outputs: every port that takes subscriptions
// (hardware, Qsynth, TiMidity, other programs).
//
// Threads: a SeqSink is opened and destroyed on the window's thread while no timer runs;
// between the two, the timer's thread sends through it, and the window's thread when it
// mutes or sets the volume; the MIDI output's lock lets one send in at a time. ALSA's
// sequencer handle is not shared with anything else; the encoder is used by one send at a
// time.
#pragma once

#include <alsa/asoundlib.h>

#include <string>
#include <vector>

#include "platform/synth/midi_sink.h"
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

// The time on a queue whose zero is queue_zero_ns on the playback clock at which a message
// plays: kOutputLatencyMs after at_ns (its due time, on the playback clock), never before
// the queue's zero.
snd_seq_real_time_t seq_queue_time(std::int64_t at_ns, std::int64_t queue_zero_ns);

// One port opened for output: a port of our own connected to it, and an ALSA queue of our
// own that plays each message kOutputLatencyMs after its due time, as the embedded
// synthesizer does. A message without a due time plays at once, after every message sent
// before it. A port that is gone (a device unplugged) fails the send; the close waits
// until the queue has played what was sent.
class SeqSink : public MidiSink {
  public:
    SeqSink() = default;
    ~SeqSink() override;

    bool open(const SeqPort& target, std::string& error);
    bool schedules() const override { return true; }
    MMRESULT send_short(DWORD message, DueTime due) override;
    MMRESULT send_long(const unsigned char* bytes, std::size_t size, DueTime due) override;

  private:
    MMRESULT send(snd_seq_event_t& event, DueTime due);
    bool start_queue(std::string& error);

    snd_seq_t* sequencer_ = nullptr;
    snd_midi_event_t* encoder_ = nullptr;
    int own_port_ = -1;
    int queue_ = -1;
    std::int64_t queue_zero_ns_ = 0;  // the queue's zero on the playback clock
    std::int64_t latest_ns_ = 0;      // the latest time a message sent so far plays at
    snd_seq_addr_t target_ = {};
};
