// Any bytes as a song file: loaded, scanned at three speeds, merged with and without the
// instrument switch, listed, as the window does with what the user opens, chased to its
// middle, as a jump there would, and its loop and words found.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "instruments/channel_voices.h"
#include "playback/chase.h"
#include "playback/loop_points.h"
#include "playback/lyrics.h"
#include "playback/position.h"
#include "playback/track_merger.h"
#include "smf/song_info.h"

namespace {

SongImage image;
ChannelVoiceTable voices;

const std::string& song_path() {
    static const std::string path = [] {
        char name[] = "/tmp/lumaroth-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        std::FILE* file = fdopen(fd, "wb");
        std::fclose(file);
        return std::string(name);
    }();
    return path;
}

std::size_t touch(const char* const* lines, int count) {
    std::size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += std::strlen(lines[i]);
    return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kSongImageSize + 1) return 0;  // one byte over is still worth a refusal
    std::FILE* file = std::fopen(song_path().c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    if (!load_song_file(song_path().c_str(), image)) return 0;

    for (double factor : {0.5, 1.0, 1.5}) {
        SongInfo info = scan_song_info(view_of(image), factor);
        touch(info.lines, 5);
    }
    merge_tracks(image, voices, VoiceOverride{0, 0, 0}, 1.0);
    touch(format_instrument_listing(voices).lines, kListedLines);
    VoiceOverride switched{1, size > 0 ? data[0] & 15 : 0, size > 1 ? data[1] & 127 : 0};
    merge_tracks(image, voices, switched, 0.5);
    touch(format_instrument_listing(voices).lines, kListedLines);
    // A jump's chase into the middle of whatever the Timeline holds.
    static ChaseList chase;
    chase_messages(song_timeline, first_event_at(song_length_ms() / 2), chase);
    LoopPoints loop = find_loop_points();
    if (loop.start_index >= 0 &&
        (loop.start_index >= loop.end_index || loop.end_ms <= loop.start_ms))
        std::abort();
    static SongLyrics lyrics;
    read_song_lyrics(lyrics);
    int sung = 0;
    lyric_line_at(lyrics, song_length_ms() / 2, sung);
    return 0;
}
