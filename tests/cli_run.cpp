#include "tests/cli_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "tests/smf_bytes.h"

std::string read_all(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

CliRun cli(const std::string& arguments, const std::string& prefix) {
    std::string out = temp_dir() + "/cli.out";
    std::string err = temp_dir() + "/cli.err";
    int status = std::system(
        (prefix + " " + LUMAROTH_CLI + " " + arguments + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_all(out), read_all(err)};
}
