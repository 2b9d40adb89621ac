// Number cells of a table and the shortest texts of values: what a cell reads as, and that a
// text always reads back to the value it was made from, through a cell and a typed answer.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>

#include "base/field.hpp"
#include "zelkfile/numbers.hpp"

namespace zelk::workbench {
namespace {

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

TEST(ReadCell, AcceptsTheCellGrammar) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* cell;
        bool decimalComma;
        float value;
    };
    const Case cases[] = {
        {"", false, 0.0f},
        {"   ", false, 0.0f},
        {"7.3", false, 7.3f},
        {"  7.3\t", false, 7.3f},
        {"+7.3", false, 7.3f},
        {"-7.3", false, -7.3f},
        {".5", false, 0.5f},
        {"5.", false, 5.0f},
        {"1e3", false, 1000.0f},
        {"1.5E-3", false, 0.0015f},
        {"2e+2", false, 200.0f},
        {"7,3", true, 7.3f},
        {"-0,25e1", true, -2.5f},
        {"1e39", false, inf},
        {"-1e400", false, -inf},
        {"1e-400", false, 0.0f},
        // More digits than a typed answer keeps: the nearest double, then the nearest float.
        {"123456789012345678901234567890", false, 1.2345679e29f},
        {"0.100000001490116119384765625000001", false, 0.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        const std::optional<float> value = readCell(c.cell, c.decimalComma);
        ASSERT_TRUE(value);
        EXPECT_EQ(bits(*value), bits(c.value));
    }
    EXPECT_EQ(bits(*readCell("-0", false)), bits(-0.0f));
}

TEST(ReadCell, RejectsWhatIsNoNumber) {
    for (const char* cell : {"abc", "12a", "1..5", "1.2.3", "-", "+", ".", "e5", "1e", "1e+", "1 5", "1.5-3",
                             "1d3", "7,3", "0x10", "inf", "nan", "1,5e3,", "--1", "1e5.5"}) {
        SCOPED_TRACE(cell);
        EXPECT_FALSE(readCell(cell, false));
    }
    for (const char* cell : {"7,3,1", "7,3.1", "1.000,5"}) {
        SCOPED_TRACE(cell);
        EXPECT_FALSE(readCell(cell, true));
    }
}

TEST(ShortestText, IsTheShortFormThatReadsBack) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {7.3f, "7.3"},          {0.0f, "0"},
        {-0.0f, "-0"},          {100.0f, "100"},
        {44.010002f, "44.010002"}, {1e10f, "1e+10"},
        {std::numeric_limits<float>::infinity(), "1e39"},
        {-std::numeric_limits<float>::infinity(), "-1e39"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(shortestText(c.value), std::optional<std::string>(c.text));
    }
    EXPECT_FALSE(shortestText(std::numeric_limits<float>::quiet_NaN()));
}

TEST(ShortestText, ReadsBackThroughACellAndATypedAnswerForAnyFloat) {
    std::mt19937 random(4242);
    for (int i = 0; i < 200000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isnan(value)) continue;
        const std::optional<std::string> text = shortestText(value);
        ASSERT_TRUE(text) << value;
        ASSERT_LE(text->size(), 15u) << *text;
        float typed = 0;
        ASSERT_TRUE(readF15(*text, typed)) << *text;
        ASSERT_EQ(bits(typed), bits(value)) << *text;
        ASSERT_EQ(bits(readCell(*text, false).value()), bits(value)) << *text;
        // No longer than the shortest text of the float itself.
        char shortest[32];
        const auto end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
        if (!std::isinf(value)) {
            ASSERT_LE(text->size(), static_cast<std::size_t>(end - shortest)) << *text;
        }
    }
}

}  // namespace
}  // namespace zelk::workbench
