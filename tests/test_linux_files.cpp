// Song loading through the Linux file layer: sizes beyond 32 bits, short reads and
// names that code page 932 cannot hold.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "smf/song_image.h"
#include "tests/smf_bytes.h"

namespace {

SongImage image;

}  // namespace

TEST(SongLoading, AFileOf4GiBAndAFewBytesIsRefusedNotReadByItsLowWord) {
    std::string path = temp_dir() + "/sparse.mid";
    int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ftruncate(fd, (1LL << 32) + 100)) << "a sparse file takes no space";
    close(fd);
    put_song(image, hex("4D546864"));
    EXPECT_EQ(0, load_song_file(path.c_str(), image));
    EXPECT_EQ(1, is_smf_header(view_of(image)));
    unlink(path.c_str());
}

// sysfs files report a size of a page but hold fewer bytes: a real file whose read
// comes up short.
std::string short_reading_file() {
    const char* candidates[] = {"/sys/kernel/mm/transparent_hugepage/enabled",
                                "/sys/kernel/profiling", "/sys/power/state",
                                "/sys/kernel/uevent_seqnum"};
    for (const char* path : candidates) {
        struct stat info;
        if (stat(path, &info) != 0 || info.st_size <= 0 || info.st_size > 65536) continue;
        int fd = open(path, O_RDONLY);
        if (fd < 0) continue;
        char buffer[65536];
        ssize_t n = read(fd, buffer, sizeof buffer);
        close(fd);
        if (n >= 0 && n < info.st_size) return path;
    }
    return "";
}

TEST(SongLoading, AFileThatCannotBeReadInFullIsAFailedLoad) {
    std::string path = short_reading_file();
    if (path.empty()) GTEST_SKIP() << "no file here reads shorter than its size";
    put_song(image, hex("4D546864"));
    EXPECT_EQ(0, load_song_file(path.c_str(), image));
    EXPECT_EQ(1, is_smf_header(view_of(image))) << "the previous song stays";
}

TEST(SongLoading, ANameOpensTheFileItNamesNeverOneWhoseNameDecodesToTheSameText) {
    // "caf\xC3\xA9.mid" read as Shift-JIS is "caf" + two half-width katakana.
    std::string named = write_temp_file("caf\xC3\xA9.mid", hex("4D546864"));
    std::string misread = write_temp_file("caf\xEF\xBE\x83\xEF\xBD\xA9.mid", hex("00"));
    put_song(image, {});
    EXPECT_EQ(1, load_song_file(file_name_for_program(named).c_str(), image));
    EXPECT_EQ(1, is_smf_header(view_of(image)));
    EXPECT_EQ(1, load_song_file(file_name_for_program(misread).c_str(), image));
    EXPECT_EQ(0, is_smf_header(view_of(image)));
    std::string emoji = write_temp_file("\xF0\x9F\x8E\xB5.mid", hex("4D546864"));
    EXPECT_EQ(1, load_song_file(file_name_for_program(emoji).c_str(), image));
    EXPECT_EQ(1, is_smf_header(view_of(image)));
}
