#include "instruments/channel_voices.h"

#include <cstdio>

#include "instruments/gm_names.h"

namespace {

constexpr int kListingLineSize = 128;
char listing_lines[kListedLines][kListingLineSize];

const char kNoInstrument[] = "楽器指定なし";

const char kBlankListingLine[] = "　　";
const char kNotAProgram[] = "";
// A channel no program change has reached: outside the 16 channels and the 128 programs.
constexpr ChannelVoice kNoVoice = {nullptr, 16, 255};

const char kListingFormat[] = "■%d  No.%d  %s      ■%d  No.%d  %s";
// Line 4 pairs channels 9 and 10: one of its six separating bytes is a full-width space.
const char kDrumLineFormat[] = "■%d  No.%d  %s    　■%d  No.%d  %s";
constexpr int kDrumLine = 4;  // its second half is channel 10

const char* shown_name(const ChannelVoice& voice) {
    return voice.name != nullptr ? voice.name : kNoInstrument;
}

}  // namespace

ChannelVoice channel_voice_from_message(unsigned char status, unsigned char data1) {
    if ((status & 0xF0) != 0xC0) return {kNotAProgram, kNoVoice.channel, kNoVoice.program};
    // A data byte of 0x80 or more names no program: a receiver takes it for a status byte.
    const char* name = data1 < kGmProgramCount ? gm_program_names[data1] : kNotAProgram;
    return {name, status - 0xC0, data1};
}

void reset_channel_voice_table(ChannelVoiceTable& table) {
    for (ChannelVoice& voice : table.voices)
        voice = kNoVoice;
}

InstrumentListing format_instrument_listing(const ChannelVoiceTable& table) {
    InstrumentListing listing;
    for (int k = 0; k < kListedLines; ++k) {
        const ChannelVoice& a = table.voices[2 * k];
        const ChannelVoice& b = table.voices[2 * k + 1];
        if (a.name == nullptr && b.name == nullptr) {
            listing.lines[k] = kBlankListingLine;
            continue;
        }
        const char* b_name =
            k == kDrumLine ? (b.name != nullptr ? kDrumVoice : kNoInstrument) : shown_name(b);
        std::snprintf(listing_lines[k], kListingLineSize,
                      k == kDrumLine ? kDrumLineFormat : kListingFormat, a.channel + 1,
                      a.program + 1, shown_name(a), b.channel + 1, b.program + 1, b_name);
        listing.lines[k] = listing_lines[k];
    }
    return listing;
}

InstrumentListing empty_instrument_listing() {
    InstrumentListing listing;
    for (const char*& line : listing.lines)
        line = kBlankListingLine;
    return listing;
}
