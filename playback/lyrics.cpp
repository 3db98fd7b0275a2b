#include "playback/lyrics.h"

#include <cstring>

#include "playback/song_texts.h"
#include "playback/timeline.h"
#include "playback/track_merger.h"

namespace {

constexpr int kNoTrack = -1;

struct Reader {
    SongLyrics& out;
    bool line_open;
    int words_track;  // a karaoke file's, whose text events are its words; else kNoTrack
};

// The track each syllable came from.
unsigned char syllable_tracks[kLyricSyllables];

void end_line(Reader& reader) {
    reader.line_open = false;
}

void add_line(Reader& reader, bool title) {
    SongLyrics& out = reader.out;
    if (out.line_count >= kLyricLines) return;
    out.lines[out.line_count++] = {out.syllable_count, 0, title};
    reader.line_open = !title;
}

// The same syllable at the same time from another track: a song that writes its words on
// several tracks shows them once.
bool said_already(const SongLyrics& out, std::uint32_t time, std::uint32_t offset,
                  std::uint32_t length, unsigned char track) {
    for (int s = out.syllable_count - 1; s >= 0 && out.syllables[s].time_ms == time; --s) {
        const LyricSyllable& other = out.syllables[s];
        if (syllable_tracks[s] != track && other.length == length &&
            std::memcmp(song_texts.bytes + other.offset, song_texts.bytes + offset, length) == 0)
            return true;
    }
    return false;
}

void add_syllable(Reader& reader, std::uint32_t time, std::uint32_t offset, std::uint32_t length,
                  bool title, unsigned char track) {
    SongLyrics& out = reader.out;
    if (length == 0 || out.syllable_count >= kLyricSyllables ||
        said_already(out, time, offset, length, track))
        return;
    if (title || !reader.line_open) add_line(reader, title);
    if (out.line_count == 0) return;
    syllable_tracks[out.syllable_count] = track;
    out.syllables[out.syllable_count++] = {time, offset, length};
    ++out.lines[out.line_count - 1].count;
}

bool is_break(char c) {
    return c == '\r' || c == '\n';
}

// C0 controls and DEL never reach the window or a terminal: they part a syllable, and a
// line break in it ends its line as "/" does.
bool is_control(char c) {
    return (c >= 0 && c < 0x20) || c == 0x7F;
}

// One text: its marks, then its syllable.
void read_text(Reader& reader, const SongText& text, bool karaoke) {
    const char* bytes = song_texts.bytes + text.offset;
    std::uint32_t start = 0, end = text.length;
    auto time = static_cast<std::uint32_t>(song_timeline.event_times[text.index]);
    unsigned char track = merged_event_tracks[text.index];
    if (karaoke && end > 0 && bytes[0] == '@') {
        bool title = end > 1 && (bytes[1] == 'T' || bytes[1] == 'I');
        if (title) add_syllable(reader, time, text.offset + 2, end - 2, true, track);
        return;
    }
    if (reader.words_track != kNoTrack && track != reader.words_track) return;
    if (start < end && bytes[start] == '\\') {
        if (reader.out.line_count > 0) {  // a paragraph's first words make no blank line
            add_line(reader, false);
            reader.out.lines[reader.out.line_count - 1].count = 0;  // the blank line
        }
        end_line(reader);
        ++start;
    } else if (start < end && bytes[start] == '/') {
        end_line(reader);
        ++start;
    }
    std::uint32_t piece = start;
    for (std::uint32_t i = start; i <= end; ++i) {
        if (i < end && !is_control(bytes[i])) continue;
        add_syllable(reader, time, text.offset + piece, i - piece, false, track);
        if (i < end && is_break(bytes[i])) end_line(reader);
        piece = i + 1;
    }
}

// A karaoke file's words track: the one whose text events carry the most line marks
// ("/", "\\"), else the most words.
int words_track() {
    int marks[kMergedTrackLimit] = {}, words[kMergedTrackLimit] = {};
    for (int i = 0; i < song_texts.count; ++i) {
        const SongText& text = song_texts.texts[i];
        char first = text.length > 0 ? song_texts.bytes[text.offset] : '\0';
        int track = merged_event_tracks[text.index];
        if (text.type != kTextEvent || first == '@' || track >= kMergedTrackLimit) continue;
        ++words[track];
        marks[track] += first == '/' || first == '\\';
    }
    int best = 0;
    for (int t = 1; t < kMergedTrackLimit; ++t)
        if (marks[t] > marks[best] || (marks[t] == marks[best] && words[t] > words[best])) best = t;
    return best;
}

// Whether the bytes read as UTF-8, with some not ASCII.
bool reads_as_utf8(const SongLyrics& lyrics) {
    bool wide = false;
    for (int s = 0; s < lyrics.syllable_count; ++s) {
        const auto* p =
            reinterpret_cast<const unsigned char*>(song_texts.bytes) + lyrics.syllables[s].offset;
        const unsigned char* end = p + lyrics.syllables[s].length;
        while (p < end) {
            int follow = *p < 0x80             ? 0
                         : (*p & 0xE0) == 0xC0 ? 1
                         : (*p & 0xF0) == 0xE0 ? 2
                         : (*p & 0xF8) == 0xF0 ? 3
                                               : -1;
            if (follow < 0 || (follow == 1 && *p < 0xC2) || end - p <= follow) return false;
            for (int k = 1; k <= follow; ++k)
                if ((p[k] & 0xC0) != 0x80) return false;
            wide = wide || follow > 0;
            p += follow + 1;
        }
    }
    return wide;
}

}  // namespace

void read_song_lyrics(SongLyrics& out) {
    out.syllable_count = 0;
    out.line_count = 0;
    bool lyric_events = false, karaoke = false;
    for (int i = 0; i < song_texts.count; ++i) {
        const SongText& text = song_texts.texts[i];
        lyric_events = lyric_events || text.type == kLyricEvent;
        karaoke = karaoke || (text.type == kTextEvent && text.length > 0 &&
                              song_texts.bytes[text.offset] == '@');
    }
    unsigned char words = lyric_events ? kLyricEvent : karaoke ? kTextEvent : 0;
    Reader reader = {out, false, karaoke && !lyric_events ? words_track() : kNoTrack};
    for (int i = 0; i < song_texts.count && words != 0; ++i)
        if (song_texts.texts[i].type == words) read_text(reader, song_texts.texts[i], karaoke);
    out.utf8 = reads_as_utf8(out);
}

int lyric_line_at(const SongLyrics& lyrics, std::uint32_t song_ms, int& sung) {
    int line = -1;
    for (int l = 0; l < lyrics.line_count; ++l) {
        const LyricLine& each = lyrics.lines[l];
        if (each.count > 0 && !each.title && lyrics.syllables[each.first].time_ms <= song_ms)
            line = l;
    }
    sung = 0;
    if (line < 0) return -1;
    const LyricLine& current = lyrics.lines[line];
    while (sung < current.count && lyrics.syllables[current.first + sung].time_ms <= song_ms)
        ++sung;
    return line;
}
