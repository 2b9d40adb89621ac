// The references that the fuzzers and the bench trust are checked here on the rules' own
// examples; then the program is compared with them on a sample of every kind of float.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "base/field.hpp"
#include "support/reference.hpp"

namespace zelk {
namespace {

std::string referenceF(float value, int w, int d) {
    char out[400];
    reference::renderF(out, sizeof out, value, w, d);
    return out;
}

TEST(Reference, RendersTheExamples) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        int w, d;
        const char* field;
    } cases[] = {
        {0.5f, 16, 8, "      0.50000000"},      {1234567.0f, 16, 8, "1234567.00000000"},
        {12345678.0f, 16, 8, "****************"}, {7.3f, 20, 10, "        7.3000001907"},
        {123.456f, 15, 6, "     123.456001"},     {0.5f, 5, 4, ".5000"},
        {-0.5f, 6, 4, "-.5000"},                  {-0.5f, 5, 4, "*****"},
        {-0.00001f, 10, 4, "    0.0000"},         {-0.0f, 16, 8, "      0.00000000"},
        {-0.00006f, 10, 4, "   -0.0001"},         {-123456.0f, 16, 8, "-123456.00000000"},
        {1.0e9f, 15, 6, "***************"},       {2.5f, 4, 0, "  2."},
        {inf, 16, 8, "             inf"},         {-inf, 16, 8, "            -inf"},
        {-std::nanf(""), 10, 4, "       nan"},    {std::numeric_limits<float>::max(), 20, 10, "********************"},
    };
    for (const auto& c : cases) EXPECT_EQ(referenceF(c.value, c.w, c.d), c.field) << c.value << " F" << c.w;
}

TEST(Reference, ReadsTheExamples) {
    const struct {
        const char* line;
        std::optional<float> value;
    } cases[] = {
        {"", 0.0f},          {"1 5", 15.0f},    {"1,5", 1.0f},     {"-", 0.0f},       {".", 0.0f},
        {"1.5-3", 0.0015f},  {"12-3", 0.012f},  {"2E3", 2000.0f},  {"2d-1", 0.2f},    {"-.5", -0.5f},
        {"123456789012345678", 123456789012345.0f},                {"1E39", std::numeric_limits<float>::infinity()},
        {"3.40282356E38", std::numeric_limits<float>::max()},      {"12abc", std::nullopt},
        {"1..2", std::nullopt}, {"1E", std::nullopt}, {"1-", std::nullopt}, {"E5", std::nullopt},
        {"-+5", std::nullopt},  {"1e1 x", std::nullopt}, {"1E5.", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(reference::readF15(c.line), c.value);
    }
    EXPECT_EQ(*reference::readF15("395428086631-14"), static_cast<float>(3.95428086631e-3));
    EXPECT_EQ(reference::readI("12345", 4), 1234);
    EXPECT_EQ(reference::readI("- 1", 4), -1);
    EXPECT_EQ(reference::readI("1.5", 4), std::nullopt);
}

TEST(Reference, ProgramRendersLikeTheReference) {
    // A sample of the bench's exhaustive check: random bit patterns, and the neighbours of the
    // values where the layout changes (powers of ten, halves of the last decimal).
    std::mt19937 random(7);
    std::vector<float> values;
    for (int i = 0; i < 200000; ++i) values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    for (int e = -12; e <= 21; ++e)
        for (double edge : {std::pow(10.0, e), 0.5 * std::pow(10.0, e)}) {
            float v = static_cast<float>(edge);
            for (int step = 0; step < 40; ++step) v = std::nextafter(v, 0.0f);
            for (int step = 0; step < 80; ++step, v = std::nextafter(v, 1e38f)) {
                values.push_back(v);
                values.push_back(-v);
            }
        }
    TextBuffer got;
    for (float v : values)
        for (auto [w, d] : {std::pair{16, 8}, {15, 6}, {20, 10}, {10, 4}, {5, 4}, {6, 4}, {4, 0}}) {
            got.clear();
            renderF(got, v, w, d);
            ASSERT_EQ(got.view(), referenceF(v, w, d)) << std::hexfloat << v << " F" << w << "." << d;
        }
}

}  // namespace
}  // namespace zelk
