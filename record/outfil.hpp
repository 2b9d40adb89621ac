// The output file's blocks: one of 34 lines per sample, and where they go.
#pragma once

#include <initializer_list>
#include <string_view>

#include "base/byte_io.hpp"
#include "base/text_buffer.hpp"
#include "record/sample.hpp"

namespace zelk {

constexpr int blockLines = 34;

// The block layout, shared by the writer and the reader: a title, the sample line under its
// labels, then ten lines of F16.8 numbers, each under its line of labels.
constexpr int numberWidth = 16;
constexpr int numberDecimals = 8;
constexpr std::string_view blockTitle =
    "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.";
constexpr std::string_view sampleLabels =
    "< Sample number><       Sample location or other description               >";

// The values that a number field of the block holds: a finite value outside them is written
// as asterisks and lost. Worked out once from the writer's own rendering of the field.
struct NumberFieldRange {
    float lowest;
    float highest;
};
const NumberFieldRange& numberFieldRange();

// Whether the value is written as digits (false for asterisks, inf and nan).
inline bool fitsNumberField(float value, const NumberFieldRange& range = numberFieldRange()) {
    return value >= range.lowest && value <= range.highest;
}

// Calls visit(labels, fields) for each number line in order; fields are pointers to the
// record's values, const when the record is.
template <typename Record, typename Visit>
void forEachNumberLine(Record& r, Visit&& visit) {
    using Fields = std::initializer_list<decltype(&r.discharge)>;
    visit(std::string_view("<Temperature \xB0" "C><Pressure bar-g><Enthalpy kJ/kg><Discharge kg/s>"),
          Fields{&r.samplingTemperature, &r.samplingPressure, &r.fluidEnthalpy, &r.discharge});
    visit(std::string_view("<Water phase pH><  pH temp. \xB0" "C >< CO2 in water >< H2S in water >"),
          Fields{&r.waterPh, &r.waterPhTemperature, &r.waterConc[1], &r.waterConc[2]});
    visit(std::string_view("< NH3 in water >< H2  in water >< O2  in water >< CH4 in water >< N2  in water >"),
          Fields{&r.waterConc[3], &r.waterConc[4], &r.waterConc[5], &r.waterConc[6], &r.waterConc[7]});
    visit(std::string_view("<SiO2 in water ><  B  in water ><  Al in water ><  Fe in water >"),
          Fields{&r.waterConc[9], &r.waterConc[8], &r.waterConc[17], &r.waterConc[18]});
    visit(std::string_view("<  Na in water ><  K  in water ><  Mg in water ><  Ca in water >"),
          Fields{&r.waterConc[10], &r.waterConc[11], &r.waterConc[12], &r.waterConc[13]});
    visit(std::string_view("<  F  in water ><  Cl in water >< SO4 in water >< TDS in water >"),
          Fields{&r.waterConc[14], &r.waterConc[15], &r.waterConc[16], &r.totalSolids});
    visit(std::string_view("<Gas CO2, vol %><Gas H2S, vol %><Gas NH3, vol %><Gas H2,  vol %><Gas O2,  vol %>"),
          Fields{&r.gasVolume[1], &r.gasVolume[2], &r.gasVolume[3], &r.gasVolume[4], &r.gasVolume[5]});
    visit(std::string_view("<Gas CH4, vol %><Gas N2,  vol %><L gas/kg cond.><Gas  coll.  \xB0" "C>"),
          Fields{&r.gasVolume[6], &r.gasVolume[7], &r.gasPerCondensate, &r.gasTemperature});
    visit(std::string_view("<  Steam  CO2  ><  Steam  H2S  ><  Steam  NH3  ><Condensate  pH><Cd. pH temp.\xB0" "C>"),
          Fields{&r.steamConc[1], &r.steamConc[2], &r.steamConc[3], &r.condensatePh, &r.condensatePhTemperature});
    visit(std::string_view("<Condensate CO2><Condensate H2S><Condensate NH3><Condensate Na >"),
          Fields{&r.condensateConc[1], &r.condensateConc[2], &r.condensateConc[3], &r.condensateConc[4]});
}

// Where finished blocks go. Each block arrives whole, in one call.
class BlockFile {
public:
    virtual ~BlockFile() = default;
    virtual void append(std::string_view block) = 0;
    // Ends the writing: the blocks are on the disk, or failed() says that some are not.
    virtual void finish() {}
    // True once any block failed to reach the file.
    virtual bool failed() const = 0;
};

// Appends the block of the record to out.
void formatBlock(TextBuffer& out, const SampleRecord& record);

// Writes the record's block to the file; scratch is reused between samples.
void outfil(BlockFile& file, const SampleRecord& record, TextBuffer& scratch);

}  // namespace zelk
