#include "playback/song_start.h"

#include "playback/channel_record.h"
#include "playback/chase.h"

namespace {

ChaseList start_chase;  // too large for the stack

int first_note_index(const Timeline& timeline) {
    int count = timeline_count(timeline);
    for (int i = 0; i < count; ++i) {
        const EventSlot& slot = timeline.event_slots[i];
        if ((slot.status & 0xF0) == 0x90 && slot.data2 != 0) return i;
    }
    return count;
}

}  // namespace

void record_song_start(const Timeline& timeline) {
    reset_channel_records();
    bool used[16] = {};
    int count = timeline_count(timeline);
    for (int i = 0; i < count; ++i) {
        unsigned char status = timeline.event_slots[i].status;
        if (status >= 0x80 && status < 0xF0) used[status & 0x0F] = true;
    }
    chase_messages(timeline, first_note_index(timeline), start_chase);
    for (int i = 0; i < start_chase.count; ++i) {
        const ChaseMessage& message = start_chase.messages[i];
        if (message.status < 0xF0)
            record_sent_message(message.status, message.data1, message.data2);
    }
    for (int c = 0; c < 16; ++c)
        channel_records[c].in_use.store(used[c], std::memory_order_relaxed);
}
