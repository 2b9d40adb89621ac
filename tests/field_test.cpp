// Field editing: rendering and reading, as flat tables of expectations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/field.hpp"

namespace zelk {
namespace {

TEST(RenderF, Examples) {
    EXPECT_EQ(renderF(0.5f, 16, 8), "      0.50000000");
    EXPECT_EQ(renderF(25.0f, 16, 8), "     25.00000000");
    EXPECT_EQ(renderF(1234567.0f, 16, 8), "1234567.00000000");
    EXPECT_EQ(renderF(12345678.0f, 16, 8), "****************");
    EXPECT_EQ(renderF(7.3f, 15, 6), "       7.300000");
    EXPECT_EQ(renderF(7.3f, 20, 10), "        7.3000001907");
    EXPECT_EQ(renderF(123.456f, 15, 6), "     123.456001");
    EXPECT_EQ(renderF(0.5f, 5, 4), ".5000");
    EXPECT_EQ(renderF(-0.5f, 6, 4), "-.5000");
    EXPECT_EQ(renderF(-0.5f, 5, 4), "*****");
    EXPECT_EQ(renderF(-0.00001f, 10, 4), "    0.0000");
    EXPECT_EQ(renderF(-0.00004f, 10, 4), "    0.0000");
    EXPECT_EQ(renderF(1.0e9f, 15, 6), "***************");
    EXPECT_EQ(renderF(7.3f, 16, 8), "      7.30000019");
}

TEST(RenderF, SignsAndZeros) {
    EXPECT_EQ(renderF(-0.0f, 16, 8), "      0.00000000");
    EXPECT_EQ(renderF(0.0f, 10, 4), "    0.0000");
    EXPECT_EQ(renderF(-123456.0f, 16, 8), "-123456.00000000");
    EXPECT_EQ(renderF(-1234567.0f, 16, 8), "****************");
    EXPECT_EQ(renderF(-9999.5f, 10, 4), "-9999.5000");
    EXPECT_EQ(renderF(-12345.0f, 10, 4), "**********");
    EXPECT_EQ(renderF(123456.0f, 10, 4), "**********");
    EXPECT_EQ(renderF(100.0f, 10, 4), "  100.0000");
    EXPECT_EQ(renderF(-0.00006f, 10, 4), "   -0.0001");  // rounds to a digit: the sign shows
}

TEST(RenderF, RoundsTheExactValueTiesToEven) {
    EXPECT_EQ(renderF(0.125f, 5, 2), " 0.12");
    EXPECT_EQ(renderF(0.375f, 5, 2), " 0.38");
    EXPECT_EQ(renderF(2.5f, 4, 0), "  2.");
    EXPECT_EQ(renderF(44.010002f, 16, 8), "     44.01000214");
    EXPECT_EQ(renderF(1.0e8f, 15, 6), "***************");
    EXPECT_EQ(renderF(12345678.0f, 15, 6), "12345678.000000");
    EXPECT_EQ(renderF(999999999.0f, 20, 10), "********************");
}

TEST(RenderF, OutsideTheFiniteRange) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(renderF(inf, 16, 8), "             inf");
    EXPECT_EQ(renderF(-inf, 16, 8), "            -inf");
    EXPECT_EQ(renderF(std::nanf(""), 16, 8), "             nan");
    EXPECT_EQ(renderF(-std::nanf(""), 10, 4), "       nan");
    EXPECT_EQ(renderF(-inf, 3, 1), "***");
    EXPECT_EQ(renderF(std::numeric_limits<float>::max(), 16, 8), "****************");
}

TEST(RenderF, WidestFieldsAndMostDecimals) {
    // Twelve decimals still come from the exact value, also below 2^-40; more are not
    // rendered at all, rather than with wrong digits.
    EXPECT_EQ(renderF(0.1f, 14, 12), "0.100000001490");
    EXPECT_EQ(renderF(0x1.fffffep-41f, 14, 12), "0.000000000001");
    EXPECT_EQ(renderF(0x1.fffffep-42f, 14, 12), "0.000000000000");
    EXPECT_EQ(renderF(1.0f, 20, 13), std::string(20, '*'));
    EXPECT_EQ(renderF(1.0f, 10, -1), std::string(10, '*'));
    // All 39 digits of the largest float, beyond 64 bits, in a field wider than 64.
    EXPECT_EQ(renderF(std::numeric_limits<float>::max(), 70, 0),
              std::string(30, ' ') + "340282346638528859811704183484516925440.");
    EXPECT_EQ(renderF(-0x1p64f, 23, 1), "-18446744073709551616.0");
}

TEST(RenderI, Examples) {
    EXPECT_EQ(renderI(1, 3), "  1");
    EXPECT_EQ(renderI(17, 3), " 17");
    EXPECT_EQ(renderI(0, 4), "   0");
    EXPECT_EQ(renderI(-12, 4), " -12");
    EXPECT_EQ(renderI(-123, 3), "***");
    EXPECT_EQ(renderI(12345, 4), "****");
}

TEST(RenderA, TextsAndBytes) {
    EXPECT_EQ(renderAw("CO2      ", 4), "CO2 ");
    EXPECT_EQ(renderAw("SiO2     ", 4), "SiO2");
    EXPECT_EQ(renderAw("H2       ", 3), "H2 ");
    EXPECT_EQ(renderAw("ab", 5), "   ab");
    TextBuffer bell;
    renderA(bell, std::int32_t{7});
    EXPECT_EQ(bell.view(), std::string_view("\x07\0\0\0", 4));
}

struct FCase {
    const char* line;
    std::optional<float> value;
};

TEST(ReadF15, AcceptedAndRejected) {
    const FCase cases[] = {
        {"", 0.0f},
        {"      ", 0.0f},
        {"1 5", 15.0f},
        {"1,5", 1.0f},
        {"  7.3", 7.3f},
        {"-", 0.0f},
        {"+", 0.0f},
        {".", 0.0f},
        {"-.", 0.0f},
        {"+.", 0.0f},
        {"1.5-3", 0.0015f},
        {"12-3", 0.012f},
        {"2E3", 2000.0f},
        {"2e+3", 2000.0f},
        {"2D3", 2000.0f},
        {"2d-1", 0.2f},
        {"1.", 1.0f},
        {".5", 0.5f},
        {"-.5", -0.5f},
        {"+2.5", 2.5f},
        {"1E5 ,x", 100000.0f},
        {"123456789012345678", 123456789012345.0f},  // the field is 15 characters
        {"999999999", 1.0e9f},
        {"12345.6789abc", std::nullopt},  // the letters are within the field
        {"1234567890123.4abc", 1234567890123.4f},  // past the field they are ignored
        {"12abc", std::nullopt},
        {"x", std::nullopt},
        {"1..2", std::nullopt},
        {"1.2.", std::nullopt},
        {"1E", std::nullopt},
        {"1E+", std::nullopt},
        {"1-", std::nullopt},
        {"E5", std::nullopt},
        {".E5", std::nullopt},
        {"-+5", std::nullopt},
        {"--1", std::nullopt},
        {"1E5.", std::nullopt},
        {"1E5E", std::nullopt},
        {"1ee5", std::nullopt},
        {"1\t", 1.0f},
        {"\t-1\t.5\t", -1.5f},
        {"1\r", std::nullopt},
        {"1e1 x", std::nullopt},
    };
    for (const FCase& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<float> got = readF15(c.line);
        ASSERT_EQ(got.has_value(), c.value.has_value());
        if (got) {
            EXPECT_EQ(*got, *c.value);
        }
    }
}

TEST(ReadF15, RoundsThroughDouble) {
    // Decimal to double to float, not decimal straight to float: they differ here.
    const float viaDouble = static_cast<float>(3.95428086631e-3);
    EXPECT_EQ(*readF15("395428086631-14"), viaDouble);
    EXPECT_NE(viaDouble, std::strtof("3.95428086631e-3", nullptr));
}

TEST(ReadF15, BeyondTheRange) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(*readF15("1E39"), inf);
    EXPECT_EQ(*readF15("-1E39"), -inf);
    EXPECT_EQ(*readF15("1E400"), inf);
    EXPECT_EQ(*readF15("-1E400"), -inf);
    EXPECT_EQ(*readF15("1E-400"), 0.0f);
    EXPECT_TRUE(std::signbit(*readF15("-1E-400")));
    EXPECT_EQ(*readF15("1E-50"), 0.0f);
    EXPECT_EQ(*readF15("3.4028235E38"), std::numeric_limits<float>::max());
    EXPECT_EQ(*readF15("3.40282356E38"), std::numeric_limits<float>::max());  // rounds down to it
    EXPECT_EQ(*readF15("3.4028236E38"), inf);
    EXPECT_EQ(*readF15("1E99999999999"), inf);
    EXPECT_EQ(*readF15("0.0001E-99999"), 0.0f);
    EXPECT_EQ(*readF15("0E999"), 0.0f);
}

