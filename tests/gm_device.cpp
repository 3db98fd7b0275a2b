#include "tests/gm_device.h"

#include <map>
#include <sstream>
#include <tuple>
#include <utility>

namespace {

// A channel of a General MIDI device: what it holds after power-on and the messages since.
struct ChannelModel {
    int controllers[120] = {};
    int program = 0;
    std::pair<int, int> program_bank = {0, 0};
    int bend = 8192;
    int pressure = 0;
    std::map<std::tuple<int, int, int>, std::pair<int, int>> parameters = {
        {{0, 0, 0}, {2, 0}}, {{0, 0, 1}, {64, 0}}, {{0, 0, 2}, {64, 0}}};
    int selection[2][2] = {{127, 127}, {127, 127}};  // registered, non-registered
    int kind = 0;

    ChannelModel() { reset_controllers(true); }

    static bool kept_by_reset(int cc) {
        return cc == 0 || cc == 32 || cc == 7 || cc == 39 || cc == 8 || cc == 40 || cc == 10 ||
               cc == 42 || (cc >= 70 && cc <= 79) || (cc >= 91 && cc <= 95);
    }
    void reset_controllers(bool power_on) {
        for (int cc = 0; cc < 120; ++cc)
            if (power_on || !kept_by_reset(cc)) controllers[cc] = 0;
        controllers[11] = 127;
        if (power_on) {
            controllers[7] = 100;
            controllers[8] = controllers[10] = 64;
            for (int cc = 70; cc <= 79; ++cc)
                controllers[cc] = 64;
            controllers[91] = 40;
        }
        bend = 8192;
        pressure = 0;
        selection[0][0] = selection[0][1] = selection[1][0] = selection[1][1] = 127;
        kind = 0;
    }
    std::pair<int, int>* selected() {
        if (selection[kind][0] == 127 && selection[kind][1] == 127) return nullptr;
        auto key = std::make_tuple(kind, selection[kind][0], selection[kind][1]);
        auto found = parameters.find(key);
        if (found == parameters.end()) found = parameters.emplace(key, std::make_pair(0, 0)).first;
        return &found->second;
    }
    void controller(int cc, int value) {
        const int selectors[2][2] = {{101, 100}, {99, 98}};
        for (int k = 0; k < 2; ++k)
            for (int half = 0; half < 2; ++half)
                if (cc == selectors[k][half]) {
                    selection[k][half] = value;
                    kind = k;
                    return;
                }
        if (cc == 6 || cc == 38 || cc == 96 || cc == 97) {
            std::pair<int, int>* parameter = selected();
            if (parameter == nullptr) return;
            if (cc == 6) parameter->first = value;
            if (cc == 38) parameter->second = value;
            if (cc == 96 && parameter->first < 127) ++parameter->first;
            if (cc == 97 && parameter->first > 0) --parameter->first;
        } else if (cc == 121) {
            reset_controllers(false);
        } else if (cc < 120) {
            controllers[cc] = value;
        }
    }
    void receive(DWORD message) {
        int status = message & 0xF0;
        int data1 = message >> 8 & 0x7F;
        int data2 = message >> 16 & 0x7F;
        if (status == 0xB0) controller(data1, data2);
        if (status == 0xC0) {
            program = data1;
            program_bank = {controllers[0], controllers[32]};
        }
        if (status == 0xD0) pressure = data1;
        if (status == 0xE0) bend = data2 << 7 | data1;
    }
    std::string describe() const {
        std::ostringstream out;
        out << "program " << program << " bank " << program_bank.first << "/" << program_bank.second
            << " bend " << bend << " pressure " << pressure << "\n cc";
        for (int cc = 0; cc < 120; ++cc)
            if (cc != 6 && cc != 38 && (cc < 96 || cc > 101))
                out << " " << cc << "=" << controllers[cc];
        out << "\n parameters";
        for (const auto& [key, value] : parameters)
            out << " " << std::get<0>(key) << ":" << std::get<1>(key) << "," << std::get<2>(key)
                << "=" << value.first << "," << value.second;
        bool none = selection[kind][0] == 127 && selection[kind][1] == 127;
        out << "\n selected "
            << (none ? "none"
                     : std::to_string(kind) + ":" + std::to_string(selection[kind][0]) + "," +
                           std::to_string(selection[kind][1]));
        return out.str();
    }
};

// A GM, GM 2, GS or XG reset: every channel as at power-on.
bool is_device_reset(const std::vector<unsigned char>& m) {
    auto at = [&](std::size_t i) { return i < m.size() ? m[i] : -1; };
    bool gm = at(1) == 0x7E && at(3) == 0x09 && (at(4) == 0x01 || at(4) == 0x03);
    bool gs = at(1) == 0x41 && at(3) == 0x42 && at(4) == 0x12 && at(5) == 0x40 && at(6) == 0x00 &&
              at(7) == 0x7F;
    bool xg = at(1) == 0x43 && (at(2) & 0xF0) == 0x10 && at(3) == 0x4C && at(4) == 0 &&
              at(5) == 0 && at(6) == 0x7E;
    return at(0) == 0xF0 && (gm || gs || xg);
}

}  // namespace

DeviceState device_state(const std::vector<DWORD>& short_messages) {
    std::vector<MidiRecord> records;
    for (DWORD message : short_messages)
        records.push_back({MidiCall::ShortMsg, message, {}, nullptr});
    return device_state(records);
}

DeviceState device_state(const std::vector<MidiRecord>& records) {
    ChannelModel channels[16];
    for (const MidiRecord& record : records) {
        if (record.call == MidiCall::ShortMsg)
            channels[record.message & 0x0F].receive(record.message);
        if (record.call == MidiCall::LongMsg && is_device_reset(record.bytes))
            for (ChannelModel& channel : channels)
                channel = ChannelModel();
    }
    DeviceState state;
    for (const ChannelModel& channel : channels)
        state.push_back(channel.describe());
    return state;
}

::testing::AssertionResult same_state(const DeviceState& expected, const DeviceState& found) {
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (std::size_t c = 0; c < expected.size(); ++c) {
        if (expected[c] == found[c]) continue;
        if (result) result = ::testing::AssertionFailure();
        result << "channel " << c + 1 << "\n expected: " << expected[c]
               << "\n found:    " << found[c] << "\n";
    }
    return result;
}
