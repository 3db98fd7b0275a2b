// The command line of lumaroth-cli.
#pragma once

#include <cstdint>
#include <string>

#include "platform/synth_effects.h"
#include "playback/loop_points.h"
#include "playback/speed.h"
#include "playback/timeline.h"
#include "playback/volume.h"

constexpr int kExitUsage = 64;

// What is not given on the command line is as the window starts.
struct CliOptions {
    std::string command;
    std::string file;
    std::string output;  // render's WAV file
    std::string device;  // play's and render's --device: an index or a name; empty: the mapper
    double speed_factor = kNormalSpeed;
    VoiceOverride override = {0, 0, 0};
    bool raw = false;
    std::uint32_t start_ms = 0;  // --start: play from there, chased; 0 from the beginning
    std::uint32_t end_ms = 0;    // --end: stop there; 0 at the song's end
    bool end_given = false;      // --end was given (0:00 too, which is refused)
    int volume = kFullVolume;    // --volume: 0 to 100 %
    std::string sound_font;      // --soundfont: the synthesizer's SoundFont; empty: the default
    SynthEffects effects = SynthEffects::kStandard;  // --effects: its reverb and chorus
    bool repeat = false;            // play --repeat: the song again when it is over
    bool realtime = false;          // render --realtime: in real time, not as fast as it can
    int loops = kDefaultLoopCount;  // --loops: passes of the song's own loop, 0 for ever
    std::uint32_t fade_ms = kDefaultLoopFade;  // render --fade: a loop without a way out's
    std::uint16_t muted = 0;   // --mute: channels (bit 0 channel 1) whose notes are not sent
    std::uint16_t soloed = 0;  // --solo: the only channels that sound
};

enum class CliRequest { kRun, kHelp, kVersion, kBadUsage };

// Fills options from argv. kBadUsage after saying which argument is at fault and
// printing the usage to standard error.
CliRequest parse_cli_options(int argc, char** argv, CliOptions& options);
// The usage, to standard output, as --help asks.
void print_usage();
