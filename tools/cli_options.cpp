#include "tools/cli_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "playback/loop_points.h"
#include "playback/position.h"
#include "playback/speed.h"
#include "playback/volume.h"
#include "tools/terminal_text.h"

namespace {

const char kUsage[] =
    "usage: lumaroth-cli info FILE [--speed-steps N] [--switch CH:PROG] [--raw]\n"
    "       lumaroth-cli timeline FILE [--speed-steps N] [--switch CH:PROG] [--start M:SS]\n"
    "       lumaroth-cli merged FILE\n"
    "       lumaroth-cli lyrics FILE [--speed-steps N] [--switch CH:PROG]\n"
    "       lumaroth-cli play FILE [--speed-steps N] [--switch CH:PROG] [--device D]\n"
    "                              [--start M:SS] [--end M:SS] [--volume N] [--soundfont SF2]\n"
    "                              [--repeat] [--loops N] [--mute CHS] [--solo CHS]\n"
    "                              [--effects E]\n"
    "       lumaroth-cli render FILE OUT.wav [--speed-steps N] [--switch CH:PROG] [--device D]\n"
    "                              [--start M:SS] [--end M:SS] [--volume N] [--soundfont SF2]\n"
    "                              [--loops N] [--fade S] [--mute CHS] [--solo CHS]\n"
    "                              [--effects E] [--realtime]\n"
    "       lumaroth-cli devices\n"
    "       lumaroth-cli --help | --version\n"
    "  --speed-steps N   N > 0: N presses of faster, N < 0: -N presses of slower\n"
    "  --switch CH:PROG  play every program change on channel CH (1-16) as PROG (1-128)\n"
    "  --raw             print the texts as the Shift-JIS bytes the program holds\n"
    "  --device D        the MIDI output, by its index or name as `devices` lists it\n"
    "  --start M:SS      begin there, every channel set as the song has set it by then;\n"
    "                    timeline: first the messages that set them, marked chase\n"
    "  --end M:SS        stop there\n"
    "  --volume N        0 to 100 (%), the output's volume; 100 when not given\n"
    "  --soundfont SF2   the embedded synthesizer's SoundFont (.sf2, .sf3)\n"
    "  --effects E       its reverb and chorus: standard, subtle (half) or off; standard\n"
    "                    when not given\n"
    "  --repeat          play the song again each time it is over\n"
    "  --loops N         the song's own loop (controller 111, loopStart/loopEnd markers)\n"
    "                    plays N times (play: 0 for ever), then the song goes on or fades\n"
    "                    out; 2 when not given\n"
    "  --fade S          seconds of that fade out (0.1 to 600); 5 when not given\n"
    "  --mute CHS        the channels (1-16, a comma between: 10 or 1,2) whose notes are\n"
    "                    not sent; --solo CHS: the only channels that sound\n"
    "  --realtime        render in real time, as play does, not as fast as it can\n"
    "  lyrics: the words, a line of the song a line, each syllable after its [time in ms]\n"
    "  play on a terminal: Space pauses and resumes, left and right arrows jump 5 s\n";

// The argument at fault in one line, then the usage.
bool usage(const std::string& fault) {
    std::fprintf(stderr, "lumaroth-cli: %s\n%s", terminal_text(fault).c_str(), kUsage);
    return false;
}

// A name where a file is expected; an option there is a mistake, not a file's name.
bool is_file_name(const char* word) {
    return word[0] != '\0' && word[0] != '-';
}

// The count of decimal digits text begins with.
std::size_t digits_at(const char* text) {
    std::size_t n = 0;
    while (text[n] >= '0' && text[n] <= '9')
        ++n;
    return n;
}

// Plain decimal digits, a minus sign before them only where low is negative: no space, no
// plus sign, no other base.
bool parse_int(const char* text, long low, long high, long& value) {
    const char* digits = text[0] == '-' && low < 0 ? text + 1 : text;
    std::size_t n = digits_at(digits);
    if (n == 0 || digits[n] != '\0' || n > 9) return false;
    value = std::strtol(text, nullptr, 10);
    return value >= low && value <= high;
}

// Seconds from 0.1 to 600 as digits, a fraction allowed ("2", "0.5"), as milliseconds.
bool parse_seconds(const char* text, std::uint32_t& ms) {
    std::size_t whole = digits_at(text);
    std::size_t fraction = text[whole] == '.' ? digits_at(text + whole + 1) : 0;
    std::size_t length = whole + (text[whole] == '.' ? 1 + fraction : 0);
    if (whole == 0 || whole > 3 || (text[whole] == '.' && fraction == 0) || text[length] != '\0')
        return false;
    double seconds = std::strtod(text, nullptr);
    if (!(seconds >= 0.1 && seconds <= 600)) return false;
    ms = static_cast<std::uint32_t>(seconds * 1000 + 0.5);
    return true;
}

// "10" or "1,2": the channels as bits, bit 0 channel 1.
bool parse_channels(const char* text, std::uint16_t& channels) {
    channels = 0;
    for (const char* at = text;;) {
        const char* comma = std::strchr(at, ',');
        std::string one = comma != nullptr ? std::string(at, comma) : std::string(at);
        long channel = 0;
        if (!parse_int(one.c_str(), 1, 16, channel)) return false;
        channels = static_cast<std::uint16_t>(channels | 1u << (channel - 1));
        if (comma == nullptr) return true;
        at = comma + 1;
    }
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

std::string value_form(const std::string& option) {
    if (option == "--speed-steps") return "not a whole number from -1000000 to 1000000";
    if (option == "--switch") return "not CH:PROG with CH 1-16 and PROG 1-128";
    if (option == "--start" || option == "--end") return "not a time M:SS";
    if (option == "--volume") return "not a whole number from 0 to 100";
    if (option == "--soundfont") return "not a file";
    if (option == "--effects") return "not standard, subtle or off";
    if (option == "--mute" || option == "--solo") return "not channels 1-16 with commas";
    if (option == "--loops") return "not a whole number from 0 (play only) to 1000";
    if (option == "--fade") return "not a number of seconds from 0.1 to 600";
    return "not a device";
}

// The options after the command's file names, into options; false once one is wrong
// (said).
bool parse_option_words(int argc, char** argv, int next, CliOptions& options) {
    for (int i = next; i < argc; ++i) {
        std::string word = argv[i];
        long steps = 0;
        long volume = 0;
        bool playback = takes_playback_options(options.command);
        bool device = options.command == "play" || options.command == "render";
        if (word == "--raw" && options.command == "info") {
            options.raw = true;
            continue;
        }
        if (word == "--repeat" && options.command == "play") {
            options.repeat = true;
            continue;
        }
        if (word == "--realtime" && options.command == "render") {
            options.realtime = true;
            continue;
        }
        bool looping =
            (word == "--loops" && device) || (word == "--fade" && options.command == "render");
        bool channels = (word == "--mute" || word == "--solo") && device;
        bool time = (word == "--start" && playback && options.command != "info" &&
                     options.command != "lyrics") ||
                    (word == "--end" && device);
        if (!(word == "--speed-steps" && playback) && !(word == "--switch" && playback) &&
            !((word == "--device" || word == "--volume" || word == "--soundfont" ||
               word == "--effects") &&
              device) &&
            !time && !looping && !channels)
            return usage("'" + word + "' is not an option of " + options.command), false;
        if (i + 1 >= argc) return usage(word + " needs a value"), false;
        std::string value = argv[++i];
        std::uint32_t& at = word == "--start" ? options.start_ms : options.end_ms;
        if (word == "--end") options.end_given = true;
        long loops = 0;
        bool good = word == "--speed-steps" ? parse_int(value.c_str(), -1000000, 1000000, steps)
                    : word == "--switch"    ? parse_switch(value.c_str(), options.override)
                    : time                  ? parse_song_time(value.c_str(), at)
                    : word == "--volume"    ? parse_int(value.c_str(), 0, kFullVolume, volume)
                    : word == "--loops"
                        ? parse_int(value.c_str(), options.command == "play" ? 0 : 1, 1000, loops)
                    : word == "--fade"    ? parse_seconds(value.c_str(), options.fade_ms)
                    : word == "--mute"    ? parse_channels(value.c_str(), options.muted)
                    : word == "--solo"    ? parse_channels(value.c_str(), options.soloed)
                    : word == "--effects" ? synth_effects_named(value.c_str(), options.effects)
                                          : !value.empty();
        if (!good) return usage(word + " " + value + ": " + value_form(word)), false;
        if (word == "--speed-steps") options.speed_factor = speed_after_steps(steps);
        if (word == "--device") options.device = value;
        if (word == "--volume") options.volume = static_cast<int>(volume);
        if (word == "--soundfont") options.sound_font = value;
        if (word == "--loops") options.loops = static_cast<int>(loops);
    }
    return true;
}

}  // namespace

CliRequest parse_cli_options(int argc, char** argv, CliOptions& options) {
    options = CliOptions{};
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--help" || word == "-h") return CliRequest::kHelp;
        if (word == "--version") return CliRequest::kVersion;
    }
    if (argc < 2) return usage("no command given"), CliRequest::kBadUsage;
    options.command = argv[1];
    if (options.command == "devices") {
        if (argc == 2) return CliRequest::kRun;
        return usage("devices takes no argument: '" + std::string(argv[2]) + "'"),
               CliRequest::kBadUsage;
    }
    bool known = options.command == "info" || options.command == "timeline" ||
                 options.command == "merged" || options.command == "play" ||
                 options.command == "render" || options.command == "lyrics";
    if (!known) return usage("unknown command '" + options.command + "'"), CliRequest::kBadUsage;
    if (argc < 3 || !is_file_name(argv[2]))
        return usage(argc < 3 ? options.command + " needs FILE"
                              : "'" + std::string(argv[2]) + "' where FILE is expected"),
               CliRequest::kBadUsage;
    options.file = argv[2];
    int next = 3;
    if (options.command == "render") {
        if (argc < 4 || !is_file_name(argv[3]))
            return usage(argc < 4 ? "render needs OUT.wav"
                                  : "'" + std::string(argv[3]) + "' where OUT.wav is expected"),
                   CliRequest::kBadUsage;
        options.output = argv[next++];
    }
    if (!parse_option_words(argc, argv, next, options)) return CliRequest::kBadUsage;
    if (options.end_given && options.end_ms <= options.start_ms)
        return usage(options.start_ms == 0 ? "--end must come after the song's start"
                                           : "--end must come after --start"),
               CliRequest::kBadUsage;
    return CliRequest::kRun;
}

void print_usage() {
    std::fputs(kUsage, stdout);
}
