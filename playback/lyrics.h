// The song's words as lines of syllables, each syllable at its event's time: its lyric
// events, or else, for a karaoke file (text events that begin with "@"), its text events
// with the karaoke marks: "@T" and "@I" headers are title lines, "/" begins a new line,
// "\" a new paragraph (a line break inside a lyric does the same as "/"). The bytes stay
// as the song has them; the words are UTF-8 when every byte of them reads as UTF-8 and
// some are not ASCII, else Shift-JIS.
#pragma once

#include <cstdint>

constexpr int kLyricSyllables = 4096;
constexpr int kLyricLines = 2048;

struct LyricSyllable {
    std::uint32_t time_ms;  // on the playback clock
    std::uint32_t offset;   // of its bytes in song_texts.bytes, the marks left out
    std::uint32_t length;
};

struct LyricLine {
    int first;  // its first syllable
    int count;  // 0: the blank line between paragraphs
    bool title;
};

struct SongLyrics {
    LyricSyllable syllables[kLyricSyllables];
    int syllable_count;
    LyricLine lines[kLyricLines];
    int line_count;
    bool utf8;
};

// From the song's texts (song_texts.h) and the Timeline's times.
void read_song_lyrics(SongLyrics& out);
// The line being sung at song_ms (-1 before the first), and how many of its syllables
// have come.
int lyric_line_at(const SongLyrics& lyrics, std::uint32_t song_ms, int& sung);
