#include "playback/chase.h"

#include <initializer_list>

namespace {

constexpr int kChannels = 16;
constexpr int kParameters = 16;
constexpr short kUnset = -1;  // as the reset before a chase leaves it
constexpr int kBankMsb = 0;
constexpr int kBankLsb = 32;
constexpr int kDataEntry = 6;
constexpr int kDataEntryFine = 38;
constexpr int kDataIncrement = 96;
constexpr int kDataDecrement = 97;
constexpr int kResetAll = 121;
constexpr int kModeMessages = 120;  // 120 to 127: no controllers, no state kept here
// The controllers that select a parameter, by kind (registered, non-registered): MSB, LSB.
constexpr int kSelectors[2][2] = {{101, 100}, {99, 98}};

struct Parameter {
    unsigned char kind;  // 0 registered, 1 non-registered
    unsigned char number[2];
    short value;  // data entry before the point, or kUnset
    short fine;
};

struct Selection {
    short registers[2][2];  // by kind, MSB and LSB
    short kind;             // the kind data entry goes to
};

struct ChannelChase {
    short controllers[kModeMessages];
    bool set_anywhere[kModeMessages];
    short program;
    bool program_anywhere;
    short program_bank[2];  // the bank registers when the program was chosen
    short bend;
    short pressure;
    Parameter parameters[kParameters];
    int parameter_count;
    Selection selection;  // as the song goes
    Selection at_point;
};

ChannelChase channels[kChannels];
// Whether what the song sets only after the point goes back to General MIDI's values:
// not after a reset message before the point, which has set every one of them.
bool defaults_needed;

constexpr int kAnyByte = -1;

// Whether the length bytes begin with head, kAnyByte matching any byte.
bool begins_with(const unsigned char* bytes, int length, std::initializer_list<int> head) {
    if (length < static_cast<int>(head.size())) return false;
    int i = 0;
    for (int b : head) {
        if (b != kAnyByte && bytes[i] != b) return false;
        ++i;
    }
    return true;
}

// The whole-device resets, as the synthesizer takes them: GM and GM 2 System On (extra
// bytes after the sub-ID allowed), GS Reset and its mode set to GM, XG System On and its
// reset to factory settings. bytes follow F0.
bool is_reset_message(const unsigned char* bytes, int length) {
    return (begins_with(bytes, length, {0x7E, kAnyByte, 0x09}) && length > 3 &&
            (bytes[3] == 0x01 || bytes[3] == 0x03)) ||
           (begins_with(bytes, length, {0x41, kAnyByte, 0x42, 0x12, 0x40, 0x00, 0x7F}) &&
            length > 7 && (bytes[7] == 0x00 || bytes[7] == 0x7F)) ||
           (begins_with(bytes, length, {0x43, kAnyByte, 0x4C, 0x00, 0x00}) &&
            (bytes[1] & 0xF0) == 0x10 && length > 6 && (bytes[5] == 0x7E || bytes[5] == 0x7F) &&
            bytes[6] == 0x00);
}

// A reset of all controllers leaves these as they are: banks, volume, balance, pan, the
// sound controllers and the effect depths.
bool kept_by_reset(int cc) {
    return cc == kBankMsb || cc == kBankLsb || cc == 7 || cc == 39 || cc == 8 || cc == 40 ||
           cc == 10 || cc == 42 || (cc >= 70 && cc <= 79) || (cc >= 91 && cc <= 95);
}

bool selects_parameter(int cc) {
    return cc == kSelectors[0][0] || cc == kSelectors[0][1] || cc == kSelectors[1][0] ||
           cc == kSelectors[1][1];
}

bool drives_parameter(int cc) {
    return cc == kDataEntry || cc == kDataEntryFine || cc == kDataIncrement ||
           cc == kDataDecrement || selects_parameter(cc);
}

// General MIDI's power-on value of a controller a reset keeps.
short default_value(int cc) {
    if (cc == 7) return 100;
    if (cc == 8 || cc == 10 || (cc >= 70 && cc <= 79)) return 64;
    if (cc == 91) return 40;
    return 0;
}

void reset_channel(ChannelChase& channel) {
    for (short& value : channel.controllers)
        value = kUnset;
    for (bool& set : channel.set_anywhere)
        set = false;
    channel.program = kUnset;
    channel.program_anywhere = false;
    channel.program_bank[0] = channel.program_bank[1] = kUnset;
    channel.bend = channel.pressure = kUnset;
    channel.parameter_count = 0;
    channel.selection = Selection{{{kUnset, kUnset}, {kUnset, kUnset}}, kUnset};
    channel.at_point = channel.selection;
}

// The selected parameter's entry, made when new; nullptr when none is selected or the
// table is full.
Parameter* selected_parameter(ChannelChase& channel) {
    const Selection& s = channel.selection;
    if (s.kind == kUnset) return nullptr;
    const short* number = s.registers[s.kind];
    if (number[0] == kUnset || number[1] == kUnset || (number[0] == 127 && number[1] == 127))
        return nullptr;
    for (int i = 0; i < channel.parameter_count; ++i) {
        Parameter& p = channel.parameters[i];
        if (p.kind == s.kind && p.number[0] == number[0] && p.number[1] == number[1]) return &p;
    }
    if (channel.parameter_count == kParameters) return nullptr;
    Parameter& p = channel.parameters[channel.parameter_count++];
    p = Parameter{static_cast<unsigned char>(s.kind),
                  {static_cast<unsigned char>(number[0]), static_cast<unsigned char>(number[1])},
                  kUnset,
                  kUnset};
    return &p;
}

void apply_parameter_controller(ChannelChase& channel, int cc, int value, bool before) {
    for (int kind = 0; kind < 2; ++kind) {
        for (int half = 0; half < 2; ++half) {
            if (cc != kSelectors[kind][half]) continue;
            channel.selection.registers[kind][half] = static_cast<short>(value);
            channel.selection.kind = static_cast<short>(kind);
            return;
        }
    }
    Parameter* p = selected_parameter(channel);
    if (p == nullptr || !before) return;
    if (cc == kDataEntry) p->value = static_cast<short>(value);
    if (cc == kDataEntryFine) p->fine = static_cast<short>(value);
    if (cc == kDataIncrement && p->value != kUnset && p->value < 127) ++p->value;
    if (cc == kDataDecrement && p->value != kUnset && p->value > 0) --p->value;
}

void apply_reset_all(ChannelChase& channel) {
    for (int cc = 0; cc < kModeMessages; ++cc)
        if (!kept_by_reset(cc)) channel.controllers[cc] = kUnset;
    channel.bend = channel.pressure = kUnset;
    channel.selection = Selection{{{kUnset, kUnset}, {kUnset, kUnset}}, kUnset};
}

void apply_controller(ChannelChase& channel, int cc, int value, bool before) {
    if (cc < kModeMessages && defaults_needed) channel.set_anywhere[cc] = true;
    if (drives_parameter(cc)) {
        apply_parameter_controller(channel, cc, value, before);
    } else if (!before) {
        return;
    } else if (cc == kResetAll) {
        apply_reset_all(channel);
    } else if (cc < kModeMessages) {
        channel.controllers[cc] = static_cast<short>(value);
    }
}

void apply_event(const EventSlot& slot, bool before) {
    ChannelChase& channel = channels[slot.status & 0x0F];
    switch (slot.status & 0xF0) {
        case 0xB0:
            apply_controller(channel, slot.data1 & 0x7F, slot.data2 & 0x7F, before);
            break;
        case 0xC0:
            channel.program_anywhere = defaults_needed;
            if (!before) break;
            channel.program = slot.data1 & 0x7F;
            channel.program_bank[0] = channel.controllers[kBankMsb];
            channel.program_bank[1] = channel.controllers[kBankLsb];
            break;
        case 0xD0:
            if (before) channel.pressure = slot.data1 & 0x7F;
            break;
        case 0xE0:
            if (before)
                channel.bend = static_cast<short>((slot.data2 & 0x7F) << 7 | (slot.data1 & 0x7F));
            break;
        default:
            break;
    }
}

class Emitter {
  public:
    explicit Emitter(ChaseList& out) : out_(out) { out_.count = 0; }
    void restart() { out_.count = 0; }
    void message(int status, int data1, int data2, int sysex = -1) {
        if (out_.count == kChaseLimit) return;
        out_.messages[out_.count++] = {
            static_cast<unsigned char>(status), static_cast<unsigned char>(data1),
            static_cast<unsigned char>(data2), static_cast<std::int16_t>(sysex)};
    }
    void controller(int channel, int cc, int value) { message(0xB0 | channel, cc, value); }

