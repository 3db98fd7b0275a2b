// The one addition of the platform's own to WINMM, on both systems (Windows has no such
// call). Only platform/win32.h includes it, after the types it builds on.
#pragma once

// The next short or long message the calling thread sends on output is due at time on the
// playback clock (timeGetTime's milliseconds), plus micros (0 to 999) microseconds. An
// output that can schedule plays it then, plus one fixed latency, in the order sent; a
// message sent without a due time plays at once, after every message sent before it.
// MMSYSERR_NOTSUPPORTED where the output plays every message at once (Windows' devices,
// the ALSA sequencer's ports).
MMRESULT midiOutSetDueTime(HMIDIOUT output, DWORD time, UINT micros);
