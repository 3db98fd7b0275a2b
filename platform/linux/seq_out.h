// The ALSA sequencer's ports as MIDI outputs: every port that takes subscriptions
// (hardware, Qsynth, TiMidity, other programs), named as `aplaymidi -l` lists them.
#pragma once

#include <alsa/asoundlib.h>

#include <string>
#include <vector>

#include "platform/win32.h"

struct SeqPort {
    int client;
    int port;
    std::string name;  // "client:port port name", UTF-8
};

// The ports now; none on a machine without a sequencer (no /dev/snd/seq).
std::vector<SeqPort> list_seq_ports();

// A short message as a sequencer event, addressed by the caller; false for a message
// that is no channel message.
bool seq_event_from_short(DWORD message, snd_seq_event_t& event);
// A system-exclusive message, F0 to F7 as given, as a sequencer event that points at it.
void seq_event_from_sysex(const unsigned char* bytes, std::size_t size, snd_seq_event_t& event);

// One port opened for output: a port of our own connected to it, and each event sent
// straight to it, so that a port that is gone (a device unplugged) fails the send.
class SeqOutput {
  public:
    SeqOutput() = default;
    ~SeqOutput();
    SeqOutput(const SeqOutput&) = delete;
    SeqOutput& operator=(const SeqOutput&) = delete;

    bool open(const SeqPort& target, std::string& error);
    MMRESULT send_short(DWORD message);
    MMRESULT send_sysex(const unsigned char* bytes, std::size_t size);

  private:
    MMRESULT send(snd_seq_event_t& event);

    snd_seq_t* sequencer_ = nullptr;
    int own_port_ = -1;
    snd_seq_addr_t target_ = {};
};
