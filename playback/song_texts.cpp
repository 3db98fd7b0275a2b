#include "playback/song_texts.h"

#include <cstring>

SongTexts song_texts;

void clear_song_texts() {
    song_texts.count = 0;
    song_texts.used = 0;
    ++song_texts.builds;
}

void keep_song_text(int index, unsigned char type, const unsigned char* bytes,
                    std::uint32_t length) {
    if (type != kTextEvent && type != kLyricEvent && type != kMarkerEvent) return;
    if (song_texts.count >= kSongTextLimit || length > kSongTextBytes - song_texts.used) return;
    std::memcpy(song_texts.bytes + song_texts.used, bytes, length);
    song_texts.texts[song_texts.count++] = {index, type, song_texts.used, length};
    song_texts.used += length;
}

bool text_is(const char* text, std::uint32_t length, const char* word) {
    if (length != std::strlen(word)) return false;
    for (std::uint32_t i = 0; i < length; ++i) {
        char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
        char b = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] + 32) : word[i];
        if (a != b) return false;
    }
    return true;
}
