// Text for people and documents: doubles as decimals, exactly (a fixed number of decimals,
// correctly rounded, or the shortest text that reads back to the same double), joined pieces,
// and texts from files made safe for a terminal and for XML.
#pragma once

#include <charconv>
#include <initializer_list>
#include <string>
#include <string_view>

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

// Texts in files and tables may be UTF-8 or Latin-1 (the program's own labels are Latin-1).
// One character of such a text: a well-formed UTF-8 sequence (no overlong form, surrogate,
// U+FFFE, U+FFFF or code point above U+10FFFF) is its code point; any other byte stands for
// the Latin-1 character of that byte.
struct Character {
    char32_t code;
    std::size_t length;  // bytes taken from the text
};
Character characterAt(std::string_view text, std::size_t at);

// A character that would steer a terminal rather than show: U+0000 to U+001F but tab, U+007F
// and U+0080 to U+009F.
constexpr bool isControl(char32_t code) { return (code < 0x20 && code != '\t') || (code >= 0x7F && code < 0xA0); }

// The text with each control character written as its bytes in the form \x1b, everything else
// as it stands: what may be shown on a terminal. Every text from a file or a table that goes
// to a person goes through this.
std::string printable(std::string_view text);
// The same, appended to out.
void appendPrintable(std::string& out, std::string_view text);

// One character as UTF-8, appended to out.
void appendUtf8(std::string& out, char32_t code);

// The text as character data or a quoted attribute value of an XML document in UTF-8: the
// characters as characterAt takes them, the markup characters as entities, and the control
// characters written as printable() writes them, so the document is always well-formed.
std::string xmlText(std::string_view text);

}  // namespace zelk::workbench
