// Field editing against the C library's correctly rounded conversions, over sweeps: Fw.d
// rendering of floats of every magnitude and the halfway cases, and F15.0 reading of answers
// of every shape of digits, point and exponent.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "base/field.hpp"

namespace zelk {
namespace {

constexpr int kDigits[] = {0, 1, 4, 6, 8, 10, 12};

// The expected field in a width that always fits: the C library's digits, right-justified,
// with the point that a field of no decimals still carries.
std::string expected(float value, int d) {
    char digits[128];
    std::snprintf(digits, sizeof digits, d == 0 ? "%.*f." : "%.*f", d, static_cast<double>(value));
    const std::string text = digits;
    return std::string(60 - text.size(), ' ') + text;
}

TEST(RenderFRounding, AgreesWithCorrectlyRoundedConversion) {
    // Every 30011th positive float: all exponents, mantissas of every shape.
    for (std::uint32_t bits = 1; bits < 0x7F800000u; bits += 30011) {
        const float value = std::bit_cast<float>(bits);
        for (int d : kDigits) {
            if (std::fabs(value) >= 1e38f && d > 8) continue;  // wider than 60 characters
            ASSERT_EQ(renderF(value, 60, d), expected(value, d)) << "bits " << bits << ", d " << d;
        }
    }
}

TEST(RenderFRounding, HalfwayCasesGoToEven) {
    // odd * 2^-(d+1) lies exactly halfway between two values of d decimals.
    for (int d : kDigits) {
        for (int odd = 1; odd < 4000; odd += 2) {
            const float value = std::ldexp(static_cast<float>(odd), -(d + 1));
            ASSERT_EQ(renderF(value, 60, d), expected(value, d)) << odd << " * 2^-" << d + 1;
        }
    }
}

TEST(RenderFRounding, NegativeValuesMirrorPositiveOnes) {
    for (float value : {7.3f, 0.75f, 1234567.0f, 3.0e20f, 2.5f}) {
        for (int d : kDigits) {
            const std::string positive = renderF(value, 60, d);
            std::string negative = positive;
            negative[positive.find_first_not_of(' ') - 1] = '-';
            EXPECT_EQ(renderF(-value, 60, d), negative) << value << ", d " << d;
        }
    }
}

TEST(RenderFRounding, FieldsJustWideEnoughOrOneTooNarrow) {
    // At the width of sign and digits the field is exactly them; one narrower, only a leading
    // zero may give way, else asterisks.
    for (std::uint32_t bits = 0x2F000000u; bits < 0x5F000000u; bits += 1000003) {
        for (float value : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)}) {
            for (int d : {0, 4, 6, 8, 10}) {
                const std::string wide = renderF(value, 60, d);
                const std::string digits = wide.substr(wide.find_first_not_of(' '));
                const int n = static_cast<int>(digits.size());
                ASSERT_EQ(renderF(value, n, d), digits) << value << ", d " << d;
                std::string narrow(static_cast<std::size_t>(n - 1), '*');
                if (digits.starts_with("0.")) narrow = digits.substr(1);
                if (digits.starts_with("-0.")) narrow = "-" + digits.substr(2);
                ASSERT_EQ(renderF(value, n - 1, d), narrow) << value << ", d " << d;
            }
        }
    }
}

TEST(RenderIWidths, JustWideEnoughOrOneTooNarrow) {
    for (long value = 1; value < 1000000000000000000L; value *= 10) {
        for (long v : {value - 1, value, -value, 1 - value}) {
            const std::string digits = std::to_string(v);
            const int n = static_cast<int>(digits.size());
            EXPECT_EQ(renderI(v, n), digits);
            EXPECT_EQ(renderI(v, n + 2), "  " + digits);
            EXPECT_EQ(renderI(v, n - 1), std::string(static_cast<std::size_t>(n - 1), '*'));
        }
    }
}

TEST(ReadF15Conversion, AgreesWithCorrectlyRoundedConversion) {
    // Random answers: up to 15 characters of digits with a point somewhere, and an exponent
    // now and then, from the smallest floats to beyond the largest.
    std::mt19937 random(15);
    for (int n = 0; n < 200000; ++n) {
        std::string answer;
        if (random() % 4 == 0) answer += '-';
        const int digits = 1 + static_cast<int>(random() % 12);
        const int pointAt = static_cast<int>(random() % (digits + 1));
        for (int k = 0; k < digits; ++k) {
            if (k == pointAt) answer += '.';
            answer += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) answer += "e" + std::to_string(static_cast<int>(random() % 90) - 50);
        if (answer.size() > 15) continue;  // the field would cut it
        const float expected = toSingle(std::strtod(answer.c_str(), nullptr));
        const std::optional<float> read = readF15(answer);
        ASSERT_TRUE(read.has_value()) << answer;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(*read), std::bit_cast<std::uint32_t>(expected)) << answer;
    }
}

}  // namespace
}  // namespace zelk
