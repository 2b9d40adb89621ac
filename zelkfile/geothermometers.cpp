// The geothermometers of the report, each as its author published it (log base 10,
// concentrations in mg/kg unless said, temperatures in °C).
#include "zelkfile/geothermometers.hpp"

#include <cmath>
#include <limits>

#include "zelkfile/if97.hpp"

namespace zelk::workbench {

namespace {

constexpr double zeroCelsius = 273.15;  // K
constexpr double atmosphere = 1.01325;  // bar

constexpr int SiO2 = 9, Na = 10, K = 11, Mg = 12, Ca = 13;

// A value the block really holds: a field of asterisks reads as the largest float, and
// the file may carry inf or nan; none of them is a measurement.
bool known(float value) { return std::isfinite(value) && std::fabs(value) < std::numeric_limits<float>::max(); }

std::optional<double> positive(float value) {
    if (known(value) && value > 0) return value;
    return std::nullopt;
}

// T = numerator / denominator - 273.15: the denominator is the inverse absolute temperature
// times the numerator, so at zero or below there is no temperature.
std::optional<double> inverseKelvin(double numerator, double denominator) {
    if (!(denominator > 0)) return std::nullopt;
    const double kelvin = numerator / denominator;
    if (!std::isfinite(kelvin)) return std::nullopt;
    return kelvin - zeroCelsius;
}

// Silica in mg/kg.
std::optional<double> quartzConductive(double s) {
    const double t = -42.198 + 0.28831 * s - 3.6686e-4 * s * s + 3.1665e-7 * s * s * s + 77.034 * std::log10(s);
    // At a few micrograms per kg the logarithm takes the polynomial below absolute zero.
    if (!(t > -zeroCelsius) || !std::isfinite(t)) return std::nullopt;
    return t;
}

// Fournier and Truesdell wrote log(Na/K) + beta log(sqrt(Ca)/Na) = 1647/T - 2.24 for
// mol/kg. The constants 2.06 and 2.47 of this form carry the change to mg/kg:
// log(22990 / sqrt(40080)) = 2.06 and 2.24 + log(39100 / 22990) = 2.47. So Na, K and Ca go in
// as mg/kg; in mol/kg as well they would count the change twice, some 250 °C too cold.
// Beta is 4/3, or 1/3 for a water above 100 °C or with relatively little Ca.
std::optional<double> naKCaTemperature(double na, double k, double ca) {
    const double naK = std::log10(na / k);
    const double calcium = std::log10(std::sqrt(ca) / na) + 2.06;
    if (calcium >= 0) {
        // A denominator at zero or below here leaves beta 1/3 none either (it is smaller).
        const std::optional<double> t = inverseKelvin(1647, naK + 4.0 / 3.0 * calcium + 2.47);
        if (t && *t <= 100) return t;
    }
    return inverseKelvin(1647, naK + calcium / 3 + 2.47);
}

}  // namespace

std::optional<double> steamFraction(float pressure, float enthalpy) {
    if (!known(pressure) || !known(enthalpy)) return std::nullopt;
    const double h = enthalpy;
    const std::optional<if97::Saturation> saturation = if97::saturation((pressure + atmosphere) / 10);
    if (h <= 0 || !saturation || h <= saturation->liquidEnthalpy) return 0.0;
    if (h >= saturation->vapourEnthalpy) return 1.0;
    return (h - saturation->liquidEnthalpy) / (saturation->vapourEnthalpy - saturation->liquidEnthalpy);
}

Geothermometers geothermometers(const SampleRecord& sample) {
    Geothermometers g;
    const WaterConc& water = sample.waterConc;
    g.steamFraction = steamFraction(sample.samplingPressure, sample.fluidEnthalpy);

    if (const std::optional<double> sampled = positive(water[SiO2])) {
        const double logS = std::log10(*sampled);
        g.quartzSteamLoss = inverseKelvin(1522, 5.75 - logS);
        if (g.steamFraction && *g.steamFraction < 1) {
            const double s = *sampled * (1 - *g.steamFraction);
            const double logTotal = std::log10(s);
            g.quartz = quartzConductive(s);
            g.chalcedony = inverseKelvin(1032, 4.69 - logTotal);
            g.alphaCristobalite = inverseKelvin(1000, 4.78 - logTotal);
            g.betaCristobalite = inverseKelvin(781, 4.51 - logTotal);
            g.amorphousSilica = inverseKelvin(731, 4.52 - logTotal);
        }
    }

    const std::optional<double> na = positive(water[Na]);
    const std::optional<double> k = positive(water[K]);
    const std::optional<double> mg = positive(water[Mg]);
    const std::optional<double> ca = positive(water[Ca]);
    if (na && k) {
        const double logNaK = std::log10(*na / *k);
        g.naKFournier = inverseKelvin(1217, 1.483 + logNaK);
        g.naKGiggenbach = inverseKelvin(1390, 1.750 + logNaK);
        g.naKTruesdell = inverseKelvin(856, 0.857 + logNaK);
    }
    if (k && mg) g.kMg = inverseKelvin(4410, 14.00 - std::log10(*k * *k / *mg));
    if (na && k && ca) g.naKCa = naKCaTemperature(*na, *k, *ca);
    if (na && k && mg) g.maturityIndex = 0.315 * std::log10(*k * *k / *mg) - std::log10(*k / *na);
    return g;
}

EquilibriumRatios fullEquilibrium(double celsius) {
    const double kelvin = celsius + zeroCelsius;
    return {1390 / kelvin - 1.750, 14.00 - 4410 / kelvin};
}

std::optional<double> measured(float value) { return positive(value); }

Maturity maturity(double maturityIndex) {
    if (maturityIndex >= fullEquilibriumIndex) return Maturity::fullEquilibrium;
    if (maturityIndex >= partialEquilibriumIndex) return Maturity::partialEquilibrium;
    return Maturity::immature;
}

std::string_view name(Maturity maturity) {
    switch (maturity) {
        case Maturity::fullEquilibrium: return "full equilibrium";
        case Maturity::partialEquilibrium: return "partial equilibrium";
        case Maturity::immature: return "immature water";
    }
    return "";
}

}  // namespace zelk::workbench
