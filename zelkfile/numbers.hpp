// Numbers in table cells: how a cell becomes the value a typed answer would give, and the
// shortest text that gives a value back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk::workbench {

// The value of a number cell: an optional sign, digits with at most one decimal mark, and an
// optional exponent (e or E, an optional sign, digits), with blanks around it; the nearest
// double, then the nearest float, as a typed answer gives, however many digits it has. The
// decimal mark is a point, or also a comma when decimalComma is set. An empty cell, or one of
// blanks, is 0. nullopt when the cell is not a number.
std::optional<float> readCell(std::string_view cell, bool decimalComma);

// The shortest text that readCell and the F15.0 reader both read back to exactly value (its
// bits; a negative zero keeps its sign): "7.3", not "7.30000019"; "1e39" and "-1e39" for the
// infinities. At most 15 characters. nullopt for a NaN, which no answer gives.
std::optional<std::string> shortestText(float value);

}  // namespace zelk::workbench
