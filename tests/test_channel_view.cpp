// What the channel window and the words rest on: mute and solo through the recording
// output, the record of what each channel was sent, and the words of made-up songs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_platform.h"
#include "playback/channel_mute.h"
#include "playback/channel_record.h"
#include "playback/lyrics.h"
#include "playback/scheduler.h"
#include "playback/song_texts.h"
#include "tests/cli_run.h"
#include "tests/merge_helpers.h"

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1234);
constexpr DWORD kStart = 1000;

class ChannelView : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_playback_session();
        recording_midi_out.reset();
        driven_timer.reset();
        clear_mute_and_solo();
    }
    void TearDown() override {
        stop_playback();
        clear_mute_and_solo();
    }
    static void start(const Bytes& song, VoiceOverride override = {0, 0, 0}) {
        play_song(song, override);
        driven_timer.now = kStart;
        ASSERT_EQ(1, start_playback(kWindow));
    }
    // The short messages sent since the mark.
    static std::vector<DWORD> sent_since(std::size_t& mark) {
        std::vector<DWORD> all = recording_midi_out.short_messages();
        std::vector<DWORD> since(all.begin() + static_cast<long>(mark), all.end());
        mark = all.size();
        return since;
    }
};

DWORD message(unsigned status, unsigned data1, unsigned data2 = 0) {
    return status | data1 << 8 | data2 << 16;
}

}  // namespace

TEST_F(ChannelView, MutedAndUnsoloedChannelsSendNoNotesButTheirControllers) {
    // Channels 1 and 2 each: a note at 5, 105 and 205 ms; channel 1's volume at 155.
    start(
        ms_song(hex("00 90 3C 40  00 91 3C 40  64 90 3E 40  00 91 3E 40  32 B0 07 50"
                    "  32 90 40 40  00 91 40 40")));
    driven_timer.tick_at(kStart + 12);
    std::size_t mark = recording_midi_out.short_messages().size();
    set_channel_muted(0, true);
    EXPECT_EQ(sent_since(mark), (std::vector<DWORD>{message(0xB0, 120), message(0xB0, 123)}))
        << "its sounding notes end at once";
    driven_timer.tick_at(kStart + 160);
    EXPECT_EQ(sent_since(mark),
              (std::vector<DWORD>{message(0x91, 0x3E, 0x40), message(0xB0, 7, 0x50)}))
        << "muted: no note, the controller still";
    set_channel_muted(0, false);
    driven_timer.tick_at(kStart + 200);
    EXPECT_EQ(sent_since(mark),
              (std::vector<DWORD>{message(0x90, 0x40, 0x40), message(0x91, 0x40, 0x40)}));

    set_channel_soloed(1, true);
    std::vector<DWORD> silenced = sent_since(mark);
    EXPECT_EQ(30u, silenced.size()) << "soloing channel 2 silences the fifteen others";
    for (DWORD m : silenced)
        EXPECT_NE(0xB1u, m & 0xFF) << "and leaves channel 2 sounding";
    ASSERT_EQ(1, jump_playback(0));
    sent_since(mark);
    driven_timer.tick_at(kStart + 200 + 12);
    EXPECT_EQ(sent_since(mark), (std::vector<DWORD>{message(0x91, 0x3C, 0x40)}))
        << "the solo holds through a jump";
}

TEST_F(ChannelView, TheRecordFollowsProgramBankControllersAndTheSwitch) {
    start(ms_song(hex("00 B0 00 08  00 B0 20 01  00 C0 10  00 B0 07 64  00 B0 0B 50  00 B0 0A 20"
                      "  00 90 3C 70  00 C9 05  0A 80 3C 00")),
          {1, 0, 40});
    const ChannelRecord& first = channel_records[0];
    std::uint32_t notes_before = first.notes;
    driven_timer.tick_at(kStart + 30);
    EXPECT_EQ(40, first.program) << "the instrument switch's program, as sent";
    EXPECT_EQ(8, first.bank_msb);
    EXPECT_EQ(1, first.bank_lsb);
    EXPECT_EQ(100, first.volume);
    EXPECT_EQ(80, first.expression);
    EXPECT_EQ(32, first.pan);
    EXPECT_EQ(0x70, first.velocity);
    EXPECT_EQ(notes_before + 1, first.notes) << "the note-off counts for nothing";
    EXPECT_EQ(5, channel_records[9].program) << "channel 10's kit";
    stop_playback();
    EXPECT_EQ(127, first.expression) << "the stop's reset of the controllers";
}

