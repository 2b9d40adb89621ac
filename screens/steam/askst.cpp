// The five total-steam screens: each is its labels and its conversion on the shared dialogue.
#include "screens/steam/askst.hpp"

#include <array>
#include <string>
#include <string_view>

#include "dialogue/correction_screen.hpp"
#include "screens/steam/conversions.hpp"
#include "screens/steam/total_steam.hpp"

namespace zelk {

namespace {

using Labels = std::array<std::string, 8>;

// The gases' names in three characters followed by the form's text, then H2O's.
Labels labelsWith(std::string_view str) {
    Labels labels;
    for (int i = 1; i <= 7; ++i) labels[i - 1] = componentLabel(i, 3, str);
    labels[7] = std::string("H2O").append(str);
    return labels;
}

const Labels& form1Labels() {
    static const Labels labels = labelsWith(" in total steam (mg/kg) :  ");
    return labels;
}

const Labels& form2Labels() {
    static const Labels labels = labelsWith(" in steam (m-mole/kg)   :  ");
    return labels;
}

// Form 3 asks and lists each gas on two lines: its name on the first, the unit on the second.
const Labels& form3HeadLines() {
    static const Labels lines = labelsWith(" in total steam");
    return lines;
}

const Labels& form3Labels() {
    static const Labels labels = [] {
        Labels made;
        made.fill("     (m-mole gas/mole H2O) :  ");
        return made;
    }();
    return labels;
}

const Labels& form4Labels() {
    static const Labels labels = labelsWith(" in steam (mole-%)      :  ");
    return labels;
}

const Labels& form5Labels() {
    static const Labels labels = labelsWith(" in steam (weight-%)    :  ");
    return labels;
}

// The seven gases only, or with H2O.
std::span<const std::string> gases(const Labels& labels) { return std::span(labels).first(7); }
std::span<const std::string> gasesAndH2O(const Labels& labels) { return labels; }

}  // namespace

void askst1(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gases(form1Labels()), {}, fromMgPerKg}, gasVolume, gasPerCondensate, gasTemperature,
                  steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst2(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gases(form2Labels()), {}, fromMmolePerKg}, gasVolume, gasPerCondensate, gasTemperature,
                  steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst3(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gases(form3Labels()), gases(form3HeadLines()), fromMmolePerMoleH2O}, gasVolume,
                  gasPerCondensate, gasTemperature, steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst4(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gasesAndH2O(form4Labels()), {}, fromMolePercent}, gasVolume, gasPerCondensate,
                  gasTemperature, steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst5(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gasesAndH2O(form5Labels()), {}, fromWeightPercent}, gasVolume, gasPerCondensate,
                  gasTemperature, steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

}  // namespace zelk
