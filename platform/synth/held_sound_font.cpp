#include "platform/synth/held_sound_font.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/synth/system_file.h"

namespace {

// The load reads the file's structure a few bytes at a time, and each read of the system's
// is a call of its own (a slow one under Wine): it reads through a window this large.
constexpr std::size_t kLoadWindowBytes = 65536;

struct HeldFile {
    SystemFile file;
    fluid_long_long_t size = 0;
    // What the load read (the file's structure): by offset, the bytes of each read.
    std::map<fluid_long_long_t, std::string> structure;
    bool loading = true;  // until the load's own handle closes
    // While loading: the bytes of the file from window_at on, as read last.
    std::vector<char> window;
    fluid_long_long_t window_at = 0;
};

// What a load reads: through the window, when it is smaller than the window.
fluid_long_long_t read_for_load(HeldFile& file, char* bytes, fluid_long_long_t count,
                                fluid_long_long_t at) {
    if (count >= static_cast<fluid_long_long_t>(kLoadWindowBytes))
        return static_cast<fluid_long_long_t>(
            file.file.read_at(bytes, static_cast<std::size_t>(count), at));
    auto window_end = file.window_at + static_cast<fluid_long_long_t>(file.window.size());
    if (at < file.window_at || at + count > window_end) {
        file.window.resize(kLoadWindowBytes);
        file.window.resize(file.file.read_at(file.window.data(), kLoadWindowBytes, at));
        file.window_at = at;
        window_end = at + static_cast<fluid_long_long_t>(file.window.size());
    }
    fluid_long_long_t done = std::min(count, window_end - at);
    if (done <= 0) return 0;
    std::memcpy(bytes, file.window.data() + (at - file.window_at), static_cast<std::size_t>(done));
    return done;
}

struct Handle {
    std::shared_ptr<HeldFile> file;
    fluid_long_long_t position = 0;
    bool loads;  // the load's own handle
};

std::mutex lock;
std::map<std::string, std::shared_ptr<HeldFile>> held;
// Set by the thread that loads a SoundFont, for its own next open: another thread's open
// meanwhile (samples of the font in use) is no load.
thread_local bool anew = false;
std::atomic<bool> unreadable{false};

void* open_file(const char* name) {
    std::lock_guard<std::mutex> guard(lock);
    std::shared_ptr<HeldFile>& file = held[name];
    bool fresh = file == nullptr || anew;
    anew = false;
    if (fresh) {
        auto opened = std::make_shared<HeldFile>();
        if (!opened->file.open_regular(name)) {
            held.erase(name);
            return nullptr;
        }
        opened->size = opened->file.size();
        file = std::move(opened);
    }
    return new Handle{file, 0, fresh};
}

// Reads what the load read from its keeping; anything else from the held file, what
// it no longer holds as silence.
int read_file(void* buffer, fluid_long_long_t count, void* handle) {
    auto* h = static_cast<Handle*>(handle);
    std::lock_guard<std::mutex> guard(lock);
    HeldFile& file = *h->file;
    auto kept = file.structure.find(h->position);
    if (!file.loading && kept != file.structure.end() &&
        static_cast<fluid_long_long_t>(kept->second.size()) >= count) {
        std::memcpy(buffer, kept->second.data(), static_cast<std::size_t>(count));
        h->position += count;
        return FLUID_OK;
    }
    auto* bytes = static_cast<char*>(buffer);
    fluid_long_long_t done = file.loading
                                 ? read_for_load(file, bytes, count, h->position)
                                 : static_cast<fluid_long_long_t>(file.file.read_at(
                                       bytes, static_cast<std::size_t>(count), h->position));
    if (done < count) {
        if (file.loading) return FLUID_FAILED;  // a broken file fails its load
        std::memset(bytes + done, 0, static_cast<std::size_t>(count - done));
        unreadable = true;
    }
    if (file.loading)
        file.structure[h->position] = std::string(bytes, static_cast<std::size_t>(count));
    h->position += count;
    return FLUID_OK;
}

int seek_file(void* handle, fluid_long_long_t offset, int origin) {
    auto* h = static_cast<Handle*>(handle);
    fluid_long_long_t base = origin == SEEK_SET   ? 0
                             : origin == SEEK_CUR ? h->position
                                                  : h->file->size;
    if (base + offset < 0) return FLUID_FAILED;
    h->position = base + offset;
    return FLUID_OK;
}

fluid_long_long_t tell_file(void* handle) {
    return static_cast<Handle*>(handle)->position;
}

int close_file(void* handle) {
    auto* h = static_cast<Handle*>(handle);
    {
        std::lock_guard<std::mutex> guard(lock);
        if (h->loads) {
            h->file->loading = false;
            h->file->window = {};
        }
    }
    delete h;
    return FLUID_OK;
}

}  // namespace

void hold_sound_font_files(fluid_settings_t* settings, fluid_synth_t* synth) {
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (loader == nullptr) return;
    fluid_sfloader_set_callbacks(loader, open_file, read_file, seek_file, tell_file, close_file);
    fluid_synth_add_sfloader(synth, loader);
}

void load_sound_font_anew() {
    anew = true;
}

bool take_unreadable_sound_font() {
    return unreadable.exchange(false);
}
