// lumaroth-cli: the player's engine with a terminal face.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "instruments/channel_voices.h"
#include "platform/console.h"
#include "platform/cp932.h"
#include "playback/chase.h"
#include "playback/lyrics.h"
#include "playback/position.h"
#include "playback/scheduler.h"
#include "playback/song_texts.h"
#include "playback/timeline.h"
#include "playback/track_merger.h"
#include "smf/song_image.h"
#include "smf/song_info.h"
#include "tools/cli_options.h"
#include "tools/cli_play.h"
#include "tools/terminal_text.h"
#include "ui/version.h"

namespace {

constexpr int kExitUnreadable = 1;
constexpr int kExitNotSmf = 2;
constexpr int kExitCannotWrite = 74;  // sysexits' EX_IOERR
constexpr int kMergedBytesPerLine = 32;
constexpr char kNotSmf[] = "not a Standard MIDI File\n";

SongImage song;
ChannelVoiceTable voices;

void print_text_line(const char* text, bool raw) {
    std::string line = raw ? std::string(text)
                           : terminal_text(cp932_to_utf8(text, std::string(text).size(), true));
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void print_hex(const unsigned char* bytes, int count) {
    for (int i = 0; i < count; ++i)
        std::printf(i == 0 ? "%02X" : " %02X", bytes[i]);
}

int show_info(const CliOptions& options) {
    // Print the lines before merging: the merge runs the scan again over its own image.
    SongInfo info = scan_song_info(view_of(song), options.speed_factor);
    for (const char* line : info.lines)
        print_text_line(line, options.raw);
    InstrumentListing listing = empty_instrument_listing();
    bool smf = is_smf_header(view_of(song));
    if (smf) {
        merge_tracks(song, voices, options.override, options.speed_factor);
        listing = format_instrument_listing(voices);
    }
    for (const char* line : listing.lines)
        print_text_line(line, options.raw);
    if (smf) return 0;
    std::fputs(kNotSmf, stderr);
    return kExitNotSmf;
}

// A message as the timeline prints it: the short message's bytes, then the sysex's or "-".
void print_message(const EventSlot& slot, const SysexSlot* sysex) {
    std::printf("%02X %02X %02X\t", slot.status, slot.data1, slot.data2);
    if (sysex != nullptr && sysex->bytes[0] == 0xF0) {
        print_hex(sysex->bytes, sysex->length);
    } else {
        std::fputs("-", stdout);
    }
    std::fputs("\n", stdout);
}

void print_timeline_entry(int i) {
    std::printf("%d\t%d\t", i, song_timeline.event_times[i]);
    print_message(song_timeline.event_slots[i],
                  i < kSysexSlots ? &song_timeline.sysex_slots[i] : nullptr);
}

ChaseList chase;

// What a jump to the point sends before the song plays on: one line a message.
void print_chase(int point) {
    chase_messages(song_timeline, point, chase);
    for (int i = 0; i < chase.count; ++i) {
        const ChaseMessage& m = chase.messages[i];
        std::fputs("chase\t", stdout);
        if (m.status == 0xF0) {
            print_message(EventSlot{}, &song_timeline.sysex_slots[m.sysex]);
        } else {
            print_message(EventSlot{m.status, m.data1, m.data2, 0}, nullptr);
        }
    }
}

int show_timeline(const CliOptions& options) {
    merge_tracks(song, voices, options.override, options.speed_factor);
    int count = song_timeline.event_count;
    int shown = timeline_count();
    int point = options.start_ms != 0 ? first_event_at(options.start_ms) : 0;
    if (options.start_ms != 0) print_chase(point);
    std::printf("event_count %d\n", count);
    for (int i = point; i < shown; ++i)
        print_timeline_entry(i);
    return 0;
}

int show_merged(const CliOptions& options) {
    std::uint32_t stream_end = 0;
    std::unique_ptr<MergedImage> merged = merge_song(song, options.speed_factor, stream_end);
    if (merged == nullptr) return kExitUnreadable;
    for (std::uint32_t at = kMergedStreamStart; at < stream_end; at += kMergedBytesPerLine) {
        std::uint32_t left = stream_end - at;
        print_hex(merged->bytes + at,
                  static_cast<int>(left < kMergedBytesPerLine ? left : kMergedBytesPerLine));
        std::fputs("\n", stdout);
    }
    return 0;
}

// The words, a line of the song a line of output, each syllable after its time: "[ms]".
int show_lyrics(const CliOptions& options) {
    merge_tracks(song, voices, options.override, options.speed_factor);
    static SongLyrics lyrics;
    read_song_lyrics(lyrics);
    if (lyrics.syllable_count == 0) std::fprintf(stderr, "lumaroth-cli: the song has no words\n");
    for (int l = 0; l < lyrics.line_count; ++l) {
        const LyricLine& line = lyrics.lines[l];
        std::string text;
        for (int s = line.first; s < line.first + line.count; ++s) {
            const LyricSyllable& syllable = lyrics.syllables[s];
            const char* bytes = song_texts.bytes + syllable.offset;
            text += "[" + std::to_string(syllable.time_ms) + "]" +
                    (lyrics.utf8 ? std::string(bytes, syllable.length)
                                 : cp932_to_utf8(bytes, syllable.length, true));
        }
        std::printf("%s\n", terminal_text(text).c_str());
    }
    return 0;
}

// Output that could not be written (a full disk, a closed pipe) fails the command.
int finish_output(int exit_code) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_code;
    std::fprintf(stderr, "lumaroth-cli: cannot write the output: %s\n", std::strerror(errno));
    return kExitCannotWrite;
}

}  // namespace

int cli_main(int argc, char** argv) {
    CliOptions options;
    switch (parse_cli_options(argc, argv, options)) {
        case CliRequest::kHelp:
            print_usage();
            return finish_output(0);
        case CliRequest::kVersion:
            std::puts("lumaroth-cli " LUMAROTH_VERSION);
            return finish_output(0);
        case CliRequest::kBadUsage:
            return kExitUsage;
        case CliRequest::kRun:
            break;
    }
    if (options.command == "devices") return finish_output(list_devices());
    // The engine opens names as the program holds them, whatever the terminal's bytes.
    if (!load_song_file(file_name_for_program(options.file).c_str(), song)) {
        std::fprintf(stderr, "ファイルを読み込めません %s!\n", terminal_text(options.file).c_str());
        return kExitUnreadable;
    }
    if (options.command == "info") return finish_output(show_info(options));
    if (!is_smf_header(view_of(song))) {
        std::fputs(kNotSmf, stderr);
        return kExitNotSmf;
    }
    if (options.command == "play" || options.command == "render")
        return play_song(song, voices, options);
    if (options.command == "lyrics") return finish_output(show_lyrics(options));
    return finish_output(options.command == "timeline" ? show_timeline(options)
                                                       : show_merged(options));
}
