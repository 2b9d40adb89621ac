// The total-steam screens, steam-data forms 1 to 5: the steam phase given as the gas
// content of the total steam, stored as residual gas plus CO2, H2S and NH3 in the steam.
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

// mg gas/kg H2O.
void askst1(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);
// m-mole gas/kg H2O.
void askst2(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);
// m-mole gas/mole H2O.
void askst3(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);
// mole-% gas including H2O.
void askst4(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);
// weight-% gas including H2O.
void askst5(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);

}  // namespace zelk
