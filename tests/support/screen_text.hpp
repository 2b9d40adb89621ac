// Test support: the console texts of a correction screen, built from its labels and from
// values written out as they should appear, so that expected bytes read like the screen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/harness.hpp"

namespace zelk::test {

// text right-justified in width characters.
inline std::string right(std::string_view text, std::size_t width) {
    std::string field(width > text.size() ? width - text.size() : 0, ' ');
    return field.append(text);
}

// A screen as the user sees it: its labels in item order, the empty lines before each list
// and the width of the list's value field.
struct ScreenText {
    std::vector<std::string> labels;
    int listLead = 3;
    std::size_t valueWidth = 15;

    // The prompts of the given items (numbered from 1), one after another.
    std::string prompts(const std::vector<int>& numbers) const {
        std::string text;
        for (int number : numbers) text += itemPrompt(labels[static_cast<std::size_t>(number - 1)]);
        return text;
    }
    // The prompts of every item in item order.
    std::string prompts() const {
        std::string text;
        for (const std::string& label : labels) text += itemPrompt(label);
        return text;
    }
    // The item list with the values as shown, then the correction question.
    std::string list(const std::vector<std::string>& shown) const {
        std::string text = emptyLines(listLead);
        for (std::size_t k = 0; k < labels.size(); ++k)
            text.append(right(std::to_string(k + 1), 3))
                .append(" : ")
                .append(labels[k])
                .append(right(shown[k], valueWidth))
                .append("\n");
        return text + correctionQuestion();
    }
    // A re-entry of the item, which the list then shows as shownNow, and that list; shown is
    // updated, so that corrections can follow one another.
    std::string corrected(std::vector<std::string>& shown, int number, const std::string& shownNow) const {
        shown[static_cast<std::size_t>(number - 1)] = shownNow;
        return reentry(number) + list(shown);
    }
    // The prompt of a re-entered item.
    std::string reentry(int number) const {
        return std::string("\n").append(itemPrompt(labels[static_cast<std::size_t>(number - 1)]));
    }
};

// The labels after the steam or dry gas items of the gas screens: the residual gases, the
// gas ratio and the gas temperature.
inline const std::vector<std::string> residualGasLabels = {
    "H2  in gas (volume %)      :  ",
    "O2  in gas (volume %)      :  ",
    "CH4 in gas (volume %)      :  ",
    "N2  in gas (volume %)      :  ",
    "Liters gas/kg condensate   :  ",
    "Gas temperature (\xB0" "C)       :  ",
};

// The value texts of a list where every item shows the same.
inline std::vector<std::string> repeated(std::size_t count, const std::string& shown) {
    return std::vector<std::string>(count, shown);
}

}  // namespace zelk::test
