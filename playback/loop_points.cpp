#include "playback/loop_points.h"

#include "playback/position.h"
#include "playback/song_texts.h"
#include "playback/timeline.h"

int loop_count = kDefaultLoopCount;
std::uint32_t loop_fade_ms = kDefaultLoopFade;

namespace {

constexpr unsigned char kLoopStartController = 111;

std::uint32_t time_of(int index) {
    std::int32_t time = song_timeline.event_times[index];
    return time < 0 ? 0 : static_cast<std::uint32_t>(time);
}

// The first marker that reads word, at or after from_ms; -1 when none.
int find_marker(const char* word, std::uint32_t from_ms) {
    for (int i = 0; i < song_texts.count; ++i) {
        const SongText& text = song_texts.texts[i];
        if (text.type == kMarkerEvent && time_of(text.index) >= from_ms &&
            text_is(song_texts.bytes + text.offset, text.length, word))
            return text.index;
    }
    return -1;
}

int find_loop_controller() {
    for (int i = 0; i < timeline_count(); ++i) {
        const EventSlot& slot = song_timeline.event_slots[i];
        if ((slot.status & 0xF0) == 0xB0 && slot.data1 == kLoopStartController) return i;
    }
    return -1;
}

}  // namespace

LoopPoints find_loop_points() {
    LoopPoints none = {-1, 0, 0, 0, false};
    int count = timeline_count();
    int start = find_marker("loopStart", 0);
    if (start < 0) start = find_loop_controller();
    int end = find_marker("loopEnd", start < 0 ? 0 : time_of(start));
    if ((start < 0 && end < 0) || count == 0) return none;
    // A loopEnd alone loops from the song's start, a rest before its first event included.
    std::uint32_t start_ms = start < 0 ? kFirstEventTime : time_of(start);
    // Every event at the start's time plays in each pass, those merged before it too.
    LoopPoints loop = {first_event_at(start_ms), count, start_ms, song_end_ms(), false};
    if (end >= 0) {
        loop.end_ms = time_of(end);
        loop.end_index = first_event_at(loop.end_ms);
    }
    // Music after the end: a note that starts there (the end's note-offs are none).
    for (int i = loop.end_index; i < count && !loop.way_out; ++i) {
        const EventSlot& slot = song_timeline.event_slots[i];
        loop.way_out = (slot.status & 0xF0) == 0x90 && slot.data2 != 0;
    }
    if (loop.end_ms <= loop.start_ms || loop.start_index >= loop.end_index) return none;
    return loop;
}
