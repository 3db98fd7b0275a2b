// The command line of lumaroth-cli.
#pragma once

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
};

// Fills options from argv; false (after printing the usage) when the words are off.
bool parse_cli_options(int argc, char** argv, CliOptions& options);
