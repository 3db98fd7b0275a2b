// What the channel window shows of a song before it plays: each channel as the song sets
// it before its first note (bank, program, volume, expression, pan), the instrument switch
// applied as the Timeline was built with it.
#pragma once

#include "playback/timeline.h"

// Main thread, while stopped: the channel records anew; a channel the song sends nothing
// on is not in use.
void record_song_start(const Timeline& timeline);
