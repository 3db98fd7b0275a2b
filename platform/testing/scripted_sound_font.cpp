// The SoundFont choice for window tests: what the program chose, and the answer a loader
// would post, from the script in scripted_sound_font.
#include "platform/cp932.h"
#include "platform/sound_font.h"
#include "platform/testing/test_platform.h"

ScriptedSoundFont scripted_sound_font;

void ScriptedSoundFont::reset() {
    *this = ScriptedSoundFont();
}

bool sound_font_choosable() {
    return true;
}

bool sound_font_reads_dls() {
    return false;
}

void current_sound_font(char* path, std::size_t size) {
    copy_cp932_text(scripted_sound_font.in_use, path, size);
}

void choose_sound_font(const char* path, HWND window, UINT message) {
    scripted_sound_font.chosen.push_back(path);
    if (scripted_sound_font.loads) scripted_sound_font.in_use = path;
    PostMessageA(window, message, scripted_sound_font.loads ? 1 : 0, 0);
}

void set_synth_effects(SynthEffects effects) {
    scripted_sound_font.effects = effects;
}

bool sound_font_unreadable() {
    return false;
}

bool is_sound_font_in_use(const char*) {
    return false;
}
