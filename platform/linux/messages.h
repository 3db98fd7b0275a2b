// The thread-safe message queue behind GetMessageA and PostMessageA. It waits with a
// condition variable until a window system installs its own way to wait and wake.
#pragma once

#include "platform/win32.h"

struct MessageWaiter {
    // Called with the queue unlocked until a message arrives; may return early.
    virtual void wait() = 0;
    // Called from any thread after a message was queued.
    virtual void wake() = 0;
    // WM_PAINT for a window that needs painting, when no message is queued.
    virtual bool next_paint(MSG& msg) = 0;
    virtual ~MessageWaiter() = default;
};

void set_message_waiter(MessageWaiter* waiter);

// Takes the oldest posted message, never WM_QUIT: what a modal dialog's own loop
// dispatches while it runs.
bool take_posted_message(MSG& msg);
