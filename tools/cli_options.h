// The command line of lumaroth-cli.
#pragma once

#include <cstdint>
#include <string>

#include "playback/timeline.h"

constexpr int kExitUsage = 64;

struct CliOptions {
    std::string command;
    std::string file;
    std::string output;  // render's WAV file
    std::string device;  // play's and render's --device: an index or a name; empty: the mapper
    double speed_factor;
    VoiceOverride override;
    bool raw;
    std::uint32_t start_ms;  // --start: play from there, chased; 0 from the beginning
    std::uint32_t end_ms;    // --end: stop there; 0 at the song's end
    int volume;              // --volume: 0 to 100 %
    std::string sound_font;  // --soundfont: the synthesizer's SoundFont; empty: the default
    bool repeat;             // play --repeat: the song again when it is over
    int loops;               // --loops: passes of the song's own loop, 0 for ever
    std::uint32_t fade_ms;   // render --fade: the fade of a loop that is the song's end
};

enum class CliRequest { kRun, kHelp, kVersion, kBadUsage };

// Fills options from argv. kBadUsage after saying which argument is at fault and
// printing the usage to standard error.
CliRequest parse_cli_options(int argc, char** argv, CliOptions& options);
// The usage, to standard output, as --help asks.
void print_usage();
