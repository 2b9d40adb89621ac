// What the dry gas and residual gas screens share: the labels of the gas items.
#pragma once

#include <string_view>

namespace zelk {

constexpr std::string_view gasPerCondensateLabel = "Liters gas/kg condensate   :  ";
constexpr std::string_view gasTemperatureLabel = "Gas temperature (\xB0" "C)       :  ";
// Follows the first three characters of a gas's name.
constexpr std::string_view inGas = " in gas (volume %)      :  ";

}  // namespace zelk
