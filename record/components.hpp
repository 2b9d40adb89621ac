// The component table: the eighteen components by number, their names and molar weights.
#pragma once

#include <string_view>

namespace zelk {

constexpr int componentCount = 18;

// Name of component i (1..18): 9 characters, trailing blanks included.
std::string_view nam(int i);
// Molar weight of component i (1..18) in mg per mole.
float w(int i);

// m-mole to mg of component i, rounded once to the float held: w(i) times the amount times
// the float 0.001, in double; then divided by the density (kg/l) for an amount typed per
// litre of water and held per kg.
float mmolToMg(int i, float amount, float density = 1.0f);

}  // namespace zelk
