// The correction screen: every data-entry screen asks its items once, lists them numbered,
// and lets the user re-enter any of them by number until the correction question gets RETURN.
// A screen is a table of items plus the few things in which it differs from the others.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "dialogue/console.hpp"
#include "dialogue/field.hpp"
#include "dialogue/function_ref.hpp"

namespace zelk {

// How an item's value is shown in the item list.
struct ListField {
    enum Kind { Text, TextWidth, Real };
    Kind kind = Real;
    int width = 0;
    int digits = 0;
};

constexpr ListField listA() { return {ListField::Text, 0, 0}; }
constexpr ListField listAw(int w) { return {ListField::TextWidth, w, 0}; }
constexpr ListField listF(int w, int d) { return {ListField::Real, w, d}; }

// One item: its label, what it is read into, how it is listed.
struct Item {
    std::string_view label;      // after six blanks in the prompt, after "nnn : " in the list
    float* real = nullptr;       // read as an F15.0 field into this,
    char* text = nullptr;        // or as an A field of textLength characters into this
    std::size_t textLength = 0;
    ListField list;
    std::string_view headLine;  // a whole line above the label, for items that take two lines
};

inline Item realItem(std::string_view label, float& target, ListField list, std::string_view headLine = {}) {
    return {label, &target, nullptr, 0, list, headLine};
}

template <std::size_t L>
Item textItem(std::string_view label, FixedText<L>& target, ListField list) {
    return {label, nullptr, target.data(), L, list, {}};
}

struct ScreenShape {
    std::span<const Item> items;
    int listLead = 0;            // empty lines before each item list
    int reentryLead = 1;         // empty lines before a re-entry prompt
    int passLead = 0;            // empty lines at the start of every correction pass
    int passLimit = 0;           // correction passes allowed in a row; 0 for no limit
    std::span<const int> firstPassOrder;  // item numbers as the first pass asks them, if not 1..N
    FunctionRef<void()> startFirstPass;          // at every start of the first pass, restarts included
    FunctionRef<void(int, bool)> afterRead;      // item number read, and whether in the first pass
};

// Runs the screen to the answer that ends its correction question.
void runScreen(Console& console, const ScreenShape& shape);

// The one error message of every screen and menu: ring, say so, leave room.
void writeErrorMessage(Console& console);

// A component's label: the first nameWidth characters of its name, then the fixed text.
std::string componentLabel(int component, int nameWidth, std::string_view suffix);

// The labels of a screen's components, in its order; screens build them once and keep them.
template <std::size_t N>
std::array<std::string, N> componentLabels(const int (&components)[N], int nameWidth, std::string_view suffix) {
    std::array<std::string, N> labels;
    for (std::size_t k = 0; k < N; ++k) labels[k] = componentLabel(components[k], nameWidth, suffix);
    return labels;
}

// Writes the correction question and reads the item number; nullopt is an input error.
std::optional<int> askItemNumber(Console& console);

}  // namespace zelk
