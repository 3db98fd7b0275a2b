// The menu, the keys, the dialog and the icon, the same ids and texts as the Windows resource
// script.
#include "platform/win32.h"
#include "ui/resource_ids.h"

namespace {

const MenuResourceItem kMainMenu[] = {
    {0, "ファイル(&F)", 0},
    {1, "開く(&O)\tCtrl+O", kCommandOpen},
    {1, nullptr, 0},
    {1, "終了(&X)\tAlt+F4", kCommandExit},
    {0, "再生(&P)", 0},
    {1, "再生(&P)", kButtonPlay},
    {1, "一時停止(&A)\tSpace", kCommandPause},
    {1, "停止(&S)\tEsc", kButtonStop},
    {1, nullptr, 0},
    {1, "先頭へ(&H)\tHome", kCommandToStart},
    {1, "5秒戻る(&B)\t←", kCommandBack},
    {1, "5秒進む(&F)\t→", kCommandForward},
    {1, "移動(&G)…\tCtrl+G", kCommandGoTo},
    {1, nullptr, 0},
    {1, "次の曲(&N)\tPage Down", kCommandNextSong},
    {1, "前の曲(&V)\tPage Up", kCommandPreviousSong},
    {1, nullptr, 0},
    {1, "繰り返し(&R)", 0},
    {2, "なし(&N)", kCommandRepeat},
    {2, "1曲(&1)", kCommandRepeat + 1},
    {2, "フォルダ(&F)", kCommandRepeat + 2},
    {1, "ループ回数(&L)", 0},
    {2, "1回(&1)", kCommandLoops + 1},
    {2, "2回(&2)", kCommandLoops + 2},
    {2, "3回(&3)", kCommandLoops + 3},
    {2, "無限(&I)", kCommandLoops},
    {0, "表示(&V)", 0},
    {1, "チャンネル(&C)\tF2", kCommandChannels},
    {1, "歌詞(&L)\tF3", kCommandLyrics},
    {0, "ヘルプ(&H)", 0},
    {1, "ヘルプ目次(&H)\tF1", kCommandHelp},
    {1, nullptr, 0},
    {1, "バージョン情報(&A)", kCommandVersion},
};

// Each key sends the command of its button or menu item.
const ACCEL kKeys[] = {
    {FVIRTKEY, VK_SPACE, kCommandPlayOrPause},
    {FVIRTKEY, VK_ESCAPE, kButtonStop},
    {FVIRTKEY | FCONTROL, 'O', kCommandOpen},
    {0, '+', kButtonFaster},
    {0, '-', kButtonSlower},
    {0, '=', kButtonNormalSpeed},
    {FVIRTKEY, VK_F1, kCommandHelp},
    {FVIRTKEY, VK_LEFT, kCommandBack},
    {FVIRTKEY, VK_RIGHT, kCommandForward},
    {FVIRTKEY, VK_HOME, kCommandToStart},
    {FVIRTKEY, VK_NEXT, kCommandNextSong},
    {FVIRTKEY, VK_PRIOR, kCommandPreviousSong},
    {FVIRTKEY | FCONTROL, 'G', kCommandGoTo},
    {FVIRTKEY, VK_F2, kCommandChannels},
    {FVIRTKEY, VK_F3, kCommandLyrics},
    {FVIRTKEY, '1', kCommandMute},
    {FVIRTKEY, '2', kCommandMute + 1},
    {FVIRTKEY, '3', kCommandMute + 2},
    {FVIRTKEY, '4', kCommandMute + 3},
    {FVIRTKEY, '5', kCommandMute + 4},
    {FVIRTKEY, '6', kCommandMute + 5},
    {FVIRTKEY, '7', kCommandMute + 6},
    {FVIRTKEY, '8', kCommandMute + 7},
    {FVIRTKEY, '9', kCommandMute + 8},
    {FVIRTKEY, '0', kCommandMute + 9},
    {FVIRTKEY | FSHIFT, '1', kCommandSolo},
    {FVIRTKEY | FSHIFT, '2', kCommandSolo + 1},
    {FVIRTKEY | FSHIFT, '3', kCommandSolo + 2},
    {FVIRTKEY | FSHIFT, '4', kCommandSolo + 3},
    {FVIRTKEY | FSHIFT, '5', kCommandSolo + 4},
    {FVIRTKEY | FSHIFT, '6', kCommandSolo + 5},
    {FVIRTKEY | FSHIFT, '7', kCommandSolo + 6},
    {FVIRTKEY | FSHIFT, '8', kCommandSolo + 7},
    {FVIRTKEY | FSHIFT, '9', kCommandSolo + 8},
    {FVIRTKEY | FSHIFT, '0', kCommandSolo + 9},
    {FVIRTKEY | FCONTROL, VK_UP, kCommandVolumeUp},
    {FVIRTKEY | FCONTROL, VK_DOWN, kCommandVolumeDown},
};

// In dialog units, as the DIALOGEX of the resource script.
const DialogResourceItem kGoToItems[] = {
    {"STATIC", "移動先の時間（分:秒）", -1, 7, 9, 96, 8},
    {"EDIT", "", kGoToTime, 108, 7, 52, 12},
    {"BUTTON", "OK", IDOK, 56, 34, 50, 14},
    {"BUTTON", "キャンセル", IDCANCEL, 110, 34, 50, 14},
};

const unsigned char kIconPng[] = {
#include "ui/lumaroth_icon.inc"
};

}  // namespace

const MenuResource program_menus[] = {
    {kMenuResource, kMainMenu, sizeof kMainMenu / sizeof kMainMenu[0]},
};
const int program_menu_count = 1;
const IconResource program_icons[] = {
    {kIconResource, kIconPng, sizeof kIconPng},
};
const int program_icon_count = 1;
const AcceleratorResource program_accelerators[] = {
    {kAcceleratorResource, kKeys, sizeof kKeys / sizeof kKeys[0]},
};
const int program_accelerator_count = 1;
const DialogResource program_dialogs[] = {
    {kGoToDialog, "移動", 167, 55, kGoToItems, sizeof kGoToItems / sizeof kGoToItems[0]},
};
const int program_dialog_count = 1;
