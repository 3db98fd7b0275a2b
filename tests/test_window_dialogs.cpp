// The real Qt message box and file dialog behind MessageBoxA and GetOpenFileNameA,
// answered as a user would, and ShellExecuteA.
#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/testing/dialog_driver.h"
#include "platform/testing/window_probe.h"
#include "platform/win32.h"
#include "tests/smf_bytes.h"

namespace {

const char kFilters[] =
    "Standard MIDI Files(*.MID)\0*.mid\0Text Files(*.TXT)\0*.txt\0All Files(*.*)\0*.*\0";

std::atomic<int> end_messages{0};

LRESULT CALLBACK counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER + 2) {
        ++end_messages;
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// The 移動 dialog's procedure as a program would write it: the line starts at "0:03", OK
// keeps what was typed and ends with 7, Cancel with 0.
std::string typed_time;
INT_PTR CALLBACK time_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) SetDlgItemTextA(dialog, 1001, "0:03");
    if (message != WM_COMMAND) return TRUE;
    char typed[32] = "";
    GetDlgItemTextA(dialog, 1001, typed, sizeof typed);
    typed_time = typed;
    EndDialog(dialog, LOWORD(wparam) == IDOK ? 7 : 0);
    return TRUE;
}

class RealDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        forget_seen_dialogs();
        std::memset(&request, 0, sizeof request);
        request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        request.lpstrFilter = kFilters;
        request.lpstrFile = path;
        request.nMaxFile = sizeof path;
        request.lpstrFileTitle = title;
        request.nMaxFileTitle = sizeof title;
        request.lpstrDefExt = "TEXT";
        request.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT;
        path[0] = title[0] = '\0';
    }

    OPENFILENAMEA request;
    char path[MAX_PATH];
    char title[MAX_PATH];
};

}  // namespace

TEST_F(RealDialogs, MessageBoxShowsItsTextAndReturnsTheButtonPressed) {
    answer_next_dialog({DialogAction::Accept, "", -1, nullptr, nullptr});
    EXPECT_EQ(MessageBoxA(nullptr, "ファイルを読み込めません x.mid!", "Lumaroth", MB_ICONWARNING),
              IDOK);
    answer_next_dialog({DialogAction::Yes, "", -1, nullptr, nullptr});
    EXPECT_EQ(MessageBoxA(nullptr, "作成しますか?", "開く", MB_YESNO), IDYES);
    answer_next_dialog({DialogAction::No, "", -1, nullptr, nullptr});
    EXPECT_EQ(MessageBoxA(nullptr, "作成しますか?", "開く", MB_YESNO), IDNO);
    ASSERT_EQ(seen_dialogs().size(), 3u);
    EXPECT_EQ(seen_dialogs()[0].kind, "message");
    EXPECT_EQ(seen_dialogs()[0].title, u8"Lumaroth");
    EXPECT_EQ(seen_dialogs()[0].text, u8"ファイルを読み込めません x.mid!");
}

TEST_F(RealDialogs, FileDialogReturnsThePathAndTitleAndRemembersTheFilter) {
    std::string song = write_temp_file("Song.MID", hex("4D546864"));
    answer_next_dialog({DialogAction::Accept, song, 1, nullptr, nullptr});
    ASSERT_EQ(GetOpenFileNameA(&request), TRUE);
    EXPECT_EQ(std::string(path), song);
    EXPECT_STREQ(title, "Song.MID");
    EXPECT_EQ(request.nFilterIndex, 2u);
    EXPECT_EQ(std::string(path + request.nFileOffset), "Song.MID");
    EXPECT_EQ(std::string(path + request.nFileExtension), "MID");

    answer_next_dialog({DialogAction::Cancel, "", -1, nullptr, nullptr});
    EXPECT_EQ(GetOpenFileNameA(&request), FALSE);
    ASSERT_EQ(seen_dialogs().size(), 2u);
    EXPECT_EQ(seen_dialogs()[0].kind, "file");
    EXPECT_EQ(seen_dialogs()[0].filter_index, 0);
    ASSERT_EQ(seen_dialogs()[0].filters.size(), 3u);
    EXPECT_EQ(seen_dialogs()[0].filters[0].rfind("Standard MIDI Files(*.MID) (", 0), 0u);
    EXPECT_EQ(seen_dialogs()[1].filter_index, 1) << "the next Open starts with the last filter";
}

