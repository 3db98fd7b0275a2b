// The programs on the recording output (the window checks under Wine) have no synthesizer
// to load and no SoundFont to choose.
#include "platform/sound_font.h"
#include "platform/synth/synth_loading.h"
#include "platform/synth_effects.h"

void start_loading_synth(void (*)()) {}

void finish_loading_synth() {}

bool sound_font_choosable() {
    return false;
}

bool sound_font_reads_dls() {
    return false;
}

void set_synth_effects(SynthEffects) {}

void current_sound_font(char* path, std::size_t size) {
    if (size > 0) path[0] = '\0';
}

void choose_sound_font(const char*, HWND window, UINT message) {
    PostMessageA(window, message, 0, 0);
}

bool is_sound_font_in_use(const char*) {
    return false;
}

bool sound_font_unreadable() {
    return false;
}
