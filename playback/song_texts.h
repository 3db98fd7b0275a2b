// The song's words and marks: its text, lyric and marker meta events, each with the index
// of its event on the Timeline (and so its time), kept when the Timeline is built. The
// loop points read the markers; the words are the texts and lyrics.
//
// Threads: written only by the Timeline's build (main thread, nothing playing); read by
// the main thread.
#pragma once

#include <cstdint>

constexpr unsigned char kTextEvent = 0x01;
constexpr unsigned char kLyricEvent = 0x05;
constexpr unsigned char kMarkerEvent = 0x06;
constexpr int kSongTextLimit = 4096;
constexpr std::uint32_t kSongTextBytes = 65536;  // the song's own size bounds its texts

struct SongText {
    std::int32_t index;    // the event's on the Timeline
    unsigned char type;    // kTextEvent, kLyricEvent or kMarkerEvent
    std::uint32_t offset;  // of its bytes in SongTexts::bytes
    std::uint32_t length;
};

struct SongTexts {
    SongText texts[kSongTextLimit];
    int count;
    char bytes[kSongTextBytes];
    std::uint32_t used;
    std::uint32_t builds;  // counts the Timeline's builds: the texts' times may have moved
};

extern SongTexts song_texts;

void clear_song_texts();
// Keeps one meta event's text when it is a kind kept and there is room (else drops it).
void keep_song_text(int index, unsigned char type, const unsigned char* bytes,
                    std::uint32_t length);
// Whether text (length bytes) is word, ASCII letters compared without regard to case.
bool text_is(const char* text, std::uint32_t length, const char* word);
