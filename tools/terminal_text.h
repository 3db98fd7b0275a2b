// Text for a terminal: what a song or a file name holds never reaches it as a control.
#pragma once

#include <string>

// text (UTF-8, or any bytes) with every C0 control but tab and newline, DEL, every C1
// control (U+0080 to U+009F) and every byte that is not UTF-8 written as "\xNN".
std::string terminal_text(const std::string& text);