TEST(SongWords, LyricsKaraokeMarksEncodingsAndTheSyllableBeingSung) {
    // Shift-JIS lyric events: あ い, then / う on a new line.
    play_song(ms_song(hex("00") + meta(0x05, "\x82\xA0") + hex("64") + meta(0x05, "\x82\xA2") +
                      hex("64") + meta(0x05, "/\x82\xA4") + hex("00") +
                      meta(0x01, "@Tnot these words")));
    static SongLyrics lyrics;
    read_song_lyrics(lyrics);
    ASSERT_EQ(2, lyrics.line_count) << "lyric events win over text events";
    EXPECT_FALSE(lyrics.utf8);
    EXPECT_EQ(2, lyrics.lines[0].count);
    EXPECT_EQ(205u, lyrics.syllables[2].time_ms);
    int sung = 0;
    EXPECT_EQ(-1, lyric_line_at(lyrics, 4, sung));
    EXPECT_EQ(0, lyric_line_at(lyrics, 104, sung));
    EXPECT_EQ(1, sung);
    EXPECT_EQ(0, lyric_line_at(lyrics, 105, sung));
    EXPECT_EQ(2, sung) << "marked as it comes";
    EXPECT_EQ(1, lyric_line_at(lyrics, 300, sung));

    // A karaoke file's text events: headers, a paragraph, a new line; UTF-8 words.
    play_song(
        song_of(1, 1000,
                {hex("00") + set_tempo(1000000) + hex("00") + meta(0x01, "@KMIDI KARAOKE FILE"),
                 hex("00") + meta(0x01, "@T\xE3\x81\x8D\xE3\x82\x89") + hex("00") +
                     meta(0x01, "\\Twin") + hex("0A") + meta(0x01, "kle ") + hex("0A") +
                     meta(0x01, "/lit") + hex("0A") + meta(0x01, "tle")}));
    read_song_lyrics(lyrics);
    EXPECT_TRUE(lyrics.utf8);
    ASSERT_EQ(4, lyrics.line_count) << "title, blank, two lines";
    EXPECT_TRUE(lyrics.lines[0].title);
    EXPECT_EQ(0, lyrics.lines[1].count) << "the paragraph's blank line";
    EXPECT_EQ(2, lyrics.lines[2].count);
    EXPECT_EQ(std::string("lit"),
              std::string(song_texts.bytes + lyrics.syllables[lyrics.lines[3].first].offset,
                          lyrics.syllables[lyrics.lines[3].first].length));
}

TEST(CliLyrics, PrintsALineOfTheSongALineWithEachSyllablesTime) {
    std::string song = write_temp_file(
        "words.mid", ms_song(hex("00") + meta(0x05, "\x82\xA0") + hex("64") +
                             meta(0x05, "\x82\xA2\r") + hex("64") + meta(0x05, "\x82\xA4")));
    CliRun run = cli("lyrics " + song);
    ASSERT_EQ(0, run.exit_code) << run.err;
    EXPECT_EQ(run.out, "[5]\xE3\x81\x82[105]\xE3\x81\x84\n[205]\xE3\x81\x86\n");
    CliRun none =
        cli("lyrics " + write_temp_file("none.mid", song_of(0, 96, {hex("00 90 3C 40")})));
    EXPECT_EQ(0, none.exit_code);
    EXPECT_EQ("", none.out);
    EXPECT_EQ("lumaroth-cli: the song has no words\n", none.err);
}

TEST(SongWords, BreaksAndControlsInsideASyllableKarTracksAndWordsOnSeveralTracks) {
    // A leading paragraph mark, an escape inside a syllable, CR LF, CR and LF inside others.
    play_song(ms_song(hex("00") + meta(0x05, "\\Fi\x1Brst") + hex("64") + meta(0x05, "ab\r\ncd") +
                      hex("64") + meta(0x05, "ef\rgh") + hex("64") + meta(0x05, "ij\nkl")));
    static SongLyrics lyrics;
    read_song_lyrics(lyrics);
    std::vector<std::string> lines;
    for (int l = 0; l < lyrics.line_count; ++l) {
        std::string line;
        for (int s = lyrics.lines[l].first; s < lyrics.lines[l].first + lyrics.lines[l].count; ++s)
            line += std::string(song_texts.bytes + lyrics.syllables[s].offset,
                                lyrics.syllables[s].length) +
                    "|";
        lines.push_back(line);
    }
    EXPECT_EQ((std::vector<std::string>{"Fi|rst|ab|", "cd|ef|", "gh|ij|", "kl|"}), lines);

    // A .kar: a comment on the first track, the words (with their marks) on the second.
    play_song(song_of(1, 1000,
                      {hex("00") + meta(0x01, "@KMIDI KARAOKE FILE") + hex("00") +
                           meta(0x01, "Sequenced by someone"),
                       hex("00") + meta(0x01, "@TTwinkle") + hex("00") + meta(0x01, "\\Twin") +
                           hex("0A") + meta(0x01, "kle")}));
    read_song_lyrics(lyrics);
    ASSERT_EQ(3, lyrics.syllable_count) << "the title and two syllables";
    EXPECT_EQ(std::string("Twin"), std::string(song_texts.bytes + lyrics.syllables[1].offset,
                                               lyrics.syllables[1].length));

    // The same lyric at the same time on three tracks.
    Bytes words = hex("00") + meta(0x05, "la") + hex("64") + meta(0x05, "di");
    play_song(song_of(1, 96, {words, words, words}));
    read_song_lyrics(lyrics);
    EXPECT_EQ(2, lyrics.syllable_count);
}

TEST(CliTexts, ControlsInASongsTextsAndANameReachTheTerminalEscaped) {
    std::string song = write_temp_file(
        "texts.mid", ms_song(hex("00") + meta(0x03, "a\x1B[2Jb\x07") + hex("00") +
                             meta(0x05, "\xE3\x81\x82\xC2\x9B") + hex("00 90 3C 40")));
    CliRun info = cli("info " + song);
    EXPECT_NE(std::string::npos, info.out.find("a\\x1B[2Jb\\x07")) << info.out;
    CliRun words = cli("lyrics " + song);
    EXPECT_EQ("[5]\xE3\x81\x82\\x9B\n", words.out);
    CliRun missing = cli("info '" + temp_dir() + "/no\x1B]52;c;eA==\x07.mid'");
    EXPECT_EQ(std::string::npos, missing.err.find('\x1B'));
    EXPECT_NE(std::string::npos, missing.err.find("no\\x1B]52;c;eA==\\x07.mid"));
}
