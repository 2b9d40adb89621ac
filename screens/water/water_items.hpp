// What the two water phase screens share: the components they ask, in the order asked, and
// the clearing of the components they do not ask.
#pragma once

#include "record/sample.hpp"

namespace zelk {

// CO2, H2S, NH3, B, SiO2, Na, K, Mg, Ca, F, Cl, SO4, Al, Fe; the dissolved gases H2, O2,
// CH4 and N2 (4 to 7) are not asked and are set to 0.
constexpr int lis[14] = {1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};

inline void clearDissolvedGases(WaterConc& waterConc) {
    for (int i = 4; i <= 7; ++i) waterConc[i] = 0;
}

}  // namespace zelk
