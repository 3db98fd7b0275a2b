#include "tests/corpus_files.h"

#include <dirent.h>
#include <sys/stat.h>

std::vector<std::string> corpus_files(const std::string& root) {
    std::vector<std::string> files;
    std::vector<std::string> dirs = {root};
    while (!dirs.empty()) {
        std::string dir = dirs.back();
        dirs.pop_back();
        DIR* listing = opendir(dir.c_str());
        if (listing == nullptr) continue;
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string path = dir + "/" + name;
            struct stat info;
            if (stat(path.c_str(), &info) != 0) continue;
            if (S_ISDIR(info.st_mode)) {
                dirs.push_back(path);
            } else if (name.size() > 4 && (name.substr(name.size() - 4) == ".mid" ||
                                           name.substr(name.size() - 4) == ".kar")) {
                files.push_back(path);
            }
        }
        closedir(listing);
    }
    return files;
}