  private:
    ChaseList& out_;
};

// The bank that goes with the program: as the song chose it, else General MIDI's first
// when the song chooses banks at all on the channel.
short bank_for_program(const ChannelChase& channel, int half) {
    if (channel.program_bank[half] != kUnset) return channel.program_bank[half];
    return channel.set_anywhere[half == 0 ? kBankMsb : kBankLsb] ? 0 : kUnset;
}

void emit_program(Emitter& emit, int c, const ChannelChase& channel, short bank[2]) {
    if (channel.program == kUnset && !channel.program_anywhere) return;
    for (int half = 0; half < 2; ++half) {
        bank[half] = bank_for_program(channel, half);
        if (bank[half] != kUnset) emit.controller(c, half == 0 ? kBankMsb : kBankLsb, bank[half]);
    }
    emit.message(0xC0 | c, channel.program == kUnset ? 0 : channel.program, 0);
}

void emit_controllers(Emitter& emit, int c, const ChannelChase& channel, const short bank[2]) {
    for (int cc = 0; cc < kModeMessages; ++cc) {
        if (drives_parameter(cc) || cc == kResetAll) continue;
        short value = channel.controllers[cc];
        if (value == kUnset && kept_by_reset(cc) && channel.set_anywhere[cc])
            value = default_value(cc);
        if (value == kUnset) continue;
        if (cc == kBankMsb && value == bank[0]) continue;
        if (cc == kBankLsb && value == bank[1]) continue;
        emit.controller(c, cc, value);
    }
}

// A registered parameter General MIDI defines: its power-on value.
bool default_parameter(const Parameter& p, short& value, short& fine) {
    if (p.kind != 0 || p.number[0] != 0 || p.number[1] > 2) return false;
    value = p.number[1] == 0 ? 2 : 64;  // bend range 2 semitones; tunings centred
    fine = 0;
    return true;
}

void emit_parameters(Emitter& emit, int c, const ChannelChase& channel) {
    bool touched[2] = {false, false};  // the kinds whose selectors the entries changed
    for (int i = 0; i < channel.parameter_count; ++i) {
        const Parameter& p = channel.parameters[i];
        short value = p.value;
        short fine = p.fine;
        if (value == kUnset && !(defaults_needed && default_parameter(p, value, fine))) continue;
        emit.controller(c, kSelectors[p.kind][0], p.number[0]);
        emit.controller(c, kSelectors[p.kind][1], p.number[1]);
        emit.controller(c, kDataEntry, value);
        if (fine != kUnset) emit.controller(c, kDataEntryFine, fine);
        touched[p.kind] = true;
    }
    // The selection as the song left it, both halves of both kinds: the other kind first,
    // the one in use last. A half the song had not set yet is null (127), as after a reset,
    // where an entry above changed it.
    const Selection& s = channel.at_point;
    for (int order = 0; order < 2; ++order) {
        int kind = s.kind == kUnset ? order : (s.kind + 1 + order) % 2;
        for (int half = 0; half < 2; ++half) {
            short value = s.registers[kind][half];
            if (value == kUnset && !touched[kind]) continue;
            emit.controller(c, kSelectors[kind][half], value == kUnset ? 127 : value);
        }
    }
}

}  // namespace

