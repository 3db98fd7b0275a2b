// Small songs built in the tests, byte by byte, so a reader sees exactly what is fed in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "smf/song_image.h"

using Bytes = std::vector<unsigned char>;

// "00 90 3C 40" -> the bytes; spaces are ignored.
Bytes hex(const std::string& text);
Bytes operator+(Bytes a, const Bytes& b);
Bytes& operator+=(Bytes& a, const Bytes& b);
Bytes smf_header(int format, int tracks, int division);
// An "MTrk" chunk around the events, with their length.
Bytes track(const Bytes& events);
Bytes meta(unsigned char type, const std::string& text);
Bytes set_tempo(std::uint32_t microseconds);
// A whole song: the header and the tracks, each ended by 00 FF 2F 00.
Bytes song_of(int format, int division, const std::vector<Bytes>& tracks_events);

// A format 0 song at one tick a millisecond (division 1000, a tempo of 1 s a beat set at
// its start), so that an event's delta is its milliseconds; the first event plays at 5 ms.
Bytes ms_song(const Bytes& events);

// Puts the bytes at the start of a zeroed image, as a successful load would.
void put_song(SongImage& image, const Bytes& bytes);

// A file in a fresh temporary folder, removed with it at exit.
std::string write_temp_file(const std::string& name, const Bytes& bytes);
std::string temp_dir();
