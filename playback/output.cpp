#include "playback/output.h"

#include <cstring>
#include <memory>
#include <new>

#include "playback/channel_record.h"
#include "playback/session.h"

namespace {

constexpr unsigned kSysexSlotLimit = kSysexDataLimit + 1;  // F0 and what follows it

}  // namespace

MMRESULT send_short_message(HMIDIOUT output, unsigned char status, unsigned char data1,
                            unsigned char data2) {
    DWORD message = static_cast<DWORD>(status) | static_cast<DWORD>(data1) << 8 |
                    static_cast<DWORD>(data2) << 16;
    MMRESULT result = midiOutShortMsg(output, message);
    if (result == MMSYSERR_NOERROR) record_sent_message(status, data1, data2);
    return result;
}

int send_sysex_message(HMIDIOUT output, const SysexSlot& slot) {
    unsigned n = slot.length > kSysexSlotLimit ? kSysexSlotLimit : slot.length;
    if (n == 0) return 0;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[n]);
    std::unique_ptr<MIDIHDR> header(new (std::nothrow) MIDIHDR());
    if (buffer == nullptr || header == nullptr) return 0;
    std::memcpy(buffer.get(), slot.bytes, n);
    header->lpData = buffer.get();
    header->dwBufferLength = n;
    if (midiOutPrepareHeader(output, header.get(), sizeof(MIDIHDR)) != MMSYSERR_NOERROR) return 0;
    bool sent = midiOutLongMsg(output, header.get(), sizeof(MIDIHDR)) == MMSYSERR_NOERROR;
    if (midiOutUnprepareHeader(output, header.get(), sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
        // The device may still read a header it did not give back: it stays, unowned.
        header.release();
        buffer.release();
        return 0;
    }
    return sent ? 1 : 0;
}

void due_next_message_at(HMIDIOUT output, std::int64_t song_us) {
    std::int64_t ms = song_us >= 0 ? song_us / 1000 : -((999 - song_us) / 1000);
    midiOutSetDueTime(output, playback_session.start_time + static_cast<DWORD>(ms),
                      static_cast<UINT>(song_us - ms * 1000));
}

void send_chase_list(HMIDIOUT output, const Timeline& timeline, const ChaseList& list,
                     std::optional<std::int64_t> due_song_us) {
    for (int i = 0; i < list.count; ++i) {
        const ChaseMessage& m = list.messages[i];
        if (due_song_us) due_next_message_at(output, *due_song_us);
        if (m.status == 0xF0) {
            send_sysex_message(output, timeline.sysex_slots[m.sysex]);
        } else {
            send_short_message(output, m.status, m.data1, m.data2);
        }
    }
}

void send_to_channels(HMIDIOUT output, std::uint16_t channels, const unsigned char* controllers,
                      int count, std::optional<std::int64_t> due_song_us) {
    for (int c = 0; c < 16; ++c) {
        if ((channels >> c & 1) == 0) continue;
        for (int i = 0; i < count; ++i) {
            if (due_song_us) due_next_message_at(output, *due_song_us);
            send_short_message(output, static_cast<unsigned char>(0xB0 + c), controllers[i], 0);
        }
    }
}

std::uint16_t channels_in_use() {
    std::uint16_t channels = 0;
    for (int c = 0; c < 16; ++c)
        if (channel_in_use(c)) channels = static_cast<std::uint16_t>(channels | 1u << c);
    return channels;
}
