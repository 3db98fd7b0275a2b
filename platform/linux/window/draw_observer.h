// The one seam through which tests see what the window layer draws. The program has no
// observer; platform/testing attaches one.
#pragma once

#include "platform/win32.h"

struct DrawObserver {
    virtual void painted(HWND window) = 0;  // a BeginPaint
    virtual void text(HWND window, int x, int y, const char* bytes, int count) = 0;
    virtual void line(HWND window, POINT from, POINT to, COLORREF color, int width) = 0;

  protected:
    ~DrawObserver() = default;
};

// nullptr detaches. Painting runs on the window's thread only: so must this call.
void set_draw_observer(DrawObserver* observer);
