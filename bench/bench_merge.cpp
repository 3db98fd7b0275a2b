// Load and merge (with the timeline build) of the largest corpus song under 64 KiB and
// of a generated worst case filling the whole image. Prints figures; judges nothing.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "playback/track_merger.h"
#include "tests/corpus_files.h"

namespace {

SongImage song;
ChannelVoiceTable voices;

std::string largest_corpus_song() {
    std::string best;
    long best_size = -1;
    for (const std::string& path : corpus_files(LUMAROTH_CORPUS_DIR)) {
        struct stat info;
        if (path.substr(path.size() - 4) != ".mid" || stat(path.c_str(), &info) != 0) continue;
        if (info.st_size <= 65536 && info.st_size > best_size) {
            best = path;
            best_size = info.st_size;
        }
    }
    return best;
}

// 65,536 bytes: 32 tracks of program changes under running status (two bytes each, the
// smallest events there are), as many as fit.
std::string worst_case_song() {
    std::vector<unsigned char> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 32, 0, 96};
    const std::size_t track_bytes = (65536 - bytes.size()) / 32 - 8;  // less the chunk header
    for (int t = 0; t < 32; ++t) {
        std::vector<unsigned char> data = {0, static_cast<unsigned char>(0xC0 + t % 16), 0};
        for (int i = 1; data.size() + 2 + 4 <= track_bytes; ++i) {
            data.push_back(static_cast<unsigned char>(i % 3));  // deltas of 0, 1 and 2 ticks
            data.push_back(static_cast<unsigned char>(i % 128));
        }
        data.insert(data.end(), {0, 0xFF, 0x2F, 0});
        std::uint32_t n = static_cast<std::uint32_t>(data.size());
        bytes.insert(bytes.end(),
                     {'M', 'T', 'r', 'k', static_cast<unsigned char>(n >> 24),
                      static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 8),
                      static_cast<unsigned char>(n)});
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    bytes.resize(65536, 0);
    std::string path = "/tmp/lumaroth-bench-worst-case.mid";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

void load_and_merge(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        if (!load_song_file(path.c_str(), song)) {
            state.SkipWithError("cannot load");
            return;
        }
        merge_tracks(song, voices, {0, 0, 0}, 1.0);
        benchmark::DoNotOptimize(song_timeline.event_count);
    }
    state.counters["events"] = song_timeline.event_count - 10;
}

}  // namespace

int main(int argc, char** argv) {
    std::string largest = largest_corpus_song();
    std::string worst = worst_case_song();
    benchmark::RegisterBenchmark("LoadAndMerge/largest_corpus_song", load_and_merge, largest)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadAndMerge/worst_case_65536_bytes_32_tracks", load_and_merge,
                                 worst)
        ->Unit(benchmark::kMillisecond);
    std::printf("largest corpus song: %s\n", largest.c_str());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
