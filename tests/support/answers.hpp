// Test support: answer files of many samples in mixed forms, with what is known of where each
// sample ends, for the tests that cut a run short; and a check that a file is whole blocks.
#pragma once

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::test {

// What is known of one sample of a generated answer file.
struct PlannedSample {
    int steamForm = 0;       // 0 for no steam phase
    int lastLine = 0;        // 1-based number of the answer line that completes the sample
    int questionsAfter = 0;  // correction questions asked from the start up to its last answer
    int steamMenusAfter = 0; // showings of the steam-data form menu up to its last answer
};

struct AnswerPlan {
    std::vector<std::string> lines;  // without line feeds
    std::vector<PlannedSample> samples;

    // The first `count` answers, each ended by a line feed.
    std::string text(std::size_t count) const {
        std::string joined;
        for (std::size_t i = 0; i < std::min(count, lines.size()); ++i) joined += lines[i] + "\n";
        return joined;
    }
    std::string text() const { return text(lines.size()); }

    // How many samples are complete once the first `count` answers have been read.
    int finishedAfter(int count) const {
        return static_cast<int>(std::count_if(samples.begin(), samples.end(),
                                              [&](const PlannedSample& s) { return s.lastLine <= count; }));
    }
};

// The steam forms (0 for no steam phase) and water units the program has screens for.
inline const std::vector<int>& steamForms() {
    static const std::vector<int> forms = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    return forms;
}
inline const std::vector<int>& waterUnits() {
    static const std::vector<int> units = {1, 2};
    return units;
}

// S1, S2, ...
inline std::string sampleName(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "S%d", k);
    return name;
}

class AnswerWriter {
public:
    explicit AnswerWriter(std::mt19937_64& random) : random_(random) {}

    AnswerPlan plan(int count, const std::vector<int>& forms, const std::vector<int>& units) {
        plan_.lines.push_back(pick({"", "kavix.in"}));
        for (int k = 1; k <= count; ++k) {
            if (k > 1) plan_.lines.push_back(pick({"y", "Y", "yes"}));
            sample(k, forms[below(forms.size())], units[below(units.size())]);
        }
        return plan_;
    }

private:
    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    std::string pick(std::initializer_list<const char*> choices) { return *(choices.begin() + below(choices.size())); }
    std::string number() {
        return std::to_string(below(1000)) + "." + std::to_string(below(100));
    }
    void add(const std::string& line) { plan_.lines.push_back(line); }

    // The correction question: RETURN at once, after a re-entry, or after an input error.
    void corrections(int item, const std::string& value) {
        ++questions_;
        switch (below(3)) {
            case 0: break;
            case 1: add(std::to_string(item)), add(value), ++questions_; break;
            default: add("x"), ++questions_; break;
        }
        add("");
    }

    // A screen of numbers; now and then a first pass broken off by an input error. The
    // density of the water screen in m-mole/l comes first in every pass.
    void numbers(int count, bool density = false) {
        if (below(5) == 0) {
            if (density) add(pick({"", "0.95"}));
            for (std::size_t i = below(static_cast<std::size_t>(count)); i > 0; --i) add(number());
            add("1x");
        }
        if (density) add(pick({"", "0.95"}));
        for (int i = 0; i < count; ++i) add(number());
        corrections(1 + static_cast<int>(below(static_cast<std::size_t>(count))), number());
    }

    // A menu answer, now and then after an input error that shows the menu again.
    int menu(const std::string& answer) {
        const bool error = below(6) == 0;
        if (error) add(pick({"x", "1.5"}));
        add(answer);
        return error ? 2 : 1;
    }

    void sample(int k, int form, int unit) {
        const std::string name = sampleName(k);
        add(name);
        add("location of sample " + name);
        for (int i = 0; i < 4; ++i) add(number());
        corrections(1, name);
        if (unit == 2) {
            menu("2");
            numbers(17, true);
        } else {
            menu(pick({"", "1"}));
            numbers(17);
        }
        steamMenus_ += menu(form == 0 ? pick({"", "0", "10"}) : std::to_string(form));
        if (form >= 1 && form <= 3) numbers(7);
        if (form == 4 || form == 5) numbers(8);
        if (form == 6 || form == 7) numbers(9), numbers(6);
        if (form == 8 || form == 9) numbers(9);
        plan_.samples.push_back({form, static_cast<int>(plan_.lines.size()), questions_, steamMenus_});
    }

