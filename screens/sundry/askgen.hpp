// The sundry data screen: sample number, location and sampling conditions.
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

void askgen(Console& console, FixedText<16>& sampleNumber, FixedText<60>& sampleLocation, float& samplingTemperature,
            float& samplingPressure, float& fluidEnthalpy, float& discharge);

}  // namespace zelk
