// FindFirstFileA and its kin over POSIX folders: the entries are read at the first call
// and handed out one by one.
#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/win32.h"

struct FindList {
    std::vector<WIN32_FIND_DATAA> entries;
    std::size_t next = 0;
};

namespace {

// The entry for the file at system_path, named name as the program holds it; false when
// it is gone or its name does not fit.
bool describe(const std::string& system_path, const std::string& name, WIN32_FIND_DATAA& entry) {
    struct stat info;
    if (stat(system_path.c_str(), &info) != 0 ||
        !copy_cp932_text(name, entry.cFileName, sizeof entry.cFileName))
        return false;
    auto size = static_cast<std::uint64_t>(info.st_size);
    entry.dwFileAttributes =
        S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    entry.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    entry.nFileSizeLow = static_cast<DWORD>(size);
    return true;
}

void list_folder(const std::string& folder, FindList& list) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "/" : folder.c_str()),
                                            closedir);
    if (dir == nullptr) return;
    while (dirent* each = readdir(dir.get())) {
        WIN32_FIND_DATAA entry = {};
        if (describe(folder + "/" + each->d_name, file_name_for_program(each->d_name), entry))
            list.entries.push_back(entry);
    }
}

bool take_next(FindList& list, LPWIN32_FIND_DATAA data) {
    if (data == nullptr || list.next >= list.entries.size()) return false;
    *data = list.entries[list.next++];
    return true;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    if (pattern == nullptr) return INVALID_HANDLE_VALUE;
    std::string system_pattern = file_system_name(pattern);
    std::size_t cut = system_pattern.find_last_of("/\\");
    std::string last = system_pattern.substr(cut == std::string::npos ? 0 : cut + 1);
    auto list = std::make_unique<FindList>();
    if (last == "*" && cut != std::string::npos) {
        list_folder(system_pattern.substr(0, cut), *list);
    } else if (last.find_first_of("*?") == std::string::npos && !last.empty()) {
        WIN32_FIND_DATAA entry = {};
        if (describe(system_pattern, file_name_for_program(last), entry))
            list->entries.push_back(entry);
    }
    if (!take_next(*list, data)) return INVALID_HANDLE_VALUE;
    return list.release();
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
    if (find == nullptr || find == INVALID_HANDLE_VALUE) return FALSE;
    return take_next(*static_cast<FindList*>(find), data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE find) {
    if (find == nullptr || find == INVALID_HANDLE_VALUE) return FALSE;
    delete static_cast<FindList*>(find);
    return TRUE;
}
