// The first look at a sample: steam fraction at sampling, the silica and cation
// geothermometers and Giggenbach's maturity index, from the values of its block.
#pragma once

#include <optional>
#include <string_view>

#include "record/sample.hpp"

namespace zelk::workbench {

// Every value is empty where it has no meaning: an input zero, negative or unknown (lost in
// the file as asterisks, or not a number), or an equation whose absolute temperature would
// come out infinite or negative.
struct Geothermometers {
    std::optional<double> steamFraction;  // x, of the total discharge at sampling
    // Silica, °C: on the total discharge's silica, SiO2 (1 - x), except quartzSteamLoss.
    std::optional<double> quartz;  // conductive cooling
    std::optional<double> quartzSteamLoss;  // maximum steam loss, on the water as sampled
    std::optional<double> chalcedony;
    std::optional<double> alphaCristobalite;
    std::optional<double> betaCristobalite;
    std::optional<double> amorphousSilica;
    // Cations, °C.
    std::optional<double> naKFournier;
    std::optional<double> naKGiggenbach;
    std::optional<double> naKTruesdell;
    std::optional<double> kMg;
    std::optional<double> naKCa;
    std::optional<double> maturityIndex;
};

Geothermometers geothermometers(const SampleRecord& sample);

// A value of a block as the geothermometers take it: empty where it is zero, negative or
// unknown.
std::optional<double> measured(float value);

// The steam fraction of a discharge of enthalpy H (kJ/kg) sampled at a pressure in bar-g:
// 0 below the saturated liquid's enthalpy or off the saturation line, 1 at most.
std::optional<double> steamFraction(float pressure, float enthalpy);

// Giggenbach's temperature at which Na/K and K/Mg agree gives a point of the
// full-equilibrium line; the ratios there, log10(Na/K) and log10(K^2/Mg).
struct EquilibriumRatios {
    double logNaK;
    double logK2Mg;
};
EquilibriumRatios fullEquilibrium(double celsius);

enum class Maturity { fullEquilibrium, partialEquilibrium, immature };
// The maturity index bounds of the classes.
inline constexpr double fullEquilibriumIndex = 2.66;
inline constexpr double partialEquilibriumIndex = 2.0;

Maturity maturity(double maturityIndex);
std::string_view name(Maturity maturity);

}  // namespace zelk::workbench
