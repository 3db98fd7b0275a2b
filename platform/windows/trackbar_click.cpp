// The trackbar jumps to the point clicked on its channel, as the layer's trackbar does on
// Linux and media players' seek bars do; Windows' own pages towards the click. The click
// first puts the thumb under the pointer, where the trackbar's own drag then begins, so
// the parent hears TB_THUMBPOSITION and TB_ENDTRACK as after a drag.
#include <algorithm>
#include <cmath>

#include "platform/windows/trackbar_click.h"

namespace {

LRESULT CALLBACK jump_to_click(HWND bar, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR) {
    if (message == WM_LBUTTONDOWN) {
        POINT at = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        RECT thumb = {}, channel = {};
        SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        int half = (thumb.right - thumb.left) / 2;
        int span = channel.right - channel.left - 2 * half;
        if (!PtInRect(&thumb, at) && span > 0) {
            LRESULT low = SendMessageW(bar, TBM_GETRANGEMIN, 0, 0);
            LRESULT high = SendMessageW(bar, TBM_GETRANGEMAX, 0, 0);
            double share =
                std::clamp((at.x - channel.left - half) / static_cast<double>(span), 0.0, 1.0);
            SendMessageW(
                bar, TBM_SETPOS, TRUE,
                low + static_cast<LPARAM>(std::lround(share * static_cast<double>(high - low))));
        }
    }
    return DefSubclassProc(bar, message, wparam, lparam);
}

}  // namespace

void jump_trackbar_to_clicks(HWND trackbar) {
    SetWindowSubclass(trackbar, jump_to_click, 1, 0);
}
