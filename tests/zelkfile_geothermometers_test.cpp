// Every geothermometer of the report against values worked by hand, and where each has none.
#include <cmath>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

#include "zelkfile/geothermometers.hpp"

namespace zelk::workbench {
namespace {

struct Inputs {
    float sio2 = 0, na = 0, k = 0, mg = 0, ca = 0;
    float pressure = 0;  // bar-g
    float enthalpy = 0;  // kJ/kg
};

struct Case {
    const char* what;
    Inputs in;
    std::optional<double> Geothermometers::*value;
    std::optional<double> expected;  // empty: shown as "-"
};

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float asterisks = std::numeric_limits<float>::max();  // a lost value as the reader gives it
constexpr std::nullopt_t none = std::nullopt;
using G = Geothermometers;

// P = 0 bar-g and H = 0 give x = 0, so the silica as sampled is the total discharge's.
// At 1 MPa (8.98675 bar-g) the steam tables give h' = 762.683 and h'' = 2777.120 kJ/kg.
const Case cases[] = {
    // x = (H - h') / (h'' - h'): (1769.9015 - 762.683) / 2014.437 = 0.5
    {"x halfway", {.pressure = 8.98675f, .enthalpy = 1769.9015f}, &G::steamFraction, 0.5},
    {"x below h' (h' = 419.1 at 1 atm)", {.enthalpy = 100}, &G::steamFraction, 0.0},
    {"x with no enthalpy", {.pressure = 5}, &G::steamFraction, 0.0},
    {"x above h''", {.enthalpy = 3000}, &G::steamFraction, 1.0},
    {"x above the critical pressure", {.pressure = 250, .enthalpy = 2000}, &G::steamFraction, 0.0},
    {"x below the triple point", {.pressure = -1.01325f, .enthalpy = 2000}, &G::steamFraction, 0.0},
    {"x of a lost enthalpy", {.enthalpy = asterisks}, &G::steamFraction, none},
    {"x of a pressure not a number", {.pressure = nan, .enthalpy = 1000}, &G::steamFraction, none},

    // -42.198 + 28.831 - 3.6686 + 0.31665 + 77.034 * 2
    {"quartz, S = 100", {.sio2 = 100}, &G::quartz, 137.34905},
    // -42.198 + 77.034 * -6 = -504.4 °C, below absolute zero
    {"quartz, S = 1e-6", {.sio2 = 1e-6f}, &G::quartz, none},
    {"quartz, no silica", {}, &G::quartz, none},
    {"quartz, negative silica", {.sio2 = -5}, &G::quartz, none},
    // S = 200 (1 - 0.5): the chalcedony of S = 100 below
    {"chalcedony on the total discharge", {.sio2 = 200, .pressure = 8.98675f, .enthalpy = 1769.9015f},
     &G::chalcedony, 110.4931227},
    {"quartz, all steam", {.sio2 = 100, .enthalpy = 3000}, &G::quartz, none},
    // 1522 / (5.75 - 2) - 273.15, on the water as sampled, whatever x
    {"quartz, steam loss", {.sio2 = 100}, &G::quartzSteamLoss, 132.7166667},
    {"quartz, steam loss, all steam", {.sio2 = 100, .enthalpy = 3000}, &G::quartzSteamLoss, 132.7166667},
    // log S = 6: 5.75 - 6 < 0
    {"quartz, steam loss, S = 1e6", {.sio2 = 1e6f}, &G::quartzSteamLoss, none},
    // 1032 / 2.69 - 273.15
    {"chalcedony, S = 100", {.sio2 = 100}, &G::chalcedony, 110.4931227},
    // log S = 5: 4.69 - 5 < 0
    {"chalcedony, S = 1e5", {.sio2 = 1e5f}, &G::chalcedony, none},
    {"chalcedony, lost silica", {.sio2 = asterisks}, &G::chalcedony, none},
    // 1000 / 2.78 - 273.15
    {"alpha-cristobalite, S = 100", {.sio2 = 100}, &G::alphaCristobalite, 86.5622302},
    // 781 / 2.51 - 273.15
    {"beta-cristobalite, S = 100", {.sio2 = 100}, &G::betaCristobalite, 38.0053785},
    // 731 / 2.52 - 273.15
    {"amorphous silica, S = 100", {.sio2 = 100}, &G::amorphousSilica, 16.9293651},
    {"amorphous silica, S = 1e5", {.sio2 = 1e5f}, &G::amorphousSilica, none},

    // log(Na/K) = 1: 1217 / 2.483, 1390 / 2.75, 856 / 1.857, each - 273.15
    {"Na/K Fournier", {.na = 1000, .k = 100}, &G::naKFournier, 216.9829037},
    {"Na/K Giggenbach", {.na = 1000, .k = 100}, &G::naKGiggenbach, 232.3045455},
    {"Na/K Truesdell", {.na = 1000, .k = 100}, &G::naKTruesdell, 187.8085353},
    // log(Na/K) = -2 takes every denominator below zero
    {"Na/K Fournier, Na/K = 0.01", {.na = 1, .k = 100}, &G::naKFournier, none},
    {"Na/K Giggenbach, Na/K = 0.01", {.na = 1, .k = 100}, &G::naKGiggenbach, none},
    {"Na/K Truesdell, Na/K = 0.01", {.na = 1, .k = 100}, &G::naKTruesdell, none},
    {"Na/K, no Na", {.k = 100}, &G::naKGiggenbach, none},
    {"Na/K, K not a number", {.na = 1000, .k = nan}, &G::naKFournier, none},

    // log(K^2/Mg) = 4: 4410 / 10 - 273.15
    {"K/Mg", {.k = 100, .mg = 1}, &G::kMg, 167.85},
    // log(8.1e13 / 1e-3) = 16.9 > 14
    {"K/Mg, K^2/Mg above 1e14", {.k = 9e6f, .mg = 1e-3f}, &G::kMg, none},
    {"K/Mg, no Mg", {.k = 100}, &G::kMg, none},

    // In mg/kg (the constants 2.06 and 2.47 hold the change from mol/kg):
    // log(sqrt(Ca)/Na) + 2.06 = -1 + 2.06 = 1.06; beta 4/3: 1647 / (1 + 1.4133 + 2.47) - 273.15
    // = 64.1 °C, not above 100, so it stands.
    {"Na-K-Ca, beta 4/3", {.na = 100, .k = 10, .ca = 100}, &G::naKCa, 64.1196246},
    // -3 + 2.06 = -0.94 < 0, so beta 1/3: 1647 / (1 - 0.94 / 3 + 2.47) - 273.15
    {"Na-K-Ca, Ca term negative", {.na = 1000, .k = 100, .ca = 1}, &G::naKCa, 248.6029039},
    // -1 + 2.06 = 1.06; beta 4/3 gives 1647 / (0 + 1.4133 + 2.47) - 273.15 = 151 °C, so beta
    // 1/3: 1647 / (0 + 1.06 / 3 + 2.47) - 273.15
    {"Na-K-Ca, above 100 degrees", {.na = 100, .k = 100, .ca = 100}, &G::naKCa, 310.2030106},
    // 2 + 2.06 = 4.06, log(Na/K) = -4: beta 4/3 gives 151 °C and beta 1/3 a denominator of
    // -4 + 4.06 / 3 + 2.47 = -0.18
    {"Na-K-Ca, no temperature with beta 1/3", {.na = 1, .k = 1e4f, .ca = 1e4f}, &G::naKCa, none},
    {"Na-K-Ca, no Ca", {.na = 2299, .k = 391}, &G::naKCa, none},

    // 0.315 log(K^2/Mg) - log(K/Na) = 0.315 * 4 + 1
    {"maturity index", {.na = 1000, .k = 100, .mg = 1}, &G::maturityIndex, 2.26},
    // 0.315 * 6 + 1
    {"maturity index, little Mg", {.na = 1000, .k = 100, .mg = 0.01f}, &G::maturityIndex, 2.89},
    {"maturity index, no Mg", {.na = 1000, .k = 100}, &G::maturityIndex, none},
    {"maturity index, lost Na", {.na = asterisks, .k = 100, .mg = 1}, &G::maturityIndex, none},
};

TEST(Geothermometers, WorkedByHand) {
    for (const Case& c : cases) {
        SampleRecord sample;
        sample.waterConc[9] = c.in.sio2;
        sample.waterConc[10] = c.in.na;
        sample.waterConc[11] = c.in.k;
        sample.waterConc[12] = c.in.mg;
        sample.waterConc[13] = c.in.ca;
        sample.samplingPressure = c.in.pressure;
        sample.fluidEnthalpy = c.in.enthalpy;
        const std::optional<double> value = geothermometers(sample).*c.value;
        if (!c.expected) {
            EXPECT_FALSE(value) << c.what << ": " << *value;
            continue;
        }
        ASSERT_TRUE(value) << c.what;
        EXPECT_NEAR(*value, *c.expected, 1e-5 * std::max(1.0, std::fabs(*c.expected))) << c.what;
    }
}

TEST(Geothermometers, MaturityClasses) {
    EXPECT_EQ(maturity(2.66), Maturity::fullEquilibrium);
    EXPECT_EQ(maturity(2.6599), Maturity::partialEquilibrium);
    EXPECT_EQ(maturity(2.0), Maturity::partialEquilibrium);
    EXPECT_EQ(maturity(1.9999), Maturity::immature);
    EXPECT_EQ(maturity(-3), Maturity::immature);
}

// On the full-equilibrium line both of Giggenbach's geothermometers give its temperature,
// and the maturity index is 2.66 + 0.85 / T.
TEST(Geothermometers, FullEquilibriumLine) {
    for (double t = 60; t <= 340; t += 20) {
        const EquilibriumRatios r = fullEquilibrium(t);
        SampleRecord sample;
        sample.waterConc[11] = 10;
        sample.waterConc[10] = static_cast<float>(10 * std::pow(10, r.logNaK));
        sample.waterConc[12] = static_cast<float>(100 / std::pow(10, r.logK2Mg));
        const Geothermometers g = geothermometers(sample);
        EXPECT_NEAR(*g.naKGiggenbach, t, 1e-4) << t;
        EXPECT_NEAR(*g.kMg, t, 1e-4) << t;
        EXPECT_NEAR(*g.maturityIndex, 2.66 + 0.85 / (t + 273.15), 1e-6) << t;
    }
}

}  // namespace
}  // namespace zelk::workbench
