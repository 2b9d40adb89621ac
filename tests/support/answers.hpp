// Test support: answer files of many samples in mixed forms, with what is known of where each
// sample ends, for the tests that cut a run short; and a check that a file is whole blocks.
#pragma once

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "record/reader.hpp"

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
    const ReadBlocks read = readBlocks(file);
    if (read.fault) {
        why = "line " + std::to_string(read.fault->line) + ", column " + std::to_string(read.fault->column) + ": " +
              read.fault->message + " (a file of " + std::to_string(file.size()) + " bytes)";
        return -1;
    }
    for (std::size_t k = 0; k < read.records.size(); ++k) {
        std::string number = sampleName(static_cast<int>(k + 1));
        number.resize(16, ' ');
        if (std::string_view(read.records[k].sampleNumber.data(), 16) != number)
            return why = "block " + std::to_string(k + 1) + " is not sample " + number, -1;
    }
    return static_cast<int>(read.records.size());
}

}  // namespace zelk::test
