// 表示 → チャンネル (F2): a window beside the main one with a row for each of the 16
// channels: its number, mute and solo, the program it plays now under its Japanese name
// with the bank, volume, expression and pan, and a level meter that rises with each
// note's velocity and falls back. It reads what the output was sent (channel_record.h)
// on a window timer and paints only what changed.
#pragma once

#include "platform/win32.h"

void create_channel_window(HWND owner);
void toggle_channel_window();
// kCommandMute + c and kCommandSolo + c, from the keys, the menu or the window's rows.
bool is_channel_command(int id);
void toggle_mute_or_solo(int id);
