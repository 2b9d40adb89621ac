// Field editing: how values become the characters of fixed-width fields, and how a
// typed line becomes a value. Every screen and the output file go through these.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_buffer.hpp"

namespace zelk {

// Texts are fixed-length, padded with blanks, never terminated.
template <std::size_t L>
using FixedText = std::array<char, L>;

template <std::size_t L>
std::string_view view(const FixedText<L>& text) {
    return {text.data(), L};
}

// Rounds an evaluated double to the single-precision value that is held. Finite values
// beyond the float range become infinities (the bare cast would be undefined there).
float toSingle(double value);

// The most decimals an F field may have; a field asked for more is written as asterisks.
constexpr int maxFieldDecimals = 12;
// The widest Iw field read: nine digits always fit an int.
constexpr int maxIntegerFieldWidth = 9;

// Appends value as an Fw.d field: exactly width characters, decimals after the point.
void renderF(TextBuffer& out, float value, int width, int decimals);
// Appends value as an Iw field: exactly width characters.
void renderI(TextBuffer& out, long value, int width);
// Appends a text as an A field: all its stored characters.
void renderA(TextBuffer& out, std::string_view text);
// Appends a 4-byte integer as an A field: its bytes, least significant first.
void renderA(TextBuffer& out, std::int32_t value);
// Appends a text as an Aw field: exactly width characters.
void renderAw(TextBuffer& out, std::string_view text, int width);

// Convenience forms returning the field, for tests and one-off texts.
std::string renderF(float value, int width, int decimals);
std::string renderI(long value, int width);
std::string renderAw(std::string_view text, int width);

// Reads a line as an F15.0 field into value; false is an input error, value untouched.
bool readF15(std::string_view line, float& value);
// Reads a line as an Iw field (the program's are 4 and 5 wide; at most
// maxIntegerFieldWidth characters count) into value; false is an input error.
bool readI(std::string_view line, int width, int& value);

// The same, as the value or nullopt for an input error. Inline, so that the value stays in a
// register instead of being packed with its flag in memory on every answer.
inline std::optional<float> readF15(std::string_view line) {
    float value;
    if (readF15(line, value)) return value;
    return std::nullopt;
}

inline std::optional<int> readI(std::string_view line, int width) {
    int value;
    if (readI(line, width, value)) return value;
    return std::nullopt;
}
// Reads a line as an A field of the text's length: the first characters, padded with blanks.
void readA(std::string_view line, char* text, std::size_t length);

template <std::size_t L>
void readA(std::string_view line, FixedText<L>& text) {
    readA(line, text.data(), L);
}

}  // namespace zelk
