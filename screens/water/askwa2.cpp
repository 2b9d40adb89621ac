// The water phase screen in m-mole/l: each concentration is converted to mg/kg with its molar
// weight and the water density as soon as it is read, while the list shows what was typed.
#include "screens/water/askwa2.hpp"

#include <array>
#include <cmath>

#include "dialogue/correction_screen.hpp"
#include "record/components.hpp"
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

constexpr int totalSolidsItem = 15;
constexpr int densityItem = 18;
// The density comes first, since every concentration after it is converted with it.
constexpr int firstPassOrder[18] = {densityItem, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

// A density of (next to) nothing means that none was given: water at 1 kg/l.
float usableDensity(float density) { return std::fabs(density) <= 1.0e-9f ? 1.0f : density; }

}  // namespace

void askwa2(Console& console, WaterConc& waterConc, float& waterPh, float& waterPhTemperature, float& totalSolids) {
    static const auto labels = componentLabels(lis, 4, str);
    WaterConc waterMmol;  // as typed, by component number
    float waterDensity = 1.0f;
    std::array<Item, 18> items;
    for (int k = 0; k < 14; ++k) items[k] = realItem(labels[k], waterMmol[lis[k]], listF(20, 10));
    items[14] = realItem(strin[2], totalSolids, listF(20, 10));
    items[15] = realItem(strin[0], waterPh, listF(20, 10));
    items[16] = realItem(strin[1], waterPhTemperature, listF(20, 10));
    items[17] = realItem(strin[3], waterDensity, listF(20, 10));

    auto convert = [&](int component) {
        waterConc[component] =
            toSingle(mmolToMg(component, waterMmol[component]) / static_cast<double>(waterDensity));
    };
    auto startFirstPass = [&] { clearDissolvedGases(waterConc); };
    auto afterRead = [&](int number, bool firstPass) {
        if (number <= 14) {
            convert(lis[number - 1]);
        } else if (number == totalSolidsItem && firstPass) {
            // Typed in mg/l; a corrected value is taken as mg/kg, as typed.
            totalSolids = toSingle(static_cast<double>(totalSolids) / static_cast<double>(waterDensity));
        } else if (number == densityItem) {
            waterDensity = usableDensity(waterDensity);
            if (firstPass) {
                console.emptyLines(2);
            } else {
                // Keeps the stored mg/kg values in step with the m-mole/l values listed.
                for (int component : lis) convert(component);
            }
        }
    };

    console.emptyLines(3);
    runScreen(console, {.items = items,
                        .listLead = 3,
                        .firstPassOrder = firstPassOrder,
                        .startFirstPass = startFirstPass,
                        .afterRead = afterRead});
}

}  // namespace zelk
