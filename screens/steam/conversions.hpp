// The conversions of the five total-steam forms: entered values in, the record's
// residual-gas representation out. Nothing else is read or changed.
#pragma once

#include "screens/steam/total_steam.hpp"

namespace zelk {

// Form 1: mg of gas per kg of total steam.
ResidualGas fromMgPerKg(const TotalSteamEntry& e);
// Form 2: m-mole of gas per kg of total steam.
ResidualGas fromMmolePerKg(const TotalSteamEntry& e);
// Form 3: m-mole of gas per mole of H2O.
ResidualGas fromMmolePerMoleH2O(const TotalSteamEntry& e);
// Form 4: mole-% of the total steam, H2O included.
ResidualGas fromMolePercent(const TotalSteamEntry& e);
// Form 5: weight-% of the total steam, H2O included.
ResidualGas fromWeightPercent(const TotalSteamEntry& e);

// The H2O percentage that forms 4 and 5 divide by: as typed when above 1.0E-20, else the
// rest of the seven gases to 100. When that rest is 0 the divisions give infinities or NaNs,
// which the block shows as such, telling the user the entry cannot be right.
float h2oContent(const TotalSteamEntry& e);

}  // namespace zelk
