#include "platform/linux/seq_sink.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/synth/realtime.h"

namespace {

constexpr char kSequencerDevice[] = "/dev/snd/seq";
constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr std::size_t kEncoderBytes = 16;  // the encoder keeps a message's bytes as it reads
constexpr std::int64_t kNsPerSecond = 1000000000;
// The longest a close waits for the queue to play what was sent: the latest message is
// due at most kOutputLatencyMs and a tick's lead ahead.
constexpr int kDrainMs = 200;
constexpr std::size_t kPoolEvents = 2000;  // the most the kernel gives a client

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

snd_seq_real_time_t seq_queue_time(std::int64_t at_ns, std::int64_t queue_zero_ns) {
    std::int64_t ns = std::max<std::int64_t>(0, at_ns + kOutputLatencyMs * 1000000 - queue_zero_ns);
    return snd_seq_real_time_t{static_cast<unsigned>(ns / kNsPerSecond),
                               static_cast<unsigned>(ns % kNsPerSecond)};
}

std::string seq_port_identity(const SeqPort& port) {
    std::size_t blank = port.name.find(' ');
    return blank == std::string::npos ? port.name : port.name.substr(blank + 1);
}

SeqSink::~SeqSink() {
    // Closing the client drops what its queue still holds: the stop's notes off, say.
    snd_seq_queue_status_t* status;
    snd_seq_queue_status_alloca(&status);
    for (int waited = 0; queue_ >= 0 && waited < kDrainMs &&
                         snd_seq_get_queue_status(sequencer_, queue_, status) == 0 &&
                         snd_seq_queue_status_get_events(status) > 0;
         ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
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
    // Room for a jump's chase at once: a send blocks only when the pool is full.
    snd_seq_set_client_pool_output(sequencer_, kPoolEvents);
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
    return start_queue(error);
}

// The queue's zero on the playback clock, from its own time read just after its start.
bool SeqSink::start_queue(std::string& error) {
    queue_ = snd_seq_alloc_named_queue(sequencer_, "Lumaroth");
    int result = queue_ < 0 ? queue_ : snd_seq_start_queue(sequencer_, queue_, nullptr);
    if (result >= 0) result = snd_seq_drain_output(sequencer_);
    snd_seq_queue_status_t* status;
    snd_seq_queue_status_alloca(&status);
    if (result >= 0) result = snd_seq_get_queue_status(sequencer_, queue_, status);
    if (result < 0) {
        error = "no ALSA sequencer queue (" + alsa_reason(result) + ")";
        return false;
    }
    const snd_seq_real_time_t* time = snd_seq_queue_status_get_real_time(status);
    queue_zero_ns_ = monotonic_ns() - (std::int64_t{time->tv_sec} * kNsPerSecond + time->tv_nsec);
    return true;
}

// A queued message reaches the port only when it plays: whether the port is still there is
// asked at each send, so that an unplugged device fails it as before.
MMRESULT SeqSink::send(snd_seq_event_t& event, DueTime due) {
    snd_seq_port_info_t* port;
    snd_seq_port_info_alloca(&port);
    if (snd_seq_get_any_port_info(sequencer_, target_.client, target_.port, port) < 0)
        return MIDIERR_NODEVICE;
    std::int64_t now = monotonic_ns();
    std::int64_t at =
        due ? due_point_ns(*due, now) : std::max(now - kOutputLatencyMs * 1000000, latest_ns_);
    latest_ns_ = std::max(latest_ns_, at);
    snd_seq_real_time_t time = seq_queue_time(at, queue_zero_ns_);
    snd_seq_ev_set_source(&event, own_port_);
    snd_seq_ev_set_dest(&event, target_.client, target_.port);
    snd_seq_ev_schedule_real(&event, queue_, 0, &time);
    return snd_seq_event_output_direct(sequencer_, &event) < 0 ? MIDIERR_NODEVICE
                                                               : MMSYSERR_NOERROR;
}

MMRESULT SeqSink::send_short(DWORD message, DueTime due) {
    snd_seq_event_t event;
    if (!seq_event_from_short(encoder_, message, event)) return MMSYSERR_INVALPARAM;
    return send(event, due);
}

MMRESULT SeqSink::send_long(const unsigned char* bytes, std::size_t size, DueTime due) {
    snd_seq_event_t event;
    seq_event_from_sysex(bytes, size, event);
    return send(event, due);
}
