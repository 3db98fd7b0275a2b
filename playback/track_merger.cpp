#include "playback/track_merger.h"

#include <cstring>
#include <new>

#include "smf/song_info.h"

namespace {

// Every kept event's bytes lie apart within the song, and each copy has one more byte.
constexpr std::uint32_t kCopyArenaSize = kSongImageSize + kCountedEventLimit;

struct TrackEvent {
    std::uint32_t delta;
    std::uint32_t position;  // first byte of the event
    std::uint32_t length;
    EventKind kind;
    unsigned char running_status;  // the status a RunningStatus event is written with
};

struct TrackReader {
    ByteView song;
    std::uint32_t data_end;  // after the song's last byte that is not zero
    std::uint32_t position;
    unsigned char running_status;
    int events_read;
};

// A copy of one event as it is written out: with its status byte, running status
// included, and a zero byte after it.
struct EventCopy {
    std::uint32_t offset;  // in the arena
    std::uint32_t length;
};

// The tracks' events one after another, sized for the whole song's limit: a track may
// hold all of it.
struct MergeWork {
    int event_counts[kMergedTrackLimit];
    int first_event[kMergedTrackLimit];           // of each track in deltas and copies
    std::uint64_t end_ticks[kMergedTrackLimit];   // of its End of Track; 0 without one
    std::uint64_t last_ticks[kMergedTrackLimit];  // of its last event
    std::uint32_t deltas[kCountedEventLimit];
    EventCopy copies[kCountedEventLimit];
    unsigned char arena[kCopyArenaSize];
    std::uint32_t arena_used;
};

int merged_track_count(const SongImage& song, double speed_factor) {
    int n = scan_song_info(view_of(song), speed_factor).track_count;
    return n > kMergedTrackLimit ? kMergedTrackLimit - 1 : n;
}

// The bytes after an F1-FE status that MIDI gives it, so reading stays in step; F7 is
// the SMF escape, a length byte and that many bytes.
std::uint32_t other_status_length(ByteView song, std::uint32_t position) {
    switch (byte_at(song, position)) {
        case 0xF1:
        case 0xF3:
            return 2;
        case 0xF2:
            return 3;
        case 0xF7:
            return 2u + byte_at(song, position + 1);
        default:
            return 1;
    }
}

// Past the song's last byte that is not zero, a track without its End of Track would
// read the image's zeros as events.
std::uint32_t data_end(const SongImage& song) {
    std::uint32_t end = kSongImageSize;
    while (end > 0 && song.bytes[end - 1] == 0)
        --end;
    return end;
}

// Reads the next event of the track. False when reading must stop: the read limit is
// reached, the song's data has ended, or the event would run past the end of the image.
bool read_track_event(TrackReader& reader, TrackEvent& event) {
    if (reader.events_read >= kCountedEventLimit || reader.position >= reader.data_end)
        return false;
    if (is_track_tag(reader.song, reader.position)) reader.position += 8;
    VlqValue delta = vlq_read(reader.song, reader.position);
    std::uint64_t position = static_cast<std::uint64_t>(reader.position) + delta.size;
    EventClass kind = classify_event(reader.song, static_cast<std::uint32_t>(position));
    std::uint64_t length = static_cast<unsigned>(kind.length);
    if (kind.kind == ChannelMessage)
        reader.running_status = byte_at(reader.song, static_cast<std::uint32_t>(position));
    if (kind.kind == RunningStatus)
        length = static_cast<unsigned>(classify_event({&reader.running_status, 1}, 0).length - 1);
    if (kind.kind == OtherStatus)
        length = other_status_length(reader.song, static_cast<std::uint32_t>(position));
    if (position + length > reader.song.size) return false;
    event = {delta.value, static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(length),
             kind.kind, reader.running_status};
    reader.position = static_cast<std::uint32_t>(position + length);
    ++reader.events_read;
    return true;
}

std::uint32_t add_delta(std::uint32_t a, std::uint32_t b) {
    std::uint64_t sum = static_cast<std::uint64_t>(a) + b;
    return sum > kDoneTrack ? kDoneTrack : static_cast<std::uint32_t>(sum);
}

// Walks tracks 0..n-1 the one way counting and copying out both read them. visit gets
// each kept event with its index in the track, the end of track last. F1-FE events are
// dropped, their delta carried on. Reading that must stop leaves the tracks not reached
// empty.
template <typename Visit>
void walk_tracks(const SongImage& song, int n, int event_counts[], Visit visit) {
    TrackReader reader = {view_of(song), data_end(song), kHeaderChunkBytes, 0, 0};
    for (int t = 0; t < n; ++t)
        event_counts[t] = 0;
    for (int t = 0; t < n; ++t) {
        reader.running_status = 0;
        std::uint32_t carried = 0;
        TrackEvent event = {0, 0, 0, OtherStatus, 0};
        while (read_track_event(reader, event)) {
            event.delta = add_delta(carried, event.delta);
            carried = 0;
            if (event.kind == OtherStatus) {
                carried = event.delta;
                continue;
            }
            if (event.kind == EndOfTrack) {
                visit(t, event_counts[t], event);
                break;
            }
            visit(t, event_counts[t]++, event);
        }
        if (event.kind != EndOfTrack) return;
    }
}

void copy_out_event(MergeWork& work, const SongImage& song, int t, int i, const TrackEvent& event) {
    if (i == 0) {
        work.first_event[t] = t == 0 ? 0 : work.first_event[t - 1] + work.event_counts[t - 1] + 1;
        work.end_ticks[t] = work.last_ticks[t] = 0;
    }
    std::uint64_t ticks = work.end_ticks[t] + event.delta;
    work.end_ticks[t] = ticks;
    if (event.kind != EndOfTrack) work.last_ticks[t] = ticks;
    unsigned char* copy = work.arena + work.arena_used;
    std::uint32_t length = event.length;
    if (event.kind == RunningStatus) {
        *copy++ = event.running_status;
        ++length;
    }
    std::memcpy(copy, song.bytes + event.position, event.length);
    copy[event.length] = 0;
    work.deltas[work.first_event[t] + i] = event.delta;
    work.copies[work.first_event[t] + i] = {work.arena_used, length};
    work.arena_used += length + 1;
}

void copy_out_tracks(MergeWork& work, const SongImage& song, int n) {
    work.arena_used = 0;
    walk_tracks(song, n, work.event_counts, [&](int t, int i, const TrackEvent& event) {
        copy_out_event(work, song, t, i, event);
    });
}

// From the stream's last event to the latest End of Track.
std::uint64_t tail_ticks(const MergeWork& work, int n) {
    std::uint64_t last = 0, end = 0;
    for (int t = 0; t < n; ++t) {
        if (work.last_ticks[t] > last) last = work.last_ticks[t];
        if (work.end_ticks[t] > end) end = work.end_ticks[t];
    }
    return end > last ? end - last : 0;
}

// One pass per counted event: every live track whose next event lies at the smallest
// remaining delta emits it, in track order, the first with that delta, the others 0.
std::uint32_t merge_events(MergeWork& work, int n, int total, unsigned char* out) {
    int next_index[kMergedTrackLimit] = {};
    bool done[kMergedTrackLimit];
    std::uint32_t pending[kMergedTrackLimit];
    for (int t = 0; t < n; ++t)
        done[t] = work.event_counts[t] == 0;
    std::uint32_t position = kMergedStreamStart;
    int index = 0;  // of the next event in the stream
    for (int pass = 0; pass < total; ++pass) {
        for (int t = 0; t < n; ++t)
            pending[t] = done[t] ? kDoneTrack : work.deltas[work.first_event[t] + next_index[t]];
        std::uint32_t m = array_minimum(pending, n);
        int emitted = 0;
        for (int t = 0; t < n; ++t) {
            if (done[t]) continue;
            std::uint32_t& delta = work.deltas[work.first_event[t] + next_index[t]];
            if (delta != m) {
                delta -= m;
                continue;
            }
            position += static_cast<std::uint32_t>(vlq_write(out + position, emitted == 0 ? m : 0));
            const EventCopy& copy = work.copies[work.first_event[t] + next_index[t]];
            std::memcpy(out + position, work.arena + copy.offset, copy.length);
            position += copy.length;
            if (index < kTimelineEvents)
                merged_event_tracks[index++] = static_cast<unsigned char>(t);
            if (++next_index[t] == work.event_counts[t]) done[t] = true;
            ++emitted;
        }
    }
    return position;
}

}  // namespace

