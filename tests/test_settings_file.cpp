// The settings file under what a machine or another user can put in its place: it is
// read only when it is a regular file of sensible size, never waited on, never
// overwritten when it could not be read, written whole or not at all, through a link
// to the link's target, keeping its mode, and by two programs at once.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/win32.h"
#include "tests/permissions.h"
#include "tests/smf_bytes.h"

namespace {

namespace fs = std::filesystem;

constexpr char kIni[] = "Lumaroth.ini";
const std::string kLines = "[Output]\nDevice=USB MIDI\n[Other]\nKept=yes\n";

std::string folder() {
    return temp_dir() + "/config/lumaroth";
}
std::string settings() {
    return folder() + "/lumaroth.ini";
}

std::string contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string device() {
    char value[64];
    GetPrivateProfileStringA("Output", "Device", "mapper", value, sizeof value, kIni);
    return value;
}

class SettingsFile : public ::testing::Test {
  public:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (temp_dir() + "/config").c_str(), 1);
        fs::remove_all(temp_dir() + "/config");
        fs::create_directories(folder());
    }
};

struct Case {
    const char* what;
    std::function<void()> prepare;
    bool read;   // the file's value is read (else the default)
    bool saved;  // a save goes through (else it fails and the file stays as it was)
    std::function<void()> check;
};

}  // namespace

TEST_F(SettingsFile, OddFilesAreReadSafelyAndNeverLost) {
    std::string victim = temp_dir() + "/victim";
    const Case cases[] = {
        {"a FIFO", [] { mkfifo(settings().c_str(), 0600); }, false, false,
         [] {
             struct stat info;
             ASSERT_EQ(stat(settings().c_str(), &info), 0);
             EXPECT_TRUE(S_ISFIFO(info.st_mode));
         }},
        {"unreadable", [] { write(settings(), kLines), chmod(settings().c_str(), 0); }, false,
         false, [] { EXPECT_EQ(contents(settings()), kLines); }},
        {"over 64 KiB", [] { write(settings(), kLines + "; " + std::string(70000, 'x') + "\n"); },
         false, false, [] { EXPECT_EQ(contents(settings()).size(), kLines.size() + 70003); }},
        {"a link at the old temporary name",
         [&] {
             write(victim, "the link's target\n");
             fs::create_symlink(victim, settings() + ".new");
             write(settings(), kLines);
         },
         true, true, [&] { EXPECT_EQ(contents(victim), "the link's target\n"); }},
        {"a link to the user's own file",
         [&] {
             write(victim, kLines);
             fs::create_symlink(victim, settings());
         },
         true, true,
         [&] {
             EXPECT_TRUE(fs::is_symlink(settings()));
             EXPECT_EQ(contents(victim), "[Output]\nDevice=Saved\n[Other]\nKept=yes\n");
         }},
        {"private", [] { write(settings(), kLines), chmod(settings().c_str(), 0600); }, true, true,
         [] {
             EXPECT_EQ(fs::status(settings()).permissions() & fs::perms::all,
                       fs::perms::owner_read | fs::perms::owner_write);
             EXPECT_EQ(contents(settings()), "[Output]\nDevice=Saved\n[Other]\nKept=yes\n");
         }},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        SetUp();
        fs::remove(victim);
        each.prepare();
        {
            WithoutPermissionOverride as_a_user;
            EXPECT_EQ(device(), each.read ? "USB MIDI" : "mapper");
            EXPECT_EQ(WritePrivateProfileStringA("Output", "Device", "Saved", kIni) != FALSE,
                      each.saved);
        }
        each.check();
        EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()),
                  each.what == std::string("a link at the old temporary name") ? 2 : 1)
            << "no temporary file is left";
    }
}

TEST_F(SettingsFile, AFullDiskFailsTheSaveAndLeavesTheFileAsItWas) {
    write(settings(), kLines);
    signal(SIGXFSZ, SIG_IGN);
    rlimit was;
    getrlimit(RLIMIT_FSIZE, &was);
    rlimit small = {40, was.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    BOOL saved = WritePrivateProfileStringA("Output", "Device", "A name that does not fit", kIni);
    setrlimit(RLIMIT_FSIZE, &was);
    EXPECT_FALSE(saved);
    EXPECT_EQ(contents(settings()), kLines);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, TwoProgramsSavingAtOnceLeaveEveryValue) {
    constexpr int kKeys = 150;
    pid_t writers[2];
    for (int writer = 0; writer < 2; ++writer) {
        writers[writer] = fork();
        if (writers[writer] == 0) {
            std::string section = "Writer" + std::to_string(writer);
            bool all = true;
            for (int key = 0; key < kKeys; ++key)
                all = WritePrivateProfileStringA(section.c_str(), std::to_string(key).c_str(),
                                                 "value", kIni) &&
                      all;
            std::_Exit(all ? 0 : 1);
        }
    }
    for (pid_t writer : writers) {
        int status = -1;
        waitpid(writer, &status, 0);
        EXPECT_EQ(status, 0) << "every save went through";
    }
    std::string expected;
    for (int writer = 0; writer < 2; ++writer) {
        std::string section = "Writer" + std::to_string(writer);
        char value[16];
        for (int key = 0; key < kKeys; ++key) {
            GetPrivateProfileStringA(section.c_str(), std::to_string(key).c_str(), "lost", value,
                                     sizeof value, kIni);
            EXPECT_STREQ(value, "value") << section << " " << key;
        }
    }
    std::string text = contents(settings());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * (kKeys + 1)) << "no other line";
}

TEST_F(SettingsFile, NamesAreSavedInUtf8AndAnEarlierVersionsShiftJisIsStillRead) {
    // 曲.mid and 仮想ケーブル in Shift-JIS, as an earlier version saved them.
    const std::string song_sjis = "\x8B\xC8.mid",
                      cable_sjis = "\x89\xBC\x91\x7A\x83\x50\x81\x5B\x83\x75\x83\x8B";
    write(settings(),
          "[Recent]\nFile1=/songs/" + song_sjis + "\n[Output]\nDevice=" + cable_sjis + "\n");
    char value[64];
    GetPrivateProfileStringA("Recent", "File1", "", value, sizeof value, kIni);
    EXPECT_EQ(value, "/songs/" + song_sjis);
    EXPECT_EQ(device(), cable_sjis);

    ASSERT_TRUE(WritePrivateProfileStringA("Recent", "File2", "/songs/\x89\xCC.mid", kIni));  // 歌
    EXPECT_EQ(contents(settings()),
              u8"[Recent]\nFile1=/songs/曲.mid\nFile2=/songs/歌.mid\n"
              u8"[Output]\nDevice=仮想ケーブル\n");
    EXPECT_EQ(device(), cable_sjis) << "read back as the program holds it";
}
