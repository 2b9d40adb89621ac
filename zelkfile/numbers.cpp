// Number cells and their shortest texts.
#include "zelkfile/numbers.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "dialogue/field.hpp"

namespace zelk::workbench {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// What the cell reader and the F15.0 reader make of a text, both of which must give value.
bool readsBackTo(std::string_view text, float value) {
    float typed = 0;
    const std::optional<float> cell = readCell(text, false);
    return text.size() <= 15 && readF15(text, typed) && sameBits(typed, value) && cell && sameBits(*cell, value);
}

}  // namespace

std::optional<float> readCell(std::string_view cell, bool decimalComma) {
    std::size_t begin = 0, end = cell.size();
    while (begin < end && isBlank(cell[begin])) ++begin;
    while (end > begin && isBlank(cell[end - 1])) --end;
    if (begin == end) return 0.0f;

    // Checked by the grammar, then copied with a point for the decimal mark, for from_chars.
    std::string text(cell.substr(begin, end - begin));
    std::size_t at = 0;
    const bool negative = text[at] == '-';
    if (text[at] == '+' || text[at] == '-') ++at;
    const std::size_t start = at;  // from_chars takes no plus sign
    int digits = 0;
    bool mark = false;
    for (; at < text.size(); ++at) {
        char& c = text[at];
        if (isDigit(c)) {
            ++digits;
        } else if ((c == '.' || (c == ',' && decimalComma)) && !mark) {
            mark = true;
            c = '.';
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (at < text.size()) {
        if (text[at] != 'e' && text[at] != 'E') return std::nullopt;
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const std::size_t exponentStart = at;
        while (at < text.size() && isDigit(text[at])) ++at;
        if (at == exponentStart || at != text.size()) return std::nullopt;
    }

    double value = 0;
    const auto [stop, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Beyond the range of a double: too large becomes infinite, too small zero. Which of
        // the two it was, strtod tells by its sign-carrying result.
        value = std::strtod(text.c_str() + start, nullptr);
    } else if (error != std::errc{} || stop != text.data() + text.size()) {
        return std::nullopt;
    }
    return toSingle(negative ? -value : value);
}

std::optional<std::string> shortestText(float value) {
    if (std::isnan(value)) return std::nullopt;
    if (std::isinf(value)) return std::string(value > 0 ? "1e39" : "-1e39");
    char text[32];
    const auto shortest = std::to_chars(text, text + sizeof text, value);
    std::string_view candidate(text, static_cast<std::size_t>(shortest.ptr - text));
    if (readsBackTo(candidate, value)) return std::string(candidate);
    // The shortest text for a float read directly can miss when read through a double, very
    // near a halfway point between two floats: then more digits.
    for (int precision = 1; precision <= 9; ++precision) {
        const auto more = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                        std::chars_format::general, precision);
        candidate = std::string_view(text, static_cast<std::size_t>(more.ptr - text));
        if (readsBackTo(candidate, value)) return std::string(candidate);
    }
    return std::nullopt;
}

}  // namespace zelk::workbench
