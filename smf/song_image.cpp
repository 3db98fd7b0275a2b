#include "smf/song_image.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/win32.h"

namespace {

constexpr unsigned char kHeaderTag[4] = {0x4D, 0x54, 0x68, 0x64};  // "MThd"
constexpr unsigned char kTrackTag[4] = {0x4D, 0x54, 0x72, 0x6B};   // "MTrk"

// An RMID file (Windows' RIFF container around a Standard MIDI File) may hold other
// chunks beside the song: the container may be this large, the song inside it no larger
// than an image.
constexpr DWORD kMaxContainerSize = 1u << 20;

// Reads the whole file into a fresh buffer; nullptr when the file is larger than it may
// be or cannot be read in full, or memory runs out.
std::unique_ptr<unsigned char[]> read_whole_file(HANDLE file, DWORD& size) {
    DWORD size_high = 0;
    size = GetFileSize(file, &size_high);
    // A size with a high word (4 GiB and more) would pass the test on its low word alone.
    if (size == INVALID_FILE_SIZE || size_high != 0 || size > kMaxContainerSize) return nullptr;
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[size > 0 ? size : 1]);
    if (data == nullptr) return nullptr;
    DWORD read = 0;
    if (size > 0 && (!ReadFile(file, data.get(), size, &read, nullptr) || read != size))
        return nullptr;
    return data;
}

bool has_tag(const unsigned char* bytes, const char* tag) {
    return std::memcmp(bytes, tag, 4) == 0;
}

std::uint32_t read_le32(const unsigned char* bytes) {
    return bytes[0] | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The song an RMID file holds: its "data" chunk. Any other file is the song itself.
ByteView song_in_file(const unsigned char* bytes, DWORD size) {
    if (size < 12 || !has_tag(bytes, "RIFF") || !has_tag(bytes + 8, "RMID")) return {bytes, size};
    for (std::uint64_t at = 12; at + 8 <= size;) {
        std::uint32_t length = read_le32(bytes + at + 4);
        std::uint64_t left = size - (at + 8);
        if (has_tag(bytes + at, "data"))
            return {bytes + at + 8, static_cast<std::uint32_t>(length < left ? length : left)};
        at += 8 + static_cast<std::uint64_t>(length) + (length & 1);  // chunks are word-aligned
    }
    return {bytes, size};
}

}  // namespace

int load_song_file(const char* file_name, SongImage& image) {
    HANDLE file =
        CreateFileA(file_name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD size = 0;
    std::unique_ptr<unsigned char[]> data = read_whole_file(file, size);
    CloseHandle(file);
    if (data == nullptr) return 0;
    ByteView song = song_in_file(data.get(), size);
    if (song.size > kSongImageSize) return 0;
    std::memset(image.bytes, 0, kSongImageSize);
    std::memcpy(image.bytes, song.bytes, song.size);
    return 1;
}

int is_smf_header(ByteView image) {
    for (std::uint32_t i = 0; i < 4; ++i) {
        if (byte_at(image, i) != kHeaderTag[i]) return 0;
    }
    return 1;
}

std::uint32_t read_be32(ByteView buffer, std::uint32_t offset) {
    std::uint64_t at = offset;
    return static_cast<std::uint32_t>(byte_at(buffer, at)) << 24 |
           static_cast<std::uint32_t>(byte_at(buffer, at + 1)) << 16 |
           static_cast<std::uint32_t>(byte_at(buffer, at + 2)) << 8 | byte_at(buffer, at + 3);
}

bool is_track_tag(ByteView buffer, std::uint32_t offset) {
    for (std::uint32_t i = 0; i < 4; ++i) {
        if (byte_at(buffer, static_cast<std::uint64_t>(offset) + i) != kTrackTag[i]) return false;
    }
    return true;
}

std::uint32_t read_be24(ByteView buffer, std::uint32_t offset) {
    std::uint64_t at = offset;
    return static_cast<std::uint32_t>(byte_at(buffer, at)) << 16 |
           static_cast<std::uint32_t>(byte_at(buffer, at + 1)) << 8 | byte_at(buffer, at + 2);
}

std::uint16_t read_be16(ByteView buffer, std::uint32_t offset) {
    std::uint64_t at = offset;
    return static_cast<std::uint16_t>(byte_at(buffer, at) << 8 | byte_at(buffer, at + 1));
}

int find_track_chunk(ByteView image, std::uint32_t start) {
    for (std::uint32_t offset = start; offset < kSongImageSize && offset + 5 <= image.size;
         ++offset) {
        // A tag with a length below 16 MiB: the length's first byte is 0.
        if (is_track_tag(image, offset) && image.bytes[offset + 4] == 0)
            return static_cast<int>(offset);
    }
    return kNoTrackChunk;
}

VlqValue vlq_read(ByteView buffer, std::uint32_t offset) {
    std::uint32_t value = 0;
    for (int size = 1; size <= 4; ++size) {
        unsigned char b = byte_at(buffer, static_cast<std::uint64_t>(offset) + size - 1);
        value = value << 7 | (b & 0x7Fu);
        if ((b & 0x80) == 0) return {value, size};
    }
    // Four continuation bytes: read as a one-byte delta of 0 so the reader moves on.
    return {0, 1};
}

int vlq_write(unsigned char* out, std::uint32_t value) {
    if (value > 0x0FFFFFFFu) return 0;
    int size = value < 0x80u ? 1 : value < 0x4000u ? 2 : value < 0x200000u ? 3 : 4;
    for (int i = 0; i < size; ++i) {
        int shift = 7 * (size - 1 - i);
        unsigned char group = static_cast<unsigned char>((value >> shift) & 0x7Fu);
        out[i] = i < size - 1 ? static_cast<unsigned char>(group | 0x80u) : group;
    }
    return size;
}

EventClass classify_event(ByteView buffer, std::uint32_t offset) {
    std::uint64_t at = offset;
    unsigned char b = byte_at(buffer, at);
    if (b < 0x80) return {2, RunningStatus};
    if (b <= 0xEF) {
        unsigned char high = b >> 4;
        return {high == 0xC || high == 0xD ? 2 : 3, ChannelMessage};
    }
    if (b == 0xF0) return {byte_at(buffer, at + 1) + 2, SystemExclusive};
    if (b == 0xFF) {
        unsigned char type = byte_at(buffer, at + 1);
        // Past the end of the buffer the VLQ is a single zero byte.
        VlqValue size = at + 2 < buffer.size ? vlq_read(buffer, offset + 2) : VlqValue{0, 1};
        int length = 2 + size.size + static_cast<int>(size.value);
        EventKind kind = type == 0x51 ? SetTempo : type == 0x2F ? EndOfTrack : MetaEvent;
        return {length, kind};
    }
    return {0, OtherStatus};
}

void clear_event_times(std::int32_t* times) {
    std::memset(times, 0, kTimelineEvents * sizeof(std::int32_t));
}

void clear_event_slots(void* area) {
    std::memset(area, 0, kClearedSlotBytes);
}

void clear_sysex_slots(void* area) {
    std::memset(area, 0, kClearedSlotBytes);
}
