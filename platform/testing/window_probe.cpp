#include "platform/testing/window_probe.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include "platform/cp932.h"
#include "platform/linux/window/draw_observer.h"
#include "platform/linux/window/window_system.h"

DrawLog draw_log;

void DrawLog::clear() {
    texts.clear();
    lines.clear();
    paints = 0;
}

namespace {

// Attached to the layer for as long as tests run; keeps what it sees only while the
// draw log records.
struct DrawLogObserver final : DrawObserver {
    DrawLogObserver() { set_draw_observer(this); }
    void painted(HWND) override {
        if (draw_log.recording) ++draw_log.paints;
    }
    void text(HWND window, int x, int y, const char* bytes, int count) override {
        if (draw_log.recording)
            draw_log.texts.push_back(
                DrawnText{window, x, y, std::string(bytes, static_cast<std::size_t>(count))});
    }
    void line(HWND window, POINT from, POINT to, COLORREF color, int width) override {
        if (draw_log.recording) draw_log.lines.push_back(DrawnLine{window, from, to, color, width});
    }
};
DrawLogObserver draw_log_observer;

}  // namespace

std::string window_caption(HWND window) {
    return is_window(window) ? window->caption : std::string();
}

std::string shown_caption(HWND window) {
    if (!is_window(window) || window->frame == nullptr) return "";
    return window->frame->windowTitle().toStdString();
}

bool save_window_image(HWND window, const char* png_path, bool whole) {
    if (!is_window(window)) return false;
    if (whole && window->frame != nullptr)
        return window->frame->grab().save(QString::fromUtf8(png_path), "PNG");
    return window->backing.save(QString::fromUtf8(png_path), "PNG");
}

bool save_screen_image(const char* png_path) {
    QRect shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) shown |= widget->frameGeometry();
    if (shown.isEmpty()) return false;
    QImage screen(shown.size(), QImage::Format_RGB32);
    screen.fill(QColor(96, 96, 96));
    QPainter painter(&screen);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            painter.drawPixmap(widget->pos() - shown.topLeft(), widget->grab());
    painter.end();
    return screen.save(QString::fromUtf8(png_path), "PNG");
}

namespace {

std::vector<DWORD> pixels_of(const QImage& original, int& width, int& height) {
    QImage image = original.convertToFormat(QImage::Format_RGB32);
    width = image.width();
    height = image.height();
    std::vector<DWORD> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(image.pixel(x, y) & 0xFFFFFFu);
    return pixels;
}

}  // namespace

std::vector<DWORD> client_pixels(HWND window, int& width, int& height) {
    width = height = 0;
    return is_window(window) ? pixels_of(window->backing, width, height) : std::vector<DWORD>{};
}

std::vector<DWORD> png_pixels(const char* png_path, int& width, int& height) {
    width = height = 0;
    QImage image;
    return image.load(QString::fromUtf8(png_path), "PNG") ? pixels_of(image, width, height)
                                                          : std::vector<DWORD>{};
}

void resize_client_area(HWND window, int width, int height) {
    if (!is_window(window) || window->frame == nullptr || window->client == nullptr) return;
    int menu = window->client->y();
    window->frame->resize(width, height + menu);
    QCoreApplication::processEvents();
}

void pump_messages() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dispatch_posted_messages();
    while (HWND window = first_invalid_window())
        send_message(window, WM_PAINT, 0, 0);
}

namespace {

QPushButton* button_of(HWND window, int id) {
    if (!is_window(window) || window->client == nullptr) return nullptr;
    for (QPushButton* button : window->client->findChildren<QPushButton*>())
        if (button->property(kControlIdProperty).toInt() == id) return button;
    return nullptr;
}

QWidget* control_of(HWND window, int id) {
    if (!is_window(window) || window->client == nullptr) return nullptr;
    for (QWidget* widget : window->client->findChildren<QWidget*>())
        if (widget->property(kControlIdProperty).toInt() == id) return widget;
    return nullptr;
}

}  // namespace

