#include "platform/testing/test_double.h"
#include "platform/testing/test_platform.h"

PostedMessages posted_messages;

void PostedMessages::reset() {
    std::lock_guard<std::mutex> guard(lock);
    messages.clear();
}

std::size_t PostedMessages::count() {
    std::lock_guard<std::mutex> guard(lock);
    return messages.size();
}

BOOL TEST_DOUBLE(PostMessageA)(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::lock_guard<std::mutex> guard(posted_messages.lock);
    posted_messages.messages.push_back(MSG{window, message, wparam, lparam, 0, {0, 0}});
    return TRUE;
}

ROUTE_TO_DOUBLE(PostMessageA)
