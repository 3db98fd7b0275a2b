// One program at a time: the named mutex is a listening socket in Linux's abstract
// namespace, which goes with the process. A second start connects to it instead; the
// running window is then reached through that connection: WM_COPYDATA is sent as data
// and answered, SetForegroundWindow raises the window.
// The abstract namespace has no permissions, so both ends check who is at the other
// (the kernel's peer credentials): only the same user's starts are served, and a name
// that another user holds is never used. Nothing a peer does may hold the window's
// thread: sockets never block it, idle peers are dropped, their number is capped.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "platform/linux/window/window_system.h"

unsigned int instance_user = getuid();

namespace {

constexpr char kCopyData = 'D';
constexpr char kRaise = 'R';
constexpr int kAnswerTimeoutMs = 5000;  // SendMessageA's; the window answers at once
constexpr int kIdlePeerMs = 5000;       // a connected start says what it wants by then
constexpr int kMostPeers = 8;
constexpr int kMostRequests = 16;    // a start sends two: the song, then the raise
constexpr int kAcceptPauseMs = 200;  // after running out of descriptors
constexpr std::size_t kMaxData = 65536;

thread_local DWORD last_error = 0;
int running_program = -1;               // our connection to the program that holds the mutex
HWND__& remote_window = *new HWND__{};  // what FindWindowA finds of the running program
char mutex_token;                       // what CreateMutexA returns: only a handle that is not null
int connected_peers = 0;

// The name is the user's: one per runtime folder (the session), else per user id.
sockaddr_un socket_address(LPCSTR name, socklen_t& length) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string scope = runtime != nullptr && *runtime != '\0' ? runtime : "";
    std::string path = "lumaroth-" + std::to_string(getuid()) + "-" +
                       std::to_string(std::hash<std::string>()(scope)) + "-" + name;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    path.resize(std::min(path.size(), sizeof address.sun_path - 2));
    std::memcpy(address.sun_path + 1, path.data(), path.size());  // abstract: a nul first
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    return address;
}

bool is_instance_user(int fd) {
    ucred peer = {};
    socklen_t size = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == instance_user;
}

// Writes within the deadline; a peer that does not read in time fails the write.
bool write_all(int fd, const void* data, std::size_t size, int timeout_ms) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd wait = {fd, POLLOUT, 0};
            if (poll(&wait, 1, timeout_ms) != 1) return false;
            continue;
        }
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The running program's answer to one request; false when none came in time.
bool ask_running_program(const std::string& request, int timeout_ms, char& answer) {
    if (running_program < 0 ||
        !write_all(running_program, request.data(), request.size(), timeout_ms))
        return false;
    pollfd wait = {running_program, POLLIN, 0};
    return poll(&wait, 1, timeout_ms) == 1 && recv(running_program, &answer, 1, 0) == 1;
}

std::string copy_data_request(const COPYDATASTRUCT& copy) {
    std::string request(1, kCopyData);
    std::uint64_t tag = copy.dwData;
    std::uint32_t size = copy.cbData;
    request.append(reinterpret_cast<const char*>(&tag), sizeof tag);
    request.append(reinterpret_cast<const char*>(&size), sizeof size);
    request.append(static_cast<const char*>(copy.lpData), size);
    return request;
}

void raise_window(HWND window) {
    if (window == nullptr) return;
    if (window->frame->isMinimized()) window->frame->showNormal();
    window->frame->raise();
    window->frame->activateWindow();
}

