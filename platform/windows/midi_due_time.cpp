// Windows' MIDI devices play each message as it is sent: a due time is of no use to them.
#include "platform/win32.h"

MMRESULT midiOutSetDueTime(HMIDIOUT, DWORD, UINT) {
    return MMSYSERR_NOTSUPPORTED;
}
