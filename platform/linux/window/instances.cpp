// One program at a time: the named mutex is a listening socket in Linux's abstract
// namespace, which goes with the process. A second start connects to it instead; the
// running window is then reached through that connection: WM_COPYDATA is sent as data
// and answered, SetForegroundWindow raises the window.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "platform/linux/window/window_system.h"

namespace {

constexpr char kCopyData = 'D';
constexpr char kRaise = 'R';
constexpr int kAnswerTimeoutMs = 10000;  // Open may first stop playback
constexpr std::size_t kMaxData = 65536;

thread_local DWORD last_error = 0;
int running_program = -1;               // our connection to the program that holds the mutex
HWND__& remote_window = *new HWND__{};  // what FindWindowA finds of the running program
char mutex_token;                       // what CreateMutexA returns: only a handle that is not null

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

bool write_all(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The running program's answer to one request; 0 when none came in time.
LRESULT ask_running_program(const std::string& request) {
    if (running_program < 0 || !write_all(running_program, request.data(), request.size()))
        return 0;
    pollfd wait = {running_program, POLLIN, 0};
    char answer = 0;
    if (poll(&wait, 1, kAnswerTimeoutMs) != 1 || recv(running_program, &answer, 1, 0) != 1)
        return 0;
    return answer;
}

void raise_window(HWND window) {
    if (window == nullptr) return;
    if (window->frame->isMinimized()) window->frame->showNormal();
    window->frame->raise();
    window->frame->activateWindow();
}

// One connected second start: its requests are read as they come, each answered.
class Requester : public QObject {
  public:
    explicit Requester(int fd) : fd_(fd), notifier_(fd, QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { read_requests(); });
    }
    ~Requester() override { close(fd_); }

  private:
    void read_requests() {
        char buffer[4096];
        ssize_t n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0 || pending_.size() + static_cast<std::size_t>(n) > kMaxData + 16) {
            notifier_.setEnabled(false);
            deleteLater();
            return;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        while (answer_one()) {
        }
    }

    // Request: kRaise; or kCopyData, 8 bytes of dwData, 4 of cbData, then the data.
    bool answer_one() {
        if (pending_.empty()) return false;
        HWND window = find_top_level_window(nullptr);
        char answer = 1;
        if (pending_[0] == kRaise) {
            pending_.erase(0, 1);
            raise_window(window);
        } else if (pending_[0] != kCopyData) {
            pending_.clear();  // not one of ours: nothing it sends is read
            answer = 0;
        } else {
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
        }
        write_all(fd_, &answer, 1);
        return true;
    }

    int fd_;
    QSocketNotifier notifier_;
    std::string pending_;
};

void listen_for_second_starts(int fd) {
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [fd] {
        int requester = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (requester >= 0) new Requester(requester);
    });
}

}  // namespace

// The handle only says that the call succeeded: the name lives as long as the process.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name) {
    last_error = 0;
    if (name == nullptr) return nullptr;
    ensure_application();
    socklen_t length;
    sockaddr_un address = socket_address(name, length);
    auto* where = reinterpret_cast<sockaddr*>(&address);
    // Twice: a start at the same moment may take the name between our two steps.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return nullptr;
        if (connect(fd, where, length) == 0) {
            running_program = fd;
            last_error = ERROR_ALREADY_EXISTS;
            return &mutex_token;
        }
        if (bind(fd, where, length) == 0 && listen(fd, 8) == 0) {
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

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window != &remote_window) return send_message(window, message, wparam, lparam);
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (message != WM_COPYDATA || copy == nullptr || copy->cbData > kMaxData) return 0;
    std::string request(1, kCopyData);
    std::uint64_t tag = copy->dwData;
    std::uint32_t size = copy->cbData;
    request.append(reinterpret_cast<const char*>(&tag), sizeof tag);
    request.append(reinterpret_cast<const char*>(&size), sizeof size);
    request.append(static_cast<const char*>(copy->lpData), size);
    return ask_running_program(request);
}

BOOL SetForegroundWindow(HWND window) {
    if (window == &remote_window) return ask_running_program(std::string(1, kRaise)) != 0;
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
