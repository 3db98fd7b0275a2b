// The thread-safe message queue behind GetMessageA and PostMessageA. It waits with a
// condition variable until a window system installs its own way to wait and wake.
#pragma once

struct MessageWaiter {
    // Called with the queue unlocked until a message arrives; may return early.
    virtual void wait() = 0;
    // Called from any thread after a message was queued.
    virtual void wake() = 0;
    virtual ~MessageWaiter() = default;
};

void set_message_waiter(MessageWaiter* waiter);
