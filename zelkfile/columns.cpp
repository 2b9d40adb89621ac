// The table's columns and the screens that ask them.
#include "zelkfile/columns.hpp"

#include <algorithm>

namespace zelk::workbench {

namespace {

constexpr Column text(std::string_view name, int width) { return {name, ColumnKind::text, width}; }
constexpr Column number(std::string_view name) { return {name, ColumnKind::number}; }
// A column that holds a block field as it is, by the field's name.
constexpr Column number(Field field) { return {nameOf(field), ColumnKind::number, 0, static_cast<int>(field)}; }

}  // namespace

const std::array<Column, columnCount> columns = {{
    text("sample_number", 16), text("sample_location", 60), number(Field::samplingTemperature),
    number(Field::samplingPressure), number(Field::fluidEnthalpy), number(Field::discharge),
    {"water_unit", ColumnKind::waterUnit}, number("water_density"),
    number(Field::waterCO2), number(Field::waterH2S), number(Field::waterNH3), number(Field::waterB),
    number(Field::waterSiO2), number(Field::waterNa), number(Field::waterK), number(Field::waterMg),
    number(Field::waterCa), number(Field::waterF), number(Field::waterCl), number(Field::waterSO4),
    number(Field::waterAl), number(Field::waterFe), number(Field::totalSolids), number(Field::waterPh),
    number(Field::waterPhTemperature),
    {"steam_form", ColumnKind::steamForm},
    // The total steam's H2, O2, CH4, N2 and H2O are converted into the gas fields.
    number(Field::steamCO2), number(Field::steamH2S), number(Field::steamNH3), number("steam_H2"), number("steam_O2"),
    number("steam_CH4"), number("steam_N2"), number("steam_H2O"),
    number(Field::gasCO2), number(Field::gasH2S), number(Field::gasNH3), number(Field::gasH2), number(Field::gasO2),
    number(Field::gasCH4), number(Field::gasN2), number(Field::gasPerCondensate), number(Field::gasTemperature),
    number(Field::condensatePh), number(Field::condensatePhTemperature), number(Field::condensateCO2),
    number(Field::condensateH2S), number(Field::condensateNH3), number(Field::condensateNa),
}};

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

// The letters to change, add or drop to make one name of the other, case aside.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::optional<int> columnOf(Field field) {
    const auto found = std::find_if(columns.begin(), columns.end(),
                                    [&](const Column& c) { return c.field == static_cast<int>(field); });
    if (found == columns.end()) return std::nullopt;
    return static_cast<int>(found - columns.begin());
}

std::optional<int> findColumn(std::string_view name) {
    const auto found =
        std::find_if(columns.begin(), columns.end(), [&](const Column& c) { return sameLetters(c.name, name); });
    if (found == columns.end()) return std::nullopt;
    return static_cast<int>(found - columns.begin());
}

std::vector<std::string_view> closestColumns(std::string_view name) {
    std::vector<std::string_view> found;
    for (const Column& column : columns) {
        const std::size_t underscore = column.name.find('_');
        if (underscore != std::string_view::npos && sameLetters(column.name.substr(underscore + 1), name))
            found.push_back(column.name);
    }
    // Each comparison takes the product of the lengths: a name far longer than any is near none.
    if (!found.empty() || name.size() > 64) return found;
    // Near enough to be a slip of the keyboard: two letters, or one in four of a long name.
    const std::size_t near = std::max<std::size_t>(2, name.size() / 4);
    std::size_t best = near;
    for (const Column& column : columns) {
        // The whole name, or the part after the phase (temperatur: sampling_temperature).
        const std::size_t underscore = column.name.find('_');
        const std::size_t distance =
            std::min(editDistance(name, column.name), editDistance(name, column.name.substr(underscore + 1)));
        if (distance > best) continue;
        if (distance < best) found.clear();
        best = distance;
        found.push_back(column.name);
    }
    return found;
}

