// The residual gas screens of steam-data forms 8 (askgs2, CO2, H2S and NH3 in total steam
// in mg/kg) and 9 (askgs3, the same in m-mole/kg).
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

void askgs2(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);

void askgs3(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);

}  // namespace zelk
