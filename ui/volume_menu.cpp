#include "ui/volume_menu.h"

#include "playback/loop_run.h"
#include "playback/scheduler.h"
#include "playback/volume.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"

namespace {

constexpr char kMenuText[] = "音量(&V)";
constexpr char kSection[] = "Output";
constexpr char kKey[] = "Volume";

HMENU volume_menu;

void show_volume() {
    for (int percent = 0; percent <= kFullVolume; percent += kVolumeStep)
        CheckMenuItem(volume_menu, static_cast<UINT>(kCommandVolume + percent / kVolumeStep),
                      MF_BYCOMMAND | (percent == output_volume ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void create_volume_menu(HMENU output_menu) {
    volume_menu = CreatePopupMenu();
    for (int percent = kFullVolume; percent >= 0; percent -= kVolumeStep) {
        char text[8];
        wsprintfA(text, "%d%%", percent);
        AppendMenuA(volume_menu, MF_STRING,
                    static_cast<UINT_PTR>(kCommandVolume + percent / kVolumeStep), text);
    }
    AppendMenuA(output_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(volume_menu), kMenuText);
    char remembered[8];
    read_setting(kSection, kKey, "", remembered, sizeof remembered);
    int percent = 0;
    const char* p = remembered;
    for (; *p >= '0' && *p <= '9' && percent <= kFullVolume; ++p)
        percent = percent * 10 + (*p - '0');
    bool valid = p != remembered && *p == '\0' && percent <= kFullVolume;
    output_volume = valid ? percent / kVolumeStep * kVolumeStep : kFullVolume;
    show_volume();
}

bool is_volume_command(int id) {
    return (id >= kCommandVolume && id <= kCommandVolume + kFullVolume / kVolumeStep) ||
           id == kCommandVolumeUp || id == kCommandVolumeDown;
}

void choose_volume(HWND window, int id) {
    int percent = id == kCommandVolumeUp     ? output_volume + kVolumeStep
                  : id == kCommandVolumeDown ? output_volume - kVolumeStep
                                             : (id - kCommandVolume) * kVolumeStep;
    if (percent < 0 || percent > kFullVolume) return;
    output_volume = percent;
    show_volume();
    // At once on the output that plays, unless a loop's fade runs: the fade goes on from
    // the new volume, and leaves it when it ends.
    if (playback_open() && !loop_fade_takes_volume(percent))
        apply_output_volume(playback_session.output, midi_output_device, false);
    char text[8];
    wsprintfA(text, "%d", percent);
    save_setting(window, kSection, kKey, text);
}
