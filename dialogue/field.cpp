// Field editing: rendering Fw.d, Iw, A and Aw fields and reading F15.0, Iw and A fields.
#include "dialogue/field.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace zelk {

float toSingle(double value) {
    // Halfway between the largest float and 2^128: from here on, rounding goes to infinity.
    constexpr double overflowEdge = 0x1.ffffffp127;
    if (std::isfinite(value) && std::fabs(value) >= overflowEdge)
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

namespace {

void pad(TextBuffer& out, int count, char c) {
    if (count > 0) out.append(static_cast<std::size_t>(count), c);
}

// Writes sign and digits right-justified, or w asterisks when they do not fit.
void justify(TextBuffer& out, bool negative, std::string_view digits, int w) {
    const int n = static_cast<int>(digits.size()) + (negative ? 1 : 0);
    if (n <= w) {
        pad(out, w - n, ' ');
        if (negative) out.push_back('-');
        out.append(digits);
    } else if (n == w + 1 && digits.size() > 1 && digits[0] == '0') {
        // The leading zero of a magnitude below 1 gives way so that the value still fits.
        if (negative) out.push_back('-');
        out.append(digits.substr(1));
    } else {
        pad(out, w, '*');
    }
}

constexpr std::uint64_t powersOfTen[] = {
    1,           10,           100,           1000,           10000,
    100000,      1000000,      10000000,      100000000,      1000000000,
    10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000,
    1000000000000000, 10000000000000000, 100000000000000000, 1000000000000000000, 10000000000000000000u,
};

// The most decimals that toFixed gives: m * 10^d must stay below 2^64 for any m below 2^24.
constexpr int fixedDecimals = 10;

// A magnitude as its integer part and its first d decimals, the decimals as an integer.
struct Fixed {
    std::uint64_t integer;
    std::uint64_t decimals;
};

// The magnitude of value with d decimals, rounded from its exact value (ties to even). A float
// is m * 2^e with m below 2^24, so integer arithmetic gives both parts exactly. None for more
// than ten decimals or for a magnitude of 2^63 or more.
std::optional<Fixed> toFixed(float value, int d) {
    if (d < 0 || d > fixedDecimals) return std::nullopt;
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const int biased = static_cast<int>((bits >> 23) & 0xFFu);
    // Chosen, not branched on, here and below: zeros, small and large values and the way a
    // value rounds come in no order that a branch predictor could learn.
    const bool normal = biased != 0;
    const std::uint64_t mantissa = (bits & 0x7FFFFFu) | (normal ? 0x800000u : 0u);
    const int exponent = normal ? biased - 150 : -149;  // subnormals and zero
    if (exponent >= 0) {
        if (exponent > 39) return std::nullopt;
        return Fixed{mantissa << exponent, 0};
    }
    // Below 2^-40 no digit of ten decimals shows, and a shift of 63 gives those zeros too.
    const int shift = std::min(-exponent, 63);
    const std::uint64_t integer = mantissa >> shift;
    const std::uint64_t fraction = mantissa & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t product = fraction * powersOfTen[d];  // below 2^58
    std::uint64_t decimals = product >> shift;
    const std::uint64_t remainder = product & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const std::uint64_t lastDigit = d == 0 ? integer : decimals;  // what a tie rounds to even
    decimals += static_cast<std::uint64_t>(remainder > half) |
                (static_cast<std::uint64_t>(remainder == half) & lastDigit & 1);
    if (decimals == powersOfTen[d]) return Fixed{integer + 1, 0};
    return Fixed{integer, decimals};
}

constexpr auto digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

void twoDigits(char* out, std::uint64_t value) { std::memcpy(out, &digitPairs[2 * value], 2); }

// Writes the four or eight digits of value (zeros in front) at out.
void fourDigits(char* out, std::uint32_t value) {
    twoDigits(out, value / 100);
    twoDigits(out + 2, value % 100);
}

void eightDigits(char* out, std::uint32_t value) {
    fourDigits(out, value / 10000);
    fourDigits(out + 4, value % 10000);
}

// Writes the decimal digits of value (at least one) so that they end just before end, two
// at a time; returns where they start.
char* integerDigits(char* end, std::uint64_t value) {
    char* start = end;
    for (; value >= 100; value /= 100) twoDigits(start -= 2, value % 100);
    if (value >= 10)
        twoDigits(start -= 2, value);
    else
        *--start = static_cast<char>('0' + value);
    return start;
}

// Writes the magnitude with its d decimals so that it ends just before end; returns where it
// starts. The decimals go in groups of eight, four and two from the right, whose digits do
// not wait for one another.
char* fixedDigits(char* end, Fixed magnitude, int d) {
    char* start = end;
    std::uint64_t decimals = magnitude.decimals;
    if (d >= 8) {
        eightDigits(start -= 8, static_cast<std::uint32_t>(decimals % 100000000));
        decimals /= 100000000;
        d -= 8;
    }
    if (d >= 4) {
        fourDigits(start -= 4, static_cast<std::uint32_t>(decimals % 10000));
        decimals /= 10000;
        d -= 4;
    }
    if (d >= 2) {
        twoDigits(start -= 2, decimals % 100);
        decimals /= 100;
        d -= 2;
    }
    if (d == 1) *--start = static_cast<char>('0' + decimals);
    *--start = '.';
    return integerDigits(start, magnitude.integer);
}

// Fields up to this wide start as one fixed-size copy of blanks into the text's room, into
// which their digits are then written from the right; wider ones go through justify.
constexpr std::size_t blankedWidth = 32;
constexpr auto blanks = [] {
    std::array<char, blankedWidth> text{};
    text.fill(' ');
    return text;
}();

// Appends w blanks (w at most blankedWidth) and returns their end, for a field to be written
// from its right end.
char* appendBlanks(TextBuffer& out, int w) {
    char* field = out.room(blankedWidth);
    std::memcpy(field, blanks.data(), blankedWidth);
    out.commit(static_cast<std::size_t>(w));
    return field + w;
}

}  // namespace

void renderF(TextBuffer& out, float value, int w, int d) {
    if (std::isnan(value)) {
        justify(out, false, "nan", w);
        return;
    }
    if (std::isinf(value)) {
        justify(out, value < 0, "inf", w);
        return;
    }
    if (const std::optional<Fixed> fixed = toFixed(value, d)) {
        const bool negative = value < 0 && (fixed->integer != 0 || fixed->decimals != 0);
        // What the point, the decimals and the sign leave of the field for the integer part,
        // which has at least one digit.
        const int integerRoom = w - d - 1 - (negative ? 1 : 0);
        if (integerRoom >= 1 && integerRoom < std::ssize(powersOfTen) && fixed->integer < powersOfTen[integerRoom] &&
            static_cast<std::size_t>(w) <= blankedWidth) {
            // Straight into the field: no copy of the digits.
            char* start = fixedDigits(appendBlanks(out, w), *fixed, d);
            if (negative) start[-1] = '-';
            return;
        }
        // Too wide: justify drops a leading zero or writes asterisks; or a field too wide to
        // be blanked in one piece.
        char buffer[40];
        char* const end = buffer + sizeof buffer;
        const char* start = fixedDigits(end, *fixed, d);
        justify(out, negative, std::string_view(start, static_cast<std::size_t>(end - start)), w);
        return;
    }
    // Magnitudes of 2^63 and more, or more decimals; the largest float with ten decimals
    // takes 39 integer digits, a point and ten digits.
    const double magnitude = std::fabs(static_cast<double>(value));
    char buffer[96];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, d);
    char* end = result.ptr;
    if (d == 0) *end++ = '.';
    const std::string_view digits(buffer, static_cast<std::size_t>(end - buffer));
    const bool allZero = std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; });
    justify(out, value < 0 && !allZero, digits, w);
}

