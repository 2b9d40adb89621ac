// Fw.d rendering against the C library's correctly rounded conversion, over a sweep of floats:
// every magnitude from the subnormals to the largest float, and the halfway cases.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dialogue/field.hpp"

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

}  // namespace
}  // namespace zelk
