// The correction screen: every data-entry screen asks its items once, lists them numbered,
// and lets the user re-enter any of them by number until the correction question gets RETURN.
// A screen is a table of items plus the few things in which it differs from the others.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "dialogue/console.hpp"
#include "base/field.hpp"
#include "base/function_ref.hpp"

namespace zelk {

// How a text item is listed: whole (an A field), or in exactly width characters (an Aw field).
struct TextList {
    bool whole = true;
    int width = 0;
};

// How a number item is listed: an Fw.d field.
struct NumberList {
    int width = 0;
    int decimals = 0;
};

constexpr TextList listA() { return {true, 0}; }
constexpr TextList listAw(int width) { return {false, width}; }
constexpr NumberList listF(int width, int decimals) { return {width, decimals}; }

// A text item: read as an A field of its length into text, listed by list.
struct TextField {
    char* text;
    std::size_t length;
    TextList list;
};

// A number typed in m-mole of a component and stored in mg: per kg, or, with a density in
// kg/l, typed per litre of water and stored per kg of it.
struct StoredInMg {
    float* mg = nullptr;  // none: the number is stored as typed
    int component = 0;
    const float* density = nullptr;
};

// A number item: read as an F15.0 field into value and listed from it by list, and, where
// it is typed in m-mole, stored converted.
struct NumberField {
    float* value;
    NumberList list;
    StoredInMg stored;
    bool isDensity = false;  // the numbers stored with it are stored anew when it changes
};

// One item: its label, the text or number it is read into, how it is listed.
struct Item {
    Item(std::string_view label, TextField text) : label(label), field(text) {}
    Item(std::string_view label, NumberField number, std::string_view headLine = {})
        : label(label), field(number), headLine(headLine) {}

    // The same item, with work done after every good read of it (whether in the first pass);
    // a number typed in m-mole is converted after that work.
    Item withAfterRead(FunctionRef<void(bool firstPass)> work) const {
        Item item = *this;
        item.afterRead = work;
        return item;
    }

    std::string_view label;  // after six blanks in the prompt, after "nnn : " in the list
    std::variant<TextField, NumberField> field;
    std::string_view headLine;  // a whole line above the label, for items that take two lines
    FunctionRef<void(bool)> afterRead;
};

template <std::size_t L>
Item textItem(std::string_view label, FixedText<L>& target, TextList list) {
    return {label, TextField{target.data(), L, list}};
}

inline Item realItem(std::string_view label, float& target, NumberList list, std::string_view headLine = {}) {
    return {label, NumberField{&target, list, {}}, headLine};
}

// A number typed in m-mole of component and listed as typed, stored as mg into mg (divided
// by *density where one is given).
inline Item mmolItem(std::string_view label, float& typed, NumberList list, float& mg, int component,
                     const float* density = nullptr) {
    return {label, NumberField{&typed, list, {&mg, component, density}}};
}

// The density in kg/l of the numbers typed per litre of water (mmolItem's density).
inline Item densityItem(std::string_view label, float& density, NumberList list) {
    return {label, NumberField{&density, list, {}, true}};
}

// A screen's items: N made by item(0) to item(N - 1), then the others.
template <std::size_t N, typename Make, typename... Others>
std::array<Item, N + sizeof...(Others)> makeItems(Make item, Others... others) {
    return [&]<std::size_t... k>(std::index_sequence<k...>) {
        return std::array<Item, N + sizeof...(Others)>{item(k)..., others...};
    }(std::make_index_sequence<N>{});
}

struct ScreenShape {
    std::span<const Item> items;
    int listLead = 0;            // empty lines before each item list
    int reentryLead = 1;         // empty lines before a re-entry prompt
    int passLead = 0;            // empty lines at the start of every correction pass
    int passLimit = 0;           // correction passes allowed in a row; 0 for no limit
    std::span<const int> firstPassOrder;  // item numbers as the first pass asks them, if not 1..N
    FunctionRef<void()> startFirstPass;          // at every start of the first pass, restarts included
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
