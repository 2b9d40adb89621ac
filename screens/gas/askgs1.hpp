// The dry gas screen of steam-data forms 6 and 7: the collected gas as typed.
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

void askgs1(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc);

}  // namespace zelk
