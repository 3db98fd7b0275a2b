#include "platform/linux/wav_writer.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;

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
    put_u32(out + 28, static_cast<std::uint32_t>(sample_rate * kChannels * kBytesPerSample));
    put_u16(out + 32, kChannels * kBytesPerSample);
    put_u16(out + 34, 8 * kBytesPerSample);
    std::memcpy(out + 36, "data", 4);
    put_u32(out + 40, data_bytes);
}

}  // namespace

bool WavWriter::open(const std::string& path, int sample_rate, std::string& error) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    sample_rate_ = sample_rate;
    data_bytes_ = 0;
    unsigned char head[44];
    header(head, sample_rate, 0);
    std::fwrite(head, 1, sizeof head, file_);
    return true;
}

void WavWriter::write(const std::int16_t* frames, int frame_count) {
    std::size_t bytes = static_cast<std::size_t>(frame_count) * kChannels * kBytesPerSample;
    data_bytes_ += static_cast<std::uint32_t>(std::fwrite(frames, 1, bytes, file_));
}

void WavWriter::close() {
    if (file_ == nullptr) return;
    unsigned char head[44];
    header(head, sample_rate_, data_bytes_);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(head, 1, sizeof head, file_);
    std::fclose(file_);
    file_ = nullptr;
}
