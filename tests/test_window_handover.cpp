// One window: what other starts of the program, and whoever else reaches its socket, can
// do to the running window. A peer that floods it or never reads holds nothing up; a
// burst of bad names gives one warning, never a box inside a box; a relative name is
// read in the folder of the start that gave it; another user is refused.
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "playback/session.h"
#include "tests/window_fixture.h"
#include "ui/main_window.h"
#include "ui/window_state.h"

namespace {

constexpr int kPlay = 101, kFaster = 107;

class HandOver : public MainWindowTest {
  public:
    void SetUp() override {
        // The socket's name is per runtime folder: this test's own.
        runtime_ = temp_dir() + "/runtime-" + std::to_string(getpid());
        std::filesystem::create_directories(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        set_instance_user(getuid());
        for (int peer : peers_)
            close(peer);
        MainWindowTest::TearDown();
    }

    int peer(const char* mutex_name) {
        int fd = connect_as_another_start(mutex_name);
        if (fd >= 0) peers_.push_back(fd);
        return fd;
    }

    // Hands a song to the window as a second start in this process does.
    bool hand_over(const std::string& name) {
        COPYDATASTRUCT data = {kHandedSong, static_cast<DWORD>(name.size() + 1),
                               const_cast<char*>(name.c_str())};
        DWORD_PTR taken = 0;
        return SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                   SMTO_ABORTIFHUNG, 1000, &taken) &&
               taken;
    }

  private:
    std::string runtime_;
    std::vector<int> peers_;
};

// Whether the window has closed this connection (what it read it dropped).
bool closed_by_window(int fd) {
    char byte;
    for (int round = 0; round < 50; ++round) {
        pump_messages();
        ssize_t n = recv(fd, &byte, 1, MSG_DONTWAIT);
        if (n == 0) return true;
        if (n < 0 && errno != EAGAIN) return true;
        usleep(1000);
    }
    return false;
}

}  // namespace

TEST_F(HandOver, PeersThatFloodNeverReadOrCrowdCannotHoldTheWindow) {
    ASSERT_NE(CreateMutexA(nullptr, FALSE, "HandOver.Flood"), nullptr);
    ASSERT_NE(GetLastError(), ERROR_ALREADY_EXISTS);
    open_file(demo_song_path());
    command(kPlay);
    ASSERT_EQ(playback_state(), PlayState::kPlaying);

    // Far more requests than a start sends, their answers never read.
    int flood = peer("HandOver.Flood");
    ASSERT_GE(flood, 0);
    std::string requests(20000, 'R');
    ASSERT_EQ(send(flood, requests.data(), requests.size(), MSG_DONTWAIT),
              static_cast<ssize_t>(requests.size()));
    EXPECT_TRUE(closed_by_window(flood));

    // Many connections at once: past a few, each is closed as it comes.
    int closed = 0;
    for (int i = 0; i < 40; ++i) {
        int fd = peer("HandOver.Flood");
        ASSERT_GE(fd, 0);
        closed += closed_by_window(fd);
    }
    EXPECT_GE(closed, 30);

    // The window went on with its song and its commands all the while.
    std::size_t sent = recording_midi_out.short_messages().size();
    for (DWORD ms = 6; ms <= 3000; ms += 6)
        driven_timer.tick_at(ms);
    EXPECT_GT(recording_midi_out.short_messages().size(), sent);
    command(kFaster);
    EXPECT_EQ(drawn_at(120, 410), "2%  ");
}

TEST_F(HandOver, ABurstOfBadNamesGivesOneWarningAndNeverABoxInsideABox) {
    std::string missing = temp_dir() + "/missing-";
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(hand_over(missing + std::to_string(i) + ".mid"));
    pump_messages();
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u);
    EXPECT_EQ(scripted_dialogs.message_boxes[0].text,
              "ファイルを読み込めません " + missing + "99.mid!");

    // Names that come while the box shows wait for it; the newest of them opens after.
    scripted_dialogs.while_message_box_shows = [&] {
        scripted_dialogs.while_message_box_shows = nullptr;
        for (int i = 0; i < 20; ++i)
            hand_over(missing + "late-" + std::to_string(i) + ".mid");
        pump_messages();
    };
    hand_over(missing + "first.mid");
    pump_messages();
    EXPECT_EQ(scripted_dialogs.most_open_message_boxes, 1);
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 3u);
    EXPECT_EQ(scripted_dialogs.message_boxes[1].text,
              "ファイルを読み込めません " + missing + "first.mid!");
    EXPECT_EQ(scripted_dialogs.message_boxes[2].text,
              "ファイルを読み込めません " + missing + "late-19.mid!");
}

TEST_F(HandOver, ASecondStartHandsOverItsNameReadInItsOwnFolder) {
    ASSERT_NE(CreateMutexA(nullptr, FALSE, "Lumaroth.OneWindow"), nullptr);
    std::string folder = temp_dir() + "/second start's folder";
    std::filesystem::create_directories(folder);
    write_temp_file("second start's folder/relative.mid", twelve_instrument_song());
    std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    char command_line[] = "relative.mid";
    int exit_code = WinMain(nullptr, nullptr, command_line, SW_SHOWNORMAL);
    std::filesystem::current_path(was);
    EXPECT_EQ(exit_code, 0);
    pump_messages();
    EXPECT_TRUE(scripted_dialogs.message_boxes.empty());
    EXPECT_EQ(std::string(file_path), folder + "/relative.mid");
    EXPECT_EQ(window_caption(window), "Lumaroth - relative.mid");
}

TEST_F(HandOver, AnotherUsersStartIsRefusedAndAnotherUsersSocketNeverUsed) {
    ASSERT_NE(CreateMutexA(nullptr, FALSE, "HandOver.Users"), nullptr);
    set_instance_user(getuid() + 1);
    // Our window, reached by someone else: closed unheard.
    int stranger = peer("HandOver.Users");
    ASSERT_GE(stranger, 0);
    EXPECT_TRUE(closed_by_window(stranger));
    // A start of ours that finds the name held by someone else goes on alone.
    ASSERT_NE(CreateMutexA(nullptr, FALSE, "HandOver.Users"), nullptr);
    EXPECT_NE(GetLastError(), ERROR_ALREADY_EXISTS);
}
