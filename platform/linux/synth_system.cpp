#include "platform/synth/synth_system.h"

#include <alsa/asoundlib.h>
#include <glib.h>

#include <cstdlib>
#include <cstring>

#include "platform/sound_font.h"
namespace {

constexpr const char* kSoundFontFolder = "/usr/share/sounds/sf2/";
constexpr const char* kSoundFonts[] = {"default-GM.sf2", "FluidR3_GM.sf2", "TimGM6mb.sf2"};

// ALSA writes its own complaints to stderr; the driver's failure says enough.
void ignore_alsa_message(const char*, int, const char*, int, const char*, ...) {}

// FluidSynth hands a file its SoundFont loader refuses to libinstpatch, which complains
// through GLib; our one line says why the load failed.
void ignore_glib_message(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

}  // namespace

const char kNoSoundFontAdvice[] = "set LUMAROTH_SOUNDFONT or install fluid-soundfont-gm";

// PipeWire serves PulseAudio's clients too.
std::vector<std::string> audio_driver_names() {
    return {"pulseaudio", "alsa"};
}

std::vector<std::string> system_sound_fonts() {
    std::vector<std::string> paths;
    for (const char* name : kSoundFonts)
        paths.push_back(std::string(kSoundFontFolder) + name);
    return paths;
}

bool sound_font_reads_dls() {
    return false;
}

bool is_sound_font_head(const char* head) {
    return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

std::string environment_value(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void quiet_library_messages() {
    snd_lib_error_set_handler(ignore_alsa_message);
}

int load_sound_font_quietly(fluid_synth_t* synth, const std::string& path) {
    GLogFunc previous = g_log_set_default_handler(ignore_glib_message, nullptr);
    int id = fluid_synth_sfload(synth, path.c_str(), 0);
    g_log_set_default_handler(previous, nullptr);
    return id;
}
