#include "platform/synth/wav_writer.h"

#include <cstdio>
#include <cstring>

#include "platform/synth/synth_engine.h"
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

}  // namespace

bool WavWriter::open(const std::string& path, int sample_rate, std::string& error) {
    path_ = path;
    error_.clear();
    sample_rate_ = sample_rate;
    data_bytes_ = 0;
    std::string why;
    if (!file_.create(path, why)) {
        error = "cannot write " + path + ": " + why;
        return false;
    }
    unsigned char head[kHeaderBytes];
    header(head, sample_rate, 0);
    if (file_.write(head, sizeof head) != sizeof head) {
        error = "cannot write " + path + ": " + file_.last_error();
        file_.close();
        return false;
    }
    return true;
}

std::uint32_t longest_wav_ms() {
    return static_cast<std::uint32_t>(std::uint64_t{kDataLimit} * 1000 /
                                      (std::uint64_t{kSampleRate} * kFrameBytes));
}

void WavWriter::fail(const char* what) {
    if (error_.empty()) error_ = std::string(what) + " " + path_ + ": " + file_.last_error();
}

bool WavWriter::write(const std::int16_t* frames, int frame_count) {
    if (!file_.is_open() || !error_.empty()) return false;
    std::size_t bytes = static_cast<std::size_t>(frame_count) * kFrameBytes;
    std::size_t room = kDataLimit - data_bytes_;
    std::size_t written = file_.write(frames, bytes < room ? bytes : room);
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
    if (!file_.is_open()) return error_.empty();
    // The header counts whole frames only: a failed write may have left part of one.
    unsigned char head[kHeaderBytes];
    header(head, sample_rate_, data_bytes_ / kFrameBytes * kFrameBytes);
    if (!file_.write_at_start(head, sizeof head)) fail("cannot finish");
    if (!file_.close()) fail("cannot finish");
    return error_.empty();
}
