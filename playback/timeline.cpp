#include "playback/timeline.h"

#include <climits>
#include <cstring>

#include "playback/exact_times.h"
#include "playback/song_texts.h"
#include "smf/song_info.h"

Timeline song_timeline;
SongEnd song_end;

void reset_timeline() {
    std::memset(&song_timeline, 0, sizeof song_timeline);
    song_end = {};
}

void mark_events_sent(int from, int up_to, bool sent) {
    for (int i = from; i < up_to; ++i) {
        song_timeline.event_slots[i].sent = sent ? 1 : 0;
        if (i < kSysexSlots) song_timeline.sysex_slots[i].sent = sent ? 1 : 0;
    }
}

// The merger counts events the Timeline may not hold: never look past its end.
int timeline_count(const Timeline& timeline) {
    int count = timeline.event_count;
    return count < 0 ? 0 : count < kTimelineEvents ? count : kTimelineEvents;
}

namespace {

struct BuildState {
    ByteView merged;
    std::uint32_t position;
    double exact_time;  // ms from the start on the tempo map, unrounded
    double ms_per_tick;
    std::int32_t division;
    double speed_factor;
};

// A division with its top bit set counts in frames of SMPTE time code, not in beats: its
// high byte is minus the frames a second (29 meaning 29.97), its low byte the ticks a
// frame; the tick then has one length whatever the tempo. 0 when the division is in beats.
double smpte_tick_length(std::int32_t division) {
    if ((division & 0x8000) == 0) return 0.0;
    int frames = -static_cast<signed char>(division >> 8 & 0xFF);
    int ticks = division & 0xFF;
    if (frames <= 0 || ticks == 0) return 0.0;
    double per_second = frames == 29 ? 29.97 : frames;
    return 1000.0 / (per_second * ticks);
}

// Without any set-tempo event the song plays at the SMF default tempo; an event that
// sets a tempo of 0 falls back to one millisecond per tick.
double base_tick_length(const SongInfo& info, double speed_factor) {
    double smpte = smpte_tick_length(info.division);
    if (smpte > 0.0) return smpte * speed_factor;
    std::uint32_t tempo =
        info.meta.tempo_event_count == 0 ? kDefaultTempo : tempo_from_bytes(info.meta.tempo_bytes);
    double base = 0.0;
    if (info.division != 0) base = static_cast<double>(tempo) / (info.division * 1000);
    if (base == 0.0) base = 1.0;
    return base * speed_factor;
}

void apply_set_tempo(BuildState& state) {
    if (state.division == 0 || smpte_tick_length(state.division) > 0.0) return;
    std::uint32_t tempo = read_be24(state.merged, state.position + 3);
    state.ms_per_tick = static_cast<double>(tempo) / (state.division * 1000) * state.speed_factor;
}

void store_program_change(EventSlot& slot, ChannelVoiceTable& voices, VoiceOverride override) {
    if (override.enabled == 1 && override.channel == slot.status - 0xC0)
        slot.data1 = static_cast<unsigned char>(override.program & 0xFF);
    ChannelVoice voice = channel_voice_from_message(slot.status, slot.data1);
    voices.voices[voice.channel] = voice;
}

// A message longer than a slot gets none, like one beyond the slots: a cut message
// would reach the device without its end.
void store_sysex(const BuildState& state, int index, unsigned data_length) {
    if (index >= kSysexSlots || data_length > kSysexDataLimit) return;
    SysexSlot& slot = song_timeline.sysex_slots[index];
    slot.bytes[0] = 0xF0;
    for (unsigned i = 0; i < data_length; ++i)
        slot.bytes[1 + i] = byte_at(state.merged, state.position + 2 + i);
    slot.length = static_cast<unsigned char>(data_length + 1);
}

void keep_meta_text(const BuildState& state, int index) {
    VlqValue length = vlq_read(state.merged, state.position + 2);
    std::uint64_t start = static_cast<std::uint64_t>(state.position) + 2 + length.size;
    if (start + length.value > state.merged.size) return;
    keep_song_text(index, byte_at(state.merged, state.position + 1), state.merged.bytes + start,
                   length.value);
}

void read_event(BuildState& state, int index, ChannelVoiceTable& voices, VoiceOverride override) {
    EventClass event = classify_event(state.merged, state.position);
    EventSlot& slot = song_timeline.event_slots[index];
    switch (event.kind) {
        case ChannelMessage:
        case RunningStatus:
            slot.status = byte_at(state.merged, state.position);
            slot.data1 = byte_at(state.merged, state.position + 1);
            if (event.length == 3) slot.data2 = byte_at(state.merged, state.position + 2);
            if (event.kind == ChannelMessage && (slot.status & 0xF0) == 0xC0)
                store_program_change(slot, voices, override);
            break;
        case SystemExclusive:
            store_sysex(state, index, static_cast<unsigned>(event.length - 2));
            break;
        case SetTempo:
            apply_set_tempo(state);
            break;
        case MetaEvent:
            keep_meta_text(state, index);
            break;
        case EndOfTrack:
        case OtherStatus:
            break;
    }
    // A meta length can point far past the image; every read beyond it is a zero anyway.
    std::uint64_t next =
        static_cast<std::uint64_t>(state.position) + static_cast<unsigned>(event.length);
    state.position =
        next > state.merged.size ? state.merged.size : static_cast<std::uint32_t>(next);
}

}  // namespace

void build_timeline(const MergedImage& merged, ChannelVoiceTable& voices, VoiceOverride override,
                    double speed_factor) {
    SongInfo info = scan_song_info(view_of(merged), speed_factor);
    BuildState state = {view_of(merged), kHeaderChunkBytes,
                        kFirstEventTime, base_tick_length(info, speed_factor),
                        info.division,   speed_factor};
    reset_channel_voice_table(voices);
    clear_event_slots(song_timeline.event_slots);
    clear_sysex_slots(song_timeline.sysex_slots);
    clear_event_times(song_timeline.event_times);
    clear_song_texts();
    clear_exact_times();
    for (int i = 0; i < kTimelineEvents; ++i) {
        if (is_track_tag(state.merged, state.position)) {
            state.position += 8;
            state.exact_time = kFirstEventTime;
        }
        // Each time is rounded once from the exact time since the start: rounding each
        // delta by itself would let the errors add up along the song.
        VlqValue delta = vlq_read(state.merged, state.position);
        state.exact_time += delta.value * state.ms_per_tick;
        std::int32_t time = round_to_int(state.exact_time);  // saturates past 24 days
        song_timeline.event_times[i] = time;
        keep_exact_time(i, state.exact_time, time);
        state.position += static_cast<std::uint32_t>(delta.size);
        read_event(state, i, voices, override);
    }
    song_end.time = round_to_int(state.exact_time + song_end.tail_ticks * state.ms_per_tick);
}

std::int32_t round_to_int(double x) {
    // Beyond the int range the result saturates instead of overflowing the conversion.
    if (!(x < 2147483646.0)) return x != x ? 0 : INT32_MAX;
    if (x < -2147483646.0) return INT32_MIN;
    double shifted = x + 0.01;
    std::int32_t n = static_cast<std::int32_t>(shifted);
    double fraction = (shifted - n) * 10;
    std::int32_t first_decimal = static_cast<std::int32_t>(fraction < 0 ? -fraction : fraction);
    if (first_decimal > 4) n += shifted >= 0 ? 1 : -1;
    return n;
}
