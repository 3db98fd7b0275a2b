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

BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (action != SPI_GETWORKAREA || value == nullptr || screen == nullptr) return FALSE;
    QRect area = screen->availableGeometry();
    *static_cast<RECT*>(value) =
        RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    return TRUE;
}
