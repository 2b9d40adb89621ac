// What the five total-steam screens share: the values they hold during a call, the
// residual-gas fields their conversions compute, and the one dialogue they all run.
#pragma once

#include <span>
#include <string>

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

// The entered values of one call by item number: the gases CO2 to N2 as items 1 to 7 (the
// component numbers), then H2O as item 8 on the screens in percent.
using TotalSteamEntry = Indexed<8>;

// The steam-phase fields that a conversion computes from the entered values.
struct ResidualGas {
    SteamConc steamConc;         // CO2, H2S, NH3 in mg/kg of total steam
    GasVolume gasVolume;         // volume-% of the residual gas; CO2, H2S and NH3 at 0
    float gasPerCondensate = 0;  // litres of residual gas per kg at 298.15 K
};

// A total-steam form: its labels, one per item (7, or 8 with H2O), the first lines of its
// two-line items if it has them, and its conversion.
struct TotalSteamForm {
    std::span<const std::string> labels;
    std::span<const std::string> headLines;
    ResidualGas (*convert)(const TotalSteamEntry& entered);
};

// Asks the form's items, lets the user correct them, then converts them into the record.
void askTotalSteam(Console& console, const TotalSteamForm& form, GasVolume& gasVolume, float& gasPerCondensate,
                   float& gasTemperature, SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature,
                   CondensateConc& condensateConc);

}  // namespace zelk
