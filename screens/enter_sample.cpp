// One sample's road through the dialogue: the sundry data, the water and steam menus with
// the screens they choose, and the sample's block to the file.
#include "screens/enter_sample.hpp"

#include "base/field.hpp"
#include "dialogue/correction_screen.hpp"
#include "screens/gas/askgs1.hpp"
#include "screens/gas/condensate.hpp"
#include "screens/gas/residual_gas.hpp"
#include "screens/steam/askst.hpp"
#include "screens/sundry/askgen.hpp"
#include "screens/water/askwa1.hpp"
#include "screens/water/askwa2.hpp"

namespace zelk {

namespace {

constexpr std::string_view waterMenu =
    "\n\n\n\n\n\n WATER PHASE CONCENTRATIONS\n\n  1 : in mg/kg\n  2 : in m-mole/l\n\n"
    " Type item number, default is 1  :  ";

constexpr std::string_view steamMenu =
    "\n\n\n\n\n\n STEAM PHASE GAS DATA AS\n\n"
    "\n  1 : Total steam, mg gas/kg H2O\n"
    "\n  2 : Total steam, m-mole gas/kg H2O\n"
    "\n  3 : Total steam, m-mole gas/mole H2O\n"
    "\n  4 : Total steam, mole-% gas including H2O\n"
    "\n  5 : Total steam, weight-% gas including H2O\n"
    "\n  6 : Volume-% dry gas and mg gas/kg condensate\n"
    "\n  7 : Volume-% dry gas and m-mole gas/kg condensate\n"
    "\n  8 : Volume-% residual gas and CO2, H2S, and NH3 in total steam, mg/kg\n"
    "\n  9 : Volume-% residual gas and CO2, H2S, and NH3 in total steam, m-mole/kg\n"
    "\n\n Type item number, or\n <RETURN> if no steam phase      :  ";

// A menu: asked again from its top after an input error.
int askMenu(Console& console, std::string_view menu) {
    for (;;) {
        console.prompt(menu);
        if (const std::optional<int> answer = readI(console.readLine(), 4)) return *answer;
        writeErrorMessage(console);
    }
}

void heading(Console& console, std::string_view text) {
    console.emptyLines(3);
    console.write(text);
    console.emptyLines(2);
}

void waterPhase(Console& console, int unit, SampleRecord& r) {
    switch (unit) {
        case 2: askwa2(console, r.waterConc, r.waterPh, r.waterPhTemperature, r.totalSolids); break;
        default: askwa1(console, r.waterConc, r.waterPh, r.waterPhTemperature, r.totalSolids); break;
    }
}

// The total-steam screens of forms 1 to 5, all on the same record fields.
constexpr decltype(&askst1) totalSteamScreens[] = {askst1, askst2, askst3, askst4, askst5};

void steamPhase(Console& console, int form, SampleRecord& r) {
    switch (form) {
        case 1: case 2: case 3: case 4: case 5:
            heading(console, " TOTAL STEAM COMPOSITION");
            totalSteamScreens[form - 1](console, r.gasVolume, r.gasPerCondensate, r.gasTemperature, r.steamConc,
                                        r.condensatePh, r.condensatePhTemperature, r.condensateConc);
            break;
        case 6:
        case 7:
            heading(console, " DRY GAS COMPOSITION");
            askgs1(console, r.gasVolume, r.gasPerCondensate, r.gasTemperature, r.steamConc);
            heading(console, " CONDENSATE COMPOSITION");
            if (form == 6)
                askcd1(console, r.condensatePh, r.condensatePhTemperature, r.condensateConc);
            else
                askcd2(console, r.condensatePh, r.condensatePhTemperature, r.condensateConc);
            break;
        case 8:
        case 9:
            heading(console, " GAS AND STEAM COMPOSITION");
            (form == 8 ? askgs2 : askgs3)(console, r.gasVolume, r.gasPerCondensate, r.gasTemperature, r.steamConc,
                                          r.condensatePh, r.condensatePhTemperature, r.condensateConc);
            break;
        default:
            nostm(r.gasVolume, r.gasPerCondensate, r.gasTemperature, r.steamConc, r.condensatePh,
                  r.condensatePhTemperature, r.condensateConc);
            break;
    }
}

}  // namespace

void enterSample(Console& console, SampleRecord& r, BlockFile& file, TextBuffer& block) {
    console.write("\n\n\n\n SUNDRY DATA\n\n\n");
    askgen(console, r.sampleNumber, r.sampleLocation, r.samplingTemperature, r.samplingPressure, r.fluidEnthalpy,
           r.discharge);
    waterPhase(console, askMenu(console, waterMenu), r);
    steamPhase(console, askMenu(console, steamMenu), r);
    outfil(file, r, block);
}

}  // namespace zelk
