// The constants of the aqueous model, one row per species, and the temperature functions that
// turn them into the constants of one water. Every constant is that of PHREEQC's database
// phreeqc.dat (version 3.8.9), which takes most from Nordstrom et al. (1990) and Ball and
// Nordstrom (1991); enthalpies it gives in kcal/mol are here in kJ/mol (1 kcal = 4.184 kJ).
#include "zelkfile/aqueous_constants.hpp"

#include <cmath>

namespace zelk::workbench::aqueous {

namespace {

using R = ActivityRule;
constexpr R davies{R::davies};
constexpr R dh(double a, double b) { return {R::debyeHuckel, a, b}; }
constexpr R neutral(double b) { return {R::neutral, 0, b}; }

constexpr Term none{CO3, 0};
constexpr TemperatureFunction vantHoff(double logK25, double deltaH) { return {logK25, deltaH, false, {}}; }
constexpr TemperatureFunction fit(double logK25, double deltaH, std::array<double, 6> a) {
    return {logK25, deltaH, true, a};
}

// Indices of the species whose reactions others are written with.
constexpr int HCO3 = 1, CO2 = 2, H2S = 4, HSO4 = 9, MgSO4 = 38;

constexpr std::string_view db = "phreeqc.dat";

}  // namespace

const std::array<Component, masterCount> components = {{
    {1, "CO2", "CO3-2", -2, 44.0111, dh(5.4, 0)},
    {2, "H2S", "HS-", -1, 34.080, dh(3.5, 0)},
    {3, "NH3", "NH4+", 1, 17.0307, dh(2.5, 0)},
    {8, "B", "H3BO3", 0, 10.81, neutral(0.1)},
    {9, "SiO2", "H4SiO4", 0, 60.0843, neutral(0.1)},
    {10, "Na", "Na+", 1, 22.9898, dh(4.08, 0.082)},
    {11, "K", "K+", 1, 39.102, dh(3.5, 0.015)},
    {12, "Mg", "Mg+2", 2, 24.312, dh(5.5, 0.2)},
    {13, "Ca", "Ca+2", 2, 40.08, dh(5, 0.165)},
    {14, "F", "F-", -1, 18.9984, dh(3.5, 0)},
    {15, "Cl", "Cl-", -1, 35.453, dh(3.63, 0.017)},
    {16, "SO4", "SO4-2", -2, 96.064, dh(5.0, -0.04)},
    {17, "Al", "Al+3", 3, 26.9815, dh(9, 0)},
    {18, "Fe", "Fe+2", 2, 55.847, dh(6, 0)},
}};

// name, z, reaction as written, masters, H+, H2O, log K 25 °C and ΔH (kJ/mol) or the analytic
// A1..A6, the reaction added (times), activity rule, source.
const std::array<Species, speciesCount> species = {{
    {"OH-", -1, "H2O = OH- + H+", {none, none}, -1, 1,
     fit(-14, 56.4, {293.29227, 0.1360833, -10576.913, -123.73158, 0, -6.996455e-5}), -1, 0, dh(3.5, 0), db},
    {"HCO3-", -1, "CO3-2 + H+ = HCO3-", {{{CO3, 1}, none}}, 1, 0,
     fit(10.329, -14.899224, {107.8871, 0.03252849, -5151.79, -38.92561, 563713.9, 0}), -1, 0, dh(5.4, 0.0078), db},
    {"CO2", 0, "CO3-2 + 2 H+ = CO2 + H2O", {{{CO3, 1}, none}}, 2, -1,
     fit(16.681, -24.007792, {464.1965, 0.09344813, -26986.16, -165.75951, 2248628.9, 0}), -1, 0, neutral(0.066), db},
    {"S-2", -2, "HS- = S-2 + H+", {{{HS, 1}, none}}, -1, 0, vantHoff(-12.918, 50.6264), -1, 0, dh(5, 0), db},
    {"H2S", 0, "HS- + H+ = H2S", {{{HS, 1}, none}}, 1, 0,
     fit(6.994, -22.1752, {-11.17, 0.02386, 3279, 0, 0, 0}), -1, 0, neutral(0.1), db},
    {"NH3", 0, "NH4+ = NH3 + H+", {{{NH4, 1}, none}}, -1, 0,
     fit(-9.252, 52.21632, {0.6322, -0.001225, -2835.76, 0, 0, 0}), -1, 0, neutral(0.1), db},
    {"H2BO3-", -1, "H3BO3 = H2BO3- + H+", {{{H3BO3, 1}, none}}, -1, 0, vantHoff(-9.24, 13.489216), -1, 0, davies, db},
    {"H3SiO4-", -1, "H4SiO4 = H3SiO4- + H+", {{{H4SiO4, 1}, none}}, -1, 0,
     fit(-9.83, 25.60608, {-302.3724, -0.050698, 15669.69, 108.18466, -1119669, 0}), -1, 0, dh(4, 0), db},
    {"H2SiO4-2", -2, "H4SiO4 = H2SiO4-2 + 2 H+", {{{H4SiO4, 1}, none}}, -2, 0,
     fit(-23, 73.6384, {-294.0184, -0.07265, 11204.49, 108.18466, -1119669, 0}), -1, 0, dh(5.4, 0), db},
    {"HSO4-", -1, "SO4-2 + H+ = HSO4-", {{{SO4, 1}, none}}, 1, 0,
     fit(1.988, 16.1084, {-56.889, 0.006473, 2307.9, 19.8858, 0, 0}), -1, 0, davies, db},
    {"HF", 0, "H+ + F- = HF", {{{F, 1}, none}}, 1, 0,
     fit(3.18, 13.30512, {-2.033, 0.012645, 429.01, 0, 0, 0}), -1, 0, neutral(0.1), db},
    {"AlOH+2", 2, "Al+3 + H2O = AlOH+2 + H+", {{{Al, 1}, none}}, -1, 1,
     fit(-5, 48.07416, {-38.253, 0, -656.27, 14.327, 0, 0}), -1, 0, dh(5.4, 0), db},
    {"Al(OH)2+", 1, "Al+3 + 2 H2O = Al(OH)2+ + 2 H+", {{{Al, 1}, none}}, -2, 2,
     fit(-10.1, 112.5496, {88.5, 0, -9391.6, -27.121, 0, 0}), -1, 0, dh(5.4, 0), db},
    {"Al(OH)3", 0, "Al+3 + 3 H2O = Al(OH)3 + 3 H+", {{{Al, 1}, none}}, -3, 3,
     fit(-16.9, 166.89976, {226.374, 0, -18247.8, -73.597, 0, 0}), -1, 0, neutral(0.1), db},
    {"Al(OH)4-", -1, "Al+3 + 4 H2O = Al(OH)4- + 4 H+", {{{Al, 1}, none}}, -4, 4,
     fit(-22.7, 176.9832, {51.578, 0, -11168.9, -14.865, 0, 0}), -1, 0, dh(4.5, 0), db},
    {"AlSO4+", 1, "Al+3 + SO4-2 = AlSO4+", {{{Al, 1}, {SO4, 1}}}, 0, 0, vantHoff(3.5, 9.58136), -1, 0, dh(4.5, 0), db},
    {"Al(SO4)2-", -1, "Al+3 + 2 SO4-2 = Al(SO4)2-", {{{Al, 1}, {SO4, 2}}}, 0, 0, vantHoff(5, 13.01224), -1, 0,
     dh(4.5, 0), db},
    {"AlF+2", 2, "Al+3 + F- = AlF+2", {{{Al, 1}, {F, 1}}}, 0, 0, vantHoff(7, 4.43504), -1, 0, dh(5.4, 0), db},
    {"AlF2+", 1, "Al+3 + 2 F- = AlF2+", {{{Al, 1}, {F, 2}}}, 0, 0, vantHoff(12.7, 8.28432), -1, 0, dh(5.4, 0), db},
    {"AlF3", 0, "Al+3 + 3 F- = AlF3", {{{Al, 1}, {F, 3}}}, 0, 0, vantHoff(16.8, 9.03744), -1, 0, neutral(0.1), db},
    {"AlF4-", -1, "Al+3 + 4 F- = AlF4-", {{{Al, 1}, {F, 4}}}, 0, 0, vantHoff(19.4, 9.2048), -1, 0, dh(4.5, 0), db},
    {"FeOH+", 1, "Fe+2 + H2O = FeOH+ + H+", {{{Fe, 1}, none}}, -1, 1, vantHoff(-9.5, 55.2288), -1, 0, dh(5, 0), db},
    {"Fe(OH)2", 0, "Fe+2 + 2 H2O = Fe(OH)2 + 2 H+", {{{Fe, 1}, none}}, -2, 2, vantHoff(-20.57, 119.51596), -1, 0,
     neutral(0.1), db},
    {"Fe(OH)3-", -1, "Fe+2 + 3 H2O = Fe(OH)3- + 3 H+", {{{Fe, 1}, none}}, -3, 3, vantHoff(-31, 126.7752), -1, 0,
     dh(5, 0), db},
    {"FeCO3", 0, "Fe+2 + CO3-2 = FeCO3", {{{Fe, 1}, {CO3, 1}}}, 0, 0, vantHoff(4.38, 0), -1, 0, neutral(0.1), db},
    {"FeHCO3+", 1, "Fe+2 + HCO3- = FeHCO3+", {{{Fe, 1}, {CO3, 1}}}, 1, 0, vantHoff(2, 0), HCO3, 1, davies, db},
    {"FeSO4", 0, "Fe+2 + SO4-2 = FeSO4", {{{Fe, 1}, {SO4, 1}}}, 0, 0, vantHoff(2.25, 13.51432), -1, 0, neutral(0.1), db},
    {"Fe(HS)2", 0, "Fe+2 + 2 HS- = Fe(HS)2", {{{Fe, 1}, {HS, 2}}}, 0, 0, vantHoff(8.95, 0), -1, 0, neutral(0.1), db},
    {"Fe(HS)3-", -1, "Fe+2 + 3 HS- = Fe(HS)3-", {{{Fe, 1}, {HS, 3}}}, 0, 0, vantHoff(10.987, 0), -1, 0, davies, db},
    {"FeCl+", 1, "Fe+2 + Cl- = FeCl+", {{{Fe, 1}, {Cl, 1}}}, 0, 0, vantHoff(0.14, 0), -1, 0, davies, db},
    {"FeF+", 1, "Fe+2 + F- = FeF+", {{{Fe, 1}, {F, 1}}}, 0, 0, vantHoff(1, 0), -1, 0, davies, db},
    {"FeHSO4+", 1, "Fe+2 + HSO4- = FeHSO4+", {{{Fe, 1}, {SO4, 1}}}, 1, 0, vantHoff(1.08, 0), HSO4, 1, davies, db},
    {"CaHCO3+", 1, "Ca+2 + CO3-2 + H+ = CaHCO3+", {{{Ca, 1}, {CO3, 1}}}, 1, 0,
     fit(6.27, 143.21832, {56.273, -0.041779, -11194, 0, 0, 0}), -1, 0, dh(6, 0), db},
    {"CaCO3", 0, "Ca+2 + CO3-2 = CaCO3", {{{Ca, 1}, {CO3, 1}}}, 0, 0,
     fit(3.224, 14.83228, {-1228.732, -0.29944, 35512.75, 485.818, 0, 0}), -1, 0, neutral(0.1), db},
    {"MgHCO3+", 1, "Mg+2 + H+ + CO3-2 = MgHCO3+", {{{Mg, 1}, {CO3, 1}}}, 1, 0,
     fit(11.399, -11.593864, {48.6721, 0.03252849, -2614.335, -18.00263, 563713.9, 0}), -1, 0, dh(4, 0), db},
    {"MgCO3", 0, "Mg+2 + CO3-2 = MgCO3", {{{Mg, 1}, {CO3, 1}}}, 0, 0,
     fit(2.98, 11.351192, {0.991, 0.00667, 0, 0, 0, 0}), -1, 0, neutral(0.1), db},
    {"NaHCO3", 0, "Na+ + HCO3- = NaHCO3", {{{Na, 1}, {CO3, 1}}}, 1, 0,
     fit(-0.433, 11.4, {-3.589, 0.00794, 273, 0, 0, 0}), HCO3, 1, neutral(0.151), db},
    {"CaSO4", 0, "Ca+2 + SO4-2 = CaSO4", {{{Ca, 1}, {SO4, 1}}}, 0, 0,
     fit(2.14, 24.4, {1.478, 0.00829, -538.2, 0, 0, 0}), -1, 0, neutral(0.0445), db},
    {"MgSO4", 0, "Mg+2 + SO4-2 = MgSO4", {{{Mg, 1}, {SO4, 1}}}, 0, 0,
     fit(2.42, 19, {0, 0.00964, -136, 0, 0, 0}), -1, 0, neutral(0.2), db},
    {"NaSO4-", -1, "Na+ + SO4-2 = NaSO4-", {{{Na, 1}, {SO4, 1}}}, 0, 0,
     fit(0.94, 8.23, {-0.304, 0.00451, -28.9, 0, 0, 0}), -1, 0, dh(3.5, 0.1072), db},
    {"KSO4-", -1, "K+ + SO4-2 = KSO4-", {{{K, 1}, {SO4, 1}}}, 0, 0,
     fit(1.18, 3, {-3.0246, 0.009986, 0, 0, 109300, 0}), -1, 0, dh(5.4, 0.19), db},
    {"MgF+", 1, "Mg+2 + F- = MgF+", {{{Mg, 1}, {F, 1}}}, 0, 0, vantHoff(1.82, 13.3888), -1, 0, dh(4.5, 0), db},
    {"HCl", 0, "H+ + Cl- = HCl", {{{Cl, 1}, none}}, 1, 0,
     fit(-0.46, -4.6, {0.334, -0.002684, 1.015, 0, 0, 0}), -1, 0, neutral(0.4256), db},
    {"HF2-", -1, "H+ + 2 F- = HF2-", {{{F, 2}, none}}, 1, 0, vantHoff(3.76, 19.0372), -1, 0, davies, db},
    {"(CO2)2", 0, "2 CO2 = (CO2)2", {{{CO3, 2}, none}}, 4, -2,
     fit(-1.78, 37.4, {27.623, -0.03834, -5361, 0, 0, 0}), CO2, 2, neutral(0.066), db},
    // The database gives this one no log K at 25 °C: the analytic expression alone.
    {"(H2S)2", 0, "2 H2S = (H2S)2", {{{HS, 2}, none}}, 2, 0,
     fit(0, 0, {10.227, -0.01384, -2200, 0, 0, 0}), H2S, 2, neutral(0.1), db},
    {"NH4SO4-", -1, "NH4+ + SO4-2 = NH4SO4-", {{{NH4, 1}, {SO4, 1}}}, 0, 0, vantHoff(1.353, 16.35944), -1, 0,
     dh(7, -0.0736), db},
    {"BF(OH)3-", -1, "H3BO3 + F- = BF(OH)3-", {{{H3BO3, 1}, {F, 1}}}, 0, 0, vantHoff(-0.4, 7.7404), -1, 0, davies, db},
    {"BF2(OH)2-", -1, "H3BO3 + 2 F- + H+ = BF2(OH)2- + H2O", {{{H3BO3, 1}, {F, 2}}}, 1, -1,
     vantHoff(7.63, 6.769712), -1, 0, davies, db},
    {"BF3OH-", -1, "H3BO3 + 2 H+ + 3 F- = BF3OH- + 2 H2O", {{{H3BO3, 1}, {F, 3}}}, 2, -2,
     vantHoff(13.67, -6.752976), -1, 0, davies, db},
    {"BF4-", -1, "H3BO3 + 3 H+ + 4 F- = BF4- + 3 H2O", {{{H3BO3, 1}, {F, 4}}}, 3, -3, vantHoff(20.28, -7.723664), -1, 0,
     davies, db},
    {"CaOH+", 1, "Ca+2 + H2O = CaOH+ + H+", {{{Ca, 1}, none}}, -1, 1, vantHoff(-12.78, 0), -1, 0, davies, db},
    {"CaHSO4+", 1, "Ca+2 + HSO4- = CaHSO4+", {{{Ca, 1}, {SO4, 1}}}, 1, 0, vantHoff(1.08, 0), HSO4, 1, davies, db},
    {"MgOH+", 1, "Mg+2 + H2O = MgOH+ + H+", {{{Mg, 1}, none}}, -1, 1, vantHoff(-11.44, 66.743168), -1, 0,
     dh(6.5, 0), db},
    {"Mg(SO4)2-2", -2, "SO4-2 + MgSO4 = Mg(SO4)2-2", {{{Mg, 1}, {SO4, 2}}}, 0, 0,
     fit(0.52, -13.6, {0, -0.00151, 0, 0, 86040, 0}), MgSO4, 1, dh(7, 0.047), db},
    {"Na2SO4", 0, "2 Na+ + SO4-2 = Na2SO4", {{{Na, 2}, {SO4, 1}}}, 0, 0,
     fit(-2.37, 82, {15.432, -0.00575, -4796, 0, 0, 0}), -1, 0, neutral(0.0885), db},
    {"NaF", 0, "Na+ + F- = NaF", {{{Na, 1}, {F, 1}}}, 0, 0, vantHoff(-0.24, 0), -1, 0, neutral(0.1), db},
    {"KHCO3", 0, "K+ + HCO3- = KHCO3", {{{K, 1}, {CO3, 1}}}, 1, 0, vantHoff(-0.35, 12), HCO3, 1, neutral(0.1), db},
    {"AlHSO4+2", 2, "Al+3 + HSO4- = AlHSO4+2", {{{Al, 1}, {SO4, 1}}}, 1, 0, vantHoff(0.46, 0), HSO4, 1, davies, db},
    {"SiF6-2", -2, "H4SiO4 + 4 H+ + 6 F- = SiF6-2 + 4 H2O", {{{H4SiO4, 1}, {F, 6}}}, 4, -4,
     vantHoff(30.18, -68.03184), -1, 0, dh(5, 0), db},
}};

namespace {
constexpr double reference = 298.15;      // K
constexpr double gasConstant = 0.0083147;  // kJ/(mol K)
}  // namespace

double logK(const TemperatureFunction& f, double kelvin) {
    if (f.analytic) {
        const double t = kelvin;
        return f.a[0] + f.a[1] * t + f.a[2] / t + f.a[3] * std::log10(t) + f.a[4] / (t * t) + f.a[5] * t * t;
    }
    return f.logK25 - f.deltaH * (reference - kelvin) / (std::log(10.0) * gasConstant * kelvin * reference);
}

double logKInMasters(int i, double kelvin) {
    const Species& s = species[static_cast<std::size_t>(i)];
    double value = logK(s.constants, kelvin);
    if (s.with >= 0) value += s.times * logKInMasters(s.with, kelvin);
    return value;
}

double saturationPressure(double kelvin) { return std::exp(11.6702 - 3816.44 / (kelvin - 46.13)); }

double saturatedDensity(double kelvin) {
    const double theta = 1 - kelvin / 647.096;
    const double c = std::cbrt(theta), c2 = c * c;
    const double t2 = theta * theta, t4 = t2 * t2, t8 = t4 * t4, t14 = t8 * t4 * t2, t36 = t14 * t14 * t8;
    return 322 * (1 + 1.99274064 * c + 1.09965342 * c2 - 0.510839303 * theta * c2 - 1.75493479 * t4 * theta * c -
                  45.5170352 * t14 * c - 6.7469445e5 * t36 * c2);
}

double density(double kelvin, double atmospheres) {
    const double t = kelvin - 273.15;
    const double saturation = saturationPressure(kelvin);
    const double dp = atmospheres - saturation + 1e-6;
    const double p0 = 5.1880000e-2 + t * (-4.1885519e-4 + t * (6.6780748e-6 + t * (-3.6648699e-8 + t * 8.3501912e-11)));
    const double p1 = -6.0251348e-6 + t * (3.6696407e-7 + t * (-9.2056269e-9 + t * (6.7024182e-11 + t * -1.5947241e-13)));
    const double p2 = -2.2983596e-9 + t * (-4.0133819e-10 + t * (1.2619821e-11 + t * (-9.8952363e-14 + t * 2.3363281e-16)));
    const double p3 = 7.0517647e-11 + t * (6.8566831e-12 + t * (-2.2829750e-13 + t * (1.8113313e-15 + t * -4.2475324e-18)));
    return saturatedDensity(kelvin) + dp * (p0 + dp * (p1 + dp * (p2 + std::sqrt(dp) * p3)));
}

double dielectricConstant(double kelvin, double atmospheres) {
    const double t = kelvin, bar = 1.01325 * atmospheres;
    const double e1000 = 342.79 * std::exp(-5.0866e-3 * t + 9.469e-7 * t * t);
    const double c = -2.0525 + 3115.9 / (-182.89 + t);
    const double b = -8032.5 + 4.2142e6 / t + 2.1417 * t;
    return e1000 + c * std::log((b + bar) / (b + 1000));
}

DebyeHuckel debyeHuckel(double kelvin) {
    constexpr double pi = 3.14159265358979323846, avogadro = 6.02252e23;
    // At 1 atm, or at the saturation pressure where that is higher.
    const double saturation = saturationPressure(kelvin);
    const double atmospheres = saturation > 1 ? saturation : 1;
    const double epsilon = dielectricConstant(kelvin, atmospheres);
    const double rho = density(kelvin, atmospheres) / 1000;  // g/cm³
    const double bjerrum = 1.671008e-3 / (epsilon * kelvin);  // e²/(εkT), cm
    const double kappa = std::sqrt(8 * pi * avogadro * bjerrum * rho / 1000);
    return {kappa * bjerrum / (2 * std::log(10.0)), kappa * 1e-8};
}

}  // namespace zelk::workbench::aqueous
