// The total-steam conversions against worked examples, to the digits the examples give,
// and the H2O content that forms 4 and 5 divide by.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "screens/steam/conversions.hpp"

namespace zelk {
namespace {

// The value with as many decimals as the expected text has; "inf" and "nan" as such.
std::string toDigitsOf(float value, const std::string& expected) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    const std::size_t point = expected.find('.');
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(expected.size() - point - 1);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
    return text;
}

using Converter = ResidualGas (*)(const TotalSteamEntry&);

struct Example {
    const char* name;
    Converter convert;
    std::vector<float> entered;  // items in order; H2O last where asked
    std::vector<std::string> steamConc;
    std::vector<std::string> gasVolume;
    std::string gasPerCondensate;
};

const std::vector<std::string> noGas = {"0", "0", "0"};
const std::vector<std::string> none = {"0", "0", "0", "0", "0", "0", "0"};
const std::vector<std::string> halfQuarterQuarter = {"0", "0", "0", "50", "0", "25", "25"};
const std::vector<float> millimoles = {20, 3, 0.5f, 1, 0, 0.5f, 0.5f};
const std::vector<float> molePercent = {0.5f, 0.05f, 0.01f, 0.02f, 0, 0.01f, 0.01f};
const std::vector<float> weightPercent = {1, 0.1f, 0.01f, 0.001f, 0, 0.001f, 0.002f};

std::vector<float> with(std::vector<float> gases, float h2o) {
    gases.push_back(h2o);
    return gases;
}

const Example examples[] = {
    {"mg/kg, all empty", fromMgPerKg, {0, 0, 0, 0, 0, 0, 0}, noGas, none, "0"},
    {"mg/kg", fromMgPerKg, {1000, 100, 10, 20.2f, 0, 16.04f, 28.01f}, {"1000", "100", "10"},
     {"0", "0", "0", "83.33333", "0", "8.333333", "8.333333"}, "0.29358"},
    {"mg/kg, only H2", fromMgPerKg, {0, 0, 0, 2.02f, 0, 0, 0}, noGas, {"0", "0", "0", "100", "0", "0", "0"},
     "0.024465"},
    {"mg/kg, negative H2", fromMgPerKg, {0, 0, 0, -2.02f, 0, 0, 0}, noGas, none, "-0.024465"},
    {"m-mole/kg", fromMmolePerKg, millimoles, {"880.2", "102.24", "8.515"}, halfQuarterQuarter, "0.048930"},
    {"m-mole/kg, all empty", fromMmolePerKg, {0, 0, 0, 0, 0, 0, 0}, noGas, none, "0"},
    // Held in float, 1E8 + 1 is 1E8 again: the residual gases add up to 0, not to 1.
    {"m-mole/kg, float sum", fromMmolePerKg, {0, 0, 0, 1e8f, 1, -1e8f, 0}, noGas, none, "0"},
    // Infinities of both signs typed: the sum is no number, and no share is taken of it.
    {"m-mole/kg, infinities", fromMmolePerKg, {0, 0, 0, INFINITY, -INFINITY, 0, 0}, noGas, none, "nan"},
    {"m-mole/mole H2O", fromMmolePerMoleH2O, millimoles, {"48859.90", "5675.342", "472.6677"}, halfQuarterQuarter,
     "2.71610"},
    {"m-mole/mole H2O, all empty", fromMmolePerMoleH2O, {0, 0, 0, 0, 0, 0, 0}, noGas, none, "0"},
    {"mole-%, H2O empty", fromMolePercent, with(molePercent, 0), {"12288.71", "951.6000", "95.10415"},
     halfQuarterQuarter, "0.54650"},
    {"mole-%, H2O typed", fromMolePercent, with(molePercent, 99.4f), {"12288.71", "951.6000", "95.10415"},
     halfQuarterQuarter, "0.54650"},
    {"mole-%, H2O negative", fromMolePercent, with(molePercent, -5), {"12288.71", "951.6000", "95.10415"},
     halfQuarterQuarter, "0.54650"},
    {"weight-%, H2O empty", fromWeightPercent, with(weightPercent, 0), {"10112.66", "1011.266", "101.1265"},
     {"0", "0", "0", "78.72966", "0", "9.914832", "11.35551"}, "0.155568"},
    // The gases add up to exactly 100: nothing is left to divide by.
    {"mole-%, H2O zero", fromMolePercent, {101, -1, 0, 0, 0, 0, 0, 0}, {"inf", "-inf", "nan"}, none, "nan"},
    {"weight-%, H2O zero", fromWeightPercent, {0, 0, 0, 0, 0, 0, 100, 0}, {"nan", "nan", "nan"},
     {"0", "0", "0", "0", "0", "0", "100"}, "inf"},
};

TEST(TotalSteamConversion, WorkedExamples) {
    for (const Example& example : examples) {
        TotalSteamEntry e;
        for (std::size_t k = 0; k < example.entered.size(); ++k) e[static_cast<int>(k) + 1] = example.entered[k];
        const ResidualGas r = example.convert(e);
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(toDigitsOf(r.steamConc[i], example.steamConc[i - 1]), example.steamConc[i - 1])
                << example.name << ", steamConc " << i;
        for (int i = 1; i <= 7; ++i)
            EXPECT_EQ(toDigitsOf(r.gasVolume[i], example.gasVolume[i - 1]), example.gasVolume[i - 1])
                << example.name << ", gasVolume " << i;
        EXPECT_EQ(toDigitsOf(r.gasPerCondensate, example.gasPerCondensate), example.gasPerCondensate) << example.name;
    }
}

TEST(TotalSteamConversion, ResultsBeyondTheFloatRangeAreInfinite) {
    TotalSteamEntry e;
    e[1] = 3.0e38f;  // times the molar weight of CO2
    EXPECT_EQ(fromMmolePerKg(e).steamConc[1], INFINITY);
    e[8] = 1.0e-19f;  // just above the threshold: used as typed
    EXPECT_EQ(fromWeightPercent(e).steamConc[1], INFINITY);
}

TEST(H2OContent, TypedOrTheRestTo100) {
    auto content = [](std::vector<float> items) {
        TotalSteamEntry e;
        for (std::size_t k = 0; k < items.size(); ++k) e[static_cast<int>(k) + 1] = items[k];
        return h2oContent(e);
    };
    EXPECT_EQ(toDigitsOf(content(with(molePercent, 0)), "99.4"), "99.4");
    EXPECT_EQ(toDigitsOf(content(with(weightPercent, 0)), "98.886"), "98.886");
    EXPECT_EQ(toDigitsOf(content(with(molePercent, -5)), "99.4"), "99.4");
    EXPECT_EQ(toDigitsOf(content(with(molePercent, 1.0e-20f)), "99.4"), "99.4");
    EXPECT_EQ(content({1, 0, 0, 0, 0, 0, 0, 50}), 50.0f);  // used as typed though the sum is not 100
    EXPECT_EQ(content({0, 0, 0, 0, 0, 0, 0, 1.0e-19f}), 1.0e-19f);
    EXPECT_EQ(content({50, 50, 0, 0, 0, 0, 0, 0}), 0.0f);
    EXPECT_EQ(content({60, 50, 0, 0, 0, 0, 0, 0}), -10.0f);
    // Subtracted in double and rounded once: one by one in float, 100 - 1E-6 would stay 100.
    const float tiny = 1.0e-6f;
    EXPECT_LT(content({tiny, tiny, tiny, tiny, tiny, tiny, tiny, 0}), 100.0f);
}

}  // namespace
}  // namespace zelk
