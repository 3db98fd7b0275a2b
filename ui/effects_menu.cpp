#include "ui/effects_menu.h"

#include "platform/sound_font.h"
#include "platform/synth_effects.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"

namespace {

constexpr char kMenuText[] = "エフェクト(&E)";
constexpr char kSection[] = "Output";
constexpr char kKey[] = "Effects";

// In SynthEffects' order.
constexpr const char* kChoices[] = {"標準", "控えめ", "なし"};
constexpr int kChoiceCount = sizeof kChoices / sizeof kChoices[0];

HMENU effects_menu;

void use_choice(int index) {
    for (int i = 0; i < kChoiceCount; ++i)
        CheckMenuItem(effects_menu, static_cast<UINT>(kCommandEffects + i),
                      MF_BYCOMMAND | (i == index ? MF_CHECKED : MF_UNCHECKED));
    set_synth_effects(static_cast<SynthEffects>(index));
}

}  // namespace

void create_effects_menu(HMENU output_menu) {
    if (!sound_font_choosable()) return;
    effects_menu = CreatePopupMenu();
    for (int i = 0; i < kChoiceCount; ++i)
        AppendMenuA(effects_menu, MF_STRING, static_cast<UINT_PTR>(kCommandEffects + i),
                    kChoices[i]);
    AppendMenuA(output_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(effects_menu), kMenuText);
    char remembered[16];
    read_setting(kSection, kKey, "", remembered, sizeof remembered);
    SynthEffects effects = SynthEffects::kStandard;
    synth_effects_named(remembered, effects);
    use_choice(static_cast<int>(effects));
}

bool is_effects_command(int id) {
    return effects_menu != nullptr && id >= kCommandEffects && id < kCommandEffects + kChoiceCount;
}

void choose_effects(HWND window, int id) {
    int index = id - kCommandEffects;
    use_choice(index);
    save_setting(window, kSection, kKey, synth_effects_name(static_cast<SynthEffects>(index)));
}
