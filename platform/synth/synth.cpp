// The embedded synthesizer: FluidSynth, its SoundFont and its loader thread.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/cp932.h"
#include "platform/sound_font.h"
#include "platform/synth/held_sound_font.h"
#include "platform/synth/synth_engine.h"
#include "platform/synth/synth_loading.h"
#include "platform/synth/synth_system.h"
#include "platform/synth/system_file.h"

namespace {

constexpr int kSettleBlocks = 16;

std::mutex fluid_error_lock;
std::string last_fluid_error;

void keep_fluid_error(int, const char* message, void*) {
    std::lock_guard<std::mutex> guard(fluid_error_lock);
    last_fluid_error = message != nullptr ? message : "";
}

void ignore_fluid_message(int, const char*, void*) {}

// The SoundFont's id, or FLUID_FAILED. The channels take its presets at the next reset.
int load_sound_font(fluid_synth_t* synth, const std::string& path) {
    load_sound_font_anew();
    return load_sound_font_quietly(synth, path);
}

// Only a regular file is read as a SoundFont: a FIFO would wait for a writer, and what
// is no SoundFont goes on to loaders that complain on the console.
bool is_sound_font(const std::string& path) {
    SystemFile file;
    char head[12] = {};
    return file.open_regular(path) && file.read_at(head, sizeof head, 0) == sizeof head &&
           is_sound_font_head(head);
}

std::string find_sound_font() {
    std::string chosen = environment_value("LUMAROTH_SOUNDFONT");
    if (!chosen.empty()) return chosen;
    for (const std::string& path : system_sound_fonts()) {
        SystemFile file;
        if (file.open_regular(path)) return path;
    }
    return "";
}

std::atomic<Synth*> built_synth{nullptr};

// The SoundFont file in use, as the loader thread last loaded one.
std::mutex sound_font_lock;
std::string sound_font_in_use;

void use_sound_font_file(const std::string& path) {
    std::lock_guard<std::mutex> guard(sound_font_lock);
    sound_font_in_use = path;
}

Synth& the_synth() {
    static Synth synth;
    built_synth = &synth;
    return synth;
}

// The program loads the synthesizer on a thread of its own as its window starts, and a
// chosen SoundFont on the next one (which waits for the one before); an open before that
// is done waits for the rest, running while_loading meanwhile.
std::thread synth_loader;
std::atomic<bool> synth_loaded{false};
void (*while_loading)() = nullptr;

void start_loader(void (*load)(const std::string&, HWND, UINT), const std::string& path,
                  HWND window, UINT message) {
    synth_loaded = false;
    synth_loader =
        std::thread([previous = std::move(synth_loader), load, path, window, message]() mutable {
            if (previous.joinable()) previous.join();
            load(path, window, message);
            synth_loaded = true;
        });
}

// The chosen SoundFont in place of the one before, which goes at the next open; that one
// stays when the new one cannot be read. A font chosen since the last open, which no open
// has played, goes at once: only the one an open played waits.
void load_chosen_sound_font(const std::string& path, HWND window, UINT message) {
    Synth& synth = the_synth();
    int id = is_sound_font(path) ? load_sound_font(synth.synth, path) : FLUID_FAILED;
    if (id != FLUID_FAILED) {
        if (synth.replaced_sound_font == FLUID_FAILED)
            synth.replaced_sound_font = synth.sound_font_id;
        else if (synth.sound_font_id != FLUID_FAILED)
            fluid_synth_sfunload(synth.synth, synth.sound_font_id, 0);
        synth.sound_font_id = id;
        synth.error.clear();
        use_sound_font_file(path);
    }
    if (window != nullptr) PostMessageA(window, message, id != FLUID_FAILED ? 1 : 0, 0);
}

std::mutex failure_lock;
std::string output_failure;

}  // namespace

Synth::Synth() {
    fluid_set_log_function(FLUID_PANIC, keep_fluid_error, nullptr);
    fluid_set_log_function(FLUID_ERR, keep_fluid_error, nullptr);
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, ignore_fluid_message, nullptr);
    quiet_library_messages();
    settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.device-id", 16);
    fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setint(settings, "audio.period-size", kBlockFrames);
    fluid_settings_setnum(settings, "synth.gain", kFullGain);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    synth = new_fluid_synth(settings);
    apply_synth_effects(synth);
    hold_sound_font_files(settings, synth);
    std::string sound_font = find_sound_font();
    use_sound_font_file(sound_font);
    if (sound_font.empty()) {
        error = std::string("no General MIDI SoundFont: ") + kNoSoundFontAdvice;
    } else if (!is_sound_font(sound_font) ||
               (sound_font_id = load_sound_font(synth, sound_font)) == FLUID_FAILED) {
        error = "cannot load the SoundFont " + sound_font + ": not a readable SoundFont file";
    } else {
        // The channels take their first presets here, on the loader's thread: their
        // samples load now, not at the first Play.
        fluid_synth_program_reset(synth);
    }
}

Synth::~Synth() {
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

Synth& loaded_synth() {
    if (synth_loader.joinable()) {
        while (!synth_loaded) {
            if (while_loading != nullptr) while_loading();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return the_synth();
}

std::string take_fluid_error() {
    std::lock_guard<std::mutex> guard(fluid_error_lock);
    std::string error = last_fluid_error;
    last_fluid_error.clear();
    return error;
}

// Controllers reset after "all sound off" put a held voice back into its release, which
// rings on for a second: silence it after the reset. The synthesizer ends voices as it
// renders, so blocks rendered into nowhere settle it.
void quiet_synth(fluid_synth_t* synth) {
    fluid_synth_system_reset(synth);
    fluid_synth_all_sounds_off(synth, -1);
    std::int16_t settle[kBlockFrames * 2];
    for (int block = 0; block < kSettleBlocks && fluid_synth_get_active_voice_count(synth) > 0;
         ++block)
        fluid_synth_write_s16(synth, kBlockFrames, settle, 0, 2, settle, 1, 2);
}

void set_output_failure(const std::string& reason) {
    std::lock_guard<std::mutex> guard(failure_lock);
    output_failure = reason;
}

std::string synth_output_failure() {
    std::lock_guard<std::mutex> guard(failure_lock);
    return output_failure;
}

fluid_synth_t* built_fluid_synth() {
    Synth* synth = built_synth;
    return synth != nullptr ? synth->synth : nullptr;
}

int synth_active_voice_count() {
    fluid_synth_t* synth = built_fluid_synth();
    return synth != nullptr ? fluid_synth_get_active_voice_count(synth) : 0;
}

void start_loading_synth(void (*while_waiting)()) {
    while_loading = while_waiting;
    start_loader([](const std::string&, HWND, UINT) { the_synth(); }, "", nullptr, 0);
}

bool sound_font_choosable() {
    return true;
}

void current_sound_font(char* path, std::size_t size) {
    std::lock_guard<std::mutex> guard(sound_font_lock);
    copy_cp932_text(file_name_for_program(sound_font_in_use), path, size);
}

bool is_sound_font_in_use(const char* path) {
    std::string in_use;
    {
        std::lock_guard<std::mutex> guard(sound_font_lock);
        in_use = sound_font_in_use;
    }
    if (in_use.empty()) in_use = find_sound_font();
    return is_same_file(path, in_use);
}

bool sound_font_unreadable() {
    return take_unreadable_sound_font();
}

void choose_sound_font(const char* path, HWND window, UINT message) {
    start_loader(load_chosen_sound_font, file_system_name(path), window, message);
}

void finish_loading_synth() {
    if (synth_loader.joinable()) synth_loader.join();
}
