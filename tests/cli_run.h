// lumaroth-cli run as a user runs it, with its output and exit code.
#pragma once

#include <string>

struct CliRun {
    int exit_code;
    std::string out;
    std::string err;
};

// Runs "lumaroth-cli ARGUMENTS" through the shell, after PREFIX (environment settings,
// a limit, `timeout N`), with both outputs caught in files.
CliRun cli(const std::string& arguments, const std::string& prefix = "");
std::string read_all(const std::string& path);
