// The device context on a window's backing image: text on the Shift-JIS grid of the
// Japanese system font, pens and lines, colours.
#include <QFontDatabase>
#include <QWidget>
#include <set>

#include "platform/cp932.h"
#include "platform/linux/window/draw_observer.h"
#include "platform/linux/window/window_system.h"

namespace {

DrawObserver* draw_observer = nullptr;

constexpr int kSingleCell = 8;
constexpr int kDoubleCell = 16;
constexpr int kCellHeight = 16;
constexpr int kBaseline = 14;

std::set<HGDIOBJ> live_pens;
HGDIOBJ__ black_pen = {PS_SOLID, 1, RGB(0, 0, 0)};

bool is_pen(HGDIOBJ object) {
    return object == &black_pen || live_pens.count(object) != 0;
}

void draw_cell(HDC dc, int x, int y, int width, const char* bytes, int size) {
    dc->painter.fillRect(x, y, width, kCellHeight, color_of(dc->background));
    unsigned char first = static_cast<unsigned char>(bytes[0]);
    if (size == 1 && (first < 0x20 || first == 0x7F)) return;
    QString glyph = text_from_cp932(bytes, static_cast<std::size_t>(size));
    if (glyph != QStringLiteral(u"\uFFFD")) dc->painter.drawText(x, y + kBaseline, glyph);
}

// Fills the pixels a pen of this width covers, from one point up to, not including,
// the other, as Windows draws a line.
void draw_line(HDC dc, POINT from, POINT to) {
    QColor color = color_of(dc->pen->color);
    int width = dc->pen->width > 0 ? dc->pen->width : 1;
    int before = width / 2;
    if (from.y == to.y && from.x != to.x) {
        int left = from.x < to.x ? from.x : to.x + 1;
        int length = from.x < to.x ? to.x - from.x : from.x - to.x;
        dc->painter.fillRect(left, from.y - before, length, width, color);
    } else if (from.x == to.x && from.y != to.y) {
        int top = from.y < to.y ? from.y : to.y + 1;
        int length = from.y < to.y ? to.y - from.y : from.y - to.y;
        dc->painter.fillRect(from.x - before, top, width, length, color);
    } else if (from.x != to.x) {
        dc->painter.setPen(QPen(color, width));
        dc->painter.drawLine(from.x, from.y, to.x, to.y);
        dc->painter.setPen(Qt::black);
    }
}

}  // namespace

void set_draw_observer(DrawObserver* observer) {
    draw_observer = observer;
}

DWORD GetSysColor(int index) {
    switch (index) {
        case 8:   // COLOR_WINDOWTEXT
        case 18:  // COLOR_BTNTEXT
            return RGB(0, 0, 0);
        case 15:  // COLOR_BTNFACE
            return RGB(240, 240, 240);
        default:
            return RGB(255, 255, 255);
    }
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (!is_window(window) || paint == nullptr) return nullptr;
    auto* dc = new HDC__;
    dc->window = window;
    dc->background = RGB(255, 255, 255);
    dc->pen = &black_pen;
    dc->position = POINT{0, 0};
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->fErase = window->erase ? TRUE : FALSE;
    paint->rcPaint = RECT{0, 0, window->backing.width(), window->backing.height()};
    if (!window->backing.isNull()) {
        dc->painter.begin(&window->backing);
        if (window->erase) window->backing.fill(color_of(window->background));
        dc->painter.setFont(system_font());
        dc->painter.setPen(Qt::black);
    }
    window->invalid = false;
    window->erase = false;
    if (draw_observer != nullptr) draw_observer->painted(window);
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint == nullptr || paint->hdc == nullptr) return FALSE;
    delete paint->hdc;
    if (is_window(window) && window->client != nullptr) window->client->update();
    return TRUE;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (dc == nullptr) return 0xFFFFFFFFu;  // CLR_INVALID
    COLORREF previous = dc->background;
    dc->background = color;
    return previous;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    if (dc == nullptr || text == nullptr || count < 0) return FALSE;
    if (draw_observer != nullptr) draw_observer->text(dc->window, x, y, text, count);
    if (!dc->painter.isActive()) return TRUE;
    int cell_x = x;
    for (int i = 0; i < count;) {
        int length =
            static_cast<int>(cp932_char_length(text + i, static_cast<std::size_t>(count - i)));
        int width = length == 2 ? kDoubleCell : kSingleCell;
        draw_cell(dc, cell_x, y, width, text + i, length);
        cell_x += width;
        i += length;
    }
    return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    HPEN pen = new HGDIOBJ__{style, width, color};
    live_pens.insert(pen);
    return pen;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (dc == nullptr || !is_pen(object)) return nullptr;
    HGDIOBJ previous = dc->pen;
    dc->pen = object;
    return previous;
}

// A handle already deleted, or never made, is refused as Windows refuses it.
BOOL DeleteObject(HGDIOBJ object) {
    if (live_pens.erase(object) == 0) return FALSE;
    delete object;
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (dc == nullptr) return FALSE;
    if (previous != nullptr) *previous = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (dc == nullptr) return FALSE;
    POINT to{x, y};
    if (draw_observer != nullptr)
        draw_observer->line(dc->window, dc->position, to, dc->pen->color, dc->pen->width);
    if (dc->painter.isActive()) draw_line(dc, dc->position, to);
    dc->position = to;
    return TRUE;
}
