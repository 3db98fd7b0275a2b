// The merger when memory runs out: every nothrow allocation of this test program fails
// while the switch is on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/merge_helpers.h"

namespace {

bool allocations_fail = false;

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocations_fail ? nullptr : std::malloc(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocations_fail ? nullptr : std::malloc(size);
}
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(MergerOutOfMemory, PlaysNothingRatherThanThePreviousSong) {
    Bytes song = song_of(0, 96, {hex("00 C0 05  00 90 3C 40")});
    play_song(song);
    ASSERT_EQ(12, song_timeline.event_count);
    allocations_fail = true;
    play_song(song);
    allocations_fail = false;
    EXPECT_EQ(0, song_timeline.event_count);
    EXPECT_EQ(nullptr, test_voices.voices[0].name);
}

TEST(MergerOutOfMemory, ALoadThatCannotGetItsBufferFailsAndKeepsTheImage) {
    SongImage image;
    put_song(image, hex("4D546864"));
    std::string path = write_temp_file("song.mid", song_of(0, 96, {}));
    allocations_fail = true;
    int loaded = load_song_file(path.c_str(), image);
    allocations_fail = false;
    EXPECT_EQ(0, loaded);
    EXPECT_EQ(0, image.bytes[4]);
    EXPECT_EQ(1, load_song_file(path.c_str(), image));
}
