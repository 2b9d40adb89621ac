// The component table, nostm, and the block layout of the output file.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "record/components.hpp"
#include "record/outfil.hpp"
#include "support/harness.hpp"

namespace zelk {
namespace {

TEST(Components, NamesAndWeights) {
    EXPECT_EQ(nam(1), "CO2      ");
    EXPECT_EQ(nam(9), "SiO2     ");
    EXPECT_EQ(nam(11), "K        ");
    EXPECT_EQ(nam(18), "Fe       ");
    EXPECT_EQ(w(4), 2020.0f);
    EXPECT_EQ(w(16), 96060.0f);
    EXPECT_EQ(w(10), 22990.0f);
    for (int i = 1; i <= componentCount; ++i) EXPECT_EQ(nam(i).size(), 9u);
}

TEST(Components, MmolToMgKeepsTheFloatFactor) {
    // 0.001 as a float is slightly above 0.001: 1 m-mole of CO2 is 44.0100021, not 44.01.
    EXPECT_EQ(static_cast<float>(mmolToMg(1, 1.0f)), 44.010002f);
    EXPECT_NE(static_cast<float>(mmolToMg(1, 1.0f)), 44.01f);
    EXPECT_EQ(static_cast<float>(mmolToMg(10, 1.0f)), 22.990002f);
}

TEST(Nostm, ClearsEverySteamField) {
    SampleRecord r;
    r.gasVolume.values.fill(1);
    r.gasPerCondensate = r.gasTemperature = r.condensatePh = r.condensatePhTemperature = 2;
    r.steamConc.values.fill(3);
    r.condensateConc.values.fill(4);
    nostm(r.gasVolume, r.gasPerCondensate, r.gasTemperature, r.steamConc, r.condensatePh, r.condensatePhTemperature,
          r.condensateConc);
    for (float v : r.gasVolume.values) EXPECT_EQ(v, 0);
    for (float v : r.steamConc.values) EXPECT_EQ(v, 0);
    for (float v : r.condensateConc.values) EXPECT_EQ(v, 0);
    EXPECT_EQ(r.gasPerCondensate + r.gasTemperature + r.condensatePh + r.condensatePhTemperature, 0);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t feed = text.find('\n', at);
        EXPECT_NE(feed, std::string::npos) << "file must end with a line feed";
        if (feed == std::string::npos) break;
        out.push_back(text.substr(at, feed - at));
        at = feed + 1;
    }
    return out;
}

SampleRecord example() {
    SampleRecord r;
    std::memcpy(r.sampleNumber.data(), "S-17            ", 16);
    std::string location = "Well HE-21, separator";
    location.resize(60, ' ');
    std::memcpy(r.sampleLocation.data(), location.data(), 60);
    r.samplingTemperature = 100;
    r.samplingPressure = 5;
    r.fluidEnthalpy = 1000;
    r.discharge = 20;
    r.waterPh = 7.3f;
    for (int i = 1; i <= 18; ++i) r.waterConc[i] = static_cast<float>(i);
    r.totalSolids = 1234.5f;
    for (int i = 1; i <= 7; ++i) r.gasVolume[i] = static_cast<float>(10 * i);
    r.gasPerCondensate = 0.25f;
    r.gasTemperature = 25;
    r.steamConc[1] = 44.010002f;
    r.steamConc[2] = -0.0f;
    r.steamConc[3] = -123456;
    r.condensatePh = 12345678;
    r.condensatePhTemperature = -1234567;
    r.condensateConc[1] = 1;
    r.condensateConc[2] = 2;
    r.condensateConc[3] = 3;
    r.condensateConc[4] = 4;
    return r;
}

TEST(Outfil, BlockLayout) {
    TextBuffer text;
    formatBlock(text, example());
    const std::string block = text.str();
    const std::vector<std::string> got = splitLines(block);
    const std::string z = "      0.00000000";
    const std::vector<std::string> want = {
        "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.",
        "",
        "< Sample number><       Sample location or other description               >",
        "S-17            Well HE-21, separator" + std::string(39, ' '),
        "",
        "<Temperature \xB0" "C><Pressure bar-g><Enthalpy kJ/kg><Discharge kg/s>",
        "    100.00000000      5.00000000   1000.00000000     20.00000000",
        "",
        "<Water phase pH><  pH temp. \xB0" "C >< CO2 in water >< H2S in water >",
        "      7.30000019" + z + "      1.00000000      2.00000000",
        "",
        "< NH3 in water >< H2  in water >< O2  in water >< CH4 in water >< N2  in water >",
        "      3.00000000      4.00000000      5.00000000      6.00000000      7.00000000",
        "",
        "<SiO2 in water ><  B  in water ><  Al in water ><  Fe in water >",
        "      9.00000000      8.00000000     17.00000000     18.00000000",
        "",
        "<  Na in water ><  K  in water ><  Mg in water ><  Ca in water >",
        "     10.00000000     11.00000000     12.00000000     13.00000000",
        "",
        "<  F  in water ><  Cl in water >< SO4 in water >< TDS in water >",
        "     14.00000000     15.00000000     16.00000000   1234.50000000",
        "",
        "<Gas CO2, vol %><Gas H2S, vol %><Gas NH3, vol %><Gas H2,  vol %><Gas O2,  vol %>",
        "     10.00000000     20.00000000     30.00000000     40.00000000     50.00000000",
        "",
        "<Gas CH4, vol %><Gas N2,  vol %><L gas/kg cond.><Gas  coll.  \xB0" "C>",
        "     60.00000000     70.00000000      0.25000000     25.00000000",
        "",
        "<  Steam  CO2  ><  Steam  H2S  ><  Steam  NH3  ><Condensate  pH><Cd. pH temp.\xB0" "C>",
        "     44.01000214" + z + "-123456.00000000" + std::string(32, '*'),
        "",
        "<Condensate CO2><Condensate H2S><Condensate NH3><Condensate Na >",
        "      1.00000000      2.00000000      3.00000000      4.00000000",
    };
    ASSERT_EQ(got.size(), 34u);
    // A block written to a FIFO arrives whole, not mixed with another writer's, only while it
    // fits in PIPE_BUF.
    EXPECT_LE(block.size(), static_cast<std::size_t>(PIPE_BUF));
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
}

// Collects blocks as they would reach the file.
class MemoryFile : public BlockFile {
public:
    void append(std::string_view block) override {
        bytes.append(block);
        ++writes;
    }
    bool failed() const override { return false; }
    std::string bytes;
    int writes = 0;
};

TEST(Outfil, ThreeSamplesOneWriteEach) {
    MemoryFile file;
    TextBuffer scratch;
    SampleRecord r = example();
    for (int sample = 0; sample < 3; ++sample) outfil(file, r, scratch);
    EXPECT_EQ(file.writes, 3);
    const std::vector<std::string> got = splitLines(file.bytes);
    ASSERT_EQ(got.size(), 102u);
    for (std::size_t title : {0u, 34u, 68u})
        EXPECT_EQ(got[title], "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.");
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::size_t line = i % 34;
        if (line == 0 || line % 3 != 0) continue;
        // Number lines: 4 or 5 fields of 16 characters; the sample line is 76 characters.
        EXPECT_TRUE(line == 3 ? got[i].size() == 76 : got[i].size() == 64 || got[i].size() == 80)
            << "line " << i + 1;
    }
}

}  // namespace
}  // namespace zelk
