#include "ui/output_menu.h"

#include <cstring>

#include "playback/scheduler.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"
#include "ui/window_state.h"

namespace {

constexpr int kMaxOutputs = 64;
constexpr char kMenuText[] = "出力(&M)";
constexpr char kMapperText[] = "MIDI マッパー";
constexpr char kSection[] = "Output";
constexpr char kKey[] = "Device";

HMENU output_menu;
int output_count;
char output_names[kMaxOutputs][MAXPNAMELEN];

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

void create_output_menu(HWND window) {
    output_menu = CreatePopupMenu();
    AppendMenuA(output_menu, MF_STRING, kCommandOutputMapper, kMapperText);
    UINT devices = midiOutGetNumDevs();
    output_count = devices < kMaxOutputs ? static_cast<int>(devices) : kMaxOutputs;
    for (int i = 0; i < output_count; ++i) {
        MIDIOUTCAPSA caps = {};
        if (midiOutGetDevCapsA(static_cast<UINT_PTR>(i), &caps, sizeof caps) != MMSYSERR_NOERROR)
            caps.szPname[0] = '\0';
        caps.szPname[MAXPNAMELEN - 1] = '\0';
        std::memcpy(output_names[i], caps.szPname, MAXPNAMELEN);
        AppendMenuA(output_menu, MF_STRING, static_cast<UINT_PTR>(command_of(i)), output_names[i]);
    }
    // Before ヘルプ, which goes last.
    HMENU bar = GetMenu(window);
    InsertMenuA(bar, static_cast<UINT>(GetMenuItemCount(bar) - 1), MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(output_menu), kMenuText);
    DrawMenuBar(window);

    char remembered[MAXPNAMELEN];
    read_setting(kSection, kKey, "", remembered, sizeof remembered);
    UINT device = MIDI_MAPPER;
    for (int i = 0; i < output_count && remembered[0] != '\0'; ++i)
        if (std::strcmp(output_names[i], remembered) == 0) device = static_cast<UINT>(i);
    use_output(device);
}

bool is_output_command(int id) {
    return id >= kCommandOutputMapper && id <= kCommandOutputMapper + output_count;
}

void choose_output(HWND window, int id) {
    UINT device =
        id == kCommandOutputMapper ? MIDI_MAPPER : static_cast<UINT>(id - kCommandOutputMapper - 1);
    use_output(device);
    save_setting(window, kSection, kKey, device == MIDI_MAPPER ? "" : output_names[device]);
}
