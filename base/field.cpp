// Field editing: rendering Fw.d, Iw, A and Aw fields and reading F15.0, Iw and A fields.
#include "base/field.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

#include "base/characters.hpp"

namespace zelk {

float toSingle(double value) {
    // Halfway between the largest float and 2^128: from here on, rounding goes to infinity.
    constexpr double overflowEdge = 0x1.ffffffp127;
    if (std::isfinite(value) && std::fabs(value) >= overflowEdge)
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

namespace {

// Wide enough for the integer part of any float (below 2^128).
using Wide = unsigned __int128;

void pad(TextBuffer& out, int count, char c) {
    if (count > 0) out.append(static_cast<std::size_t>(count), c);
}

constexpr std::uint64_t powersOfTen[] = {
    1,           10,           100,           1000,           10000,
    100000,      1000000,      10000000,      100000000,      1000000000,
    10000000000, 100000000000, 1000000000000,
};
static_assert(std::size(powersOfTen) == maxFieldDecimals + 1);

// 10^0 to 10^38, the largest power of ten below 2^128.
constexpr auto widePowersOfTen = [] {
    std::array<Wide, 39> powers{};
    Wide power = 1;
    for (Wide& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// A magnitude as its integer part and its first d decimals, the decimals as an integer.
struct Fixed {
    Wide integer;
    std::uint64_t decimals;
};

// The magnitude of value with d decimals (0 to maxFieldDecimals), rounded from its exact
// value, ties to even. A float is m * 2^e with m below 2^24, so integer arithmetic gives
// both parts exactly: m * 10^d stays below 2^64 for twelve decimals.
Fixed toFixed(float value, int d) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const int biased = static_cast<int>((bits >> 23) & 0xFFu);
    // Chosen, not branched on, here and below: zeros, small and large values and the way a
    // value rounds come in no order that a branch predictor could learn.
    const bool normal = biased != 0;
    std::uint64_t mantissa = (bits & 0x7FFFFFu) | (normal ? 0x800000u : 0u);
    const int exponent = normal ? biased - 150 : -149;  // subnormals and zero
    if (exponent >= 0) return Fixed{Wide{mantissa} << exponent, 0};
    // Below 2^-64 a float is below 2^-40, where no digit of twelve decimals shows.
    if (exponent < -64) mantissa = 0;
    // Shifts by shift - 1 and then by 1, so that a shift of 64 is defined too.
    const int shift = std::min(-exponent, 64) - 1;
    const std::uint64_t integer = mantissa >> shift >> 1;
    const std::uint64_t fraction = mantissa - (integer << shift << 1);
    const std::uint64_t product = fraction * powersOfTen[d];
    std::uint64_t decimals = product >> shift >> 1;
    const std::uint64_t remainder = product - (decimals << shift << 1);
    const std::uint64_t half = std::uint64_t{1} << shift;
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
char* integerDigits(char* end, Wide value) {
    char* start = end;
    // Above 64 bits (floats from 2^64 on), nineteen digits at a time from the right.
    constexpr std::uint64_t nineteenDigits = 10000000000000000000u;
    for (; value >> 64 != 0; value /= nineteenDigits) {
        auto low = static_cast<std::uint64_t>(value % nineteenDigits);
        for (int i = 0; i < 19; ++i, low /= 10) *--start = static_cast<char>('0' + low % 10);
    }
    auto rest = static_cast<std::uint64_t>(value);
    for (; rest >= 100; rest /= 100) twoDigits(start -= 2, rest % 100);
    if (rest >= 10)
        twoDigits(start -= 2, rest);
    else
        *--start = static_cast<char>('0' + rest);
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

// The number of decimal digits of value (at least one): from its bit width, which gives
// the count or one more, and one comparison with a power of ten.
int digitCount(Wide value) {
    const auto high = static_cast<std::uint64_t>(value >> 64);
    const auto low = static_cast<std::uint64_t>(value);
    const int bits = high != 0 ? 128 - std::countl_zero(high) : 64 - std::countl_zero(low | 1);
    const int guess = bits * 1233 >> 12;  // 1233 / 4096 is just above log10(2)
    return std::max(1, guess + (value >= widePowersOfTen[guess] ? 1 : 0));
}

// Fields up to this wide start as one fixed-size copy of blanks into the text's room.
constexpr std::size_t blankedWidth = 32;
constexpr auto blanks = [] {
    std::array<char, blankedWidth> text{};
    text.fill(' ');
    return text;
}();

// Writes a number right-justified in width characters: its length characters of digits,
// which writeDigits(end) writes so that they end just before end and returns where they
// start, after a minus sign if negative. This is the one place that decides whether a number
// fits its field; the digits go straight into the field. leadingZero: the digits begin with
// the zero of a magnitude below 1, which gives way when the field is one too narrow.
template <typename WriteDigits>
void writeNumber(TextBuffer& out, int length, bool negative, bool leadingZero, int width, WriteDigits writeDigits) {
    const int n = length + (negative ? 1 : 0);
    if (n <= width) {
        const auto size = static_cast<std::size_t>(width);
        char* const field = out.room(std::max(size, blankedWidth));
        if (size <= blankedWidth)
            std::memcpy(field, blanks.data(), blankedWidth);
        else
            std::memset(field, ' ', size);
        char* const start = writeDigits(field + size);
        if (negative) start[-1] = '-';
        out.commit(size);
    } else if (n == width + 1 && leadingZero && length > 1) {
        // The leading zero of a magnitude below 1 gives way so that the value still fits.
        char text[64];
        char* const start = writeDigits(text + sizeof text);
        if (negative) start[0] = '-';
        out.append(std::string_view(negative ? start : start + 1, static_cast<std::size_t>(width)));
    } else {
        pad(out, width, '*');
    }
}

}  // namespace

// Out of line on purpose: inlined into the screens by the optimisation across files, it made
// a batch run take about a third more user time.
[[gnu::noinline]] void renderF(TextBuffer& out, float value, int width, int decimals) {
    if (decimals < 0 || decimals > maxFieldDecimals) {
        pad(out, width, '*');
        return;
    }
    if (!std::isfinite(value)) {
        // Shown as the short texts, right-justified like digits; not a number has no sign.
        const char* const text = std::isnan(value) ? "nan" : "inf";
        writeNumber(out, 3, std::isinf(value) && value < 0, false, width, [text](char* end) {
            std::memcpy(end - 3, text, 3);
            return end - 3;
        });
        return;
    }
    const Fixed fixed = toFixed(value, decimals);
    // A value that rounds to zero shows no sign.
    const bool negative = std::signbit(value) && (fixed.integer != 0 || fixed.decimals != 0);
    writeNumber(out, digitCount(fixed.integer) + 1 + decimals, negative, fixed.integer == 0, width,
                [&](char* end) { return fixedDigits(end, fixed, decimals); });
}

[[gnu::noinline]] void renderI(TextBuffer& out, long value, int width) {
    const bool negative = value < 0;
    // Negated as unsigned, so that the most negative value has its magnitude too.
    const auto magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    writeNumber(out, digitCount(magnitude), negative, false, width,
                [magnitude](char* end) { return integerDigits(end, magnitude); });
}

void renderA(TextBuffer& out, std::string_view text) { out.append(text); }

void renderA(TextBuffer& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((bits >> shift) & 0xFFu));
}

void renderAw(TextBuffer& out, std::string_view text, int width) {
    const auto room = static_cast<std::size_t>(width);
    if (room > text.size()) {
        pad(out, width - static_cast<int>(text.size()), ' ');
        out.append(text);
    } else {
        out.append(text.substr(0, room));
    }
}

std::string renderF(float value, int width, int decimals) {
    TextBuffer out(64);
    renderF(out, value, width, decimals);
    return out.str();
}

std::string renderI(long value, int width) {
    TextBuffer out(64);
    renderI(out, value, width);
    return out.str();
}

std::string renderAw(std::string_view text, int width) {
    TextBuffer out(64);
    renderAw(out, text, width);
    return out.str();
}

namespace {

constexpr double exactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

// The slow way from decimal to double, for scales beyond the exactly held powers of ten:
// the digits and the scale as text for the correctly rounded conversion. Beyond the double
// range, too large becomes infinity and too small becomes zero.
double decimalToDouble(bool negative, std::uint64_t mantissa, long scale) {
    char number[48];
    char* const end = number + sizeof number;
    char* at = number;
    if (negative) *at++ = '-';
    char* const digits = at;
    at = std::to_chars(at, end, mantissa).ptr;
    const long leading = (at - digits - 1) + scale;  // the decimal exponent of the first digit
    *at++ = 'e';
    at = std::to_chars(at, end, scale).ptr;

    double value = 0.0;
    if (std::from_chars(number, at, value).ec != std::errc::result_out_of_range) return value;
    const double limit = leading > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -limit : limit;
}

// Decimal to double, correctly rounded, then double to float: the two roundings are
// intended. The mantissa (at most 15 digits) and a power of ten up to 10^22 are exact
// doubles, so one multiplication or division is that correctly rounded conversion.
float decimalToSingle(bool negative, std::uint64_t mantissa, long scale) {
    if (scale < -22 || scale > 22) return toSingle(decimalToDouble(negative, mantissa, scale));
    const auto whole = static_cast<double>(mantissa);
    const double magnitude = scale >= 0 ? whole * exactPowersOfTen[scale] : whole / exactPowersOfTen[-scale];
    return toSingle(negative ? -magnitude : magnitude);
}

bool isSign(int c) { return c == '+' || c == '-'; }
bool isExponentLetter(int c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }
// A tab counts as a blank: numbers pasted from a spreadsheet come with one.
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The characters of a numeric field one at a time, blanks left out; none at the field's end
// or at a comma.
class FieldCharacters {
public:
    static constexpr int none = -1;

    explicit FieldCharacters(std::string_view field) : at_(field.data()), end_(field.data() + field.size()) {}

    // The current character, or none.
    int peek() {
        while (at_ != end_ && isBlank(*at_)) ++at_;
        return at_ != end_ && *at_ != ',' ? static_cast<unsigned char>(*at_) : none;
    }
    void next() { ++at_; }
    // Takes an optional sign; true for a minus.
    bool takeSign() {
        const int c = peek();
        if (!isSign(c)) return false;
        next();
        return c == '-';
    }

private:
    const char* at_;
    const char* end_;
};

}  // namespace

bool readF15(std::string_view line, float& value) {
    FieldCharacters field(line.substr(0, std::min<std::size_t>(line.size(), 15)));
    const bool negative = field.takeSign();

    // Mantissa: digits with at most one point. At most 15 digits, so exact as an integer.
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    int c = field.peek();
    for (;; field.next(), c = field.peek()) {
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

    // Exponent: a letter with an optional sign, or a sign alone, then at least one digit.
    long exponent = 0;
    if (c != FieldCharacters::none) {
        if ((!isExponentLetter(c) && !isSign(c)) || digits == 0) return false;
        if (isExponentLetter(c)) field.next();
        const bool exponentNegative = field.takeSign();
        int exponentDigits = 0;
        for (c = field.peek(); isDigit(c); field.next(), c = field.peek(), ++exponentDigits)
            exponent = std::min(exponent * 10 + (c - '0'), 99999L);
        if (exponentDigits == 0 || c != FieldCharacters::none) return false;
        if (exponentNegative) exponent = -exponent;
    }

    // A sign, a point, or both, with no digit: zero.
    value = digits == 0 ? 0.0f : decimalToSingle(negative, mantissa, exponent - decimals);
    return true;
}

bool readI(std::string_view line, int width, int& value) {
    // A field of more than nine characters could hold more digits than an int.
    const auto taken = static_cast<std::size_t>(std::clamp(width, 0, maxIntegerFieldWidth));
    FieldCharacters field(line.substr(0, std::min(line.size(), taken)));
    const bool negative = field.takeSign();
    int magnitude = 0;
    int c = field.peek();
    for (; isDigit(c); field.next(), c = field.peek()) magnitude = magnitude * 10 + (c - '0');
    if (c != FieldCharacters::none) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

void readA(std::string_view line, char* text, std::size_t length) {
    const std::size_t taken = std::min(line.size(), length);
    std::copy_n(line.data(), taken, text);
    std::fill(text + taken, text + length, ' ');
}

}  // namespace zelk
