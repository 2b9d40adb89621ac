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
    // Room for the most items a form has; a form of fewer uses the first of them.
    const std::size_t count = form.labels.size();
    const auto items = makeItems<TotalSteamEntry::size()>([&](std::size_t k) {
        const std::string_view label = k < count ? std::string_view(form.labels[k]) : std::string_view();
        const std::string_view headLine =
            k < form.headLines.size() ? std::string_view(form.headLines[k]) : std::string_view();
        return realItem(label, entered[static_cast<int>(k) + 1], listF(20, 10), headLine);
    });
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
