// The first look at a sample: steam fraction at sampling, the silica and cation
// geothermometers, Giggenbach's maturity index and the reservoir liquid, from the values of
// its block, with the reasons a reader should doubt them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/sample.hpp"

namespace zelk::workbench {

// Every value is empty where it has no meaning: an input zero, negative or unknown (lost in
// the file as asterisks, or not a number), or an equation whose absolute temperature would
// come out infinite or negative. A silica temperature is empty below 0 °C and above the
// critical point's 374 °C whatever its equation gives.
struct Geothermometers {
    // x, of the total discharge at sampling; empty for a sample taken above 0 bar-g with no
    // enthalpy, whose total discharge is unknown.
    std::optional<double> steamFraction;
    // Silica, °C: on the total discharge's silica, SiO2 (1 - x), except quartzSteamLoss and
    // quartzLiquid.
    std::optional<double> quartz;  // conductive cooling
    std::optional<double> quartzSteamLoss;  // maximum steam loss, on the water separated at 100 °C
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
    // Quartz with the reservoir liquid that boiled to the sampling pressure, °C.
    std::optional<double> quartzLiquid;
    std::optional<double> excessEnthalpy;  // H - h'(quartzLiquid), kJ/kg
    std::optional<double> naKCaMg;         // Na-K-Ca with the Mg correction, °C
    std::optional<double> reservoirChloride;  // Cl of the reservoir liquid, mg/kg
    // Why a value may not hold, in the order a reader weighs them; later checks of the
    // sample append theirs. Printed joined by "; ".
    std::vector<std::string> notes;
};

using Temperature = std::optional<double> Geothermometers::*;

// A silica equation and the temperature to which it was calibrated: above it, a value is
// shown as such and noted as "NAME above its range".
struct SilicaRange {
    Temperature value;
    std::string_view name;  // as the CSV names its column
    double limit;           // °C
};
extern const SilicaRange silicaRanges[7];

// Whether the value is a silica temperature above its equation's calibration.
bool aboveRange(const Geothermometers& g, Temperature value);
// The top of the calibration of the column of that CSV name; empty for a column without one.
std::optional<double> calibrationLimit(std::string_view csvName);

Geothermometers geothermometers(const SampleRecord& sample);

// A value of a block as the geothermometers take it: empty where it is zero, negative or
// unknown.
std::optional<double> measured(float value);

// The conductive quartz equation (Fournier and Potter 1982) for silica in mg/kg, without the
// report's bounds: empty only where it gives no temperature above absolute zero.
std::optional<double> quartzTemperature(double silica);

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
