#include "ui/output_menu.h"

#include <cstring>

#include "playback/scheduler.h"
#include "ui/effects_menu.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"
#include "ui/sound_font_menu.h"
#include "ui/volume_menu.h"
#include "ui/window_state.h"

namespace {

constexpr int kMaxOutputs = 64;
constexpr char kMenuText[] = "出力(&M)";
constexpr char kMapperText[] = "MIDI マッパー";
constexpr char kSection[] = "Output";
// An output chosen is remembered as: a device by what it is (device_identity), the mapper
// by its name; nothing when none was chosen.
constexpr char kKey[] = "Device";

constexpr char kDeviceGone[] = "出力 %s が見つかりません。MIDI マッパーで再生します。";

HMENU output_menu;
int output_count;
char output_names[kMaxOutputs][MAXPNAMELEN];
// The output remembered from before that is not there: said at the next Play, once.
char missing_output[MAXPNAMELEN];

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// What a device is, whatever the system numbered it this time: its name after a leading
// address of two numbers ("20:0 "), as ALSA's ports are listed; else the whole name.
const char* device_identity(const char* name) {
    const char* p = name;
    if (!is_digit(*p)) return name;
    while (is_digit(*p))
        ++p;
    if (*p++ != ':' || !is_digit(*p)) return name;
    while (is_digit(*p))
        ++p;
    return *p == ' ' ? p + 1 : name;
}

int command_of(UINT device) {
    return device == MIDI_MAPPER ? kCommandOutputMapper
                                 : kCommandOutputMapper + 1 + static_cast<int>(device);
}

void use_output(UINT device) {
    for (int i = -1; i < output_count; ++i) {
        UINT each = i < 0 ? MIDI_MAPPER : static_cast<UINT>(i);
        CheckMenuItem(output_menu, static_cast<UINT>(command_of(each)),
                      MF_BYCOMMAND | (each == device ? MF_CHECKED : MF_UNCHECKED));
    }
    midi_output_device = device;
}

}  // namespace

// Device 0, the embedded synthesizer, first: what plays when nothing is chosen. Then the
// mapper and the other devices.
void create_output_menu(HWND window) {
    output_menu = CreatePopupMenu();
    UINT devices = midiOutGetNumDevs();
    output_count = devices < kMaxOutputs ? static_cast<int>(devices) : kMaxOutputs;
    for (int i = 0; i < output_count; ++i) {
        MIDIOUTCAPSA caps = {};
        if (midiOutGetDevCapsA(static_cast<UINT_PTR>(i), &caps, sizeof caps) != MMSYSERR_NOERROR)
            caps.szPname[0] = '\0';
        caps.szPname[MAXPNAMELEN - 1] = '\0';
        std::memcpy(output_names[i], caps.szPname, MAXPNAMELEN);
        AppendMenuA(output_menu, MF_STRING, static_cast<UINT_PTR>(command_of(i)), output_names[i]);
        if (i == 0) AppendMenuA(output_menu, MF_STRING, kCommandOutputMapper, kMapperText);
    }
    if (output_count == 0) AppendMenuA(output_menu, MF_STRING, kCommandOutputMapper, kMapperText);
    AppendMenuA(output_menu, MF_SEPARATOR, 0, nullptr);
    create_volume_menu(output_menu);
    create_effects_menu(output_menu);
    add_sound_font_item(window, output_menu);
    // Before ヘルプ, which goes last.
    HMENU bar = GetMenu(window);
    InsertMenuA(bar, static_cast<UINT>(GetMenuItemCount(bar) - 1), MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(output_menu), kMenuText);
    DrawMenuBar(window);

    char remembered[MAXPNAMELEN];
    read_setting(kSection, kKey, "", remembered, sizeof remembered);
    UINT device = MIDI_MAPPER;
    const char* wanted = device_identity(remembered);
    for (int i = 0; i < output_count && remembered[0] != '\0'; ++i)
        if (std::strcmp(device_identity(output_names[i]), wanted) == 0)
            device = static_cast<UINT>(i);
    bool chosen = remembered[0] != '\0' && std::strcmp(remembered, kMapperText) != 0;
    // A device remembered and not found is said; the mapper plays instead.
    std::memcpy(missing_output, device == MIDI_MAPPER && chosen ? remembered : "",
                device == MIDI_MAPPER && chosen ? sizeof remembered : 1);
    if (remembered[0] == '\0' && output_count > 0) device = 0;
    use_output(device);
}

bool is_output_command(int id) {
    return id >= kCommandOutputMapper && id <= kCommandOutputMapper + output_count;
}

void choose_output(HWND window, int id) {
    UINT device =
        id == kCommandOutputMapper ? MIDI_MAPPER : static_cast<UINT>(id - kCommandOutputMapper - 1);
    use_output(device);
    missing_output[0] = '\0';
    save_setting(window, kSection, kKey,
                 device == MIDI_MAPPER ? kMapperText : device_identity(output_names[device]));
}

void say_if_remembered_output_is_gone(HWND window) {
    if (missing_output[0] == '\0') return;
    char text[1024];  // the most wsprintfA writes
    wsprintfA(text, kDeviceGone, missing_output);
    missing_output[0] = '\0';
    MessageBoxA(window, text, kProgramTitle, MB_ICONWARNING);
}
