// Files through each system's own calls (platform/linux/system_file.cpp,
// platform/windows/system_file.cpp): those the embedded synthesizer reads and writes (its
// SoundFonts, a WAV output), and the terminal tool's check of its output's name. Names
// are UTF-8 on both systems, as file_system_name gives them; Windows' calls take them as
// UTF-16.
//
// Threads: a SystemFile is used by one thread at a time; the functions by any.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class SystemFile {
  public:
    SystemFile() = default;
    ~SystemFile();
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    // A regular file for reading; false for anything else (a FIFO, a device, a folder),
    // never waiting for another process.
    bool open_regular(const std::string& name);
    // A file written from its start, made anew or emptied: a regular file or a character
    // device; false (with the reason in error) for anything else, never waiting for
    // another process.
    bool create(const std::string& name, std::string& error);
    bool is_open() const { return handle_ != kClosed; }
    std::int64_t size() const;
    // What was read, from offset on: fewer than size bytes where the file ends or fails.
    std::size_t read_at(void* buffer, std::size_t size, std::int64_t offset);
    // All of it unless the file refuses: the bytes written, at the end of what was.
    std::size_t write(const void* data, std::size_t size);
    // Writes over the file's start; true too where the file cannot seek (a device).
    bool write_at_start(const void* data, std::size_t size);
    bool close();
    // Why the last call on the file failed, in the system's words.
    std::string last_error() const;

  private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
    int error_ = 0;
};

// Whether the names name one existing file, by whatever links or names.
bool is_same_file(const std::string& a, const std::string& b);
