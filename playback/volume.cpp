#include "playback/volume.h"

#include "playback/output.h"

int output_volume = kFullVolume;

namespace {

// F0 7F 7F 04 01 LSB MSB F7: the universal real-time Master Volume, 14 bits.
void send_master_volume(HMIDIOUT output, int percent) {
    unsigned level = static_cast<unsigned>(percent) * 0x3FFF / kFullVolume;
    SysexSlot slot = {};
    const unsigned char message[] = {0xF0,
                                     0x7F,
                                     0x7F,
                                     0x04,
                                     0x01,
                                     static_cast<unsigned char>(level & 0x7F),
                                     static_cast<unsigned char>(level >> 7),
                                     0xF7};
    for (unsigned i = 0; i < sizeof message; ++i)
        slot.bytes[i] = message[i];
    slot.length = sizeof message;
    send_sysex_message(output, slot);
}

}  // namespace

bool output_has_own_volume(UINT device) {
    MIDIOUTCAPSA caps = {};
    return midiOutGetDevCapsA(device, &caps, sizeof caps) == MMSYSERR_NOERROR &&
           (caps.dwSupport & MIDICAPS_VOLUME) != 0;
}

void set_output_level(HMIDIOUT output, bool own_volume, int percent) {
    if (own_volume) {
        DWORD side = static_cast<DWORD>(percent) * 0xFFFF / kFullVolume;
        midiOutSetVolume(output, side | side << 16);
    } else {
        send_master_volume(output, percent);
    }
}

void apply_output_volume(HMIDIOUT output, UINT device, bool at_open) {
    bool own = output_has_own_volume(device);
    if (own || !at_open || output_volume != kFullVolume)
        set_output_level(output, own, output_volume);
}
