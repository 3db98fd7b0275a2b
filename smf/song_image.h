// The loaded song and the primitives every reader of SMF data rests on.
#pragma once

#include <cstdint>

constexpr std::uint32_t kSongImageSize = 65536;
// The header chunk: "MThd", its length, format, track count and division.
constexpr std::uint32_t kHeaderChunkBytes = 14;

// The loaded file from offset 0, zero beyond its end.
struct SongImage {
    unsigned char bytes[kSongImageSize];
};

// A read-only run of bytes. Every read through it is bounded: a byte past the end
// reads as 0, so malformed data can never take a reader outside its buffer.
struct ByteView {
    const unsigned char* bytes;
    std::uint32_t size;
};

inline ByteView view_of(const SongImage& image) {
    return {image.bytes, kSongImageSize};
}

inline unsigned char byte_at(ByteView view, std::uint64_t offset) {
    return offset < view.size ? view.bytes[offset] : 0;
}

enum EventKind {
    RunningStatus = 0,
    ChannelMessage = 1,
    SystemExclusive = 2,
    MetaEvent = 3,
    EndOfTrack = 4,
    SetTempo = 5,
    OtherStatus = 6,
};

struct EventClass {
    int length;  // status byte included, delta time not
    EventKind kind;
};

struct VlqValue {
    std::uint32_t value;
    int size;  // bytes read, 1 to 4
};

// find_track_chunk's answer when no chunk tag follows the start offset.
constexpr int kNoTrackChunk = -1;

int load_song_file(const char* file_name, SongImage& image);
int is_smf_header(ByteView image);
// Whether the track chunk tag "MTrk" starts at offset.
bool is_track_tag(ByteView buffer, std::uint32_t offset);
std::uint32_t read_be32(ByteView buffer, std::uint32_t offset);
// Three bytes, most significant first: a set-tempo event's microseconds per beat.
std::uint32_t read_be24(ByteView buffer, std::uint32_t offset);
std::uint16_t read_be16(ByteView buffer, std::uint32_t offset);
int find_track_chunk(ByteView image, std::uint32_t start);
VlqValue vlq_read(ByteView buffer, std::uint32_t offset);
int vlq_write(unsigned char* out, std::uint32_t value);
EventClass classify_event(ByteView buffer, std::uint32_t offset);

constexpr int kTimelineEvents = 32768;
constexpr int kClearedSlotBytes = 131072;

void clear_event_times(std::int32_t* times);
void clear_event_slots(void* area);
void clear_sysex_slots(void* area);
