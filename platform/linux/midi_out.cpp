// The midiOut* functions on Linux: a thin adapter from each open handle to its sink.
// Device 0, which the mapper opens too, is the embedded synthesizer (synth_sink.h);
// devices 1 and up are the ALSA sequencer's ports as midiOutGetNumDevs last listed them
// (seq_sink.h).
//
// One rule for every call: a handle that is not open is refused with
// MMSYSERR_INVALHANDLE and never touched. Threads: the open handle is kept under one
// lock, held through each call, so a close on the window's thread never frees a sink
// that the timer's thread is sending through; a due time is the calling thread's own, for
// its next message; the sinks' headers say the rest.
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/linux/midi_errors.h"
#include "platform/linux/seq_sink.h"
#include "platform/synth/synth_sink.h"
#include "platform/win32.h"

namespace {

constexpr char kSynthName[] = "FluidSynth";

// The sequencer's ports as midiOutGetNumDevs last counted them: device i + 1 is port i.
std::mutex device_lock;
std::vector<SeqPort> listed_ports;
bool ports_listed = false;

std::vector<SeqPort> seq_ports(bool list_again) {
    std::lock_guard<std::mutex> guard(device_lock);
    if (list_again || !ports_listed) listed_ports = list_seq_ports();
    ports_listed = true;
    return listed_ports;
}

std::unique_ptr<MidiSink> open_seq_sink(const SeqPort& target, MMRESULT& result,
                                        std::string& error) {
    auto sink = std::make_unique<SeqSink>();
    result = sink->open(target, error) ? MMSYSERR_NOERROR : MIDIERR_NODEVICE;
    if (result != MMSYSERR_NOERROR) error = target.name + ": " + error;
    return result == MMSYSERR_NOERROR ? std::move(sink) : nullptr;
}

// The one output that may be open (the synthesizer is one), and its handle.
std::mutex output_lock;
std::unique_ptr<MidiSink> open_sink;

// The sink of an open handle, or nullptr; only under output_lock.
MidiSink* sink_of(HMIDIOUT handle) {
    MidiSink* sink = open_sink.get();
    return handle != nullptr && reinterpret_cast<MidiSink*>(handle) == sink ? sink : nullptr;
}

// The due time midiOutSetDueTime gave this thread's next message, taken by the send.
thread_local DueTime next_due;

DueTime take_due() {
    DueTime due = next_due;
    next_due.reset();
    return due;
}

// A header's bytes, when the header is one the program may send.
MMRESULT check_header(LPMIDIHDR header, UINT size) {
    if (header == nullptr || size < sizeof(MIDIHDR) || header->lpData == nullptr)
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT midiOutGetNumDevs() {
    return static_cast<UINT>(1 + seq_ports(true).size());
}

MMRESULT midiOutGetDevCapsA(UINT_PTR device, LPMIDIOUTCAPSA caps, UINT size) {
    std::vector<SeqPort> ports = seq_ports(false);
    if (device == MIDI_MAPPER) device = 0;  // the mapper plays on the synthesizer
    if (device > ports.size()) return MMSYSERR_BADDEVICEID;
    if (caps == nullptr || size < sizeof *caps) return MMSYSERR_INVALPARAM;
    std::memset(caps, 0, sizeof *caps);
    caps->wTechnology = device == 0 ? MOD_SWSYNTH : MOD_MIDIPORT;
    caps->wChannelMask = 0xFFFF;
    caps->dwSupport = device == 0 ? MIDICAPS_VOLUME : 0;
    // The name as the program holds texts, cut at a character to what MIDIOUTCAPSA holds.
    copy_cp932_text(file_name_for_program(device == 0 ? kSynthName : ports[device - 1].name),
                    caps->szPname, sizeof caps->szPname);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(LPHMIDIOUT handle, UINT device, DWORD_PTR, DWORD_PTR, DWORD) {
    std::lock_guard<std::mutex> guard(output_lock);
    remember_open_failure("");
    std::vector<SeqPort> ports = seq_ports(false);
    if (handle == nullptr) return MMSYSERR_INVALPARAM;
    if (device != MIDI_MAPPER && device > ports.size()) return MMSYSERR_BADDEVICEID;
    if (open_sink != nullptr) return MIDIERR_NODEVICE;
    MMRESULT result = MMSYSERR_NOERROR;
    std::string error;
    open_sink = device != MIDI_MAPPER && device > 0
                    ? open_seq_sink(ports[device - 1], result, error)
                    : open_synth_sink(result, error);
    if (open_sink == nullptr) {
        std::fprintf(stderr, "lumaroth: MIDI output: %s\n", error.c_str());
        remember_open_failure(error);
        return result;
    }
    *handle = reinterpret_cast<HMIDIOUT>(open_sink.get());
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutSetDueTime(HMIDIOUT handle, DWORD time, UINT micros) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = sink_of(handle);
    if (sink == nullptr) return MMSYSERR_INVALHANDLE;
    if (!sink->schedules()) return MMSYSERR_NOTSUPPORTED;
    if (micros > 999) return MMSYSERR_INVALPARAM;
    next_due = DuePoint{time, micros};
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) {
    std::lock_guard<std::mutex> guard(output_lock);
    DueTime due = take_due();
    MidiSink* sink = sink_of(handle);
    return sink != nullptr ? sink->send_short(message, due) : MMSYSERR_INVALHANDLE;
}

MMRESULT midiOutPrepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (sink_of(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    if (MMRESULT fault = check_header(header, size)) return fault;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutLongMsg(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    std::lock_guard<std::mutex> guard(output_lock);
    DueTime due = take_due();
    MidiSink* sink = sink_of(handle);
    if (sink == nullptr) return MMSYSERR_INVALHANDLE;
    if (MMRESULT fault = check_header(header, size)) return fault;
    if ((header->dwFlags & MHDR_PREPARED) == 0) return MIDIERR_UNPREPARED;
    return sink->send_long(reinterpret_cast<const unsigned char*>(header->lpData),
                           header->dwBufferLength, due);
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (sink_of(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    if (MMRESULT fault = check_header(header, size)) return fault;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutCachePatches(HMIDIOUT handle, UINT bank, LPWORD patches, UINT) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = sink_of(handle);
    if (sink == nullptr) return MMSYSERR_INVALHANDLE;
    if (patches == nullptr) return MMSYSERR_INVALPARAM;
    return sink->cache_patches(bank, patches);
}

MMRESULT midiOutCacheDrumPatches(HMIDIOUT handle, UINT patch, LPWORD keys, UINT) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = sink_of(handle);
    if (sink == nullptr) return MMSYSERR_INVALHANDLE;
    if (keys == nullptr || patch > 127) return MMSYSERR_INVALPARAM;
    return sink->cache_drum_patches(patch, keys);
}

MMRESULT midiOutSetVolume(HMIDIOUT handle, DWORD volume) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = sink_of(handle);
    return sink != nullptr ? sink->set_volume(volume) : MMSYSERR_INVALHANDLE;
}

MMRESULT midiOutClose(HMIDIOUT handle) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (sink_of(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    open_sink.reset();  // the sink ends its output
    return MMSYSERR_NOERROR;
}
