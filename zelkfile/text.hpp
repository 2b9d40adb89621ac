// Text for people and documents: doubles as decimals, exactly (a fixed number of decimals,
// correctly rounded, or the shortest text that reads back to the same double), joined pieces,
// and texts from files made safe for a terminal and for XML.
#pragma once

#include <charconv>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/printable.hpp"

namespace zelk::workbench {

// A value that rounds to zero is shown without a sign.
inline std::string fixed(double value, int decimals) {
    char text[400];  // the largest double has 309 digits before the point
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    std::string result(text, end);
    if (result.front() == '-' && result.find_first_not_of("-0.") == std::string::npos) result.erase(0, 1);
    return result;
}

// Pieces joined in one string ("literal" + std::string draws a false -Wrestrict from g++ 12).
inline std::string concat(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) text += piece;
    return text;
}

inline std::string shortest(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

// The text as character data or a quoted attribute value of an XML document in UTF-8: the
// characters as characterAt takes them, the markup characters as entities, and the control
// characters written as printable() writes them, so the document is always well-formed.
std::string xmlText(std::string_view text);

}  // namespace zelk::workbench
