// Shift-JIS <-> UTF-8 where text leaves the program. Bytes are spelled as escapes: this
// file's own literals are Shift-JIS.
#include <gtest/gtest.h>

#include <string>

#include "platform/cp932.h"

namespace {

std::string decode(const std::string& bytes, bool escape_invalid = false) {
    return cp932_to_utf8(bytes.data(), bytes.size(), escape_invalid);
}

}  // namespace

TEST(Cp932Decoding, ACharacterIsTwoBytesOnlyForALeadByteWithATrailByteAfterIt) {
    EXPECT_EQ(2u, cp932_char_length("\x82\xA0", 2));
    EXPECT_EQ(2u, cp932_char_length("\xE0\x40", 2)) << "the upper lead range";
    EXPECT_EQ(1u, cp932_char_length("\x82\xA0", 1)) << "the trail byte is not there";
    EXPECT_EQ(1u, cp932_char_length("\x82\x7F", 2));
    EXPECT_EQ(1u, cp932_char_length("\x82\x3F", 2));
    EXPECT_EQ(1u, cp932_char_length("\xB1\x82", 2)) << "half-width katakana";
    EXPECT_EQ(1u, cp932_char_length("\xA0\xA0", 2));
}

TEST(Cp932Decoding, EveryAsciiByteStaysItselfControlsAndBackslashIncluded) {
    std::string ascii;
    for (int b = 0; b < 0x80; ++b)
        ascii += static_cast<char>(b);
    EXPECT_EQ(ascii, decode(ascii));
}

TEST(Cp932Decoding, DoubleByteAndHalfWidthCharactersBetweenAsciiOnes) {
    // A, hiragana a, half-width katakana a, horizontal bar (trail byte 0x5C), z
    EXPECT_EQ("A\xE3\x81\x82\xEF\xBD\xB1\xE2\x80\x95z", decode("A\x82\xA0\xB1\x81\x5Cz"));
}

TEST(Cp932Decoding, BytesThatStartNoCharacterAreMarkedOneByOne) {
    EXPECT_EQ("a\xEF\xBF\xBD", decode("a\x82")) << "a lead byte cut off at the end";
    EXPECT_EQ("\\x82 \\x80\\xFF", decode("\x82 \x80\xFF", true));
    EXPECT_EQ(
        "\xEF\xBF\xBD"
        "5",
        decode(std::string("\xA0"
                           "5")));
}

TEST(Cp932Encoding, JapaneseAndAsciiEncodeAndWhatCp932LacksFailsEmpty) {
    std::string out = "previous";
    ASSERT_TRUE(
        utf8_to_cp932("\xE3\x81\x82"
                      "A\\",
                      out));
    EXPECT_EQ(
        "\x82\xA0"
        "A\\",
        out);
    EXPECT_EQ(
        "\xE3\x81\x82"
        "A\\",
        decode(out));

    out = "previous";
    EXPECT_FALSE(utf8_to_cp932("song \xF0\x9F\x8E\xB5.mid", out)) << "no CP932 form";
    EXPECT_EQ("", out);
    EXPECT_FALSE(utf8_to_cp932("\xC3", out)) << "not UTF-8";
    EXPECT_EQ("", out);
}

TEST(FileNames, EveryNameComesBackAsTheBytesTheFileSystemHolds) {
    const std::string names[] = {
        "Caf\xC3\xA9 f\xC3\xBCr Elise.mid",          // accented Latin, a blank
        "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.mid",  // Hangul
        "\xF0\x9F\x8E\xB5.mid",                      // an emoji
        "\xE6\x9B\xB2.mid",                          // Japanese
        "\x8B\xC8 \xFF.mid",                         // no UTF-8: Shift-JIS bytes, 0xFF
        "\xEE\x80\x80.mid",  // U+E000, what CP932 holds as a user-defined character
        "\xC2\xA5"
        "100.mid",  // U+00A5 YEN SIGN, which CP932's best fit makes a backslash
        "\"quoted\".mid"};
    for (const std::string& name : names)
        EXPECT_EQ(name, file_system_name(file_name_for_program(name).c_str())) << name;
}

TEST(FileNames, Cp932NamesArePlainShiftJisAndOthersShowAsTheyAreSpelled) {
    EXPECT_EQ("\x8B\xC8.mid", file_name_for_program("\xE6\x9B\xB2.mid"));
    for (const std::string name : {"Caf\xC3\xA9.mid", "\xED\x95\x9C.mid", "\xF0\x9F\x8E\xB5.mid"}) {
        std::string held = file_name_for_program(name);
        EXPECT_EQ(name, text_for_display(held.data(), held.size()));
    }
    std::string shift_jis = file_name_for_program("\x8B\xC8.mid");
    EXPECT_EQ("\xE6\x9B\xB2.mid", text_for_display(shift_jis.data(), shift_jis.size()))
        << "a Shift-JIS name on disk reads as Japanese";
}
