// The widgets behind a top-level window: the frame with its menu bar, and the client
// area that shows the window's backing image.
#pragma once

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/linux/window/window_system.h"

// windows.cpp: the window awaits WM_PAINT (erased first when asked); the windows the
// owner owns hide while it is minimised and come back after.
void invalidate(HWND window, bool erase);
void follow_owner(HWND owner, bool hidden);

class ClientWidget : public QWidget {
  public:
    ClientWidget(HWND window, QWidget* parent) : QWidget(parent), window_(window) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, window_->backing);
    }
    void resizeEvent(QResizeEvent*) override {
        if (window_->backing.size() == size()) return;
        resize_client(size());
    }

  private:
    void resize_client(QSize size) {
        QImage grown(size, QImage::Format_RGB32);
        grown.fill(color_of(window_->background));
        QPainter(&grown).drawImage(0, 0, window_->backing);
        window_->backing = grown;
        if (window_->class_style & (CS_HREDRAW | CS_VREDRAW)) invalidate(window_, true);
        send_message(window_, WM_SIZE, 0,
                     static_cast<LPARAM>(MAKEWPARAM(size.width(), size.height())));
    }
    HWND window_;
};

class FrameWidget : public QWidget {
  public:
    explicit FrameWidget(HWND window) : window_(window) {}
    QMenuBar* menu_bar = nullptr;
    QWidget* client = nullptr;

    int menu_height() const { return menu_bar != nullptr ? menu_bar->sizeHint().height() : 0; }

  protected:
    // The system's close command goes to the window procedure, as on Windows.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        send_message(window_, WM_CLOSE, 0, 0);
    }
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (holds_local_files(event->mimeData())) event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        post_dropped_files(window_, event->mimeData());
        event->acceptProposedAction();
    }
    // Windows it owns go out of sight with it, and come back as they were.
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange) follow_owner(window_, isMinimized());
    }
    void resizeEvent(QResizeEvent*) override {
        int menu = menu_height();
        if (menu_bar != nullptr) menu_bar->setGeometry(0, 0, width(), menu);
        client->setGeometry(0, menu, width(), std::max(0, height() - menu));
    }

  private:
    HWND window_;
};