void renderI(TextBuffer& out, long value, int w) {
    const bool negative = value < 0;
    // Negated as unsigned, so that the most negative value has its magnitude too.
    const auto magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const int digitRoom = w - (negative ? 1 : 0);
    if (digitRoom >= 1 && digitRoom < std::ssize(powersOfTen) && magnitude < powersOfTen[digitRoom] &&
        static_cast<std::size_t>(w) <= blankedWidth) {
        char* start = integerDigits(appendBlanks(out, w), magnitude);
        if (negative) start[-1] = '-';
        return;
    }
    // Too wide for its digits (justify writes asterisks), or to be blanked in one piece.
    char buffer[24];
    char* const end = buffer + sizeof buffer;
    const char* start = integerDigits(end, magnitude);
    justify(out, negative, std::string_view(start, static_cast<std::size_t>(end - start)), w);
}

void renderA(TextBuffer& out, std::string_view text) { out.append(text); }

void renderA(TextBuffer& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((bits >> shift) & 0xFFu));
}

void renderAw(TextBuffer& out, std::string_view text, int w) {
    const auto width = static_cast<std::size_t>(w);
    if (width > text.size()) {
        pad(out, w - static_cast<int>(text.size()), ' ');
        out.append(text);
    } else {
        out.append(text.substr(0, width));
    }
}

std::string renderF(float value, int w, int d) {
    TextBuffer out(64);
    renderF(out, value, w, d);
    return out.str();
}

std::string renderI(long value, int w) {
    TextBuffer out(64);
    renderI(out, value, w);
    return out.str();
}

std::string renderAw(std::string_view text, int w) {
    TextBuffer out(64);
    renderAw(out, text, w);
    return out.str();
}

