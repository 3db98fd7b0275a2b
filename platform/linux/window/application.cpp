// The one QApplication and the bridge between our message queue and Qt's event loop.
#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QObject>
#include <QScreen>
#include <QTranslator>
#include <clocale>

#include "platform/linux/messages.h"
#include "platform/linux/window/window_system.h"

namespace {

int modal_depth = 0;

// Lives in the GUI thread: an event posted to it from any thread wakes Qt's loop.
class Waker : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        if (modal_depth > 0) dispatch_posted_messages();
        return true;
    }
};

class QtWaiter : public MessageWaiter {
  public:
    void wait() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    void wake() override { QCoreApplication::postEvent(&waker_, new QEvent(QEvent::User)); }
    bool next_paint(MSG& msg) override {
        HWND window = first_invalid_window();
        if (window == nullptr) return false;
        msg = MSG{window, WM_PAINT, 0, 0, 0, {0, 0}};
        return true;
    }

  private:
    Waker waker_;
};

int application_argc = 1;
char application_name[] = "lumaroth";
char* application_argv[] = {application_name, nullptr};

}  // namespace

void dispatch_posted_messages() {
    MSG msg;
    while (take_posted_message(msg))
        DispatchMessageA(&msg);
}

void ensure_application() {
    if (QApplication::instance() != nullptr) return;
    // Never destroyed: Qt must not be torn down by static destructors at exit.
    new QApplication(application_argc, application_argv);
    // Qt's own texts (the file dialog, the boxes' buttons) in Japanese, as every other
    // text of the program, whatever the locale.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(u"qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    // Qt switches the C locale to the environment's; "%0.2f" must keep printing a dot.
    std::setlocale(LC_NUMERIC, "C");
    set_message_waiter(new QtWaiter);
}

void keep_painting() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

ModalScope::ModalScope() {
    ++modal_depth;
    dispatch_posted_messages();
}

ModalScope::~ModalScope() {
    --modal_depth;
}

namespace {

RECT rect_of(const QRect& area) {
    return RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

QScreen* screen_of(HMONITOR monitor) {
    for (QScreen* screen : QGuiApplication::screens())
        if (reinterpret_cast<HMONITOR>(screen) == monitor) return screen;
    return nullptr;
}

}  // namespace

// The screen the rectangle overlaps most; else none, or the nearest by its centre.
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    if (rect == nullptr) return nullptr;
    ensure_application();
    QRect wanted(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    QScreen* best = nullptr;
    long long best_share = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect common = screen->geometry().intersected(wanted);
        long long share = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        if (share > best_share) best = screen, best_share = share;
    }
    if (best != nullptr || flags == MONITOR_DEFAULTTONULL) return reinterpret_cast<HMONITOR>(best);
    long long nearest = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        QPoint gap = screen->geometry().center() - wanted.center();
        long long distance = 1LL * gap.x() * gap.x() + 1LL * gap.y() * gap.y();
        if (nearest < 0 || distance < nearest) best = screen, nearest = distance;
    }
    return reinterpret_cast<HMONITOR>(best);
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    RECT place;
    if (!GetWindowRect(window, &place)) return nullptr;
    return MonitorFromRect(&place, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
    QScreen* screen = screen_of(monitor);
    if (screen == nullptr || info == nullptr || info->cbSize != sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = rect_of(screen->geometry());
    info->rcWork = rect_of(screen->availableGeometry());
    info->dwFlags = screen == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
