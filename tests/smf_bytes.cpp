#include "tests/smf_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

Bytes hex(const std::string& text) {
    Bytes out;
    std::string digits;
    for (char c : text) {
        if (c != ' ' && c != '\n') digits += c;
    }
    if (digits.size() % 2 != 0) throw std::invalid_argument("odd hex: " + text);
    for (std::size_t i = 0; i < digits.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes& operator+=(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes operator+(Bytes a, const Bytes& b) {
    return a += b;
}

Bytes smf_header(int format, int tracks, int division) {
    Bytes out = hex("4D546864 00000006");
    for (int value : {format, tracks, division}) {
        out.push_back(static_cast<unsigned char>(value >> 8));
        out.push_back(static_cast<unsigned char>(value));
    }
    return out;
}

Bytes track(const Bytes& events) {
    Bytes out = hex("4D54726B");
    std::uint32_t n = static_cast<std::uint32_t>(events.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(n >> shift));
    return out + events;
}

Bytes meta(unsigned char type, const std::string& text) {
    Bytes out = {0xFF, type, static_cast<unsigned char>(text.size())};
    for (char c : text)
        out.push_back(static_cast<unsigned char>(c));
    return out;
}

Bytes set_tempo(std::uint32_t microseconds) {
    return {0xFF,
            0x51,
            0x03,
            static_cast<unsigned char>(microseconds >> 16),
            static_cast<unsigned char>(microseconds >> 8),
            static_cast<unsigned char>(microseconds)};
}

Bytes song_of(int format, int division, const std::vector<Bytes>& tracks_events) {
    Bytes out = smf_header(format, static_cast<int>(tracks_events.size()), division);
    for (const Bytes& events : tracks_events)
        out = out + track(events + hex("00 FF 2F 00"));
    return out;
}

Bytes ms_song(const Bytes& events) {
    return song_of(0, 1000, {hex("00") + set_tempo(1000000) + events});
}

void put_song(SongImage& image, const Bytes& bytes) {
    std::memset(image.bytes, 0, sizeof image.bytes);
    if (!bytes.empty())
        std::memcpy(image.bytes, bytes.data(),
                    bytes.size() < sizeof image.bytes ? bytes.size() : sizeof image.bytes);
}

std::string temp_dir() {
    static std::string dir = [] {
        namespace fs = std::filesystem;
        std::random_device random;
        fs::path made;
        do {
            made = fs::temp_directory_path() / ("lumaroth-test-" + std::to_string(random()));
        } while (!fs::create_directory(made));
        static fs::path to_remove = made;
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(to_remove, ignored);
        });
        return made.generic_string();
    }();
    return dir;
}

std::string write_temp_file(const std::string& name, const Bytes& bytes) {
    std::string path = temp_dir() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}
