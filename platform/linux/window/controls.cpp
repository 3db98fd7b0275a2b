// Child controls beyond "BUTTON": the common controls' trackbar (a QSlider that jumps where
// it is clicked, as media players' seek bars do) and "STATIC" texts (a QLabel), on the
// window's background as Qt draws them; window timers; InitCommonControlsEx and the system
// colours' brushes.
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVariant>
#include <map>
#include <string>
#include <utility>

#include "platform/linux/window/window_system.h"

namespace {

std::map<std::pair<HWND, UINT_PTR>, QTimer*> timers;

// A left click on the groove puts the thumb there and starts a drag, whose end the parent
// hears as TB_THUMBPOSITION and TB_ENDTRACK.
class JumpToClick : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

void post_move(HWND trackbar, int kind, int position) {
    PostMessageA(trackbar->parent, WM_HSCROLL, MAKEWPARAM(kind, position),
                 reinterpret_cast<LPARAM>(trackbar));
}

// The moves of a trackbar, told to its parent as Windows tells them: a drag as thumb
// tracking, a click beside the thumb as a page, each move closed by TB_ENDTRACK.
void connect_trackbar(QSlider* slider, HWND trackbar) {
    QObject::connect(slider, &QSlider::sliderMoved,
                     [trackbar](int position) { post_move(trackbar, TB_THUMBTRACK, position); });
    QObject::connect(slider, &QSlider::sliderReleased, [slider, trackbar] {
        post_move(trackbar, TB_THUMBPOSITION, slider->sliderPosition());
        post_move(trackbar, TB_ENDTRACK, 0);
    });
    QObject::connect(slider, &QSlider::actionTriggered, [slider, trackbar](int action) {
        int kind = action == QAbstractSlider::SliderPageStepAdd     ? TB_PAGEDOWN
                   : action == QAbstractSlider::SliderPageStepSub   ? TB_PAGEUP
                   : action == QAbstractSlider::SliderSingleStepAdd ? TB_LINEDOWN
                   : action == QAbstractSlider::SliderSingleStepSub ? TB_LINEUP
                                                                    : -1;
        if (kind < 0) return;
        post_move(trackbar, kind, slider->sliderPosition());
        post_move(trackbar, TB_ENDTRACK, 0);
    });
}

QWidget* new_control_widget(const std::string& class_name, LPCSTR text, QWidget* parent) {
    if (class_name == TRACKBAR_CLASSA) {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(0, 100);
        static auto* jumping = new JumpToClick;  // lives as long as the application's style
        slider->setStyle(jumping);
        // The keys stay the window's: its accelerators move the song, not the focus.
        slider->setFocusPolicy(Qt::NoFocus);
        return slider;
    }
    if (class_name == "STATIC") {
        auto* label = new QLabel(text_from_cp932(text), parent);
        label->setFont(system_font());
        return label;
    }
    return nullptr;
}

}  // namespace

HWND create_control(LPCSTR class_name, LPCSTR text, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance) {
    if (!is_window(parent) || parent->client == nullptr) return nullptr;
    QWidget* widget = new_control_widget(class_name, text, parent->client);
    if (widget == nullptr) return nullptr;
    widget->setGeometry(x, y, width, height);
    widget->setProperty(kControlIdProperty,
                        QVariant(static_cast<int>(reinterpret_cast<UINT_PTR>(menu))));
    widget->setVisible((style & WS_VISIBLE) != 0);
    HWND control = new_control_window(parent, instance, widget, text);
    if (auto* slider = dynamic_cast<QSlider*>(widget)) connect_trackbar(slider, control);
    return control;
}

// A system colour's brush, as a window class takes one: the colour's index plus one.
HBRUSH GetSysColorBrush(int index) {
    return reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(index + 1));
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    return init != nullptr && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* button = is_window(window) ? dynamic_cast<QPushButton*>(window->client) : nullptr;
    if (button != nullptr && message == BM_SETCHECK) button->setChecked(wparam == BST_CHECKED);
    if (button != nullptr && (message == BM_SETCHECK || message == BM_GETCHECK))
        return message == BM_GETCHECK && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    auto* slider = is_window(window) ? dynamic_cast<QSlider*>(window->client) : nullptr;
    if (slider == nullptr) return send_message(window, message, wparam, lparam);
    // The program's own moves are no user's: the parent hears nothing of them.
    QSignalBlocker quiet(slider);
    switch (message) {
        case TBM_GETPOS:
            return slider->sliderPosition();
        case TBM_SETPOS:
            if (!slider->isSliderDown()) slider->setValue(static_cast<int>(lparam));
            return 0;
        case TBM_SETRANGEMAX:
            slider->setMaximum(static_cast<int>(lparam));
            return 0;
        case TBM_SETPAGESIZE:
            slider->setPageStep(static_cast<int>(lparam));
            return 0;
        case TBM_SETLINESIZE:
            slider->setSingleStep(static_cast<int>(lparam));
            return 0;
        default:
            return 0;
    }
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC) {
    if (!is_window(window) || window->client == nullptr || id == 0) return 0;
    QTimer*& timer = timers[{window, id}];
    if (timer == nullptr) {
        timer = new QTimer(window->client);
        QObject::connect(timer, &QTimer::timeout,
                         [window, id] { PostMessageA(window, WM_TIMER, id, 0); });
    }
    timer->start(static_cast<int>(elapse));
    return id;
}

void kill_window_timers(HWND window) {
    for (auto it = timers.begin(); it != timers.end();)
        it = it->first.first == window ? (delete it->second, timers.erase(it)) : std::next(it);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto found = timers.find({window, id});
    if (found == timers.end()) return FALSE;
    if (is_window(window)) delete found->second;
    timers.erase(found);
    return TRUE;
}
