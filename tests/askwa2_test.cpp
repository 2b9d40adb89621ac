// The water phase screen in m-mole/l: density first, concentrations converted to mg/kg as they
// are read and listed as typed, the near-zero density rule, corrections of the density.
#include <gtest/gtest.h>

#include "screens/water/askwa2.hpp"
#include "support/harness.hpp"
#include "support/screen_text.hpp"

namespace zelk {
namespace {

using test::emptyLines;
using test::errorMessage;
using test::ScreenText;

ScreenText waterScreen() {
    ScreenText screen{{}, 3, 20};
    for (const char* name : {"CO2 ", "H2S ", "NH3 ", "B   ", "SiO2", "Na  ", "K   ", "Mg  ", "Ca  ", "F   ", "Cl  ",
                             "SO4 ", "Al  ", "Fe  "})
        screen.labels.push_back(std::string(name) + " in water (m-mole/l)   :  ");
    for (const char* label : {"Total solids (mg/kg)       :  ", "Water phase pH             :  ",
                              "pH temperature (\xB0" "C)        :  ", "Water phase density (kg/l) :  "})
        screen.labels.push_back(label);
    return screen;
}
const ScreenText screen = waterScreen();

constexpr int density = 18;
const std::vector<int> afterDensity = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

// What the screen writes up to its first list: the density, two empty lines, the rest.
std::string firstPass() {
    return screen.prompts({density}) + emptyLines(2) + screen.prompts(afterDensity);
}

// CO2 and Na 1 m-mole/l, the rest 0; total solids 1000, pH 7.3 at 20 degrees.
std::string typedAt(const std::string& waterDensity) {
    return waterDensity + "\n1\n0\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\n1000\n7.3\n20\n";
}
std::vector<std::string> shownAt(const std::string& waterDensity, const std::string& totalSolids) {
    std::vector<std::string> shown = test::repeated(18, "0.0000000000");
    shown[0] = shown[5] = "1.0000000000";
    shown[14] = totalSolids;
    shown[15] = "7.3000001907";
    shown[16] = "20.0000000000";
    shown[17] = waterDensity;
    return shown;
}

struct Water {
    WaterConc waterConc;
    float waterPh = -1;
    float waterPhTemperature = -1;
    float totalSolids = -1;