unsigned char merged_event_tracks[kTimelineEvents];

std::uint32_t array_minimum(const std::uint32_t* values, int n) {
    if (n <= 0) return kDoneTrack;
    std::uint32_t minimum = values[0];
    for (int i = 1; i < n; ++i) {
        if (values[i] < minimum) minimum = values[i];
    }
    return minimum;
}

void count_track_events(const SongImage& song, int event_counts[kMergedTrackLimit],
                        double speed_factor) {
    walk_tracks(song, merged_track_count(song, speed_factor), event_counts,
                [](int, int, const TrackEvent&) {});
}

std::unique_ptr<MergedImage> merge_song(const SongImage& song, double speed_factor,
                                        std::uint32_t& stream_end) {
    int n = merged_track_count(song, speed_factor);
    int counts[kMergedTrackLimit];
    count_track_events(song, counts, speed_factor);
    int total = 0;
    for (int t = 0; t < n; ++t)
        total += counts[t];
    song_timeline.event_count = total + 10;

    std::unique_ptr<MergeWork> work(new (std::nothrow) MergeWork);
    std::unique_ptr<MergedImage> merged(new (std::nothrow) MergedImage);
    if (work == nullptr || merged == nullptr) return nullptr;
    copy_out_tracks(*work, song, n);
    song_end.tail_ticks = tail_ticks(*work, n);
    std::memset(merged->bytes, 0, kMergedImageSize);
    std::memcpy(merged->bytes, song.bytes, kMergedStreamStart);
    merged->bytes[9] = 0;   // format 0
    merged->bytes[11] = 1;  // one track
    stream_end = merge_events(*work, n, total, merged->bytes);
    return merged;
}

void merge_tracks(const SongImage& song, ChannelVoiceTable& voices, VoiceOverride override,
                  double speed_factor) {
    std::uint32_t stream_end = 0;
    std::unique_ptr<MergedImage> merged = merge_song(song, speed_factor, stream_end);
    if (merged == nullptr) {
        // Out of memory: nothing to play rather than the previous song's tables.
        song_timeline.event_count = 0;
        reset_channel_voice_table(voices);
        return;
    }
    build_timeline(*merged, voices, override, speed_factor);
}
