#include "platform/linux/messages.h"

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/win32.h"

namespace {

// Never destroyed: a thread that waits for a terminal's keys or signals may post until
// the process has gone, after the exit has run every static destructor.
std::mutex& queue_lock = *new std::mutex;
std::condition_variable& queue_changed = *new std::condition_variable;
std::deque<MSG>& queue = *new std::deque<MSG>;
bool quit_posted = false;
int quit_code = 0;
MessageWaiter* waiter = nullptr;

MessageWaiter* current_waiter() {
    std::lock_guard<std::mutex> guard(queue_lock);
    return waiter;
}

// With the queue locked.
bool take_front(MSG& msg) {
    if (queue.empty()) return false;
    msg = queue.front();
    queue.pop_front();
    return true;
}

// The posted messages first, then the quit, seen under one lock: a message posted just
// before the quit from another thread is never left behind it.
bool take_message(MSG& msg) {
    std::lock_guard<std::mutex> guard(queue_lock);
    if (take_front(msg)) return true;
    if (quit_posted) {
        quit_posted = false;
        msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quit_code), 0, 0, {0, 0}};
        return true;
    }
    return false;
}

}  // namespace

bool take_posted_message(MSG& msg) {
    std::lock_guard<std::mutex> guard(queue_lock);
    return take_front(msg);
}

void set_message_waiter(MessageWaiter* new_waiter) {
    std::lock_guard<std::mutex> guard(queue_lock);
    waiter = new_waiter;
}

BOOL GetMessageA(LPMSG msg, HWND, UINT, UINT) {
    while (!take_message(*msg)) {
        if (MessageWaiter* system_waiter = current_waiter()) {
            if (system_waiter->next_paint(*msg)) break;
            system_waiter->wait();
            continue;
        }
        std::unique_lock<std::mutex> guard(queue_lock);
        queue_changed.wait(guard,
                           [] { return !queue.empty() || quit_posted || waiter != nullptr; });
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT) {
    return take_message(*msg) ? TRUE : FALSE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageWaiter* to_wake;
    {
        std::lock_guard<std::mutex> guard(queue_lock);
        queue.push_back(MSG{window, message, wparam, lparam, timeGetTime(), {0, 0}});
        to_wake = waiter;
    }
    queue_changed.notify_all();
    if (to_wake != nullptr) to_wake->wake();
    return TRUE;
}

// WM_QUIT comes when the queue is empty, after what was posted before it.
void PostQuitMessage(int exit_code) {
    MessageWaiter* to_wake;
    {
        std::lock_guard<std::mutex> guard(queue_lock);
        quit_posted = true;
        quit_code = exit_code;
        to_wake = waiter;
    }
    queue_changed.notify_all();
    if (to_wake != nullptr) to_wake->wake();
}
