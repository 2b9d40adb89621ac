// Number cells and their shortest texts.
#include "zelkfile/numbers.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

#include "base/characters.hpp"
#include "base/field.hpp"

namespace zelk::workbench {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// Whether a text is an answer that the F15.0 reader reads back to exactly value. The cell
// reader gives the same for such a text: the nearest double, then the nearest float.
bool readsBackTo(std::string_view text, float value) {
    float typed = 0;
    return text.size() <= 15 && readF15(text, typed) && sameBits(typed, value);
}

}  // namespace

std::optional<float> readCell(std::string_view cell, bool decimalComma) {
    std::size_t begin = 0, end = cell.size();
    while (begin < end && isBlank(cell[begin])) ++begin;
    while (end > begin && isBlank(cell[end - 1])) --end;
    if (begin == end) return 0.0f;
    const std::string_view text = cell.substr(begin, end - begin);

    std::size_t at = 0;
    if (text[at] == '+' || text[at] == '-') ++at;
    int digits = 0;
    std::size_t mark = std::string_view::npos;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (isDigit(c))
            ++digits;
        else if ((c == '.' || (c == ',' && decimalComma)) && mark == std::string_view::npos)
            mark = at;
        else
            break;
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

    // Within 15 characters and with a decimal point, the text is an answer as typed, and the
    // F15.0 reader gives its value: the nearest double, then the nearest float.
    float value = 0;
    if (text.size() <= 15 && (mark == std::string_view::npos || text[mark] == '.') && readF15(text, value))
        return value;

    // Otherwise by the library, with a point for the mark and no plus sign.
    std::string copy(text);
    if (mark != std::string_view::npos) copy[mark] = '.';
    const bool negative = copy[0] == '-';
    const std::size_t start = copy[0] == '+' || copy[0] == '-' ? 1 : 0;
    double magnitude = 0;
    const auto [stop, error] = std::from_chars(copy.data() + start, copy.data() + copy.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        // Beyond the range of a double: strtod says whether too large (infinity) or too small (0).
        magnitude = std::strtod(copy.c_str() + start, nullptr);
    } else if (error != std::errc{} || stop != copy.data() + copy.size()) {
        return std::nullopt;
    }
    return toSingle(negative ? -magnitude : magnitude);
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
