#include "platform/linux/seq_sink.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr char kSequencerDevice[] = "/dev/snd/seq";
constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr std::size_t kEncoderBytes = 16;  // the encoder keeps a message's bytes as it reads

// ALSA names the reason of a failure by its negative errno.
std::string alsa_reason(int result) {
    return snd_strerror(result);
}

}  // namespace

std::vector<SeqPort> list_seq_ports() {
    std::vector<SeqPort> ports;
    // Without the device ALSA's open would only print its own complaint.
    if (access(kSequencerDevice, R_OK | W_OK) != 0) return ports;
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) return ports;
    int self = snd_seq_client_id(sequencer);
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(sequencer, client) >= 0) {
        int id = snd_seq_client_info_get_client(client);
        if (id == self) continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(sequencer, port) >= 0) {
            if ((snd_seq_port_info_get_capability(port) & kWritable) != kWritable) continue;
            if ((snd_seq_port_info_get_type(port) & SND_SEQ_PORT_TYPE_MIDI_GENERIC) == 0) continue;
            int number = snd_seq_port_info_get_port(port);
            char address[32];
            std::snprintf(address, sizeof address, "%d:%d ", id, number);
            ports.push_back({id, number,
                             address + std::string(snd_seq_client_info_get_name(client)) + ":" +
                                 snd_seq_port_info_get_name(port)});
        }
    }
    snd_seq_close(sequencer);
    return ports;
}

bool seq_event_from_short(snd_midi_event_t* encoder, DWORD message, snd_seq_event_t& event) {
    snd_seq_ev_clear(&event);
    unsigned char bytes[3] = {static_cast<unsigned char>(message & 0xFF),
                              static_cast<unsigned char>((message >> 8) & 0x7F),
                              static_cast<unsigned char>((message >> 16) & 0x7F)};
    if (bytes[0] < 0x80 || bytes[0] >= 0xF0) return false;
    // Program change and channel pressure carry one data byte, the others two.
    long size = (bytes[0] & 0xE0) == 0xC0 ? 2 : 3;
    snd_midi_event_reset_encode(encoder);
    long used = snd_midi_event_encode(encoder, bytes, size, &event);
    return used == size && event.type != SND_SEQ_EVENT_NONE;
}

void seq_event_from_sysex(const unsigned char* bytes, std::size_t size, snd_seq_event_t& event) {
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_sysex(&event, static_cast<unsigned>(size), const_cast<unsigned char*>(bytes));
}

std::string seq_port_identity(const SeqPort& port) {
    std::size_t blank = port.name.find(' ');
    return blank == std::string::npos ? port.name : port.name.substr(blank + 1);
}

SeqSink::~SeqSink() {
    if (sequencer_ != nullptr) snd_seq_close(sequencer_);
    if (encoder_ != nullptr) snd_midi_event_free(encoder_);
}

bool SeqSink::open(const SeqPort& target, std::string& error) {
    if (snd_midi_event_new(kEncoderBytes, &encoder_) < 0) {
        encoder_ = nullptr;
        error = "out of memory";
        return false;
    }
    int result = snd_seq_open(&sequencer_, "default", SND_SEQ_OPEN_OUTPUT, 0);
    if (result < 0) {
        sequencer_ = nullptr;
        error = "no ALSA sequencer (" + alsa_reason(result) + ")";
        return false;
    }
    snd_seq_set_client_name(sequencer_, "Lumaroth");
    own_port_ = snd_seq_create_simple_port(
        sequencer_, "Lumaroth output", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    result = own_port_ < 0 ? own_port_
                           : snd_seq_connect_to(sequencer_, own_port_, target.client, target.port);
    if (result < 0) {
        error = "cannot connect to " + target.name + " (" + alsa_reason(result) + ")";
        return false;
    }
    target_.client = static_cast<unsigned char>(target.client);
    target_.port = static_cast<unsigned char>(target.port);
    return true;
}

MMRESULT SeqSink::send(snd_seq_event_t& event) {
    snd_seq_ev_set_source(&event, own_port_);
    snd_seq_ev_set_dest(&event, target_.client, target_.port);
    snd_seq_ev_set_direct(&event);
    return snd_seq_event_output_direct(sequencer_, &event) < 0 ? MIDIERR_NODEVICE
                                                               : MMSYSERR_NOERROR;
}

MMRESULT SeqSink::send_short(DWORD message, DueTime) {
    snd_seq_event_t event;
    if (!seq_event_from_short(encoder_, message, event)) return MMSYSERR_INVALPARAM;
    return send(event);
}

MMRESULT SeqSink::send_long(const unsigned char* bytes, std::size_t size, DueTime) {
    snd_seq_event_t event;
    seq_event_from_sysex(bytes, size, event);
    return send(event);
}
