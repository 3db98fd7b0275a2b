#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "instruments/channel_voices.h"
#include "instruments/gm_names.h"

namespace {

const std::string kFullWidthSpace = "　";

ChannelVoiceTable table;

std::string name_of(int program) {
    return gm_program_names[program];
}

}  // namespace

TEST(GmNames, EveryNameIsFortyBytesThenFourZeroBytes) {
    for (int p = 0; p < kGmProgramCount; ++p) {
        EXPECT_EQ(40u, std::strlen(gm_program_names[p])) << p + 1;
        for (int i = 40; i < kGmNameFieldSize; ++i)
            EXPECT_EQ(0, gm_program_names[p][i]) << p + 1;
    }
}

TEST(GmNames, NamesArePaddedWithFullWidthSpaces) {
    std::string piano = "生のグランドピアノ";
    std::string padding;
    while (piano.size() + padding.size() < 40)
        padding += kFullWidthSpace;
    EXPECT_EQ(piano + padding, name_of(0));
    EXPECT_EQ("ガン・ショット（拳銃の発射音）" + kFullWidthSpace + kFullWidthSpace +
                  kFullWidthSpace + kFullWidthSpace + kFullWidthSpace,
              name_of(127));
    std::string box = "オルゴール（Music  Box）";
    for (int i = 0; i < 8; ++i)
        box += kFullWidthSpace;
    EXPECT_EQ(box, name_of(10));
}

TEST(GmNames, TheSixOddLengthNamesCarryOneAsciiSpaceWhereItBelongs) {
    // Number as users see it -> the padding after the name.
    auto spaces = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += kFullWidthSpace;
        return s;
    };
    struct Case {
        int number;
        std::string name;
        std::string padding;
    } cases[] = {
        {84, "シンセ・ソロ音色４（chiff）", spaces(6) + " "},
        {85, "シンセ・ソロ音色５（charang）", spaces(5) + " "},
        {86, "シンセ・ソロ音色６（Voice）", spaces(5) + " " + spaces(1)},
        {88, "シンセ・ソロ音色８（ベース+リード）", spaces(2) + " "},
        {89, "シンセ・多声音色１（new age）", spaces(2) + " " + spaces(3)},
        {93, "シンセ・多声音色５（bowed）", spaces(4) + " " + spaces(2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.name + c.padding, name_of(c.number - 1)) << c.number;
    int with_ascii_space = 0;
    for (int p = 0; p < kGmProgramCount; ++p) {
        std::string name = name_of(p);
        std::size_t at = name.find("（");
        std::string tail = at == std::string::npos ? name : name.substr(name.rfind("）") + 2);
        if (tail.find(' ') != std::string::npos) ++with_ascii_space;
    }
    EXPECT_EQ(6, with_ascii_space);
}

TEST(ChannelVoiceLookup, AProgramChangeNamesItsProgram) {
    ChannelVoice voice = channel_voice_from_message(0xC9, 0x00);
    EXPECT_EQ(name_of(0), voice.name);
    EXPECT_EQ(9, voice.channel);
    EXPECT_EQ(0, voice.program);
    EXPECT_EQ(name_of(127), channel_voice_from_message(0xC0, 127).name);
}

TEST(ChannelVoiceLookup, OtherMessagesGiveAPresentEmptyName) {
    ChannelVoice voice = channel_voice_from_message(0x90, 0x3C);
    ASSERT_NE(nullptr, voice.name);
    EXPECT_STREQ("", voice.name);
    EXPECT_EQ(16, voice.channel);
    EXPECT_EQ(255, voice.program);
}

TEST(ChannelVoiceLookup, AProgramByteOf0x80OrMoreNamesNoProgram) {
    ChannelVoice voice = channel_voice_from_message(0xC2, 0x80);
    EXPECT_STREQ("", voice.name);
    EXPECT_EQ(2, voice.channel);
    EXPECT_EQ(0x80, voice.program);
    EXPECT_STREQ("", channel_voice_from_message(0xC2, 0xFF).name);
}

TEST(InstrumentListing, AResetTableListsSixBlankLines) {
    reset_channel_voice_table(table);
    InstrumentListing listing = format_instrument_listing(table);
    for (const char* line : listing.lines)
        EXPECT_STREQ("　　", line);
    for (const char* line : empty_instrument_listing().lines)
        EXPECT_STREQ("　　", line);
    for (const ChannelVoice& voice : table.voices) {
        EXPECT_EQ(nullptr, voice.name);
        EXPECT_EQ(16, voice.channel);
        EXPECT_EQ(255, voice.program);
    }
}

TEST(InstrumentListing, ANamedChannelBesideAnEmptyOneShowsChannel17AndNumber256) {
    reset_channel_voice_table(table);
    table.voices[0] = channel_voice_from_message(0xC0, 0);
    InstrumentListing listing = format_instrument_listing(table);
    EXPECT_EQ("■1  No.1  " + name_of(0) + "      ■17  No.256  楽器指定なし",
              std::string(listing.lines[0]));
    for (int k = 1; k < 6; ++k)
        EXPECT_STREQ("　　", listing.lines[k]);
}

TEST(InstrumentListing, TheTenthChannelShowsTheDrumVoice) {
    reset_channel_voice_table(table);
    table.voices[9] = channel_voice_from_message(0xC9, 0);
    EXPECT_EQ("■17  No.256  楽器指定なし    　■10  No.1  ドラムス音色",
              std::string(format_instrument_listing(table).lines[4]));
    reset_channel_voice_table(table);
    table.voices[8] = channel_voice_from_message(0xC8, 5);
    for (int repaint = 0; repaint < 3; ++repaint) {
        EXPECT_EQ("■9  No.6  " + name_of(5) + "    　■17  No.256  楽器指定なし",
                  std::string(format_instrument_listing(table).lines[4]));
    }
    EXPECT_EQ(nullptr, table.voices[9].name) << "the listing never writes the table";
}

TEST(InstrumentListing, ChannelsThirteenToSixteenAreNeverListed) {
    reset_channel_voice_table(table);
    for (int c = 12; c < 16; ++c)
        table.voices[c] = channel_voice_from_message(0xC0 + c, 3);
    for (const char* line : format_instrument_listing(table).lines)
        EXPECT_STREQ("　　", line);
}

TEST(InstrumentListing, TheLongestLineTakes114Bytes) {
    reset_channel_voice_table(table);
    table.voices[10] = channel_voice_from_message(0xCA, 127);
    table.voices[11] = channel_voice_from_message(0xCB, 126);
    const char* line = format_instrument_listing(table).lines[5];
    EXPECT_EQ(114u, std::strlen(line));
    EXPECT_EQ("■11  No.128  " + name_of(127) + "      ■12  No.127  " + name_of(126),
              std::string(line));
}
