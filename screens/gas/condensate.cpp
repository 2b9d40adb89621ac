// The condensate screens: pH, pH temperature and CO2, H2S, NH3 and Na in the condensate.
// One screen in two units of the concentrations.
#include "screens/gas/condensate.hpp"

#include <array>

#include "dialogue/correction_screen.hpp"
#include "record/components.hpp"

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
    CondensateConc& typed = unit.convert ? condensateMmol : condensateConc;
    std::array<Item, 6> items;
    items[0] = realItem(phLabel, condensatePh, listF(15, 6));
    items[1] = realItem(phTemperatureLabel, condensatePhTemperature, listF(15, 6));
    for (int k = 1; k <= 4; ++k) items[1 + k] = realItem(unit.concentrationLabels[k - 1], typed[k], listF(15, 6));

    auto convert = [&](int k) {
        condensateConc[k] = toSingle(mmolToMg(condensateComponents[k - 1], condensateMmol[k]));
    };
    // The assumption is restated whenever the first pass starts again.
    auto startFirstPass = [&] {
        if (unit.convert) console.write(" Condensate phase density assumed 1.000 kg/l.\n\n");
    };
    // The first pass converts once it has all six answers; a correction converts its one value.
    auto afterRead = [&](int number, bool firstPass) {
        if (!unit.convert) return;
        if (firstPass && number == 6) {
            for (int k = 1; k <= 4; ++k) convert(k);
        } else if (!firstPass && number >= 3) {
            convert(number - 2);
        }
    };
    runScreen(console, {.items = items, .listLead = 3, .startFirstPass = startFirstPass, .afterRead = afterRead});
}

}  // namespace

void askcd1(Console& console, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    condensate(console, mgPerKg, condensatePh, condensatePhTemperature, condensateConc);
}

void askcd2(Console& console, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    condensate(console, mmolPerLitre, condensatePh, condensatePhTemperature, condensateConc);
}

}  // namespace zelk
