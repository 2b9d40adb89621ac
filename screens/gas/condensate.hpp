// The condensate screens of steam-data forms 6 (askcd1, mg/kg) and 7 (askcd2, m-mole/l).
#pragma once

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

void askcd1(Console& console, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);

void askcd2(Console& console, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);

}  // namespace zelk
