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

Labels sameLabel(std::string_view str) {
    Labels labels;
    labels.fill(std::string(str));
    return labels;
}

// Every form's labels, built once. Form 3 asks and lists each gas on two lines: its name on
// the first, the unit on the second.
struct FormLabels {
    Labels form1, form2, form3HeadLines, form3, form4, form5;
};

const FormLabels& labels() {
    static const FormLabels made = {
        labelsWith(" in total steam (mg/kg) :  "),
        labelsWith(" in steam (m-mole/kg)   :  "),
        labelsWith(" in total steam"),
        sameLabel("     (m-mole gas/mole H2O) :  "),
        labelsWith(" in steam (mole-%)      :  "),
        labelsWith(" in steam (weight-%)    :  "),
    };
    return made;
}

// The seven gases only, or with H2O.
std::span<const std::string> gases(const Labels& labels) { return std::span(labels).first(7); }
std::span<const std::string> gasesAndH2O(const Labels& labels) { return labels; }

}  // namespace

void askst1(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gases(labels().form1), {}, fromMgPerKg}, gasVolume, gasPerCondensate, gasTemperature,
                  steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst2(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gases(labels().form2), {}, fromMmolePerKg}, gasVolume, gasPerCondensate, gasTemperature,
                  steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst3(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gases(labels().form3), gases(labels().form3HeadLines), fromMmolePerMoleH2O}, gasVolume,
                  gasPerCondensate, gasTemperature, steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst4(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gasesAndH2O(labels().form4), {}, fromMolePercent}, gasVolume, gasPerCondensate,
                  gasTemperature, steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

void askst5(Console& console, GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature,
            SteamConc& steamConc, float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    askTotalSteam(console, {gasesAndH2O(labels().form5), {}, fromWeightPercent}, gasVolume, gasPerCondensate,
                  gasTemperature, steamConc, condensatePh, condensatePhTemperature, condensateConc);
}

}  // namespace zelk
