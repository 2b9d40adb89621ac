// Field editing: how values become the characters of fixed-width fields, and how a
// typed line becomes a value. Every screen and the output file go through these.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialogue/text_buffer.hpp"

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

// Appends value as an Fw.d field: exactly w characters.
void renderF(TextBuffer& out, float value, int w, int d);
// Appends value as an Iw field: exactly w characters.
void renderI(TextBuffer& out, long value, int w);
// Appends a text as an A field: all its stored characters.
void renderA(TextBuffer& out, std::string_view text);
// Appends a 4-byte integer as an A field: its bytes, least significant first.
void renderA(TextBuffer& out, std::int32_t value);
// Appends a text as an Aw field: exactly w characters.
void renderAw(TextBuffer& out, std::string_view text, int w);

// Convenience forms returning the field, for tests and one-off texts.
std::string renderF(float value, int w, int d);
std::string renderI(long value, int w);
std::string renderAw(std::string_view text, int w);

// Reads a line as an F15.0 field into value; false is an input error, value untouched.
bool readF15(std::string_view line, float& value);
// Reads a line as an Iw field (w is 4 or 5) into value; false is an input error.
bool readI(std::string_view line, int w, int& value);

// The same, as the value or nullopt for an input error. Inline, so that the value stays in a
// register instead of being packed with its flag in memory on every answer.
inline std::optional<float> readF15(std::string_view line) {
    float value;
    if (readF15(line, value)) return value;
    return std::nullopt;
}

inline std::optional<int> readI(std::string_view line, int w) {
    int value;
    if (readI(line, w, value)) return value;
    return std::nullopt;
}
// Reads a line as an A field of the text's length: the first characters, padded with blanks.
void readA(std::string_view line, char* text, std::size_t length);

template <std::size_t L>
void readA(std::string_view line, FixedText<L>& text) {
    readA(line, text.data(), L);
}

}  // namespace zelk
