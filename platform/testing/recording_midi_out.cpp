#include <cstring>

#include "platform/testing/test_double.h"
#include "platform/testing/test_platform.h"

RecordingMidiOut recording_midi_out;

namespace {

HMIDIOUT const kRecordingHandle = reinterpret_cast<HMIDIOUT>(0x4D4F);

// What midiOutSetDueTime said for this thread's next message.
thread_local std::optional<std::uint64_t> next_due;

MMRESULT record(MidiCall call, DWORD message, MIDIHDR* header, MMRESULT result) {
    std::lock_guard<std::mutex> guard(recording_midi_out.lock);
    MidiRecord entry{call, message, {}, header};
    if (call == MidiCall::ShortMsg || call == MidiCall::LongMsg) {
        entry.due_us = next_due;
        next_due.reset();
    }
    if (call == MidiCall::LongMsg && header != nullptr)
        entry.bytes.assign(header->lpData, header->lpData + header->dwBufferLength);
    recording_midi_out.records.push_back(entry);
    return result;
}

}  // namespace

void RecordingMidiOut::reset() {
    std::lock_guard<std::mutex> guard(lock);
    records.clear();
    open_result = prepare_result = long_result = unprepare_result = short_result = MMSYSERR_NOERROR;
    device_names.clear();
    open_outputs = 0;
}

std::vector<MidiRecord> RecordingMidiOut::copy() {
    std::lock_guard<std::mutex> guard(lock);
    return records;
}

int RecordingMidiOut::count(MidiCall call) {
    int n = 0;
    for (const MidiRecord& r : copy())
        n += r.call == call;
    return n;
}

std::vector<DWORD> RecordingMidiOut::short_messages() {
    std::vector<DWORD> messages;
    for (const MidiRecord& r : copy()) {
        if (r.call == MidiCall::ShortMsg) messages.push_back(r.message);
    }
    return messages;
}

UINT TEST_DOUBLE(midiOutGetNumDevs)() {
    std::lock_guard<std::mutex> guard(recording_midi_out.lock);
    return static_cast<UINT>(recording_midi_out.device_names.size());
}

MMRESULT TEST_DOUBLE(midiOutGetDevCapsA)(UINT_PTR device, LPMIDIOUTCAPSA caps, UINT size) {
    std::lock_guard<std::mutex> guard(recording_midi_out.lock);
    // The mapper's are those of the first device, as when it maps to that one.
    std::size_t index = device == MIDI_MAPPER ? 0 : device;
    if (index >= recording_midi_out.device_names.size()) return MMSYSERR_BADDEVICEID;
    if (caps == nullptr || size < sizeof *caps) return MMSYSERR_INVALPARAM;
    std::memset(caps, 0, sizeof *caps);
    const std::string& name = recording_midi_out.device_names[index];
    name.copy(caps->szPname, sizeof caps->szPname - 1);
    caps->dwSupport = recording_midi_out.device_support;
    return MMSYSERR_NOERROR;
}

MMRESULT TEST_DOUBLE(midiOutGetErrorTextA)(MMRESULT, LPSTR text, UINT size) {
    std::lock_guard<std::mutex> guard(recording_midi_out.lock);
    if (text == nullptr || size == 0) return MMSYSERR_INVALPARAM;
    text[recording_midi_out.error_text.copy(text, size - 1)] = '\0';
    return MMSYSERR_NOERROR;
}

MMRESULT TEST_DOUBLE(midiOutOpen)(LPHMIDIOUT output, UINT device, DWORD_PTR, DWORD_PTR, DWORD) {
    MMRESULT result = record(MidiCall::Open, device, nullptr, recording_midi_out.open_result);
    if (result == MMSYSERR_NOERROR) {
        std::lock_guard<std::mutex> guard(recording_midi_out.lock);
        ++recording_midi_out.open_outputs;
        *output = kRecordingHandle;
    }
    return result;
}

// The program's own call on both systems: no import to route.
MMRESULT midiOutSetDueTime(HMIDIOUT, DWORD time, UINT micros) {
    next_due = std::uint64_t{time} * 1000 + micros;
    return MMSYSERR_NOERROR;
}

MMRESULT TEST_DOUBLE(midiOutShortMsg)(HMIDIOUT, DWORD message) {
    return record(MidiCall::ShortMsg, message, nullptr, recording_midi_out.short_result);
}

MMRESULT TEST_DOUBLE(midiOutPrepareHeader)(HMIDIOUT, LPMIDIHDR header, UINT) {
    return record(MidiCall::PrepareHeader, 0, header, recording_midi_out.prepare_result);
}

MMRESULT TEST_DOUBLE(midiOutLongMsg)(HMIDIOUT, LPMIDIHDR header, UINT) {
    return record(MidiCall::LongMsg, 0, header, recording_midi_out.long_result);
}

MMRESULT TEST_DOUBLE(midiOutUnprepareHeader)(HMIDIOUT, LPMIDIHDR header, UINT) {
    return record(MidiCall::UnprepareHeader, 0, header, recording_midi_out.unprepare_result);
}

namespace {

MMRESULT record_cache(MidiCall call, UINT bank_or_kit, const WORD* entries) {
    std::lock_guard<std::mutex> guard(recording_midi_out.lock);
    MidiRecord entry{call, bank_or_kit, {}, nullptr};
    for (int i = 0; i < 128; ++i) {
        if (entries[i] != 0) entry.bytes.push_back(static_cast<unsigned char>(i));
    }
    recording_midi_out.records.push_back(entry);
    return MMSYSERR_NOERROR;
}

}  // namespace

MMRESULT TEST_DOUBLE(midiOutCachePatches)(HMIDIOUT, UINT bank, LPWORD patches, UINT) {
    return record_cache(MidiCall::CachePatches, bank, patches);
}

MMRESULT TEST_DOUBLE(midiOutCacheDrumPatches)(HMIDIOUT, UINT patch, LPWORD keys, UINT) {
    return record_cache(MidiCall::CacheDrumPatches, patch, keys);
}

MMRESULT TEST_DOUBLE(midiOutSetVolume)(HMIDIOUT, DWORD volume) {
    return record(MidiCall::SetVolume, volume, nullptr, MMSYSERR_NOERROR);
}

MMRESULT TEST_DOUBLE(midiOutClose)(HMIDIOUT) {
    MMRESULT result = record(MidiCall::Close, 0, nullptr, MMSYSERR_NOERROR);
    std::lock_guard<std::mutex> guard(recording_midi_out.lock);
    --recording_midi_out.open_outputs;
    return result;
}

ROUTE_TO_DOUBLE(midiOutGetNumDevs)
ROUTE_TO_DOUBLE(midiOutGetDevCapsA)
ROUTE_TO_DOUBLE(midiOutGetErrorTextA)
ROUTE_TO_DOUBLE(midiOutOpen)
ROUTE_TO_DOUBLE(midiOutShortMsg)
ROUTE_TO_DOUBLE(midiOutPrepareHeader)
ROUTE_TO_DOUBLE(midiOutLongMsg)
ROUTE_TO_DOUBLE(midiOutUnprepareHeader)
ROUTE_TO_DOUBLE(midiOutCachePatches)
ROUTE_TO_DOUBLE(midiOutCacheDrumPatches)
ROUTE_TO_DOUBLE(midiOutSetVolume)
ROUTE_TO_DOUBLE(midiOutClose)
