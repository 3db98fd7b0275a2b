#include "playback/channel_record.h"

ChannelRecord channel_records[16];

namespace {

constexpr auto kOrder = std::memory_order_relaxed;

}  // namespace

void reset_channel_records() {
    for (ChannelRecord& record : channel_records) {
        record.program.store(0, kOrder);
        record.bank_msb.store(0, kOrder);
        record.bank_lsb.store(0, kOrder);
        record.volume.store(100, kOrder);
        record.expression.store(127, kOrder);
        record.pan.store(64, kOrder);
        record.velocity.store(0, kOrder);
        record.in_use.store(false, kOrder);
    }
}

bool channel_in_use(int channel) {
    return channel_records[channel].in_use.load(kOrder);
}

void record_sent_message(unsigned char status, unsigned char data1, unsigned char data2) {
    ChannelRecord& record = channel_records[status & 0x0F];
    record.in_use.store(true, kOrder);
    switch (status & 0xF0) {
        case 0xC0:
            record.program.store(data1 & 0x7F, kOrder);
            break;
        case 0x90:
            if (data2 == 0) break;
            record.velocity.store(data2 & 0x7F, kOrder);
            record.notes.fetch_add(1, kOrder);
            break;
        case 0xB0:
            if (data1 == 0) record.bank_msb.store(data2 & 0x7F, kOrder);
            if (data1 == 32) record.bank_lsb.store(data2 & 0x7F, kOrder);
            if (data1 == 7) record.volume.store(data2 & 0x7F, kOrder);
            if (data1 == 10) record.pan.store(data2 & 0x7F, kOrder);
            if (data1 == 11) record.expression.store(data2 & 0x7F, kOrder);
            if (data1 == 121) record.expression.store(127, kOrder);  // as the reset leaves it
            break;
        default:
            break;
    }
}
