// KERNEL32's settings files. The program names its .ini file beside itself, as on
// Windows; on Linux the program's folder is no place to write, so the file lives in the
// user's ~/.config/lumaroth/ under its own name in lower case.
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

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

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
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

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR out,
                               DWORD size, LPCSTR file_name) {
    if (out == nullptr || size == 0) return 0;
    std::string value = default_text != nullptr ? default_text : "";
    if (section != nullptr && key != nullptr && file_name != nullptr) {
        std::vector<std::string> lines = read_lines(settings_file(file_name));
        std::size_t end;
        std::size_t at = find_key(lines, section, key, end);
        if (at < lines.size()) value = trimmed(lines[at].substr(lines[at].find('=') + 1));
    }
    std::size_t copied = value.size() < size ? value.size() : size - 1;
    std::memcpy(out, value.data(), copied);
    out[copied] = '\0';
    return static_cast<DWORD>(copied);
}

// Writes key=text into section (text nullptr: removes the key), through a file of its
// own renamed into place, so that a crash never leaves half a file.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file_name) {
    if (section == nullptr || key == nullptr || file_name == nullptr) return FALSE;
    std::string path = settings_file(file_name);
    std::vector<std::string> lines = read_lines(path);
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
    std::string folder = config_folder();
    mkdir(folder.substr(0, folder.rfind('/')).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        for (const std::string& each : lines)
            file << each << '\n';
        if (!file.flush()) return FALSE;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0 ? TRUE : FALSE;
}
