// Every geothermometer of the report against values worked by hand, and where each has none.
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

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
    // Separated water with no enthalpy: the total discharge is unknown. At 0 bar-g, x = 0.
    {"x with no enthalpy", {.pressure = 5}, &G::steamFraction, none},
    {"x with no enthalpy at 0 bar-g", {}, &G::steamFraction, 0.0},
    {"x with a negative enthalpy above 0 bar-g", {.pressure = 5, .enthalpy = -10}, &G::steamFraction, none},
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
    // Nothing is left as water at 100 °C to take silica.
    {"quartz, steam loss, all steam", {.sio2 = 100, .enthalpy = 3000}, &G::quartzSteamLoss, none},
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

// Realistic discharges worked apart from the code by tests/support/geothermometers_reference.py
// (the same equations written afresh in Python, the steam tables of python3-iapws, the root by
// plain bisection): quartz_steam_loss, quartz_liquid, excess_enthalpy, na_k_ca_mg and
// reservoir_chloride. Temperatures in °C, enthalpy in kJ/kg, chloride in mg/kg. They agree to
// 1e-6 but where quartz_liquid is above 350 °C: there the Python module's h'(T) comes from
// backward equations good to about 1e-6, which moves the root by some 1e-4 °C.
struct Discharge {
    const char* what;
    float pressure, enthalpy, sio2, na, k, mg, ca, cl;
    std::optional<double> steamLoss, liquid, excess, naKCaMg, chloride;
    std::vector<std::string> notes;
};

const Discharge discharges[] = {
    {"separator, 10 bar-g, H 1130", 10, 1130, 620, 1250, 210, 0.04f, 18, 2150,
     255.9753976881, 260.0677558175, -5.1632368840, 256.7274076430, 1769.6039795094,
     {"quartz_steam_loss above its range"}},
    // The same water with no enthalpy: boiled on from 11 bar to 1 atm for the steam loss.
    {"separator, 10 bar-g, no H", 10, 0, 620, 1250, 210, 0.04f, 18, 2150,
     255.0347752958, 260.0677558175, none, 256.7274076430, 1769.6039795094,
     {"no enthalpy: total discharge unknown", "quartz_steam_loss above its range"}},
    {"separator, 20 bar-g, H 1250, seawater", 20, 1250, 700, 9500, 1500, 1.2f, 1600, 19000,
     272.5142582091, 277.8025193010, 24.7867001835, 246.9972349476, 15915.5285206870,
     {"quartz_steam_loss above its range", "chalcedony above its range"}},
    {"separator, 5 bar-g, H 1050", 5, 1050, 450, 1100, 180, 0.03f, 5, 1800,
     227.2639875176, 230.6039078844, 56.9553007586, 267.6506889807, 1521.9164326182,
     {"excess enthalpy"}},
    {"excess enthalpy, 9 bar-g, H 1700", 9, 1700, 690, 900, 150, 0.02f, 3, 1100,
     266.8009612776, 268.6527725462, 521.7511242935, 270.4878062050, 873.1925333906,
     {"excess enthalpy", "quartz_steam_loss above its range"}},
    {"excess enthalpy, 15 bar-g, H 2300", 15, 2300, 1100, 700, 120, 0.01f, 1, 800,
     329.9732882722, 322.3249295486, 823.5052031536, 280.6091077942, 544.5010964511,
     {"excess enthalpy", "quartz_steam_loss above its range"}},
    {"boiling spring, 0 bar-g", 0, 0, 340, 400, 25, 0.1f, 1, 450,
     199.7380006594, 203.1530856658, none, 198.3059717224, 360.7316695969, {}},
    {"warm spring, 0 bar-g", 0, 0, 150, 70, 3, 0.05f, 2, 50,
     152.7142596447, 154.6868368410, none, 142.7819421784, 44.8254935609, {}},
    {"weir box, 0 bar-g, H 1200", 0, 1200, 700, 950, 160, 0.03f, 15, 1650,
     250.7919508697, 254.6213387198, 91.7337190231, 252.4249553474, 1145.9963917677,
     {"excess enthalpy", "quartz_steam_loss above its range"}},
    {"Mg, R below 1.5", 0, 0, 250, 650, 70, 0.05f, 5, 800,
     180.8991530395, 183.9650228437, none, 225.4364003196, 671.7530624955, {}},
    {"Mg, R 1.5 to 5", 0, 0, 250, 650, 70, 0.8f, 5, 800,
     180.8991530395, 183.9650228437, none, 212.5331580914, 671.7530624955, {"Mg correction 13 \xC2\xB0" "C"}},
    {"Mg, R 5 to 50", 0, 0, 180, 300, 40, 6, 30, 300,
     162.3632130395, 164.7668217904, none, 110.6156967259, 263.1283176210,
     {"immature water: Na/K and Na-K-Ca do not hold", "Mg correction 93 \xC2\xB0" "C"}},
    {"Mg, R 50 and more", 0, 0, 60, 40, 5, 50, 10, 30,
     110.0468677425, 109.9200858107, none, none, 29.4411672698, {"immature water: Na/K and Na-K-Ca do not hold"}},
    {"Mg, Na-K-Ca below 70", 0, 0, 30, 100, 2, 10, 80, 20,
     83.0501382981, 79.9182342861, none, 25.3441182512, 20.0000000000, {"immature water: Na/K and Na-K-Ca do not hold"}},
    {"immature water", 0, 0, 90, 50, 10, 20, 25, 40,
     127.8239831338, 128.5833195178, none, none, 37.8489281310, {"immature water: Na/K and Na-K-Ca do not hold"}},
    {"silica 1500, 0 bar-g", 0, 0, 1500, 1000, 150, 0.05f, 10, 1500,
     318.1685560113, 328.9056303926, none, 250.1653221549, 769.0813873016,
     {"quartz_steam_loss above its range", "alpha_cristobalite above its range", "beta_cristobalite above its range",
      "amorphous_silica above its range"}},
    {"silica 1500, 10 bar-g, no H", 10, 0, 1500, 1000, 150, 0.05f, 10, 1500,
     336.1696828419, 350.3910432637, none, 250.1653221549, 830.2592034756,
     {"no enthalpy: total discharge unknown", "quartz_steam_loss above its range", "quartz_liquid above its range"}},
    {"silica 9999999", 0, 0, 9999999, 1000, 150, 0.05f, 10, 1500, none, none, none, 250.1653221549, none, {}},
};

