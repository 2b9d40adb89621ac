// The water phase screen for concentrations given in m-mole/l, with the water density.
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

void askwa2(Console& console, WaterConc& waterConc, float& waterPh, float& waterPhTemperature, float& totalSolids);

}  // namespace zelk
