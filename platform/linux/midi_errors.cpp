#include "platform/linux/midi_errors.h"

#include <mutex>

#include "platform/cp932.h"
#include "platform/win32.h"

namespace {

std::mutex reason_lock;
std::string last_reason;

const char* what_error_means(MMRESULT error) {
    switch (error) {
        case MMSYSERR_BADDEVICEID:
            return "no such MIDI output";
        case MMSYSERR_INVALHANDLE:
            return "the MIDI output is not open";
        case MIDIERR_NOTREADY:
            return "the MIDI output is busy";
        case MIDIERR_NODEVICE:
            return "the MIDI output is not there";
        case MIDIERR_INVALIDSETUP:
            return "the MIDI output is not set up";
        default:
            return "the MIDI output failed";
    }
}

}  // namespace

void remember_open_failure(const std::string& reason) {
    std::lock_guard<std::mutex> guard(reason_lock);
    last_reason = reason;
}

// The program's texts are Shift-JIS; the reason is cut at a character to the buffer.
MMRESULT midiOutGetErrorTextA(MMRESULT error, LPSTR text, UINT size) {
    if (text == nullptr || size == 0) return MMSYSERR_INVALPARAM;
    std::string reason;
    {
        std::lock_guard<std::mutex> guard(reason_lock);
        reason = last_reason.empty() ? what_error_means(error) : last_reason;
    }
    copy_cp932_text(file_name_for_program(reason), text, size);
    return MMSYSERR_NOERROR;
}
