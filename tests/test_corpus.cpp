// Every public test song: loaded or refused, then scanned, merged and built without a
// read outside a buffer (the sanitizer build checks that), a hang or a crash.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playback/track_merger.h"
#include "smf/song_info.h"
#include "tests/corpus_files.h"

namespace {

long file_size(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

SongImage song;
ChannelVoiceTable voices;

}  // namespace

TEST(Corpus, EverySongLoadsOrIsRefusedAndMergesToAnOrderedTimeline) {
    std::vector<std::string> files = corpus_files(LUMAROTH_CORPUS_DIR);
    ASSERT_GT(files.size(), 300u) << "the corpus is beside the project: " << LUMAROTH_CORPUS_DIR;
    int refused = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        long size = file_size(path);
        int loaded = load_song_file(path.c_str(), song);
        ASSERT_EQ(size <= 65536 ? 1 : 0, loaded);
        if (!loaded) {
            ++refused;
            continue;
        }
        for (double factor : {0.5, 1.0, 1.5})
            scan_song_info(view_of(song), factor);
        if (!is_smf_header(view_of(song))) continue;
        merge_tracks(song, voices, {1, 9, 0}, 1.0);
        ASSERT_GE(song_timeline.event_count, 10);
        ASSERT_LE(song_timeline.event_count, kTimelineEvents + 10);
        for (int i = 1; i < kTimelineEvents; ++i)
            ASSERT_LE(song_timeline.event_times[i - 1], song_timeline.event_times[i]) << i;
        format_instrument_listing(voices);
    }
    EXPECT_GT(refused, 0) << "the corpus holds songs over 64 KiB";
}
