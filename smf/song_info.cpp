#include "smf/song_info.h"

#include <cstdio>
#include <cstring>

namespace {

// Long enough for the longest line: a 255-byte text with its label and numbers.
constexpr int kInfoLineSize = 384;
constexpr int kMetaTextSize = 256;
constexpr int kKeyNameSize = 16;

char info_lines[5][kInfoLineSize];
char meta_texts[4][kMetaTextSize];  // FF 01 to FF 04
char key_name[kKeyNameSize];
const char kNoData[] = "no data";

const char* const kKeyNames[30] = {
    "Cb Major", "Ab Minor", "Gb Major", "Eb Minor", "Db Major", "Bb Minor", "Ab Major", "F Minor",
    "Eb Major", "C Minor",  "Bb Major", "G Minor",  "F Major",  "D Minor",  "C Major",  "A Minor",
    "G Major",  "E Minor",  "D Major",  "B Minor",  "A Major",  "F# Minor", "E Major",  "C# Minor",
    "B Major",  "G# Minor", "F# Major", "D# Minor", "C# Major", "A# Minor",
};
const char kUnknownKey[] = "Unknown";

const char kNotSmfLine[] = "このファイルは、Standard MIDI File　ではありません。 ";
const char kBlankLine[] = "　";

std::int32_t signed_byte(unsigned char b) {
    return static_cast<signed char>(b);
}

MetaSummary reset_meta_summary() {
    MetaSummary meta = {};
    meta.text = meta.copyright = meta.track_name = meta.instrument_name = kNoData;
    meta.time_sig_numerator = 4;
    meta.time_sig_denominator_power = 2;
    meta.clocks_per_click = 24;
    meta.notated_32nds = 8;
    return meta;
}

// Copies up to n bytes, stopping early at a zero byte, and terminates the text.
void copy_meta_text(ByteView image, std::uint32_t from, unsigned n, char* out) {
    unsigned i = 0;
    for (; i < n; ++i) {
        unsigned char b = byte_at(image, from + i);
        if (b == 0) break;
        out[i] = static_cast<char>(b);
    }
    out[i] = '\0';
}

// Truncates toward zero into 0..UINT32_MAX, so no factor can overflow the conversion.
std::uint32_t truncate_to_u32(double value) {
    if (!(value > 0.0)) return 0;
    if (value >= 4294967295.0) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}

// Quarter notes per minute. Without a usable tempo the song plays at the SMF default,
// so that is the rate shown.
double quarter_notes_per_minute(std::uint32_t scaled_tempo, double speed_factor) {
    if (scaled_tempo == 0) scaled_tempo = truncate_to_u32(kDefaultTempo * speed_factor);
    return scaled_tempo == 0 ? 0.0 : 60000000.0 / scaled_tempo;
}

// 2 to the power dd by doubling; a power above 31 shows as 2 to the 31st.
std::uint32_t time_sig_denominator(std::int32_t power) {
    std::uint32_t denominator = 1;
    for (std::int32_t i = 0; i < power && i < 31; ++i)
        denominator *= 2;
    return denominator;
}

// The first track chunk's meta events, or the reset record when the header announces
// no track or none can be found: never another song's leftovers.
MetaSummary scan_first_track(ByteView image, std::int32_t track_count) {
    if (track_count < 1) return reset_meta_summary();
    int chunk = find_track_chunk(image, kHeaderChunkBytes);
    if (chunk == kNoTrackChunk) return reset_meta_summary();
    std::uint32_t tag = static_cast<std::uint32_t>(chunk);
    return scan_track_meta(image, tag + 8, read_be32(image, tag + 4));
}

void format_info_lines(const MetaSummary& meta, double speed_factor) {
    std::uint32_t scaled_tempo = truncate_to_u32(tempo_from_bytes(meta.tempo_bytes) * speed_factor);
    std::snprintf(info_lines[1], kInfoLineSize, "名前：%s", meta.track_name);
    std::snprintf(info_lines[2], kInfoLineSize,
                  "１分間の四分音符数=%0.2f  　　調(Key)=%s　　  拍子＝%d/%u",
                  quarter_notes_per_minute(scaled_tempo, speed_factor), key_signature_name(meta),
                  meta.time_sig_numerator, time_sig_denominator(meta.time_sig_denominator_power));
    std::snprintf(info_lines[3], kInfoLineSize, "著作権：%s　　　セットテンポ=%u     (%d)",
                  meta.copyright, scaled_tempo, meta.tempo_event_count);
    std::snprintf(info_lines[4], kInfoLineSize, "曲のメモ情報：%s", meta.text);
}

}  // namespace

