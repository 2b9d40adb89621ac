// The component table and the m-mole to mg conversion that every converting screen uses.
#include "record/components.hpp"

#include "base/field.hpp"

namespace zelk {

namespace {

constexpr std::string_view namcom[componentCount] = {
    "CO2      ", "H2S      ", "NH3      ", "H2       ", "O2       ", "CH4      ",
    "N2       ", "B        ", "SiO2     ", "Na       ", "K        ", "Mg       ",
    "Ca       ", "F        ", "Cl       ", "SO4      ", "Al       ", "Fe       ",
};

constexpr float wt[componentCount] = {
    44010.0f, 34080.0f, 17030.0f, 2020.0f,  32000.0f, 16040.0f, 28010.0f, 10810.0f, 60090.0f,
    22990.0f, 39100.0f, 24310.0f, 40080.0f, 19000.0f, 35450.0f, 96060.0f, 26980.0f, 55850.0f,
};

}  // namespace

std::string_view nam(int i) { return namcom[i - 1]; }

float w(int i) { return wt[i - 1]; }

float mmolToMg(int i, float amount, float density) {
    return toSingle(static_cast<double>(w(i)) * static_cast<double>(amount) * static_cast<double>(0.001f) /
                    static_cast<double>(density));
}

}  // namespace zelk
