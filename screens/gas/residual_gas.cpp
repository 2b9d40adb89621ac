// The residual gas screens: CO2, H2S and NH3 in the total steam, then H2, O2, CH4 and N2 in
// the residual gas, its ratio and temperature. One screen in two units of the steam items.
#include "screens/gas/residual_gas.hpp"

#include <array>
#include <string>

#include "dialogue/correction_screen.hpp"
#include "screens/gas/gas_items.hpp"

namespace zelk {

namespace {

constexpr int steamGases[3] = {1, 2, 3};
constexpr int residualGases[4] = {4, 5, 6, 7};

// convert: the steam items are typed in m-mole/kg and stored in mg/kg.
void residualGas(Console& console, const std::array<std::string, 3>& steamLabels, bool convert,
                 GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature, SteamConc& steamConc,
                 float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    static const auto gasLabels = componentLabels(residualGases, 3, inGas);
    SteamConc steamMmol;  // as typed, when typed in m-mole/kg
    const auto items = makeItems<3>(
        [&](std::size_t k) {
            const int i = steamGases[k];
            if (!convert) return realItem(steamLabels[k], steamConc[i], listF(15, 6));
            return mmolItem(steamLabels[k], steamMmol[i], listF(15, 6), steamConc[i], i);
        },
        realItem(gasLabels[0], gasVolume[residualGases[0]], listF(15, 6)),
        realItem(gasLabels[1], gasVolume[residualGases[1]], listF(15, 6)),
        realItem(gasLabels[2], gasVolume[residualGases[2]], listF(15, 6)),
        realItem(gasLabels[3], gasVolume[residualGases[3]], listF(15, 6)),
        realItem(gasPerCondensateLabel, gasPerCondensate, listF(15, 6)),
        realItem(gasTemperatureLabel, gasTemperature, listF(15, 6)));

    // CO2, H2S and NH3 are carried as steam contents, not as gas; there is no condensate.
    condensatePh = 0;
    condensatePhTemperature = 0;
    condensateConc.values.fill(0);
    auto startFirstPass = [&] {
        for (int i : steamGases) gasVolume[i] = 0;
    };
    runScreen(console, {.items = items, .listLead = 3, .startFirstPass = startFirstPass});
}

}  // namespace

void askgs2(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    static const auto steamLabels = componentLabels(steamGases, 3, " in total steam (mg/kg) :  ");
    residualGas(console, steamLabels, false, gasVolume, gasPerCondensate, gasTemperature, steamConc, condensatePh,
                condensatePhTemperature, condensateConc);
}

void askgs3(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    static const auto steamLabels = componentLabels(steamGases, 3, " in steam (m-mole/kg)   :  ");
    residualGas(console, steamLabels, true, gasVolume, gasPerCondensate, gasTemperature, steamConc, condensatePh,
                condensatePhTemperature, condensateConc);
}

}  // namespace zelk