// One connected second start: its requests are read as they come, each answered. It is
// dropped when it goes idle, sends what is not ours or more than a start sends, or does
// not take its answers.
class Requester : public QObject {
  public:
    explicit Requester(int fd) : fd_(fd), notifier_(fd, QSocketNotifier::Read, this) {
        ++connected_peers;
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { read_requests(); });
        idle_.setSingleShot(true);
        connect(&idle_, &QTimer::timeout, this, [this] { drop(); });
        idle_.start(kIdlePeerMs);
    }
    ~Requester() override {
        close(fd_);
        --connected_peers;
    }

  private:
    void drop() {
        notifier_.setEnabled(false);
        idle_.stop();
        deleteLater();
    }

    void read_requests() {
        char buffer[4096];
        ssize_t n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0 || pending_.size() + static_cast<std::size_t>(n) > kMaxData + 16) {
            drop();
            return;
        }
        idle_.start(kIdlePeerMs);
        pending_.append(buffer, static_cast<std::size_t>(n));
        for (char answer; notifier_.isEnabled() && answer_one(answer);)
            if (++requests_ > kMostRequests || !write_all(fd_, &answer, 1, 0)) drop();
    }

    // Request: kRaise; or kCopyData, 8 bytes of dwData, 4 of cbData, then the data.
    bool answer_one(char& answer) {
        if (pending_.empty()) return false;
        HWND window = find_top_level_window(nullptr);
        answer = 1;
        if (pending_[0] == kRaise) {
            pending_.erase(0, 1);
            raise_window(window);
            return true;
        }
        if (pending_[0] != kCopyData) {
            drop();  // not one of ours: nothing more it sends is read
            return false;
        }
        constexpr std::size_t kHead = 1 + sizeof(std::uint64_t) + sizeof(std::uint32_t);
        if (pending_.size() < kHead) return false;
        std::uint64_t tag;
        std::uint32_t size;
        std::memcpy(&tag, pending_.data() + 1, sizeof tag);
        std::memcpy(&size, pending_.data() + 1 + sizeof tag, sizeof size);
        if (pending_.size() < kHead + size) return false;
        std::string data = pending_.substr(kHead, size);
        pending_.erase(0, kHead + size);
        COPYDATASTRUCT copy = {static_cast<ULONG_PTR>(tag), size, data.data()};
        answer = window != nullptr &&
                 send_message(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)) != 0;
        return true;
    }

    int fd_;
    QSocketNotifier notifier_;
    QTimer idle_;
    std::string pending_;
    int requests_ = 0;
};

void listen_for_second_starts(int fd) {
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [fd, notifier] {
        for (;;) {
            int peer = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (peer < 0 && errno == EINTR) continue;
            if (peer < 0 && errno != EAGAIN) {
                // Out of descriptors, say: the listener stays readable, so wait a while
                // rather than spin.
                notifier->setEnabled(false);
                QTimer::singleShot(kAcceptPauseMs, notifier,
                                   [notifier] { notifier->setEnabled(true); });
            }
            if (peer < 0) return;
            if (is_instance_user(peer) && connected_peers < kMostPeers) {
                new Requester(peer);
            } else {
                close(peer);
            }
        }
    });
}

}  // namespace

int connect_to_instance(LPCSTR name) {
    socklen_t length;
    sockaddr_un address = socket_address(name, length);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The handle only says that the call succeeded: the name lives as long as the process.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name) {
    last_error = 0;
    if (name == nullptr) return nullptr;
    ensure_application();
    socklen_t length;
    sockaddr_un address = socket_address(name, length);
    // Twice: a start at the same moment may take the name between our two steps.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (int fd = connect_to_instance(name); fd >= 0) {
            if (!is_instance_user(fd)) {
                // Someone else holds our name: this start goes on alone, with no mutex.
                close(fd);
                return &mutex_token;
            }
            running_program = fd;
            last_error = ERROR_ALREADY_EXISTS;
            return &mutex_token;
        }
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return nullptr;
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            listen(fd, kMostPeers) == 0) {
            listen_for_second_starts(fd);
            return &mutex_token;
        }
        close(fd);
    }
    return nullptr;
}

DWORD GetLastError() {
    return last_error;
}

// Our own windows first; else, when another program holds our mutex, its window.
HWND FindWindowA(LPCSTR class_name, LPCSTR) {
    HWND window = find_top_level_window(class_name);
    if (window != nullptr) return window;
    return running_program >= 0 ? &remote_window : nullptr;
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT,
                            UINT timeout_ms, PDWORD_PTR result) {
    char answer = 0;
    if (window != &remote_window) {
        if (!is_window(window)) return 0;
        answer = send_message(window, message, wparam, lparam) != 0;
    } else {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        if (message != WM_COPYDATA || copy == nullptr || copy->cbData > kMaxData ||
            !ask_running_program(copy_data_request(*copy), static_cast<int>(timeout_ms), answer))
            return 0;
    }
    if (result != nullptr) *result = static_cast<DWORD_PTR>(answer);
    return 1;
}

BOOL SetForegroundWindow(HWND window) {
    char answer = 0;
    if (window == &remote_window)
        return ask_running_program(std::string(1, kRaise), kAnswerTimeoutMs, answer) && answer;
    if (!is_window(window) || window->frame == nullptr) return FALSE;
    raise_window(window);
    return TRUE;
}

BOOL IsIconic(HWND window) {
    return is_window(window) && window->frame != nullptr && window->frame->isMinimized();
}

// The second start's wait for the running program's window.
void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