namespace {

// Positions in `columns`, named for the screens below.
enum : int {
    sampleNumber, sampleLocation, samplingTemperature, samplingPressure, fluidEnthalpy, discharge,
    waterUnit, waterDensity,
    waterCO2, waterH2S, waterNH3, waterB, waterSiO2, waterNa, waterK, waterMg, waterCa, waterF, waterCl, waterSO4,
    waterAl, waterFe, totalSolids, waterPh, waterPhTemperature,
    steamForm,
    steamCO2, steamH2S, steamNH3, steamH2, steamO2, steamCH4, steamN2, steamH2O,
    gasCO2, gasH2S, gasNH3, gasH2, gasO2, gasCH4, gasN2, gasPerCondensate, gasTemperature,
    condensatePh, condensatePhTemperature, condensateCO2, condensateH2S, condensateNH3, condensateNa,
    end
};
static_assert(end == columnCount);

// Each screen's items in the order it asks them.
constexpr int sundry[] = {sampleNumber, sampleLocation, samplingTemperature, samplingPressure, fluidEnthalpy,
                          discharge};
constexpr int waterMgKg[] = {waterCO2, waterH2S, waterNH3, waterB,  waterSiO2, waterNa,     waterK,  waterMg,
                             waterCa,  waterF,   waterCl,  waterSO4, waterAl,  waterFe,     totalSolids, waterPh,
                             waterPhTemperature};
constexpr int waterMmol[] = {waterDensity, waterCO2, waterH2S, waterNH3, waterB,      waterSiO2,
                             waterNa,      waterK,   waterMg,  waterCa,  waterF,      waterCl,
                             waterSO4,     waterAl,  waterFe,  totalSolids, waterPh, waterPhTemperature};
constexpr int totalSteam[] = {steamCO2, steamH2S, steamNH3, steamH2, steamO2, steamCH4, steamN2, steamH2O};
constexpr int dryGas[] = {gasCO2, gasH2S, gasNH3, gasH2, gasO2, gasCH4, gasN2, gasPerCondensate, gasTemperature};
constexpr int residualGas[] = {steamCO2, steamH2S, steamNH3, gasH2, gasO2, gasCH4, gasN2, gasPerCondensate,
                               gasTemperature};
constexpr int condensate[] = {condensatePh, condensatePhTemperature, condensateCO2, condensateH2S, condensateNH3,
                              condensateNa};

}  // namespace

const int waterUnitColumn = waterUnit;
const int steamFormColumn = steamForm;

Screens screensOf(Menus menus) {
    Screens screens;
    screens.sundry = sundry;
    screens.water = menus.waterUnit == 2 ? std::span<const int>(waterMmol) : std::span<const int>(waterMgKg);
    switch (menus.steamForm) {
        case 1: case 2: case 3: screens.steam = std::span(totalSteam).first(7); break;
        case 4: case 5: screens.steam = totalSteam; break;
        case 6: case 7:
            screens.steam = dryGas;
            screens.condensate = condensate;
            break;
        case 8: case 9: screens.steam = residualGas; break;
        default: break;
    }
    return screens;
}

bool asks(Menus menus, int column) {
    // Looked up for every cell of every row, so worked out once for every unit and form.
    static const auto asked = [] {
        std::array<std::array<std::array<bool, columnCount>, 10>, 3> table{};
        for (int unit = 1; unit <= 2; ++unit)
            for (int form = 0; form <= 9; ++form) {
                auto& row = table[static_cast<std::size_t>(unit)][static_cast<std::size_t>(form)];
                row[waterUnit] = row[steamForm] = true;
                const Screens screens = screensOf({unit, form});
                for (std::span<const int> screen : {screens.sundry, screens.water, screens.steam, screens.condensate})
                    for (int c : screen) row[static_cast<std::size_t>(c)] = true;
            }
        return table;
    }();
    return asked[static_cast<std::size_t>(menus.waterUnit)][static_cast<std::size_t>(menus.steamForm)]
                [static_cast<std::size_t>(column)];
}

}  // namespace zelk::workbench
