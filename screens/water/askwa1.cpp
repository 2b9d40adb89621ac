// The water phase screen in mg/kg: the record's own unit, so values are stored as read.
#include "screens/water/askwa1.hpp"

#include <array>

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

}  // namespace

void askwa1(Console& console, WaterConc& waterConc, float& waterPh, float& waterPhTemperature, float& totalSolids) {
    static const auto labels = componentLabels(lis, 4, str);
    const auto items = makeItems<14>(
        [&](std::size_t k) { return realItem(labels[k], waterConc[lis[k]], listF(20, 10)); },
        realItem(strin[2], totalSolids, listF(20, 10)), realItem(strin[0], waterPh, listF(20, 10)),
        realItem(strin[1], waterPhTemperature, listF(20, 10)));

    console.emptyLines(3);
    auto startFirstPass = [&] { clearDissolvedGases(waterConc); };
    runScreen(console, {.items = items, .listLead = 5, .startFirstPass = startFirstPass});
}

}  // namespace zelk
