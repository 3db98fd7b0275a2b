// Windows plays through its own MIDI devices: no synthesizer of the program's own renders
// into a file here.
#include "platform/wav_output.h"

bool wav_output_available() {
    return false;
}

void render_next_output_into(const std::string&) {}

void render_next_output_offline() {}

bool render_next_tick() {
    return false;
}

std::uint32_t longest_wav_ms() {
    return 0;
}

bool synth_output_quiet() {
    return true;
}

std::string synth_output_failure() {
    return "";
}
