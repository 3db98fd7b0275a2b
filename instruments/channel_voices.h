// The per-channel instrument table, filled from program changes, and its six-line listing.
#pragma once

#include <cstdint>

struct ChannelVoice {
    const char* name;      // nullptr: no program change seen on the channel
    std::int32_t channel;  // 0..15; 16 means none
    std::int32_t program;  // 0..127; 255 means none
};

constexpr int kChannelVoiceEntries = 32;
constexpr int kDrumChannel = 9;  // channel 10, whose programs are drum kits
constexpr char kDrumVoice[] = "ドラムス音色";
constexpr int kListedLines = 6;  // channels 1 to 12, two a line

struct ChannelVoiceTable {
    ChannelVoice voices[kChannelVoiceEntries];
};

struct InstrumentListing {
    const char* lines[kListedLines];
};

ChannelVoice channel_voice_from_message(unsigned char status, unsigned char data1);
void reset_channel_voice_table(ChannelVoiceTable& table);
InstrumentListing format_instrument_listing(const ChannelVoiceTable& table);
InstrumentListing empty_instrument_listing();