void chase_messages(const Timeline& timeline, int up_to_index, ChaseList& out) {
    int count = timeline.event_count < 0                 ? 0
                : timeline.event_count > kTimelineEvents ? kTimelineEvents
                                                         : timeline.event_count;
    for (ChannelChase& channel : channels)
        reset_channel(channel);
    defaults_needed = true;
    Emitter emit(out);
    for (int i = 0; i < count; ++i) {
        if (i == up_to_index)
            for (ChannelChase& channel : channels)
                channel.at_point = channel.selection;
        bool before = i < up_to_index;
        const EventSlot& slot = timeline.event_slots[i];
        if (slot.status >= 0x80 && slot.status < 0xF0) apply_event(slot, before);
        const SysexSlot& sysex = timeline.sysex_slots[i < kSysexSlots ? i : 0];
        if (!before || i >= kSysexSlots || sysex.bytes[0] != 0xF0) continue;
        // A reset undoes all the song set before it: the chase starts again from it.
        if (is_reset_message(sysex.bytes + 1, sysex.length - 1)) {
            for (ChannelChase& channel : channels)
                reset_channel(channel);
            defaults_needed = false;
            emit.restart();
        }
        emit.message(0xF0, 0, 0, i);
    }
    if (up_to_index >= count)
        for (ChannelChase& channel : channels)
            channel.at_point = channel.selection;
    for (int c = 0; c < kChannels; ++c) {
        const ChannelChase& channel = channels[c];
        short bank[2] = {kUnset, kUnset};
        emit_program(emit, c, channel, bank);
        emit_controllers(emit, c, channel, bank);
        emit_parameters(emit, c, channel);
        if (channel.bend != kUnset) emit.message(0xE0 | c, channel.bend & 0x7F, channel.bend >> 7);
        if (channel.pressure != kUnset) emit.message(0xD0 | c, channel.pressure, 0);
    }
}
