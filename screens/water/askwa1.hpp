// The water phase screen for concentrations given in mg/kg.
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

void askwa1(Console& console, WaterConc& waterConc, float& waterPh, float& waterPhTemperature, float& totalSolids);

}  // namespace zelk
