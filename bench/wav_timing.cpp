// Timing in rendered WAV files, for comparing players: writes the click-track song and
// its ideal hit times, finds onsets against them, and finds the first sound.
//   wav_timing click SONG.mid TIMES.txt
//   wav_timing onsets OUT.wav TIMES.txt   -> found expected offset_ms spread_ms
//   wav_timing list OUT.wav               -> its onsets, one a line (a TIMES.txt)
//   wav_timing first OUT.wav              -> first_sound_ms duration_ms
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/click_track.h"

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: wav_timing click SONG.mid TIMES.txt | onsets OUT.wav TIMES.txt | list OUT.wav | "
        "first OUT.wav\n");
    return 64;
}

// The first sample louder than 1/100 of full scale, and the file's length.
int first_sound(const std::string& wav) {
    int rate = 0;
    std::vector<std::int16_t> samples = read_wav(wav, rate);
    if (rate == 0) return 1;
    std::size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < 328)
        ++first;
    std::printf("%.1f %.1f\n", 1000.0 * static_cast<double>(first / 2) / rate,
                1000.0 * static_cast<double>(samples.size() / 2) / rate);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string command = argv[1];
    if (command == "click" && argc == 4) {
        ClickTrack click = make_click_track(40);
        std::ofstream(argv[2], std::ios::binary)
            .write(reinterpret_cast<const char*>(click.song.data()),
                   static_cast<std::streamsize>(click.song.size()));
        std::ofstream times(argv[3]);
        for (double ms : click.ideal_ms)
            times << ms << "\n";
        return 0;
    }
    if (command == "onsets" && argc == 4) {
        std::vector<double> ideal;
        std::ifstream times(argv[3]);
        for (double ms; times >> ms;)
            ideal.push_back(ms);
        int rate = 0;
        std::vector<std::int16_t> samples = read_wav(argv[2], rate);
        if (rate == 0) return 1;
        std::vector<double> onsets = detect_onsets(samples, rate);
        if (onsets.size() != ideal.size()) {
            std::printf("%zu %zu - -\n", onsets.size(), ideal.size());
            return 0;
        }
        OnsetErrors errors = compare_onsets(onsets, ideal);
        std::printf("%zu %zu %.1f %.1f\n", onsets.size(), ideal.size(), errors.offset_ms,
                    errors.spread_ms);
        return 0;
    }
    if (command == "first" && argc == 3) return first_sound(argv[2]);
    if (command == "list" && argc == 3) {
        int rate = 0;
        std::vector<std::int16_t> samples = read_wav(argv[2], rate);
        if (rate == 0) return 1;
        for (double ms : detect_onsets(samples, rate))
            std::printf("%.3f\n", ms);
        return 0;
    }
    return usage();
}
