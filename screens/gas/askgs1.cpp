// The dry gas screen: the volume-% of all seven gases, the gas ratio and the gas temperature,
// stored as typed. The steam phase is then gas plus condensate, so there is no total steam.
#include "screens/gas/askgs1.hpp"

#include <array>

#include "dialogue/correction_screen.hpp"
#include "screens/gas/gas_items.hpp"

namespace zelk {

namespace {

constexpr int gases[7] = {1, 2, 3, 4, 5, 6, 7};

}  // namespace

void askgs1(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc) {
    static const auto labels = componentLabels(gases, 3, inGas);
    const auto items = makeItems<7>(
        [&](std::size_t k) { return realItem(labels[k], gasVolume[gases[k]], listF(15, 6)); },
        realItem(gasPerCondensateLabel, gasPerCondensate, listF(15, 6)),
        realItem(gasTemperatureLabel, gasTemperature, listF(15, 6)));

    steamConc.values.fill(0);
    runScreen(console, {.items = items, .listLead = 3});
}

}  // namespace zelk
