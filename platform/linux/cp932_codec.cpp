#include "platform/cp932.h"

#include <iconv.h>

namespace {

const iconv_t kNotOpen = reinterpret_cast<iconv_t>(-1);

// iconv descriptors are not thread-safe: each thread keeps its own, opened on first use
// (opening costs far more than converting a character cell) and reset before each
// conversion, so no shift state carries over.
class Converter {
  public:
    Converter(const char* to, const char* from) : to_(to), from_(from) {}
    ~Converter() {
        if (cd_ != kNotOpen) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input or nothing.
    bool convert(const char* in, std::size_t size, std::string& out) {
        out.clear();
        if (cd_ == kNotOpen) cd_ = iconv_open(to_, from_);
        if (cd_ == kNotOpen) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        std::size_t src_left = size;
        char buffer[256];
        while (src_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            std::size_t result = iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buffer, sizeof buffer - dst_left);
            if (result == static_cast<std::size_t>(-1) && dst_left == sizeof buffer) return false;
        }
        return true;
    }

  private:
    const char* to_;
    const char* from_;
    iconv_t cd_ = kNotOpen;
};

}  // namespace

// Painting converts one character cell at a time: each thread keeps its converter.
bool cp932_char_to_utf8(const char* bytes, std::size_t length, std::string& out) {
    static thread_local Converter converter("UTF-8", "CP932");
    return converter.convert(bytes, length, out) && !out.empty();
}

bool utf8_to_cp932(const std::string& utf8, std::string& out) {
    static thread_local Converter converter("CP932", "UTF-8");
    if (converter.convert(utf8.data(), utf8.size(), out)) return true;
    out.clear();
    return false;
}
