// The charge balance of a water analysis: the water speciated at the temperature of its pH
// over the 60 species of the aqueous model, and the sums of its cations and anions.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "record/sample.hpp"
#include "zelkfile/aqueous_constants.hpp"

namespace zelk::workbench {

// Every value is empty where there is no result; a note then says why.
struct ChargeBalance {
    std::optional<double> ionicStrength;  // mol/kg of water
    std::optional<double> cations;        // meq/kg of water, every species, H+ included
    std::optional<double> anions;         // meq/kg of water, every species, OH- included
    std::optional<double> chargeBalance;  // percent, 100 (cations - anions) / (cations + anions)
    std::optional<double> hco3;           // mg/kg of solution, the bicarbonate ion; empty without CO2
    std::optional<double> co3;            // mg/kg of solution, the carbonate ion; empty without CO2
    // In this order: "charge balance off by X %" beyond 5 %, "pH temperature not given:
    // balance at 25 °C", "no charge balance: REASON".
    std::vector<std::string> notes;
};

// The charge balance of a sample's water phase: its components in mg/kg of solution, its pH
// and the temperature of the pH (0: not given, taken as 25 °C). Total solids are not used.
ChargeBalance chargeBalance(const SampleRecord& sample);

// A balance beyond this, in percent either way, gets a note.
inline constexpr double chargeBalanceLimit = 5;
// The temperature functions of the model hold from 0 to 300 °C.
inline constexpr double highestPhTemperature = 300;

namespace aqueous {

// A water as the speciation takes it: the fourteen components in the order of `components`,
// in mg/kg of solution (0: not analysed), the pH and the temperature of the pH.
struct Water {
    std::array<double, masterCount> mgPerKg{};
    double pH = 7;
    double celsius = 25;
};

// A sample's water phase as it stands, unchecked; a pH temperature of 0 is 25 °C.
Water waterPhase(const SampleRecord& sample);

// Kilograms of water in a kilogram of solution: 1 kg less the components and the H+ and OH-
// of the pH. Zero or below when the solutes weigh as much as the solution.
double kgWaterPerKgSolution(const Water& water);
// Total molality of each component (mol/kg of water); 0 for one not given.
std::array<double, masterCount> totalMolalities(const Water& water, double kgWater);

// A speciated water. Molalities in mol/kg of water; 0 for species that do not form (a master
// not given).
struct Speciation {
    double kgWater = 0;  // per kg of solution
    double A = 0, B = 0;
    double ionicStrength = 0;
    double waterActivity = 1;
    double hydrogen = 0;  // molality of H+
    std::array<double, masterCount> free{};  // of each master
    std::array<double, speciesCount> molality{};
    double cations = 0, anions = 0;  // eq/kg of water
    int iterations = 0;
};

enum class Outcome { converged, noWater, notConverged };

// Speciates a water whose pH, temperature and components have been checked: every component
// zero or above, at least one above, the temperature 0 to 300 °C.
Outcome speciate(const Water& water, Speciation& result);

}  // namespace aqueous

}  // namespace zelk::workbench
