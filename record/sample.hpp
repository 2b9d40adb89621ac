// The sample record: everything known of one sample, in the units the output file carries.
#pragma once

#include <array>

#include "base/field.hpp"

namespace zelk {

// Values indexed from 1: by component number for the concentration arrays, so that
// waterConc[1] is CO2 and waterConc[10] is Na, as the component table numbers them.
template <std::size_t N>
struct Indexed {
    std::array<float, N> values{};
    float& operator[](int number) { return values[static_cast<std::size_t>(number - 1)]; }
    const float& operator[](int number) const { return values[static_cast<std::size_t>(number - 1)]; }
    static constexpr int size() { return static_cast<int>(N); }
};

using WaterConc = Indexed<18>;      // mg/kg, by component number 1..18
using GasVolume = Indexed<7>;       // volume-%, components 1..7
using SteamConc = Indexed<3>;       // mg/kg of total steam: CO2, H2S, NH3
using CondensateConc = Indexed<4>;  // mg/kg: CO2, H2S, NH3, Na (positions 1..4)

struct SampleRecord {
    FixedText<16> sampleNumber{};
    FixedText<60> sampleLocation{};
    float samplingTemperature = 0;  // °C
    float samplingPressure = 0;     // bar-g
    float fluidEnthalpy = 0;        // kJ/kg
    float discharge = 0;            // kg/s
    float waterPh = 0;
    float waterPhTemperature = 0;  // °C
    float totalSolids = 0;         // mg/kg
    WaterConc waterConc;
    GasVolume gasVolume;
    float gasPerCondensate = 0;  // litres of gas per kg
    float gasTemperature = 0;    // °C
    SteamConc steamConc;
    float condensatePh = 0;
    float condensatePhTemperature = 0;  // °C
    CondensateConc condensateConc;
};

// Clears the steam phase of a sample that has none.
void nostm(GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature, SteamConc& steamConc,
           float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc);

}  // namespace zelk
