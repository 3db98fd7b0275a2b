// The command line the platform's entry hands to WinMain: the arguments, as the program
// holds names, joined by blanks. An argument holding a blank or a quote is put in quotes;
// WinMain takes off one pair around the whole, so a name's own quotes stay.
#pragma once

#include <string>

inline void append_argument(std::string& command_line, const std::string& argument) {
    if (!command_line.empty()) command_line += ' ';
    bool quote = argument.find_first_of(" \"") != std::string::npos;
    command_line += quote ? '"' + argument + '"' : argument;
}
