// The main program's dialogue: start-up, the per-sample loop with its menus, and the stop.
#include "dialogue/zelk.hpp"

#include <algorithm>

#include "dialogue/askgen.hpp"
#include "dialogue/correction_screen.hpp"
#include "dialogue/field.hpp"
#include "screens/gas/askgs1.hpp"
#include "screens/gas/condensate.hpp"
#include "screens/gas/residual_gas.hpp"
#include "screens/steam/askst.hpp"
#include "screens/water/askwa1.hpp"
#include "screens/water/askwa2.hpp"

namespace zelk {

namespace {

constexpr std::string_view banner =
    "\n\n\n MORVANTIS\n\n Program ZELK, version 1.2,  April 2002.\n\n"
    " Prompts the user for input data to the program KAVIX\n and writes it to the file KAVIX.IN\n\n\n"
    " Output file (default kavix.in)  : ";

constexpr std::string_view anotherSample =
    "\n\n Another sample?\n\n If so, type y,\n <RETURN> if no                  :  ";

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

// The output file's name: 30 characters as typed, the first 8 defaulted when all blank,
// trailing blanks dropped; leading blanks stay part of the name.
std::string outputFileName(Console& console) {
    FixedText<30> name;
    readA(console.readLine(), name);
    if (std::all_of(name.begin(), name.begin() + 8, [](char c) { return c == ' '; }))
        std::copy_n("kavix.in", 8, name.begin());
    std::size_t length = name.size();
    while (length > 0 && name[length - 1] == ' ') --length;
    return std::string(name.data(), length);
}

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

void sample(Console& console, SampleRecord& r) {
    console.write("\n\n\n\n SUNDRY DATA\n\n\n");
    askgen(console, r.sampleNumber, r.sampleLocation, r.samplingTemperature, r.samplingPressure, r.fluidEnthalpy,
           r.discharge);
    waterPhase(console, askMenu(console, waterMenu), r);
}

int dialogue(Console& console, OpenOutput openOutput) {
    console.prompt(banner);
    const std::unique_ptr<BlockFile> file = openOutput(outputFileName(console));

    SampleRecord record;
    TextBuffer block(2048);
    bool entered = false;
    for (;;) {
        if (entered) {
            console.prompt(anotherSample);
            FixedText<1> answer;
            readA(console.readLine(), answer);
            if (answer[0] != 'y' && answer[0] != 'Y') break;
        }
        sample(console, record);
        entered = true;
        steamPhase(console, askMenu(console, steamMenu), record);
        outfil(*file, record, block);
    }
    file->finish();
    return file->failed() ? writeFailed : finished;
}

}  // namespace

int runZelk(Console& console, ByteSink& errors, OpenOutput openOutput) {
    try {
        return dialogue(console, openOutput);
    } catch (const EndOfInput&) {
        console.flush();
        errors.write("zelk: end of file on standard input\n");
    } catch (const InputFailure& failure) {
        console.flush();
        errors.write(std::string("zelk: cannot read standard input: ") + failure.what() + "\n");
    } catch (const OutputFailure& failure) {
        console.flush();
        errors.write(std::string("zelk: ") + failure.what() + "\n");
    }
    return stopped;
}

}  // namespace zelk