TEST(Geothermometers, DischargesWorkedApart) {
    double worstTemperature = 0, worstEnthalpy = 0, worstChloride = 0;
    for (const Discharge& d : discharges) {
        SampleRecord sample;
        sample.samplingPressure = d.pressure;
        sample.fluidEnthalpy = d.enthalpy;
        sample.waterConc[9] = d.sio2;
        sample.waterConc[10] = d.na;
        sample.waterConc[11] = d.k;
        sample.waterConc[12] = d.mg;
        sample.waterConc[13] = d.ca;
        sample.waterConc[15] = d.cl;
        const Geothermometers g = geothermometers(sample);
        const struct {
            const char* name;
            std::optional<double> value, expected;
            double* worst;
        } columns[] = {{"quartz_steam_loss", g.quartzSteamLoss, d.steamLoss, &worstTemperature},
                       {"quartz_liquid", g.quartzLiquid, d.liquid, &worstTemperature},
                       {"excess_enthalpy", g.excessEnthalpy, d.excess, &worstEnthalpy},
                       {"na_k_ca_mg", g.naKCaMg, d.naKCaMg, &worstTemperature},
                       {"reservoir_chloride", g.reservoirChloride, d.chloride, &worstChloride}};
        for (const auto& c : columns) {
            if (!c.expected) {
                EXPECT_FALSE(c.value) << d.what << ", " << c.name << ": " << *c.value;
                continue;
            }
            ASSERT_TRUE(c.value) << d.what << ", " << c.name;
            EXPECT_NEAR(*c.value, *c.expected, 1e-3) << d.what << ", " << c.name;
            *c.worst = std::max(*c.worst, std::fabs(*c.value - *c.expected));
        }
        EXPECT_EQ(g.notes, d.notes) << d.what;
    }
    std::printf("%zu discharges, largest differences: %.3g degrees C, %.3g kJ/kg, %.3g mg/kg Cl\n",
                std::size(discharges), worstTemperature, worstEnthalpy, worstChloride);
}

// Above 0 bar-g with no enthalpy the total discharge is unknown: no x, and no silica
// temperature that needs it. At 0 bar-g x = 0 holds.
TEST(Geothermometers, NoEnthalpyNoTotalDischarge) {
    SampleRecord sample;
    sample.waterConc[9] = 500;
    sample.samplingPressure = 10;
    Geothermometers g = geothermometers(sample);
    for (const Temperature t : {&G::steamFraction, &G::quartz, &G::chalcedony, &G::alphaCristobalite,
                                &G::betaCristobalite, &G::amorphousSilica})
        EXPECT_FALSE(g.*t);
    EXPECT_TRUE(g.quartzSteamLoss && g.quartzLiquid);
    sample.samplingPressure = 0;
    g = geothermometers(sample);
    EXPECT_EQ(g.steamFraction, 0.0);
    EXPECT_TRUE(g.quartz && g.amorphousSilica);
    EXPECT_TRUE(g.notes.empty());
}

// Silica temperatures are of liquid water: below 0 °C or above 374 °C there is none, and
// above its calibration a value is kept but noted.
TEST(Geothermometers, SilicaBoundsAndRanges) {
    SampleRecord sample;
    sample.waterConc[9] = 1500;  // quartz 878 °C
    Geothermometers g = geothermometers(sample);
    EXPECT_FALSE(g.quartz);
    EXPECT_FALSE(g.chalcedony);  // 1032 / (4.69 - 3.176) - 273.15 = 408 °C
    sample.waterConc[9] = 5;  // amorphous silica 731 / 3.821 - 273.15 = -81.8 °C
    g = geothermometers(sample);
    EXPECT_FALSE(g.amorphousSilica);
    EXPECT_FALSE(g.betaCristobalite);
    ASSERT_TRUE(g.quartz);
    EXPECT_FALSE(aboveRange(g, &G::quartz));
    EXPECT_FALSE(aboveRange(g, &G::naKCa));
    sample.waterConc[9] = 800;  // quartz 339 °C, chalcedony 304 °C
    g = geothermometers(sample);
    EXPECT_TRUE(aboveRange(g, &G::quartz));
    EXPECT_TRUE(aboveRange(g, &G::chalcedony));
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