    Water() { waterConc.values.fill(99); }  // as an earlier sample left it
    std::string run(const std::string& answers) {
        test::Session session(answers);
        askwa2(session.console(), waterConc, waterPh, waterPhTemperature, totalSolids);
        return session.output();
    }
};

TEST(Askwa2, FirstPassListsTypedAndStoresConverted) {
    Water water;
    EXPECT_EQ(water.run(typedAt("0.5") + "\n"),
              emptyLines(3) + firstPass() + screen.list(shownAt("0.5000000000", "2000.0000000000")));
    EXPECT_EQ(water.waterConc[1], 88.020004f);
    EXPECT_EQ(water.waterConc[10], 45.980003f);
    EXPECT_EQ(water.totalSolids, 2000.0f);
    EXPECT_EQ(water.waterPh, 7.3f);
    EXPECT_EQ(water.waterPhTemperature, 20.0f);
    for (int component : {2, 3, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18}) EXPECT_EQ(water.waterConc[component], 0.0f);
    for (int dissolvedGas : {4, 5, 6, 7}) EXPECT_EQ(water.waterConc[dissolvedGas], 0.0f);
}

TEST(Askwa2, WorkedValuesAtUnitDensity) {
    Water water;
    water.run(typedAt("1") + "\n");
    EXPECT_EQ(water.waterConc[1], 44.010002f);
    EXPECT_NE(water.waterConc[1], 44.01f);
    EXPECT_EQ(water.waterConc[10], 22.990002f);
    EXPECT_EQ(water.totalSolids, 1000.0f);
}

TEST(Askwa2, NearZeroDensityMeansOne) {
    struct Case {
        const char* typed;
        const char* shown;
        float co2;
    };
    const Case cases[] = {
        {"", "1.0000000000", 44.010002f},     {"0", "1.0000000000", 44.010002f},
        {"1e-10", "1.0000000000", 44.010002f}, {"1.0E-9", "1.0000000000", 44.010002f},
        {"-1e-9", "1.0000000000", 44.010002f}, {"-1", "-1.0000000000", -44.010002f},
        {"2e-9", "0.0000000020", 2.2005002e10f},
    };
    for (const Case& c : cases) {
        Water firstPass;
        const std::vector<std::string> shown = shownAt(c.shown, "1000.0000000000");
        // Total solids are divided by the density in the first pass only; test that elsewhere.
        firstPass.run(typedAt(c.typed) + "\n");
        EXPECT_EQ(firstPass.waterConc[1], c.co2) << "first pass: " << c.typed;

        Water reentry;
        const std::string output = reentry.run(typedAt("1") + "18\n" + c.typed + "\n\n");
        EXPECT_EQ(reentry.waterConc[1], c.co2) << "re-entry: " << c.typed;
        EXPECT_TRUE(output.ends_with(screen.reentry(density) + screen.list(shown))) << c.typed;
    }
}

TEST(Askwa2, DensityCorrectionConvertsEveryComponentAgain) {
    Water water;
    EXPECT_EQ(water.run(typedAt("1") + "18\n0.5\n\n"),
              emptyLines(3) + firstPass() + screen.list(shownAt("1.0000000000", "1000.0000000000")) +
                  screen.reentry(density) + screen.list(shownAt("0.5000000000", "1000.0000000000")));
    EXPECT_EQ(water.waterConc[1], 88.020004f);
    EXPECT_EQ(water.waterConc[10], 45.980003f);
    EXPECT_EQ(water.waterConc[2], 0.0f);
    EXPECT_EQ(water.totalSolids, 1000.0f);  // stays as it was stored
}

TEST(Askwa2, ReentriesConvertWithTheDensityHeld) {
    Water water;
    std::vector<std::string> shown = shownAt("0.5000000000", "1000.0000000000");
    shown[0] = "2.0000000000";
    EXPECT_TRUE(water.run(typedAt("0.5") + "1\n2\n15\n1000\n\n").ends_with(screen.reentry(15) + screen.list(shown)));
    EXPECT_EQ(water.waterConc[1], 176.04001f);
    EXPECT_EQ(water.waterConc[10], 45.980003f);
    EXPECT_EQ(water.totalSolids, 1000.0f);  // a corrected value is not divided by the density
}

TEST(Askwa2, InputErrorInFirstPassAsksTheDensityAgain) {
    Water water;
    const std::string halfPass = "0.5\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n7.3x\n";
    EXPECT_EQ(water.run(halfPass + typedAt("1") + "\n"),
              emptyLines(3) + screen.prompts({density}) + emptyLines(2) +
                  screen.prompts({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) + errorMessage() +
                  firstPass() + screen.list(shownAt("1.0000000000", "1000.0000000000")));
    EXPECT_EQ(water.waterConc[2], 0.0f);
    EXPECT_EQ(water.totalSolids, 1000.0f);
}

TEST(Askwa2, InputErrorInReentryKeepsTypedAndConverted) {
    Water water;
    const std::vector<std::string> shown = shownAt("0.5000000000", "2000.0000000000");
    EXPECT_EQ(water.run(typedAt("0.5") + "1\nx1\n18\n--1\n\n"),
              emptyLines(3) + firstPass() + screen.list(shown) + screen.reentry(1) + errorMessage() +
                  screen.list(shown) + screen.reentry(density) + errorMessage() + screen.list(shown));
    EXPECT_EQ(water.waterConc[1], 88.020004f);
    EXPECT_EQ(water.waterConc[10], 45.980003f);
}

}  // namespace
}  // namespace zelk
