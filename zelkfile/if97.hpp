// Water and steam on the saturation line, from the IAPWS industrial formulation of 1997
// (IF97): the saturation temperature at a pressure and the enthalpies of both phases there.
#pragma once

#include <optional>

namespace zelk::if97 {

// The saturation line runs from the triple point to the critical point.
inline constexpr double triplePressure = 611.213e-6;  // MPa
inline constexpr double criticalPressure = 22.064;    // MPa

struct Saturation {
    double temperature = 0;     // K
    double liquidEnthalpy = 0;  // h', kJ/kg
    double vapourEnthalpy = 0;  // h'', kJ/kg
};

// The saturation temperature (region 4) at a pressure in MPa, without range check.
double saturationTemperature(double pressure);
// The saturation pressure in MPa (region 4) at a temperature in K, without range check.
double saturationPressure(double temperature);

// h', the enthalpy of saturated liquid water in kJ/kg at a temperature in K, from the
// triple point (273.16 K) to the critical point; empty outside.
std::optional<double> saturatedLiquidEnthalpy(double temperature);

// Enthalpy in kJ/kg from the equations of state at a pressure in MPa and a temperature in K:
// region 1 (liquid), region 2 (vapour) and region 3 (density in kg/m3 and temperature).
double region1Enthalpy(double pressure, double temperature);
double region2Enthalpy(double pressure, double temperature);
double region3Enthalpy(double density, double temperature);
double region3Pressure(double density, double temperature);

// Both phases at saturation: region 1 and region 2 up to 623.15 K, region 3 above, where
// regions 1 and 2 no longer describe water and steam. Empty outside the saturation line
// (a pressure below the triple point, above the critical point, or not a number).
std::optional<Saturation> saturation(double pressure);

}  // namespace zelk::if97
