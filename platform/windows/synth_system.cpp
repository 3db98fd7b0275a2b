#include "platform/synth/synth_system.h"

#include <cstdlib>
#include <cstring>

#include "platform/sound_font.h"
#include "platform/win32.h"
#include "platform/windows/program_text.h"

namespace {

constexpr wchar_t kSystemSoundFont[] = L"\\drivers\\gm.dls";
constexpr wchar_t kShippedSoundFont[] = L"sf_GMbank.sf2";

// The folder the program runs from, with its separator.
std::wstring program_folder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

}  // namespace

const char kNoSoundFontAdvice[] = "put sf_GMbank.sf2 beside the program, or set LUMAROTH_SOUNDFONT";

// WASAPI first, which has the shortest way to the sound card; waveOut everywhere else.
std::vector<std::string> audio_driver_names() {
    return {"wasapi", "waveout"};
}

// Windows' own General MIDI set, then the one shipped beside the program.
std::vector<std::string> system_sound_fonts() {
    std::vector<std::string> paths;
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        paths.push_back(utf8_from_wide((std::wstring(system) + kSystemSoundFont).c_str()));
    paths.push_back(utf8_from_wide((program_folder() + kShippedSoundFont).c_str()));
    return paths;
}

// FluidSynth's own DLS loader reads Windows' gm.dls.
bool sound_font_reads_dls() {
    return true;
}

bool is_sound_font_head(const char* head) {
    return std::memcmp(head, "RIFF", 4) == 0 &&
           (std::memcmp(head + 8, "sfbk", 4) == 0 || std::memcmp(head + 8, "DLS ", 4) == 0);
}

std::string environment_value(const char* name) {
    const wchar_t* value = _wgetenv(wide_from_utf8(name).c_str());
    return value != nullptr ? utf8_from_wide(value) : "";
}

// No library under this FluidSynth writes to the console.
void quiet_library_messages() {}

int load_sound_font_quietly(fluid_synth_t* synth, const std::string& path) {
    return fluid_synth_sfload(synth, path.c_str(), 0);
}
