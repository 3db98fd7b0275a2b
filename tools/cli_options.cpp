#include "tools/cli_options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "playback/speed.h"

namespace {

const char kUsage[] =
    "usage: lumaroth-cli info FILE [--speed-steps N] [--switch CH:PROG] [--raw]\n"
    "       lumaroth-cli timeline FILE [--speed-steps N] [--switch CH:PROG]\n"
    "       lumaroth-cli merged FILE\n"
    "       lumaroth-cli play FILE [--speed-steps N] [--switch CH:PROG] [--device D]\n"
    "       lumaroth-cli render FILE OUT.wav [--speed-steps N] [--switch CH:PROG] [--device D]\n"
    "       lumaroth-cli devices\n"
    "  --speed-steps N   N > 0: N presses of faster, N < 0: -N presses of slower\n"
    "  --switch CH:PROG  play every program change on channel CH (1-16) as PROG (1-128)\n"
    "  --raw             print the texts as the Shift-JIS bytes the program holds\n"
    "  --device D        the MIDI output, by its index or name as `devices` lists it\n";

bool usage() {
    std::fputs(kUsage, stderr);
    return false;
}

bool parse_int(const char* text, long low, long high, long& value) {
    if (*text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

double speed_after_steps(long steps) {
    double factor = kNormalSpeed;
    for (long i = 0; i < steps; ++i)
        factor = faster_speed(factor);
    for (long i = 0; i < -steps; ++i)
        factor = slower_speed(factor);
    return factor;
}

bool parse_switch(const char* text, VoiceOverride& override) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr) return false;
    std::string channel(text, colon);
    long ch = 0;
    long prog = 0;
    if (!parse_int(channel.c_str(), 1, 16, ch) || !parse_int(colon + 1, 1, 128, prog)) return false;
    override = {1, static_cast<std::int32_t>(ch - 1), static_cast<std::int32_t>(prog - 1)};
    return true;
}

bool takes_playback_options(const std::string& command) {
    return command != "merged";
}

}  // namespace

bool parse_cli_options(int argc, char** argv, CliOptions& options) {
    options = {"", "", "", "", kNormalSpeed, {0, 0, 0}, false};
    if (argc == 2 && std::string(argv[1]) == "devices") {
        options.command = argv[1];
        return true;
    }
    if (argc < 3) return usage();
    options.command = argv[1];
    options.file = argv[2];
    int next = 3;
    bool known = options.command == "info" || options.command == "timeline" ||
                 options.command == "merged" || options.command == "play" ||
                 options.command == "render";
    if (!known) return usage();
    if (options.command == "render") {
        if (argc < 4 || argv[3][0] == '\0') return usage();
        options.output = argv[next++];
    }
    for (int i = next; i < argc; ++i) {
        std::string word = argv[i];
        long steps = 0;
        if (word == "--raw" && options.command == "info") {
            options.raw = true;
        } else if (word == "--speed-steps" && takes_playback_options(options.command) &&
                   i + 1 < argc && parse_int(argv[i + 1], -1000000, 1000000, steps)) {
            options.speed_factor = speed_after_steps(steps);
            ++i;
        } else if (word == "--switch" && takes_playback_options(options.command) && i + 1 < argc &&
                   parse_switch(argv[i + 1], options.override)) {
            ++i;
        } else if (word == "--device" &&
                   (options.command == "play" || options.command == "render") && i + 1 < argc &&
                   argv[i + 1][0] != '\0') {
            options.device = argv[++i];
        } else {
            return usage();
        }
    }
    return true;
}