namespace {

constexpr double exactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSign(char c) { return c == '+' || c == '-'; }
bool isExponentLetter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }
// A tab counts as a blank: numbers pasted from a spreadsheet come with one.
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The slow way from decimal to double, for exponents beyond the exactly held powers of ten:
// the digits and the exponent as text for the correctly rounded conversion. Beyond the
// double range, too large becomes infinity and too small becomes zero.
double decimalToDouble(bool negative, std::string_view mantissa, long exponent) {
    char number[40];
    std::size_t length = 0;
    if (negative) number[length++] = '-';
    std::memcpy(number + length, mantissa.data(), mantissa.size());
    length += mantissa.size();
    number[length++] = 'e';
    length = static_cast<std::size_t>(std::to_chars(number + length, number + sizeof number, exponent).ptr - number);

    double value = 0.0;
    if (std::from_chars(number, number + length, value).ec != std::errc::result_out_of_range) return value;
    // The decimal exponent of the first significant digit tells which way it went.
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return negative ? -0.0 : 0.0;
    const long leading = first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
    const double limit = leading + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -limit : limit;
}

// Decimal to double, correctly rounded, then double to float: the two roundings are
// intended. The mantissa (at most 15 digits) and a power of ten up to 10^22 are exact
// doubles, so one multiplication or division is that correctly rounded conversion.
float exactDecimal(bool negative, std::uint64_t mantissa, long scale) {
    const auto whole = static_cast<double>(mantissa);
    const double magnitude = scale >= 0 ? whole * exactPowersOfTen[scale] : whole / exactPowersOfTen[-scale];
    return toSingle(negative ? -magnitude : magnitude);
}

// The usual answer, read in one pass: a whole field of an optional sign, digits and at
// most one point, with a digit among them. False for anything else, which the full rules
// then read.
bool readPlainDecimal(std::string_view line, float& value) {
    if (line.size() > 15) return false;
    const char* at = line.data();
    const char* const end = at + line.size();
    bool negative = false;
    if (at != end && isSign(*at)) negative = *at++ == '-';
    const char* const first = at;
    std::uint64_t mantissa = 0;
    for (; at != end && isDigit(*at); ++at) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*at - '0');
    long decimals = 0;
    if (at != end && *at == '.') {
        const char* const point = at++;
        for (; at != end && isDigit(*at); ++at) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*at - '0');
        decimals = end - point - 1;
        if (point == first && at == point + 1) return false;  // no digit at all
    } else if (at == first) {
        return false;
    }
    if (at != end) return false;
    value = exactDecimal(negative, mantissa, -decimals);
    return true;
}

}  // namespace

bool readF15(std::string_view line, float& value) {
    if (readPlainDecimal(line, value)) return true;

    // The field: up to 15 characters, cut at a comma, with its blanks taken out.
    const std::string_view field = line.substr(0, std::min<std::size_t>(line.size(), 15));
    char text[16];
    std::size_t length = 0;
    for (char c : field) {
        if (c == ',') break;
        if (!isBlank(c)) text[length++] = c;
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < length && isSign(text[i])) negative = text[i++] == '-';

    // Mantissa: digits with at most one point. At most 15 digits, so exact as an integer.
    const std::size_t mantissaStart = i;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; i < length; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++digits;
            if (point) ++decimals;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    const std::string_view mantissaText(text + mantissaStart, i - mantissaStart);

    // Exponent: a letter with an optional sign, or a sign alone, then at least one digit.
    long exponent = 0;
    if (i < length) {
        const char c = text[i];
        if (!isExponentLetter(c) && !isSign(c)) return false;
        if (digits == 0) return false;
        if (isExponentLetter(c)) ++i;
        bool exponentNegative = false;
        if (i < length && isSign(text[i])) exponentNegative = text[i++] == '-';
        int exponentDigits = 0;
        for (; i < length && isDigit(text[i]); ++i, ++exponentDigits)
            exponent = std::min(exponent * 10 + (text[i] - '0'), 99999L);
        if (exponentDigits == 0 || i < length) return false;
        if (exponentNegative) exponent = -exponent;
    }

    // A sign, a point, or both, with no digit: zero.
    if (digits == 0) {
        value = 0.0f;
        return true;
    }

    const long scale = exponent - decimals;
    value = scale >= -22 && scale <= 22 ? exactDecimal(negative, mantissa, scale)
                                        : toSingle(decimalToDouble(negative, mantissaText, exponent));
    return true;
}

bool readI(std::string_view line, int w, int& value) {
    const std::string_view field = line.substr(0, std::min<std::size_t>(line.size(), static_cast<std::size_t>(w)));
    std::size_t i = 0;
    while (i < field.size() && isBlank(field[i])) ++i;
    bool negative = false;
    bool started = false;
    int magnitude = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c == ',') break;
        if (isBlank(c) && started) continue;
        if (isSign(c) && !started) {
            negative = c == '-';
            started = true;
        } else if (isDigit(c)) {
            magnitude = magnitude * 10 + (c - '0');
            started = true;
        } else {
            return false;
        }
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

void readA(std::string_view line, char* text, std::size_t length) {
    const std::size_t taken = std::min(line.size(), length);
    std::copy_n(line.data(), taken, text);
    std::fill(text + taken, text + length, ' ');
}

}  // namespace zelk
