// A 16-bit stereo WAV file written block by block.
#pragma once

#include <cstdint>
#include <string>

#include "platform/synth/system_file.h"

class WavWriter {
  public:
    // Starts the file anew; false (with the reason in error) when it cannot be written.
    // Only a regular file or a character device is written: opening a FIFO would wait
    // for another process.
    bool open(const std::string& path, int sample_rate, std::string& error);
    // False from the first failed write on (a full disk, say); error() says why.
    bool write(const std::int16_t* frames, int frame_count);
    // Writes the sizes of what the file holds into the header and closes the file; false
    // (with error() set) when the file could not be finished.
    bool close();
    const std::string& error() const { return error_; }

  private:
    void fail(const char* what);

    SystemFile file_;
    std::string path_;
    std::string error_;
    std::uint32_t data_bytes_ = 0;
    int sample_rate_ = 44100;
};
