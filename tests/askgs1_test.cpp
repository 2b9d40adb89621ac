// The dry gas screen: every value as typed, total steam cleared, corrections item by item.
#include <gtest/gtest.h>

#include "screens/gas/askgs1.hpp"
#include "support/harness.hpp"
#include "support/screen_text.hpp"

namespace zelk {
namespace {

using test::errorMessage;
using test::ScreenText;

ScreenText dryGasScreen() {
    ScreenText screen{{"CO2 in gas (volume %)      :  ", "H2S in gas (volume %)      :  ",
                       "NH3 in gas (volume %)      :  "}};
    screen.labels.insert(screen.labels.end(), test::residualGasLabels.begin(), test::residualGasLabels.end());
    return screen;
}
const ScreenText screen = dryGasScreen();

// The typed answers of a first pass, and the list that shows them.
const std::string typed = "1.5\n2\n3\n4\n5\n6\n7\n12345678\n99999999\n";
const std::vector<std::string> shown = {"1.500000", "2.000000", "3.000000", "4.000000",        "5.000000",
                                        "6.000000", "7.000000", "12345678.000000", "***************"};

struct DryGas {
    GasVolume gasVolume;
    float gasPerCondensate = -1;
    float gasTemperature = -1;
    SteamConc steamConc;

    DryGas() { steamConc.values = {11, 22, 33}; }  // as an earlier form 8 or 9 left it
    std::string run(const std::string& answers) {
        test::Session session(answers);
        askgs1(session.console(), gasVolume, gasPerCondensate, gasTemperature, steamConc);
        return session.output();
    }
};

TEST(Askgs1, FirstPassStoresAsTypedAndClearsTotalSteam) {
    DryGas gas;
    EXPECT_EQ(gas.run(typed + "\n"), screen.prompts() + screen.list(shown));
    EXPECT_EQ(gas.gasVolume.values, (std::array<float, 7>{1.5f, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(gas.gasPerCondensate, 12345678.0f);
    EXPECT_EQ(gas.gasTemperature, 1.0e8f);
    EXPECT_EQ(gas.steamConc.values, (std::array<float, 3>{0, 0, 0}));
}

TEST(Askgs1, ReentryChangesOnlyItsItem) {
    DryGas gas;
    std::vector<std::string> corrected = shown;
    EXPECT_EQ(gas.run(typed + "8\n.25\n\n"),
              screen.prompts() + screen.list(shown) + screen.corrected(corrected, 8, "0.250000"));
    EXPECT_EQ(gas.gasPerCondensate, 0.25f);
    EXPECT_EQ(gas.gasVolume[1], 1.5f);
    EXPECT_EQ(gas.gasTemperature, 1.0e8f);
}

TEST(Askgs1, InputErrorInFirstPassAsksFromCO2Again) {
    DryGas gas;
    EXPECT_EQ(gas.run("9\n9\n9\n9\n9\n9\n9\n9\n1x\n" + typed + "\n"),
              screen.prompts() + errorMessage() + screen.prompts() + screen.list(shown));
    EXPECT_EQ(gas.gasVolume[1], 1.5f);
    EXPECT_EQ(gas.steamConc.values, (std::array<float, 3>{0, 0, 0}));
}

TEST(Askgs1, InputErrorInReentryKeepsTheValue) {
    DryGas gas;
    EXPECT_EQ(gas.run(typed + "1\n12a\n\n"),
              screen.prompts() + screen.list(shown) + screen.reentry(1) + errorMessage() + screen.list(shown));
    EXPECT_EQ(gas.gasVolume[1], 1.5f);
}

}  // namespace
}  // namespace zelk
