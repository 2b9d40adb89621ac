// The water phase screen in m-mole/l: each concentration is converted to mg/kg with its molar
// weight and the water density as soon as it is read, while the list shows what was typed.
#include "screens/water/askwa2.hpp"

#include <cmath>

#include "dialogue/correction_screen.hpp"
#include "screens/water/water_items.hpp"

namespace zelk {

namespace {

constexpr std::string_view strin[4] = {
    "Water phase pH             :  ",
    "pH temperature (\xB0" "C)        :  ",
    "Total solids (mg/kg)       :  ",
    "Water phase density (kg/l) :  ",
};
constexpr std::string_view str = " in water (m-mole/l)   :  ";

constexpr int densityNumber = 18;  // the item number of the density
// The density comes first, since every concentration after it is converted with it.
constexpr int firstPassOrder[18] = {densityNumber, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

// A density of (next to) nothing means that none was given: water at 1 kg/l.
float usableDensity(float density) { return std::fabs(density) <= 1.0e-9f ? 1.0f : density; }

}  // namespace

void askwa2(Console& console, WaterConc& waterConc, float& waterPh, float& waterPhTemperature, float& totalSolids) {
    static const auto labels = componentLabels(lis, 4, str);
    WaterConc waterMmol;  // as typed, by component number
    float waterDensity = 1.0f;

    auto densityRead = [&](bool firstPass) {
        waterDensity = usableDensity(waterDensity);
        if (firstPass) console.emptyLines(2);
    };
    auto totalSolidsRead = [&](bool firstPass) {
        // Typed in mg/l; a corrected value is taken as mg/kg, as typed.
        if (firstPass) totalSolids = toSingle(static_cast<double>(totalSolids) / static_cast<double>(waterDensity));
    };
    const auto items = makeItems<14>(
        [&](std::size_t k) {
            const int component = lis[k];
            return mmolItem(labels[k], waterMmol[component], listF(20, 10), waterConc[component], component,
                            &waterDensity);
        },
        realItem(strin[2], totalSolids, listF(20, 10)).withAfterRead(totalSolidsRead),
        realItem(strin[0], waterPh, listF(20, 10)), realItem(strin[1], waterPhTemperature, listF(20, 10)),
        densityItem(strin[3], waterDensity, listF(20, 10)).withAfterRead(densityRead));
    auto startFirstPass = [&] { clearDissolvedGases(waterConc); };

    console.emptyLines(3);
    runScreen(console,
              {.items = items, .listLead = 3, .firstPassOrder = firstPassOrder, .startFirstPass = startFirstPass});
}

}  // namespace zelk
