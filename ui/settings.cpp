#include "ui/settings.h"

#include <cstring>

#include "ui/main_window.h"
#include "ui/window_state.h"

namespace {

constexpr char kSettingsFile[] = "Lumaroth.ini";
constexpr char kSaveFailure[] =
    "設定ファイルを保存できません。変えた設定は、次に起動したときには元に戻ります。";

void settings_path(char* path, std::size_t size) {
    program_folder(path, size);
    std::size_t folder = std::strlen(path);
    if (folder + sizeof kSettingsFile > size) {
        path[0] = '\0';
        return;
    }
    std::memcpy(path + folder, kSettingsFile, sizeof kSettingsFile);
}

}  // namespace

void read_setting(const char* section, const char* key, const char* fallback, char* out,
                  std::size_t size) {
    char path[kPathSize];
    settings_path(path, sizeof path);
    GetPrivateProfileStringA(section, key, fallback, out, static_cast<DWORD>(size), path);
}

void save_setting(HWND window, const char* section, const char* key, const char* value) {
    char path[kPathSize];
    settings_path(path, sizeof path);
    if (WritePrivateProfileStringA(section, key, value, path) || settings_failure_said) return;
    settings_failure_said = 1;
    MessageBoxA(window, kSaveFailure, kProgramTitle, MB_ICONWARNING);
}