TEST_F(RealDialogs, ANameThatDoesNotExistAsksBeforeItIsReturned) {
    std::string missing = temp_dir() + "/new-song.mid";
    answer_next_dialog({DialogAction::Accept, missing, -1, nullptr, nullptr});
    answer_next_dialog({DialogAction::No, "", -1, nullptr, nullptr});
    answer_next_dialog({DialogAction::Accept, missing, -1, nullptr, nullptr});
    answer_next_dialog({DialogAction::Yes, "", -1, nullptr, nullptr});
    ASSERT_EQ(GetOpenFileNameA(&request), TRUE);
    EXPECT_EQ(std::string(path), missing);
    ASSERT_EQ(seen_dialogs().size(), 4u);
    EXPECT_EQ(seen_dialogs()[1].kind, "message");
    EXPECT_NE(seen_dialogs()[1].text.find("new-song.mid"), std::string::npos);
    // Qt's own texts in Japanese, as the program's, whatever the locale.
    std::vector<std::string> buttons = seen_dialogs()[1].buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<std::string>{u8"いいえ(&N)", u8"はい(&Y)"}));
    EXPECT_EQ(seen_dialogs()[2].kind, "file") << "No goes back to the dialog";
}

TEST_F(RealDialogs, APathLongerThanTheBufferFailsInsteadOfOverflowing) {
    std::string folder = temp_dir() + "/" + std::string(120, 'd');
    ASSERT_EQ(system(("mkdir -p " + folder + "/" + std::string(120, 'e')).c_str()), 0);
    std::string song = write_temp_file(
        std::string(120, 'd') + "/" + std::string(120, 'e') + "/long.mid", hex("00"));
    answer_next_dialog({DialogAction::Accept, song, -1, nullptr, nullptr});
    EXPECT_EQ(GetOpenFileNameA(&request), FALSE);
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL) << "as if the user had cancelled";
}

TEST_F(RealDialogs, PostedMessagesAreDispatchedWhileADialogRuns) {
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = counting_proc;
    window_class.lpszClassName = "CountingWindow";
    RegisterClassExA(&window_class);
    HWND window = CreateWindowExA(0, "CountingWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    end_messages = 0;
    std::thread poster;
    DialogAnswer answer{DialogAction::Accept, "", -1, nullptr, nullptr};
    answer.on_shown = [&] {
        poster = std::thread([window] { PostMessageA(window, WM_USER + 2, 0, 0); });
    };
    answer.ready = [] { return end_messages.load() == 1; };
    answer_next_dialog(answer);
    MessageBoxA(window, "再生中", "Lumaroth", MB_OK);
    poster.join();
    EXPECT_EQ(end_messages.load(), 1);
    DestroyWindow(window);
    pump_messages();
}

TEST(RealShell, AMissingFileIsAnErrorBelow33) {
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", "Lumaroth.html", nullptr, "/nonexistent/", SW_SHOWNORMAL);
    EXPECT_LE(reinterpret_cast<UINT_PTR>(result), 32u);
}

TEST_F(RealDialogs, ADialogBoxFromTheResourcesTakesTheTypedLineOnEnterAndCancelsOnEscape) {
    answer_next_dialog({DialogAction::Accept, "1:30", -1, nullptr, nullptr});
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(104), nullptr, time_dialog_proc, 0), 7);
    EXPECT_EQ(typed_time, "1:30");
    ASSERT_EQ(seen_dialogs().size(), 1u);
    EXPECT_EQ(seen_dialogs()[0].kind, "dialog");
    EXPECT_EQ(seen_dialogs()[0].title, u8"移動");
    EXPECT_EQ(seen_dialogs()[0].text, "0:03");
    answer_next_dialog({DialogAction::Cancel, "", -1, nullptr, nullptr});
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(104), nullptr, time_dialog_proc, 0), 0);
    pump_messages();
}
