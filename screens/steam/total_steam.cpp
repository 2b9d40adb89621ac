// The total-steam dialogue: entry settings, the correction screen in its total-steam
// spacing, and the form's conversion once the user is done.
#include "screens/steam/total_steam.hpp"

#include <array>

#include "dialogue/correction_screen.hpp"

namespace zelk {

void askTotalSteam(Console& console, const TotalSteamForm& form, GasVolume& gasVolume, float& gasPerCondensate,
                   float& gasTemperature, SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature,
                   CondensateConc& condensateConc) {
    // These forms describe no condensate, and their gas volume is reckoned at 25 °C.
    gasTemperature = 25;
    condensatePh = 0;
    condensatePhTemperature = 0;
    condensateConc.values.fill(0);

    // The user corrects the values in the unit asked; the record sees only the conversion.
    TotalSteamEntry entered;
    std::array<Item, TotalSteamEntry::size()> items;
    const std::size_t count = form.labels.size();
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view headLine = form.headLines.empty() ? std::string_view() : form.headLines[k];
        items[k] = realItem(form.labels[k], entered[static_cast<int>(k) + 1], listF(20, 10), headLine);
    }
    // Three empty lines open every correction pass and three more come before every list; a
    // hundred passes in a row at most.
    const ScreenShape shape = {
        .items = std::span(items.data(), count), .listLead = 3, .reentryLead = 0, .passLead = 3, .passLimit = 100};
    runScreen(console, shape);

    const ResidualGas converted = form.convert(entered);
    gasVolume = converted.gasVolume;
    gasPerCondensate = converted.gasPerCondensate;
    steamConc = converted.steamConc;
}

}  // namespace zelk
