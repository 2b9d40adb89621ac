// The columns of a lab's table: each one answer of the dialogue, and which water unit and
// steam form ask it, in the order of the screens.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "record/fields.hpp"

namespace zelk::workbench {

enum class ColumnKind {
    text,       // read as an A field of `width` characters
    number,     // read as an F15.0 field
    waterUnit,  // the answer to the water-data unit menu
    steamForm,  // the answer to the steam-data form menu
};

struct Column {
    std::string_view name;
    ColumnKind kind;
    int width = 0;   // of a text
    int field = -1;  // the block field (a Field) that holds the answer as it is, if one does
};

// Every column, in the order of the template's header row.
constexpr int columnCount = 49;
extern const std::array<Column, columnCount> columns;

// The column that holds the block field as it is, if any.
std::optional<int> columnOf(Field field);

// The column of that name, upper and lower case alike.
std::optional<int> findColumn(std::string_view name);

// The columns a name that is none was most likely meant to be, for a hint: those whose name
// ends in it after the first "_" (SiO2: water_SiO2), else the nearest by the number of
// letters to change, add or drop (to the whole name or to what follows its first "_"), where
// that is small beside the name. Empty when none is near.
std::vector<std::string_view> closestColumns(std::string_view name);

// What the sample's menus were answered: water unit 1 or 2, steam form 0 (none) to 9.
struct Menus {
    int waterUnit = 1;
    int steamForm = 0;
};

// The columns that one screen asks, in the order it asks them (an empty span for a form
// without that screen).
struct Screens {
    std::span<const int> sundry;
    std::span<const int> water;
    std::span<const int> steam;       // the total-steam, dry gas or residual gas screen
    std::span<const int> condensate;  // forms 6 and 7
};
Screens screensOf(Menus menus);

// Whether the sample's screens ask the column.
bool asks(Menus menus, int column);

// The columns of the menus themselves.
extern const int waterUnitColumn;
extern const int steamFormColumn;

}  // namespace zelk::workbench
