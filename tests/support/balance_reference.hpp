// A slow, tight speciation of a water to check the fast one against: the activity
// coefficients and the activity of water held while Newton's method meets the mass balances
// to the last digit, then computed anew, until the ionic strength moves by less than 1e-12.
#pragma once

#include <array>
#include <optional>

#include "zelkfile/charge_balance.hpp"

namespace zelk::test {

struct ReferenceSpeciation {
    double ionicStrength = 0;       // mol/kg of water
    double cations = 0, anions = 0; // meq/kg of water
    double chargeBalance = 0;       // percent
    double hco3 = 0, co3 = 0;       // mg/kg of solution
    std::array<double, workbench::aqueous::speciesCount> molality{};
    std::array<double, workbench::aqueous::masterCount> free{};
    int rounds = 0;                 // of the activity coefficients
};

// Empty where the water has no solution (no water left) or the iteration does not settle.
std::optional<ReferenceSpeciation> referenceSpeciation(const workbench::aqueous::Water& water);

}  // namespace zelk::test
