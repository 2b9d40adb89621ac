// The sundry data screen: stores what it reads; nothing to convert.
#include "screens/sundry/askgen.hpp"

#include "dialogue/correction_screen.hpp"

namespace zelk {

namespace {

constexpr std::string_view strin[6] = {
    "Sample number              :  ", "Sample location            :  ", "Sampling temperature (\xB0" "C)  :  ",
    "Sampling pressure (bar-g)  :  ", "Fluid enthalpy (kJ/kg)     :  ", "Discharge (kg/s)           :  ",
};

}  // namespace

void askgen(Console& console, FixedText<16>& sampleNumber, FixedText<60>& sampleLocation, float& samplingTemperature,
            float& samplingPressure, float& fluidEnthalpy, float& discharge) {
    const Item items[] = {
        textItem(strin[0], sampleNumber, listA()),
        textItem(strin[1], sampleLocation, listAw(42)),
        realItem(strin[2], samplingTemperature, listF(10, 4)),
        realItem(strin[3], samplingPressure, listF(10, 4)),
        realItem(strin[4], fluidEnthalpy, listF(10, 4)),
        realItem(strin[5], discharge, listF(10, 4)),
    };
    runScreen(console, {.items = items, .listLead = 7});
}

}  // namespace zelk
