// Test support for the workbench: its verbs run in memory, and the dialogue run in memory on
// the same answers, for comparing their files.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <memory>
#include <string>
#include <vector>

#include "dialogue/zelk.hpp"
#include "support/harness.hpp"
#include "zelkfile/columns.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::test {

struct VerbRun {
    int status = -1;
    std::string out;
    std::string err;
};

// What an import said besides its warnings and the line that tells how many samples it
// wrote to which file: the errors, which a good table has none of.
inline std::string importErrors(const std::string& err) {
    std::string errors;
    for (std::size_t at = 0; at < err.size();) {
        const std::size_t end = std::min(err.find('\n', at), err.size() - 1) + 1;
        const std::string line = err.substr(at, end - at);
        const bool written = line.starts_with("zelkfile: ") && line.find(" written to \"") != std::string::npos &&
                             line.find(" not written") == std::string::npos;
        if (line.find(": warning: ") == std::string::npos && !written) errors += line;
        at = end;
    }
    return errors;
}

inline VerbRun runVerb(workbench::Verb verb, const std::vector<std::string>& arguments) {
    std::vector<std::string_view> words(arguments.begin(), arguments.end());
    StringSink out, err;
    VerbRun run;
    const SignalMaskKept mask;
    run.status = verb(words, out, err);
    run.out = out.bytes();
    run.err = err.bytes();
    return run;
}

// The output file that the dialogue writes for the answers (which answer the file prompt
// first), and the run's exit status.
inline std::string dialogueFile(const std::string& answers, int* status = nullptr) {
    std::string file;
    StringSource source(answers);
    StringSink screen, errors;
    Console console(source, screen);
    const int result = exitStatus(runZelk(console, errors, [&](const std::string&) -> std::unique_ptr<BlockFile> {
        return std::make_unique<MemoryBlocks>(file);
    }));
    if (status) *status = result;
    return file;
}

// One sample as a chemist answers it: the menus, and the text typed for each column asked.
struct Sample {
    int unit = 1;
    int form = 0;
    std::map<std::string, std::string> typed;  // by column name
};

// The items of each screen in the order the screens ask them: what the chemist types.
inline const std::vector<std::string> sundry = {"sample_number",  "sample_location", "sampling_temperature",
                                         "sampling_pressure", "fluid_enthalpy", "discharge"};
inline const std::vector<std::string> water = {"water_CO2", "water_H2S", "water_NH3", "water_B",   "water_SiO2", "water_Na",
                                        "water_K",   "water_Mg",  "water_Ca",  "water_F",   "water_Cl",   "water_SO4",
                                        "water_Al",  "water_Fe",  "total_solids", "water_pH", "water_pH_temperature"};
inline const std::vector<std::string> totalSteam = {"steam_CO2", "steam_H2S", "steam_NH3", "steam_H2",
                                             "steam_O2",  "steam_CH4", "steam_N2",  "steam_H2O"};
inline const std::vector<std::string> dryGas = {"gas_CO2", "gas_H2S", "gas_NH3", "gas_H2", "gas_O2", "gas_CH4", "gas_N2",
                                         "gas_per_condensate", "gas_temperature"};
inline const std::vector<std::string> residualGas = {"steam_CO2", "steam_H2S", "steam_NH3", "gas_H2", "gas_O2", "gas_CH4",
                                              "gas_N2", "gas_per_condensate", "gas_temperature"};
inline const std::vector<std::string> condensate = {"condensate_pH",  "condensate_pH_temperature", "condensate_CO2",
                                             "condensate_H2S", "condensate_NH3",            "condensate_Na"};

inline std::vector<std::vector<std::string>> screensOf(int unit, int form) {
    std::vector<std::vector<std::string>> screens = {sundry};
    std::vector<std::string> waterItems = water;
    if (unit == 2) waterItems.insert(waterItems.begin(), "water_density");
    screens.push_back(waterItems);
    if (form >= 1 && form <= 3) screens.emplace_back(totalSteam.begin(), totalSteam.begin() + 7);
    if (form == 4 || form == 5) screens.push_back(totalSteam);
    if (form == 6 || form == 7) screens.push_back(dryGas), screens.push_back(condensate);
    if (form == 8 || form == 9) screens.push_back(residualGas);
    return screens;
}

