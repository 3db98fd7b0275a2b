// The midiOut* functions on Windows: device 0 is the embedded synthesizer
// (platform/synth/synth_sink.h), devices 1 and up are Windows' own devices 0 and up, and
// MIDI_MAPPER is Windows' mapper. The program's calls reach these through the import
// table (route_import.h); Windows' devices are reached through WINMM's own functions.
//
// One rule for the synthesizer's handle, as on Linux: the open handle is kept under one
// lock, held through each call, so a close on the window's thread never frees the sink
// that the timer's thread is sending through; a due time is the calling thread's own, for
// its next message. Any other handle is Windows' to judge.
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/cp932.h"
#include "platform/synth/synth_sink.h"
#include "platform/windows/program_text.h"
#include "platform/windows/route_import.h"
#include "platform/windows/winmm_calls.h"

namespace {

constexpr char kSynthName[] = "内蔵シンセサイザー (FluidSynth)";

std::mutex output_lock;
std::unique_ptr<MidiSink> synth_sink;
// Why the synthesizer could not start, as the program holds texts; "" after an open that
// did not fail for it.
std::string open_failure;

thread_local DueTime next_due;

DueTime take_due() {
    DueTime due = next_due;
    next_due.reset();
    return due;
}

// The synthesizer's sink when handle is its handle; only under output_lock.
MidiSink* synth_of(HMIDIOUT handle) {
    MidiSink* sink = synth_sink.get();
    return handle != nullptr && reinterpret_cast<MidiSink*>(handle) == sink ? sink : nullptr;
}

bool is_valid_header(LPMIDIHDR header, UINT size) {
    return header != nullptr && size >= sizeof(MIDIHDR) && header->lpData != nullptr;
}

UINT WINAPI device_count() {
    return 1 + winmm().get_num_devs();
}

// Names through the wide API: a device named in any language shows as it is named,
// whatever the system's code page.
MMRESULT WINAPI device_caps(UINT_PTR device, LPMIDIOUTCAPSA caps, UINT size) {
    if (caps == nullptr || size < sizeof *caps) return MMSYSERR_INVALPARAM;
    if (device == 0) {
        std::memset(caps, 0, sizeof *caps);
        caps->wTechnology = MOD_SWSYNTH;
        caps->wChannelMask = 0xFFFF;
        caps->dwSupport = MIDICAPS_VOLUME;
        copy_cp932_text(kSynthName, caps->szPname, sizeof caps->szPname);
        return MMSYSERR_NOERROR;
    }
    MIDIOUTCAPSW wide = {};
    MMRESULT result =
        midiOutGetDevCapsW(device == MIDI_MAPPER ? device : device - 1, &wide, sizeof wide);
    if (result != MMSYSERR_NOERROR) return result;
    std::memset(caps, 0, sizeof *caps);
    caps->wMid = wide.wMid;
    caps->wPid = wide.wPid;
    caps->vDriverVersion = wide.vDriverVersion;
    copy_cp932_text(program_from_wide(wide.szPname, wcsnlen(wide.szPname, MAXPNAMELEN)),
                    caps->szPname, sizeof caps->szPname);
    caps->wTechnology = wide.wTechnology;
    caps->wVoices = wide.wVoices;
    caps->wNotes = wide.wNotes;
    caps->wChannelMask = wide.wChannelMask;
    caps->dwSupport = wide.dwSupport;
    return MMSYSERR_NOERROR;
}

// The synthesizer's own reason, else the system's text in its own language, whatever the
// code page.
MMRESULT WINAPI error_text(MMRESULT error, LPSTR text, UINT size) {
    if (text == nullptr || size == 0) return MMSYSERR_INVALPARAM;
    {
        std::lock_guard<std::mutex> guard(output_lock);
        if (!open_failure.empty()) {
            copy_cp932_text(open_failure, text, size);
            return MMSYSERR_NOERROR;
        }
    }
    wchar_t wide[MAXERRORLENGTH] = {};
    MMRESULT result = midiOutGetErrorTextW(error, wide, MAXERRORLENGTH);
    if (result != MMSYSERR_NOERROR) return result;
    copy_cp932_text(program_from_wide(wide, wcsnlen(wide, MAXERRORLENGTH)), text, size);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI open_output(LPHMIDIOUT handle, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                            DWORD flags) {
    std::lock_guard<std::mutex> guard(output_lock);
    open_failure.clear();
    if (handle == nullptr) return MMSYSERR_INVALPARAM;
    if (device != 0)
        return winmm().open(handle, device == MIDI_MAPPER ? device : device - 1, callback, instance,
                            flags);
    if (synth_sink != nullptr) return MIDIERR_NODEVICE;
    MMRESULT result = MMSYSERR_NOERROR;
    std::string error;
    synth_sink = open_synth_sink(result, error);
    if (synth_sink == nullptr) {
        open_failure = file_name_for_program(error);
        return result;
    }
    *handle = reinterpret_cast<HMIDIOUT>(synth_sink.get());
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI short_message(HMIDIOUT handle, DWORD message) {
    std::lock_guard<std::mutex> guard(output_lock);
    DueTime due = take_due();
    MidiSink* sink = synth_of(handle);
    return sink != nullptr ? sink->send_short(message, due) : winmm().short_msg(handle, message);
}

MMRESULT WINAPI prepare_header(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (synth_of(handle) == nullptr) return winmm().prepare_header(handle, header, size);
    if (!is_valid_header(header, size)) return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI long_message(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    std::lock_guard<std::mutex> guard(output_lock);
    DueTime due = take_due();
    MidiSink* sink = synth_of(handle);
    if (sink == nullptr) return winmm().long_msg(handle, header, size);
    if (!is_valid_header(header, size)) return MMSYSERR_INVALPARAM;
    if ((header->dwFlags & MHDR_PREPARED) == 0) return MIDIERR_UNPREPARED;
    return sink->send_long(reinterpret_cast<const unsigned char*>(header->lpData),
                           header->dwBufferLength, due);
}

MMRESULT WINAPI unprepare_header(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (synth_of(handle) == nullptr) return winmm().unprepare_header(handle, header, size);
    if (!is_valid_header(header, size)) return MMSYSERR_INVALPARAM;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI cache_patches(HMIDIOUT handle, UINT bank, LPWORD patches, UINT flags) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = synth_of(handle);
    if (sink == nullptr) return winmm().cache_patches(handle, bank, patches, flags);
    return patches != nullptr ? sink->cache_patches(bank, patches) : MMSYSERR_INVALPARAM;
}

MMRESULT WINAPI cache_drum_patches(HMIDIOUT handle, UINT patch, LPWORD keys, UINT flags) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = synth_of(handle);
    if (sink == nullptr) return winmm().cache_drum_patches(handle, patch, keys, flags);
    if (keys == nullptr || patch > 127) return MMSYSERR_INVALPARAM;
    return sink->cache_drum_patches(patch, keys);
}

MMRESULT WINAPI set_volume(HMIDIOUT handle, DWORD volume) {
    std::lock_guard<std::mutex> guard(output_lock);
    MidiSink* sink = synth_of(handle);
    return sink != nullptr ? sink->set_volume(volume) : winmm().set_volume(handle, volume);
}

MMRESULT WINAPI close_output(HMIDIOUT handle) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (synth_of(handle) == nullptr) return winmm().close(handle);
    synth_sink.reset();  // the sink ends its output
    return MMSYSERR_NOERROR;
}

}  // namespace

// Windows' devices play each message as it is sent: a due time is of no use to them.
MMRESULT midiOutSetDueTime(HMIDIOUT handle, DWORD time, UINT micros) {
    std::lock_guard<std::mutex> guard(output_lock);
    if (synth_of(handle) == nullptr) return MMSYSERR_NOTSUPPORTED;
    if (micros > 999) return MMSYSERR_INVALPARAM;
    next_due = DuePoint{time, micros};
    return MMSYSERR_NOERROR;
}

ROUTE_IMPORT(midiOutGetNumDevs, device_count)
ROUTE_IMPORT(midiOutGetDevCapsA, device_caps)
ROUTE_IMPORT(midiOutGetErrorTextA, error_text)
ROUTE_IMPORT(midiOutOpen, open_output)
ROUTE_IMPORT(midiOutShortMsg, short_message)
ROUTE_IMPORT(midiOutPrepareHeader, prepare_header)
ROUTE_IMPORT(midiOutLongMsg, long_message)
ROUTE_IMPORT(midiOutUnprepareHeader, unprepare_header)
ROUTE_IMPORT(midiOutCachePatches, cache_patches)
ROUTE_IMPORT(midiOutCacheDrumPatches, cache_drum_patches)
ROUTE_IMPORT(midiOutSetVolume, set_volume)
ROUTE_IMPORT(midiOutClose, close_output)