struct ICase {
    const char* line;
    int w;
    std::optional<int> value;
};

TEST(ReadI, AcceptedAndRejected) {
    const ICase cases[] = {
        {"", 5, 0},       {"   ", 5, 0},     {"  3  ", 5, 3},    {"1 5", 4, 15},     {"1,5", 4, 1},
        {"12345", 4, 1234}, {"123456", 5, 12345}, {"-", 4, 0},  {"+", 4, 0},        {"-1", 4, -1},
        {"- 1", 4, -1},   {" ,1", 4, 0},     {"2", 4, 2},        {"   2", 4, 2},     {"    2", 4, 0},
        {"x", 4, std::nullopt},  {"1.5", 4, std::nullopt}, {"--1", 4, std::nullopt}, {"1-2", 4, std::nullopt},
        {"1+", 4, std::nullopt}, {"\t1", 4, 1}, {"1\t2\t", 5, 12}, {"1\r", 4, std::nullopt}, {"12a", 5, std::nullopt}, {"1234x", 4, 1234},
        // Wider fields than the program's read nine characters at most, so the digits always
        // fit an int; no width reads nothing.
        {"12345678901234", 14, 123456789}, {"-99999999999", 12, -99999999}, {"7", 0, 0}, {"7", -3, 0},
    };
    for (const ICase& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<int> got = readI(c.line, c.w);
        ASSERT_EQ(got.has_value(), c.value.has_value());
        if (got) {
            EXPECT_EQ(*got, *c.value);
        }
    }
}

TEST(ReadA, PadsAndCuts) {
    FixedText<5> text;
    readA("ab", text);
    EXPECT_EQ(std::string(view(text)), "ab   ");
    readA("  abcdefg", text);
    EXPECT_EQ(std::string(view(text)), "  abc");
    readA("", text);
    EXPECT_EQ(std::string(view(text)), "     ");
    readA("a\tb\r", text);
    EXPECT_EQ(std::string(view(text)), "a\tb\r ");
}

}  // namespace
}  // namespace zelk