    std::mt19937_64& random_;
    AnswerPlan plan_;
    int questions_ = 0;
    int steamMenus_ = 0;
};

// Answers for `count` samples named S1, S2, ... in forms drawn from `forms` with water units
// drawn from `units`, some with a correction or an input error on the way. The answers end
// with the last sample, before the another-sample question is answered.
inline AnswerPlan planAnswers(int count, const std::vector<int>& forms, const std::vector<int>& units,
                              std::mt19937_64& random) {
    return AnswerWriter(random).plan(count, forms, units);
}

// The number of whole blocks in an output file whose k-th block is sample Sk, or -1 with the
// reason in why when the file is anything else.
inline int wholeBlocks(const std::string& file, std::string& why) {
    static const std::string_view labels[11] = {
        "< Sample number><       Sample location or other description               >",
        "<Temperature \xB0" "C><Pressure bar-g><Enthalpy kJ/kg><Discharge kg/s>",
        "<Water phase pH><  pH temp. \xB0" "C >< CO2 in water >< H2S in water >",
        "< NH3 in water >< H2  in water >< O2  in water >< CH4 in water >< N2  in water >",
        "<SiO2 in water ><  B  in water ><  Al in water ><  Fe in water >",
        "<  Na in water ><  K  in water ><  Mg in water ><  Ca in water >",
        "<  F  in water ><  Cl in water >< SO4 in water >< TDS in water >",
        "<Gas CO2, vol %><Gas H2S, vol %><Gas NH3, vol %><Gas H2,  vol %><Gas O2,  vol %>",
        "<Gas CH4, vol %><Gas N2,  vol %><L gas/kg cond.><Gas  coll.  \xB0" "C>",
        "<  Steam  CO2  ><  Steam  H2S  ><  Steam  NH3  ><Condensate  pH><Cd. pH temp.\xB0" "C>",
        "<Condensate CO2><Condensate H2S><Condensate NH3><Condensate Na >",
    };
    if (file.empty()) return 0;
    if (file.back() != '\n') return why = "the file of " + std::to_string(file.size()) + " bytes does not end with a line feed", -1;
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < file.size();) {
        const std::size_t feed = file.find('\n', at);
        lines.emplace_back(file.data() + at, feed - at);
        at = feed + 1;
    }
    if (lines.size() % 34 != 0) return why = std::to_string(lines.size()) + " lines, not whole blocks", -1;
    for (std::size_t b = 0; b < lines.size() / 34; ++b) {
        const std::string_view* line = lines.data() + 34 * b;
        const std::string at = "block " + std::to_string(b + 1) + ": ";
        if (line[0] != "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.")
            return why = at + "no title line", -1;
        std::string number = sampleName(static_cast<int>(b + 1));
        number.resize(16, ' ');
        if (line[3].size() != 76 || line[3].substr(0, 16) != number) return why = at + "not sample " + number, -1;
        for (int k = 0; k < 11; ++k) {
            if (!line[1 + 3 * k].empty()) return why = at + "no empty line above a label line", -1;
            if (line[2 + 3 * k] != labels[k]) return why = at + "a label line is not as written", -1;
            if (k == 0) continue;
            const std::string_view values = line[3 + 3 * k];
            const std::size_t fields = labels[k].size() / 16;
            if (values.size() != 16 * fields) return why = at + "a number line of the wrong length", -1;
            for (std::size_t f = 0; f < fields; ++f) {
                const std::string_view field = values.substr(16 * f, 16);
                const bool stars = field.find_first_not_of('*') == std::string_view::npos;
                const bool decimals = field[7] == '.' && field.find_first_not_of("0123456789", 8) == std::string_view::npos;
                const std::size_t digits = field.find_first_not_of(" -");
                if (!stars && !(decimals && digits < 7 && field.substr(digits, 7 - digits).find_first_not_of("0123456789") ==
                                                             std::string_view::npos))
                    return why = at + "a number field is not F16.8", -1;
            }
        }
    }
    return static_cast<int>(lines.size() / 34);
}

}  // namespace zelk::test
