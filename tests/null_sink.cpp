#include "tests/null_sink.h"

#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr char kSink[] = "lumaroth_null";

pid_t spawn(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

void end(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// pactl's answer: whether the server takes clients.
bool server_answers() {
    return std::system("pactl info >/dev/null 2>&1") == 0;
}

// The unprivileged user the server runs as when the test runs as root; nullptr else.
const passwd* server_user() {
    return geteuid() == 0 ? getpwnam("nobody") : nullptr;
}

// A folder of the server's own: it keeps its runtime files only in one its user owns.
std::string server_folder() {
    char name[] = "/tmp/lumaroth-pulse-XXXXXX";
    if (mkdtemp(name) == nullptr) return "/tmp";
    if (const passwd* user = server_user())
        if (chown(name, user->pw_uid, user->pw_gid) != 0) return "/tmp";
    return name;
}

}  // namespace

NullSink::NullSink() : folder_(server_folder()) {
    std::string socket = folder_ + "/native";
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    // The server's own files in the folder, not in a home it may not have.
    std::vector<std::string> command = {
        "env",
        "HOME=" + folder_,
        "XDG_RUNTIME_DIR=" + folder_,
        "PULSE_RUNTIME_PATH=" + folder_,
        "pulseaudio",
        "-n",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--realtime=no",
        "--high-priority=no",
        "--log-target=file:" + folder_ + "/server.log",
        "-L",
        std::string("module-null-sink sink_name=") + kSink,
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + socket};
    if (const passwd* user = server_user())
        command.insert(command.begin(),
                       {"setpriv", "--reuid=" + std::to_string(user->pw_uid),
                        "--regid=" + std::to_string(user->pw_gid), "--clear-groups"});
    server_ = spawn(command);
    if (server_ < 0) {
        why_not_ = "pulseaudio could not be started";
        return;
    }
    for (int tries = 0; tries < 100 && !running_; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        running_ = server_answers();
    }
    if (!running_) why_not_ = "the server did not answer; see " + folder_ + "/server.log";
    std::system(("pactl set-default-sink " + std::string(kSink) + " >/dev/null 2>&1").c_str());
}

NullSink::~NullSink() {
    stop_recording();
    end(server_);
    unsetenv("PULSE_SERVER");
    std::system(("rm -rf " + folder_).c_str());
}

bool NullSink::start_recording(const std::string& wav_path) {
    recorder_ =
        spawn({"parec", "--device=" + std::string(kSink) + ".monitor", "--file-format=wav",
               "--format=s16le", "--rate=44100", "--channels=2", "--latency-msec=10", wav_path});
    return recorder_ > 0;
}

void NullSink::stop_recording() {
    // parec writes the WAV header's sizes as it closes, on SIGINT or SIGTERM alike.
    end(recorder_);
}
