// Small steps on characters and texts that every reader and writer of the program takes.
#pragma once

#include <string_view>

namespace zelk {

// An ASCII decimal digit; takes a char or a byte read as an int (EOF is none).
constexpr bool isDigit(int c) { return c >= '0' && c <= '9'; }

// A fixed-length text (an A field) without the blanks that pad it on the right.
constexpr std::string_view withoutTrailingBlanks(std::string_view text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace zelk
