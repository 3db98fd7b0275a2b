// KERNEL32's settings files. The program names its .ini file beside itself, as on
// Windows; on Linux the program's folder is no place to write, so the file lives in the
// user's ~/.config/lumaroth/ under its own name in lower case.
// The file is read as a song is (a regular file, never waiting on a FIFO, at most
// kMaxSettingsSize bytes) and written as a whole new version renamed into place, under a
// lock on its folder, so that two programs saving at once leave one valid file. A file
// that exists but cannot be read is never overwritten; a symlink is written through.
// Values are UTF-8, as every editor of the desktop reads them (file names as the file
// system spells them); a value that is no UTF-8 is the program's own Shift-JIS, as earlier
// versions wrote every value, and a file name that UTF-8 cannot hold still is.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/linux/files.h"
#include "platform/win32.h"

namespace {

std::string config_folder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/') return std::string(config) + "/lumaroth";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/lumaroth";
}

std::string settings_file(LPCSTR file_name) {
    std::string name = file_name;
    std::size_t cut = name.find_last_of("/\\");
    if (cut != std::string::npos) name.erase(0, cut + 1);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return config_folder() + "/" + name;
}

bool same_word(std::string a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

constexpr std::size_t kMaxSettingsSize = 65536;

// The file's lines; false when it exists but cannot be read whole (not a regular file,
// no permission, over the size cap): then its values are the defaults and it is kept.
bool read_lines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    int fd = open_regular_file(path.c_str());
    if (fd < 0) return errno == ENOENT;
    std::string text;
    char buffer[8192];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) != 0 && text.size() <= kMaxSettingsSize) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    if (n != 0 || text.size() > kMaxSettingsSize) return false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool is_section(const std::string& line, const char* section) {
    std::string text = trimmed(line);
    return text.size() >= 2 && text.front() == '[' && text.back() == ']' &&
           (section == nullptr || same_word(trimmed(text.substr(1, text.size() - 2)), section));
}

// The line of key in section; lines.size() when it has none. section_end: where the
// section's lines end (lines.size() when there is no such section).
std::size_t find_key(const std::vector<std::string>& lines, LPCSTR section, LPCSTR key,
                     std::size_t& section_end) {
    std::size_t found = lines.size();
    section_end = lines.size();
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (is_section(lines[i], nullptr)) {
            if (inside) {
                section_end = i;
                return found;
            }
            inside = is_section(lines[i], section);
            continue;
        }
        std::size_t equals = lines[i].find('=');
        if (inside && equals != std::string::npos &&
            same_word(trimmed(lines[i].substr(0, equals)), key))
            found = i;
    }
    return found;
}

// A value as the program holds it, and as the file holds it.
std::string program_value(const std::string& stored) {
    return is_utf8(stored) ? file_name_for_program(stored) : stored;
}

std::string stored_value(const std::string& program) {
    std::string utf8 = file_system_name(program.c_str());
    return is_utf8(utf8) ? utf8 : program;
}

// An earlier version's Shift-JIS values in UTF-8, as a save leaves the whole file.
void store_values_as_utf8(std::vector<std::string>& lines) {
    for (std::string& line : lines) {
        std::size_t equals = line.find('=');
        if (equals == std::string::npos || is_section(line, nullptr) || is_utf8(line)) continue;
        line = line.substr(0, equals + 1) + stored_value(line.substr(equals + 1));
    }
}

// The lines with key=text in section (text nullptr: without the key).
void set_key(std::vector<std::string>& lines, LPCSTR section, LPCSTR key, LPCSTR text) {
    std::size_t end;
    std::size_t at = find_key(lines, section, key, end);
    std::string line = std::string(key) + "=" + (text != nullptr ? text : "");
    if (at < lines.size() && text == nullptr) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
    } else if (at < lines.size()) {
        lines[at] = line;
    } else if (text != nullptr && end < lines.size()) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), line);
    } else if (text != nullptr) {
        bool has_section = false;
        for (const std::string& each : lines)
            has_section = has_section || is_section(each, section);
        if (!has_section) lines.push_back("[" + std::string(section) + "]");
        lines.push_back(line);
    }
}

bool write_all(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces path by a file holding text: a new file of its own in the same folder, with
// path's mode, flushed to the disk, then renamed over it.
bool replace_file(const std::string& path, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool written = (stat(path.c_str(), &info) != 0 || fchmod(fd, info.st_mode & 07777) == 0) &&
                   write_all(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

// The file a save writes: a symlink's target, so that the link stays.
std::string written_file(const std::string& path) {
    char* target = realpath(path.c_str(), nullptr);
    if (target == nullptr) return path;
    std::string resolved = target;
    std::free(target);
    return resolved;
}

// Holds a lock on a folder, which every save of a file in it takes.
class FolderLock {
  public:
    explicit FolderLock(const std::string& file)
        : fd_(open(file.substr(0, file.rfind('/') + 1).c_str(),
                   O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_;
};

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR out,
                               DWORD size, LPCSTR file_name) {
    if (out == nullptr || size == 0) return 0;
    std::string value = default_text != nullptr ? default_text : "";
    if (section != nullptr && key != nullptr && file_name != nullptr) {
        std::vector<std::string> lines;
        read_lines(settings_file(file_name), lines);
        std::size_t end;
        std::size_t at = find_key(lines, section, key, end);
        if (at < lines.size()) value = trimmed(lines[at].substr(lines[at].find('=') + 1));
        // As Windows reads it: a value in a pair of quotes is what is between them.
        bool quoted =
            value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
        if (at < lines.size() && quoted) value = value.substr(1, value.size() - 2);
        if (at < lines.size()) value = program_value(value);
    }
    std::size_t copied = value.size() < size ? value.size() : size - 1;
    std::memcpy(out, value.data(), copied);
    out[copied] = '\0';
    return static_cast<DWORD>(copied);
}

// Writes key=text into section (text nullptr: removes the key) as a whole new version of
// the file; FALSE, with the file as it was, when it cannot.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file_name) {
    if (section == nullptr || key == nullptr || file_name == nullptr) return FALSE;
    std::string folder = config_folder();
    mkdir(folder.substr(0, folder.rfind('/')).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    std::string path = written_file(settings_file(file_name));
    FolderLock lock(path);
    std::vector<std::string> lines;
    if (!read_lines(path, lines)) return FALSE;
    store_values_as_utf8(lines);
    std::string stored = text != nullptr ? stored_value(text) : std::string();
    set_key(lines, section, key, text != nullptr ? stored.c_str() : nullptr);
    std::string content;
    for (const std::string& each : lines)
        content += each + '\n';
    return replace_file(path, content) ? TRUE : FALSE;
}
