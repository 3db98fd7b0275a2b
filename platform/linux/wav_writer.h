// A 16-bit stereo WAV file written block by block.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
  public:
    // Starts the file anew; false (with the reason in error) when it cannot be written.
    bool open(const std::string& path, int sample_rate, std::string& error);
    void write(const std::int16_t* frames, int frame_count);
    // Writes the sizes into the header and closes the file.
    void close();

  private:
    std::FILE* file_ = nullptr;
    std::uint32_t data_bytes_ = 0;
    int sample_rate_ = 44100;
};
