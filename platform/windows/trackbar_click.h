// A trackbar that jumps where it is clicked.
#pragma once

#include "platform/win32.h"

void jump_trackbar_to_clicks(HWND trackbar);
