// Reference readers and renderer: the C library's strtod and snprintf plus the field rules.
#include "support/reference.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace zelk::reference {

namespace {

bool digitsOnly(std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; }

// Double to the nearest float, ties to even, overflowing to infinity past the midpoint
// between the largest float and 2^128.
float nearestFloat(double value) {
    const double largest = std::numeric_limits<float>::max();
    const double midpoint = largest + std::ldexp(1.0, 103);
    const float inf = std::numeric_limits<float>::infinity();
    if (std::fabs(value) >= midpoint) return value > 0 ? inf : -inf;
    if (std::fabs(value) > largest) return value > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
    return static_cast<float>(value);
}

}  // namespace

std::optional<float> readF15(std::string_view line) {
    std::string_view field = line.substr(0, 15);
    field = field.substr(0, field.find(','));
    std::string s;
    for (char c : field)
        if (c != ' ' && c != '\t') s += c;

    // Where the exponent starts: its letter, or a sign that is not the leading one.
    const std::size_t letter = s.find_first_of("EeDd");
    const std::size_t sign = s.find_first_of("+-", 1);
    const std::size_t split = std::min(letter, sign);
    const std::string mantissa = s.substr(0, split);
    std::string_view body = mantissa;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) body.remove_prefix(1);
    if (body.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
    if (std::count(body.begin(), body.end(), '.') > 1) return std::nullopt;
    const bool hasDigits = body.find_first_of("0123456789") != std::string_view::npos;

    std::string number = mantissa;
    if (split != std::string::npos) {
        std::string_view exponent = std::string_view(s).substr(split);
        if (exponent[0] != '+' && exponent[0] != '-') exponent.remove_prefix(1);
        std::string_view digits = exponent;
        if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
        if (digits.empty() || !digitsOnly(digits) || !hasDigits) return std::nullopt;
        number += 'e';
        number += exponent;
    }
    if (!hasDigits) return 0.0f;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) return std::nullopt;
    return nearestFloat(value);
}

std::optional<int> readI(std::string_view line, int w) {
    std::string_view field = line.substr(0, static_cast<std::size_t>(w));
    field = field.substr(0, field.find(','));
    std::string s;
    for (char c : field)
        if (c != ' ' && c != '\t') s += c;
    const bool negative = !s.empty() && s[0] == '-';
    std::string_view digits = s;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
    if (!digitsOnly(digits)) return std::nullopt;
    const int magnitude = digits.empty() ? 0 : std::atoi(std::string(digits).c_str());
    return negative ? -magnitude : magnitude;
}

int renderF(char* out, std::size_t room, float value, int w, int d) {
    // Two shortcuts that printf would reach the slow way: from 10^w on the integer digits alone
    // overflow the field, and below 0.4 units of the last decimal the digits are all zeros.
    const double magnitude = std::fabs(static_cast<double>(value));
    if (std::isfinite(value) && magnitude >= std::pow(10.0, w)) {
        std::memset(out, '*', static_cast<std::size_t>(w));
        out[w] = '\0';
        return w;
    }
    if (magnitude < 0.4 * std::pow(10.0, -d)) value = 0;
    // The # keeps the point when there are no decimals; snprintf pads to w already, and what
    // follows looks at the text without its blanks.
    const int n = std::snprintf(out, room, "%#*.*f", w, d, static_cast<double>(value));
    char* text = out + std::strspn(out, " ");
    int length = n - static_cast<int>(text - out);
    if (std::isnan(value) && text[0] == '-') {
        // Not-a-number carries no sign in a field.
        ++text;
        --length;
    }
    if (text[0] == '-' && std::strspn(text + 1, "0.") == static_cast<std::size_t>(length - 1)) {
        // Minus zero, or a negative value that rounds to zero: no sign.
        ++text;
        --length;
    }
    const bool negative = text[0] == '-';
    if (length == w + 1 && text[negative ? 1 : 0] == '0' && text[negative ? 2 : 1] == '.') {
        // A zero before the point gives way when that is all that is too much.
        if (negative) text[1] = '-';
        ++text;
        --length;
    }
    if (length > w) {
        std::memset(out, '*', static_cast<std::size_t>(w));
    } else {
        std::memmove(out + (w - length), text, static_cast<std::size_t>(length));
        std::memset(out, ' ', static_cast<std::size_t>(w - length));
    }
    out[w] = '\0';
    return w;
}

}  // namespace zelk::reference