// What the chemist types into the dialogue for the samples; an item not given is RETURN.
inline std::string typedAnswers(const std::vector<Sample>& samples) {
    std::string answers = "\n";  // the default output file
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const Sample& s = samples[k];
        if (k > 0) answers += "y\n";
        const auto screens = screensOf(s.unit, s.form);
        for (std::size_t i = 0; i < screens.size(); ++i) {
            if (i == 1) answers += std::to_string(s.unit) + "\n";
            if (i == 2) answers += std::to_string(s.form) + "\n";
            for (const std::string& item : screens[i]) answers += (s.typed.count(item) ? s.typed.at(item) : "") + "\n";
            answers += "\n";  // RETURN at the correction question
        }
        if (s.form == 0) answers += "\n";  // RETURN at the steam menu: no steam phase
    }
    return answers + "n\n";
}

// A CSV cell, quoted when it must be.
inline std::string cell(const std::string& text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\n', '\r', ' '}) == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The samples as a table with every column; the cells of columns not asked stay empty. A
// transform may rewrite each number cell (a decimal comma, say).
inline std::string table(const std::vector<Sample>& samples, char separator = ',',
                  std::string (*number)(const std::string&) = nullptr) {
    std::string text;
    for (const workbench::Column& column : workbench::columns) {
        if (!text.empty()) text += separator;
        text += column.name;
    }
    text += "\n";
    for (const Sample& s : samples) {
        std::string row;
        for (const workbench::Column& column : workbench::columns) {
            if (&column != &workbench::columns[0]) row += separator;
            const std::string name(column.name);
            std::string value;
            if (name == "water_unit") value = std::to_string(s.unit);
            else if (name == "steam_form") value = s.form == 0 ? "" : std::to_string(s.form);
            else if (s.typed.count(name)) value = s.typed.at(name);
            if (number && column.kind == workbench::ColumnKind::number) value = number(value);
            row += cell(value, separator);
        }
        text += row + "\n";
    }
    return text;
}

// Numbers as chemists type them: plain, signed, with exponents, blanks around, left empty;
// infinite values; texts with blanks, commas and quotes.
class SampleMaker {
public:
    explicit SampleMaker(std::uint64_t seed) : random_(seed) {}

    Sample make(int unit, int form, int k) {
        Sample s{unit, form, {}};
        for (const auto& screen : screensOf(unit, form))
            for (const std::string& item : screen) s.typed[item] = number();
        s.typed["sample_number"] = pick({" HS-" + std::to_string(k), "W" + std::to_string(k) + "/2002", ""});
        s.typed["sample_location"] = pick({"Well 12, \"east\" pad", "  spring by the road", "x", ""});
        if (unit == 2) s.typed["water_density"] = pick({"", "0.95", "1e-10", "-1"});
        if (form == 4 || form == 5) s.typed["steam_H2O"] = pick({"", "99.4", "-5"});
        return s;
    }

private:
    std::string pick(std::initializer_list<std::string> choices) {
        return *(choices.begin() + std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random_));
    }
    std::string number() {
        std::uniform_real_distribution<double> value(-2, 4);
        char text[32];
        const double v = std::pow(10.0, value(random_));
        switch (std::uniform_int_distribution<int>(0, 7)(random_)) {
            case 0: return "";
            case 1: return "0";
            case 2: std::snprintf(text, sizeof text, "%.4E", v); return text;
            case 3: std::snprintf(text, sizeof text, "-%.3f", v); return text;
            case 4: std::snprintf(text, sizeof text, "  %.2f ", v); return text;
            case 5: return pick({"1e39", "-1e39", "1e-50", "+7.3", ".5", "5."});
            default: std::snprintf(text, sizeof text, "%.6g", v); return text;
        }
    }
    std::mt19937_64 random_;
};

inline // Every water unit with every steam form, then all of them again in a scrambled order.
std::vector<Sample> everyUnitAndForm(std::uint64_t seed) {
    SampleMaker maker(seed);
    std::vector<Sample> samples;
    int k = 0;
    for (int form = 0; form <= 9; ++form)
        for (int unit = 1; unit <= 2; ++unit) samples.push_back(maker.make(unit, form, ++k));
    // The record is never cleared: forms after one another in a scrambled order too.
    std::mt19937_64 random(seed);
    std::vector<Sample> shuffled = samples;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    samples.insert(samples.end(), shuffled.begin(), shuffled.end());
    return samples;
}

}  // namespace zelk::test
