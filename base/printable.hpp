// Texts from outside the program (files, tables, command lines) made safe to show: taken
// character by character as UTF-8 or Latin-1, control characters written as escapes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelk {

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

// The bytes in the form \x1b each, appended to out.
void appendEscaped(std::string& out, std::string_view bytes);

// One character as UTF-8, appended to out.
void appendUtf8(std::string& out, char32_t code);

// A name or text in quotes for a message, its control characters as escapes (printable()).
std::string quoted(std::string_view text);

}  // namespace zelk
