#include "platform/linux/wav_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/linux/synth_engine.h"
#include "platform/wav_output.h"

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int kFrameBytes = kChannels * kBytesPerSample;
constexpr int kHeaderBytes = 44;
// The RIFF size, 36 bytes more than the data's, is 32-bit: whole frames up to that.
constexpr std::uint32_t kDataLimit = (0xFFFFFFFFu - 36) / kFrameBytes * kFrameBytes;

void put_u32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void put_u16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void header(unsigned char* out, int sample_rate, std::uint32_t data_bytes) {
    std::memcpy(out, "RIFF", 4);
    put_u32(out + 4, 36 + data_bytes);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    put_u32(out + 16, 16);
    put_u16(out + 20, 1);  // PCM
    put_u16(out + 22, kChannels);
    put_u32(out + 24, static_cast<std::uint32_t>(sample_rate));
    put_u32(out + 28, static_cast<std::uint32_t>(sample_rate * kFrameBytes));
    put_u16(out + 32, kFrameBytes);
    put_u16(out + 34, 8 * kBytesPerSample);
    std::memcpy(out + 36, "data", 4);
    put_u32(out + 40, data_bytes);
}

bool writable_kind(mode_t mode) {
    return S_ISREG(mode) || S_ISCHR(mode);
}

// Writes all of it unless the file refuses; returns the bytes written.
std::size_t write_all(int fd, const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, at + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

bool WavWriter::open(const std::string& path, int sample_rate, std::string& error) {
    path_ = path;
    error_.clear();
    sample_rate_ = sample_rate;
    data_bytes_ = 0;
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !writable_kind(info.st_mode)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    // O_NONBLOCK: a FIFO put there since the check fails or is refused below, never waits.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd_ >= 0 && (fstat(fd_, &info) != 0 || !writable_kind(info.st_mode))) {
        ::close(fd_);
        fd_ = -1;
        errno = EINVAL;
    }
    if (fd_ >= 0) fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    unsigned char head[kHeaderBytes];
    header(head, sample_rate, 0);
    if (fd_ < 0 || write_all(fd_, head, sizeof head) != sizeof head) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

std::uint32_t longest_wav_ms() {
    return static_cast<std::uint32_t>(std::uint64_t{kDataLimit} * 1000 /
                                      (std::uint64_t{kSampleRate} * kFrameBytes));
}

void WavWriter::fail(const char* what) {
    if (error_.empty()) error_ = std::string(what) + " " + path_ + ": " + std::strerror(errno);
}

bool WavWriter::write(const std::int16_t* frames, int frame_count) {
    if (fd_ < 0 || !error_.empty()) return false;
    std::size_t bytes = static_cast<std::size_t>(frame_count) * kFrameBytes;
    std::size_t room = kDataLimit - data_bytes_;
    std::size_t written = write_all(fd_, frames, bytes < room ? bytes : room);
    data_bytes_ += static_cast<std::uint32_t>(written);
    if (written == bytes) return true;
    if (written == room) {
        std::uint32_t ms = longest_wav_ms();
        char longest[32];
        std::snprintf(longest, sizeof longest, "%u:%02u", ms / 60000, ms / 1000 % 60);
        error_ = path_ + " is full: a WAV file holds at most " + longest + " of sound";
    } else {
        fail("cannot write");
    }
    return false;
}

bool WavWriter::close() {
    if (fd_ < 0) return error_.empty();
    // The header counts whole frames only: a failed write may have left part of one.
    unsigned char head[kHeaderBytes];
    header(head, sample_rate_, data_bytes_ / kFrameBytes * kFrameBytes);
    // A character device that cannot seek has no header to mend.
    if (pwrite(fd_, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head) && errno != ESPIPE)
        fail("cannot finish");
    if (::close(fd_) != 0) fail("cannot finish");
    fd_ = -1;
    return error_.empty();
}