std::uint32_t tempo_from_bytes(const std::int32_t tempo_bytes[3]) {
    unsigned char bytes[3];
    for (int i = 0; i < 3; ++i)
        bytes[i] = static_cast<unsigned char>(tempo_bytes[i] & 0xFF);
    return read_be24(ByteView{bytes, 3}, 0);
}

SongInfo scan_song_info(ByteView image, double speed_factor) {
    SongInfo info = {};
    for (int i = 0; i < 5; ++i)
        info.lines[i] = info_lines[i];
    if (!is_smf_header(image)) {
        std::snprintf(info_lines[0], kInfoLineSize, "%s", kNotSmfLine);
        for (int i = 1; i < 5; ++i)
            std::snprintf(info_lines[i], kInfoLineSize, "%s", kBlankLine);
        return info;
    }
    info.format = read_be16(image, 8);
    info.track_count = read_be16(image, 10);
    info.division = read_be16(image, 12);
    std::snprintf(info_lines[0], kInfoLineSize, "フォーマット：%d、 トラック数：%d、 分解能：%d ",
                  info.format, info.track_count, info.division);
    info.meta = scan_first_track(image, info.track_count);
    format_info_lines(info.meta, speed_factor);
    return info;
}

MetaSummary scan_track_meta(ByteView image, std::uint32_t start, std::uint32_t length) {
    MetaSummary meta = reset_meta_summary();
    bool found[4] = {false, false, false, false};
    // Past the image every byte reads 0, which starts no meta event: stop there.
    std::uint64_t end = static_cast<std::uint64_t>(start) + length;
    if (end > image.size) end = image.size;
    std::uint32_t p = start;
    while (p < end) {
        if (byte_at(image, p) != 0xFF) {
            ++p;
            continue;
        }
        unsigned char type = byte_at(image, p + 1);
        unsigned n = byte_at(image, p + 2);
        if (type >= 0x01 && type <= 0x04) {
            copy_meta_text(image, p + 3, n, meta_texts[type - 1]);
            found[type - 1] = true;
            p += n + 3;
        } else if (type == 0x51) {
            if (meta.tempo_event_count == 0) {
                for (int i = 0; i < 3; ++i)
                    meta.tempo_bytes[i] = signed_byte(byte_at(image, p + 3 + i));
                p += n + 3;
            } else {
                ++p;
            }
            ++meta.tempo_event_count;
        } else if (type == 0x58) {
            meta.time_sig_numerator = signed_byte(byte_at(image, p + 3));
            meta.time_sig_denominator_power = signed_byte(byte_at(image, p + 4));
            meta.clocks_per_click = signed_byte(byte_at(image, p + 5));
            meta.notated_32nds = signed_byte(byte_at(image, p + 6));
            p += n + 3;
        } else if (type == 0x59) {
            meta.key_sharps_flats = signed_byte(byte_at(image, p + 3));
            meta.key_minor = signed_byte(byte_at(image, p + 4));
            p += n + 3;
        } else {
            ++p;
        }
    }
    const char** texts[4] = {&meta.text, &meta.copyright, &meta.track_name, &meta.instrument_name};
    for (int i = 0; i < 4; ++i)
        *texts[i] = found[i] ? meta_texts[i] : kNoData;
    return meta;
}

const char* key_signature_name(const MetaSummary& meta) {
    std::int32_t sf = meta.key_sharps_flats;
    std::int32_t mi = meta.key_minor;
    bool in_table = sf >= -7 && sf <= 7 && (mi == 0 || mi == 1);
    std::snprintf(key_name, kKeyNameSize, "%s",
                  in_table ? kKeyNames[(sf + 7) * 2 + mi] : kUnknownKey);
    return key_name;
}