std::string control_text(HWND window, int id) {
    auto* label = dynamic_cast<QLabel*>(control_of(window, id));
    return label != nullptr ? label->text().toStdString() : "<none>";
}

bool control_visible(HWND window, int id) {
    QWidget* control = control_of(window, id);
    return control != nullptr && control->isVisibleTo(window->client);
}

bool drag_trackbar(HWND window, int id, int position) {
    auto* slider = dynamic_cast<QSlider*>(control_of(window, id));
    if (slider == nullptr) return false;
    slider->setSliderDown(true);
    slider->setSliderPosition(position);
    slider->setSliderDown(false);
    return true;
}

bool click_trackbar(HWND window, int id, double share) {
    auto* slider = dynamic_cast<QSlider*>(control_of(window, id));
    if (slider == nullptr) return false;
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    QRect groove = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                   QStyle::SC_SliderGroove, slider);
    QPointF at(groove.left() + share * groove.width(), groove.center().y());
    QPointF global = slider->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(slider, &press);
    QApplication::sendEvent(slider, &release);
    return true;
}

std::vector<RECT> control_places(HWND window) {
    std::vector<RECT> places;
    if (!is_window(window) || window->client == nullptr) return places;
    for (QWidget* widget : window->client->findChildren<QWidget*>()) {
        if (!widget->property(kControlIdProperty).isValid() || !widget->isVisibleTo(window->client))
            continue;
        QRect place = widget->geometry();
        places.push_back({place.left(), place.top(), place.left() + place.width(),
                          place.top() + place.height()});
    }
    return places;
}

bool button_pressed(HWND window, int id) {
    QPushButton* button = button_of(window, id);
    return button != nullptr && button->isChecked();
}

bool click_button(HWND window, int id) {
    QPushButton* button = button_of(window, id);
    if (button != nullptr) button->click();
    return button != nullptr;
}

bool press_key(HWND window, int button_id, int qt_key, const char* text, bool control, bool shift,
               unsigned scan_code) {
    QWidget* target = button_id != 0 ? button_of(window, button_id)
                                     : (is_window(window) ? window->frame : nullptr);
    if (target == nullptr) return false;
    Qt::KeyboardModifiers held = (control ? Qt::ControlModifier : Qt::NoModifier) |
                                 (shift ? Qt::ShiftModifier : Qt::NoModifier);
    QKeyEvent press(QEvent::KeyPress, qt_key, held, scan_code, 0, 0, QString::fromUtf8(text));
    QKeyEvent release(QEvent::KeyRelease, qt_key, held, scan_code, 0, 0, QString::fromUtf8(text));
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    return true;
}

namespace {

void add_entries(QMenu* menu, std::vector<MenuEntry>& entries) {
    for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
        if (action->isSeparator()) continue;
        std::string text;
        utf8_to_cp932(action->text().toStdString(), text);
        entries.push_back(
            {text, action->data().toUInt(), action->isChecked(), action->isEnabled()});
        add_entries(action->menu(), entries);
    }
}

}  // namespace

std::vector<MenuEntry> menu_entries(HWND window, int popup) {
    std::vector<MenuEntry> entries;
    QMenuBar* bar = is_window(window) && window->frame != nullptr
                        ? window->frame->findChild<QMenuBar*>()
                        : nullptr;
    if (bar == nullptr || popup < 0 || popup >= bar->actions().size()) return entries;
    add_entries(bar->actions()[popup]->menu(), entries);
    return entries;
}

void drop_files(HWND window, const std::vector<std::string>& paths) {
    if (!is_window(window) || window->frame == nullptr) return;
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls.append(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
    data.setUrls(urls);
    QPoint inside(10, 10);
    QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->frame, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent drop(QPointF(inside), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->frame, &drop);
}

int connect_as_another_start(const char* mutex_name) {
    return connect_to_instance(mutex_name);
}

void set_instance_user(unsigned int uid) {
    instance_user = uid;
}
