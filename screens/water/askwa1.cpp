// The water phase screen in mg/kg: the record's own unit, so values are stored as read.
#include "screens/water/askwa1.hpp"

#include <array>
#include <string>

#include "dialogue/correction_screen.hpp"
#include "screens/water/water_items.hpp"

namespace zelk {

namespace {

constexpr std::string_view strin[3] = {
    "Water phase pH             :  ",
    "pH temperature (\xB0" "C)        :  ",
    "Total solids  (mg/kg)      :  ",
};
constexpr std::string_view str = " in water (mg/kg)      :  ";

const std::array<std::string, 14>& componentLabels() {
    static const std::array<std::string, 14> labels = [] {
        std::array<std::string, 14> made;
        for (int k = 0; k < 14; ++k) made[k] = componentLabel(lis[k], 4, str);
        return made;
    }();
    return labels;
}

}  // namespace

void askwa1(Console& console, WaterConc& waterConc, float& waterPh, float& waterPhTemperature, float& totalSolids) {
    const auto& labels = componentLabels();
    std::array<Item, 17> items;
    for (int k = 0; k < 14; ++k) items[k] = realItem(labels[k], waterConc[lis[k]], listF(20, 10));
    items[14] = realItem(strin[2], totalSolids, listF(20, 10));
    items[15] = realItem(strin[0], waterPh, listF(20, 10));
    items[16] = realItem(strin[1], waterPhTemperature, listF(20, 10));

    console.emptyLines(3);
    auto clearDissolvedGases = [&] {
        for (int i = 4; i <= 7; ++i) waterConc[i] = 0;
    };
    runScreen(console, {.items = items, .listLead = 5, .startFirstPass = clearDissolvedGases});
}

}  // namespace zelk
