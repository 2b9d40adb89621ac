// The number fields of a block: one table of each field's id, name, unit and place in the
// sample record, in the order the block holds them. The reader's names, the workbench's
// columns, its export, import and report all take the fields from here.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "record/sample.hpp"

namespace zelk {

enum class Field : int {
    samplingTemperature, samplingPressure, fluidEnthalpy, discharge, waterPh, waterPhTemperature,
    waterCO2, waterH2S, waterNH3, waterH2, waterO2, waterCH4,
    waterN2, waterSiO2, waterB, waterAl, waterFe, waterNa,
    waterK, waterMg, waterCa, waterF, waterCl, waterSO4,
    totalSolids, gasCO2, gasH2S, gasNH3, gasH2, gasO2,
    gasCH4, gasN2, gasPerCondensate, gasTemperature, steamCO2, steamH2S,
    steamNH3, condensatePh, condensatePhTemperature, condensateCO2, condensateH2S, condensateNH3,
    condensateNa,
    count
};

struct BlockField {
    Field id;
    // As the workbench's table names its column; H2, O2, CH4 and N2 in water have no column
    // (no answer sets them), but keep the names for messages.
    std::string_view name;
    std::string_view unit;  // as a person reads it ("" for a pH)
    float& (*member)(SampleRecord&);
};

constexpr int blockFieldCount = static_cast<int>(Field::count);

inline constexpr std::array<BlockField, blockFieldCount> blockFieldTable = {{
    {Field::samplingTemperature, "sampling_temperature", "degrees C", [](SampleRecord& r) -> float& { return r.samplingTemperature; }},
    {Field::samplingPressure, "sampling_pressure", "bar-g", [](SampleRecord& r) -> float& { return r.samplingPressure; }},
    {Field::fluidEnthalpy, "fluid_enthalpy", "kJ/kg", [](SampleRecord& r) -> float& { return r.fluidEnthalpy; }},
    {Field::discharge, "discharge", "kg/s", [](SampleRecord& r) -> float& { return r.discharge; }},
    {Field::waterPh, "water_pH", "", [](SampleRecord& r) -> float& { return r.waterPh; }},
    {Field::waterPhTemperature, "water_pH_temperature", "degrees C", [](SampleRecord& r) -> float& { return r.waterPhTemperature; }},
    {Field::waterCO2, "water_CO2", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[1]; }},
    {Field::waterH2S, "water_H2S", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[2]; }},
    {Field::waterNH3, "water_NH3", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[3]; }},
    {Field::waterH2, "water_H2", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[4]; }},
    {Field::waterO2, "water_O2", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[5]; }},
    {Field::waterCH4, "water_CH4", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[6]; }},
    {Field::waterN2, "water_N2", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[7]; }},
    {Field::waterSiO2, "water_SiO2", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[9]; }},
    {Field::waterB, "water_B", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[8]; }},
    {Field::waterAl, "water_Al", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[17]; }},
    {Field::waterFe, "water_Fe", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[18]; }},
    {Field::waterNa, "water_Na", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[10]; }},
    {Field::waterK, "water_K", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[11]; }},
    {Field::waterMg, "water_Mg", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[12]; }},
    {Field::waterCa, "water_Ca", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[13]; }},
    {Field::waterF, "water_F", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[14]; }},
    {Field::waterCl, "water_Cl", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[15]; }},
    {Field::waterSO4, "water_SO4", "mg/kg", [](SampleRecord& r) -> float& { return r.waterConc[16]; }},
    {Field::totalSolids, "total_solids", "mg/kg", [](SampleRecord& r) -> float& { return r.totalSolids; }},
    {Field::gasCO2, "gas_CO2", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[1]; }},
    {Field::gasH2S, "gas_H2S", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[2]; }},
    {Field::gasNH3, "gas_NH3", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[3]; }},
    {Field::gasH2, "gas_H2", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[4]; }},
    {Field::gasO2, "gas_O2", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[5]; }},
    {Field::gasCH4, "gas_CH4", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[6]; }},
    {Field::gasN2, "gas_N2", "volume-%", [](SampleRecord& r) -> float& { return r.gasVolume[7]; }},
    {Field::gasPerCondensate, "gas_per_condensate", "litres of gas per kg of condensate", [](SampleRecord& r) -> float& { return r.gasPerCondensate; }},
    {Field::gasTemperature, "gas_temperature", "degrees C", [](SampleRecord& r) -> float& { return r.gasTemperature; }},
    {Field::steamCO2, "steam_CO2", "mg/kg", [](SampleRecord& r) -> float& { return r.steamConc[1]; }},
    {Field::steamH2S, "steam_H2S", "mg/kg", [](SampleRecord& r) -> float& { return r.steamConc[2]; }},
    {Field::steamNH3, "steam_NH3", "mg/kg", [](SampleRecord& r) -> float& { return r.steamConc[3]; }},
    {Field::condensatePh, "condensate_pH", "", [](SampleRecord& r) -> float& { return r.condensatePh; }},
    {Field::condensatePhTemperature, "condensate_pH_temperature", "degrees C", [](SampleRecord& r) -> float& { return r.condensatePhTemperature; }},
    {Field::condensateCO2, "condensate_CO2", "mg/kg", [](SampleRecord& r) -> float& { return r.condensateConc[1]; }},
    {Field::condensateH2S, "condensate_H2S", "mg/kg", [](SampleRecord& r) -> float& { return r.condensateConc[2]; }},
    {Field::condensateNH3, "condensate_NH3", "mg/kg", [](SampleRecord& r) -> float& { return r.condensateConc[3]; }},
    {Field::condensateNa, "condensate_Na", "mg/kg", [](SampleRecord& r) -> float& { return r.condensateConc[4]; }},
}};

// A row out of place, or one more or fewer than Field counts, stops the build.
static_assert([] {
    for (std::size_t i = 0; i < blockFieldTable.size(); ++i)
        if (static_cast<std::size_t>(blockFieldTable[i].id) != i) return false;
    return true;
}());

constexpr const BlockField& blockField(Field id) { return blockFieldTable[static_cast<std::size_t>(id)]; }
constexpr std::string_view nameOf(Field id) { return blockField(id).name; }

}  // namespace zelk
