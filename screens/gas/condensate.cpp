// The condensate screens: pH, pH temperature and CO2, H2S, NH3 and Na in the condensate.
// One screen in two units of the concentrations.
#include "screens/gas/condensate.hpp"

#include <array>

#include "dialogue/correction_screen.hpp"

namespace zelk {

namespace {

constexpr std::string_view phLabel = "Condensate phase pH        :  ";
constexpr std::string_view phTemperatureLabel = "Condensate pH temp. (\xB0" "C)   :  ";
// The component number of each condensate concentration, CO2, H2S, NH3 and Na.
constexpr int condensateComponents[4] = {1, 2, 3, 10};

struct Unit {
    std::string_view concentrationLabels[4];
    bool convert;  // typed in m-mole/l, stored in mg/kg at an assumed density of 1 kg/l
};

constexpr Unit mgPerKg = {{"Condensate CO2 (mg/kg)     :  ", "Condensate H2S (mg/kg)     :  ",
                           "Condensate NH3 (mg/kg)     :  ", "Condensate Na  (mg/kg)     :  "},
                          false};
constexpr Unit mmolPerLitre = {{"Condensate CO2 (m-mole/l)  :  ", "Condensate H2S (m-mole/l)  :  ",
                                "Condensate NH3 (m-mole/l)  :  ", "Condensate Na  (m-mole/l)  :  "},
                               true};

void condensate(Console& console, const Unit& unit, float& condensatePh, float& condensatePhTemperature,
                CondensateConc& condensateConc) {
    CondensateConc condensateMmol;  // as typed, when typed in m-mole/l
    auto concentration = [&](int k) {
        const std::string_view label = unit.concentrationLabels[k - 1];
        if (!unit.convert) return realItem(label, condensateConc[k], listF(15, 6));
        return mmolItem(label, condensateMmol[k], listF(15, 6), condensateConc[k], condensateComponents[k - 1]);
    };
    const std::array<Item, 6> items = {
        realItem(phLabel, condensatePh, listF(15, 6)),
        realItem(phTemperatureLabel, condensatePhTemperature, listF(15, 6)),
        concentration(1),
        concentration(2),
        concentration(3),
        concentration(4),
    };
    // The assumption is restated whenever the first pass starts again.
    auto startFirstPass = [&] {
        if (unit.convert) console.write(" Condensate phase density assumed 1.000 kg/l.\n\n");
    };
    runScreen(console, {.items = items, .listLead = 3, .startFirstPass = startFirstPass});
}

}  // namespace

void askcd1(Console& console, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    condensate(console, mgPerKg, condensatePh, condensatePhTemperature, condensateConc);
}

void askcd2(Console& console, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    condensate(console, mmolPerLitre, condensatePh, condensatePhTemperature, condensateConc);
}

}  // namespace zelk
