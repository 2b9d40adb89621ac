// The residual gas screens: askgs2 stores the steam items as typed in mg/kg, askgs3 lists
// them as typed in m-mole/kg and stores them converted; both clear what the form does not carry.
#include <gtest/gtest.h>

#include "screens/gas/residual_gas.hpp"
#include "support/harness.hpp"
#include "support/screen_text.hpp"

namespace zelk {
namespace {

using test::errorMessage;
using test::ScreenText;

ScreenText screenWithSteamIn(const std::string& unit) {
    ScreenText screen{{"CO2" + unit, "H2S" + unit, "NH3" + unit}};
    screen.labels.insert(screen.labels.end(), test::residualGasLabels.begin(), test::residualGasLabels.end());
    return screen;
}
const ScreenText mgScreen = screenWithSteamIn(" in total steam (mg/kg) :  ");
const ScreenText mmolScreen = screenWithSteamIn(" in steam (m-mole/kg)   :  ");

const std::string typed = "2.5\n1\n1\n10\n0\n0\n30\n4.5\n25\n";
const std::vector<std::string> shown = {"2.500000", "1.000000", "1.000000", "10.000000", "0.000000",
                                        "0.000000", "30.000000", "4.500000", "25.000000"};

using Screen = void (*)(Console&, GasVolume&, float&, float&, SteamConc&, float&, float&, CondensateConc&);

// The steam-phase fields as an earlier sample of forms 6 or 7 left them.
struct SteamPhase {
    GasVolume gasVolume;
    float gasPerCondensate = -1;
    float gasTemperature = -1;
    SteamConc steamConc;
    float condensatePh = 6.5f;
    float condensatePhTemperature = 20;
    CondensateConc condensateConc;

    SteamPhase() {
        gasVolume.values = {90, 5, 1, 1, 1, 1, 1};
        steamConc.values = {-1, -1, -1};
        condensateConc.values = {1, 2, 3, 4};
    }
    std::string run(Screen screen, const std::string& answers) {
        test::Session session(answers);
        screen(session.console(), gasVolume, gasPerCondensate, gasTemperature, steamConc, condensatePh,
               condensatePhTemperature, condensateConc);
        return session.output();
    }
    void expectClearedAndResidualGas() const {
        EXPECT_EQ(gasVolume.values, (std::array<float, 7>{0, 0, 0, 10, 0, 0, 30}));
        EXPECT_EQ(gasPerCondensate, 4.5f);
        EXPECT_EQ(gasTemperature, 25.0f);
        EXPECT_EQ(condensatePh, 0.0f);
        EXPECT_EQ(condensatePhTemperature, 0.0f);
        EXPECT_EQ(condensateConc.values, (std::array<float, 4>{}));
    }
};

TEST(Askgs2, StoresTheSteamAsTyped) {
    SteamPhase steam;
    EXPECT_EQ(steam.run(askgs2, typed + "\n"), mgScreen.prompts() + mgScreen.list(shown));
    EXPECT_EQ(steam.steamConc.values, (std::array<float, 3>{2.5f, 1, 1}));
    steam.expectClearedAndResidualGas();
}

TEST(Askgs3, ListsMmolAndStoresMg) {
    SteamPhase steam;
    EXPECT_EQ(steam.run(askgs3, typed + "\n"), mmolScreen.prompts() + mmolScreen.list(shown));
    EXPECT_EQ(steam.steamConc.values, (std::array<float, 3>{110.025002f, 34.080002f, 17.030001f}));
    steam.expectClearedAndResidualGas();
}

TEST(Askgs3, WorkedValues) {
    struct Case {
        const char* typed;
        int component;
        float stored;
    };
    const Case cases[] = {
        {"1", 1, 44.010002f}, {"2.5", 1, 110.025002f}, {"1", 2, 34.080002f}, {"1", 3, 17.030001f},
        {"", 1, 0.0f},        {"-1", 1, -44.010002f},
    };
    for (const Case& c : cases) {
        SteamPhase steam;
        // Zero for every item but the one under test, then RETURN at the correction question.
        std::string lines;
        for (int component = 1; component <= 9; ++component)
            lines += std::string(component == c.component ? c.typed : "0") + "\n";
        steam.run(askgs3, lines + "\n");
        EXPECT_EQ(steam.steamConc[c.component], c.stored) << c.typed << " of component " << c.component;
    }
    EXPECT_NE(44.010002f, 44.01f);  // the factor 0.001 is a float, not the exact thousandth
}

TEST(Askgs3, InputErrorInReentryKeepsTypedAndConverted) {
    SteamPhase steam;
    EXPECT_EQ(steam.run(askgs3, typed + "1\n1.5.\n\n"),
              mmolScreen.prompts() + mmolScreen.list(shown) + mmolScreen.reentry(1) + errorMessage() +
                  mmolScreen.list(shown));
    EXPECT_EQ(steam.steamConc[1], 110.025002f);
}

TEST(ResidualGas, InputErrorInFirstPassAsksFromCO2Again) {
    struct Case {
        Screen screen;
        const ScreenText* text;
    };
    for (auto [screen, text] : {Case{askgs2, &mgScreen}, Case{askgs3, &mmolScreen}}) {
        SteamPhase steam;
        EXPECT_EQ(steam.run(screen, "7\n7\n7\n7\n7\n7\n7\n7\nx\n" + typed + "\n"),
                  text->prompts() + errorMessage() + text->prompts() + text->list(shown));
        steam.expectClearedAndResidualGas();
    }
}

TEST(ResidualGas, ReentryChangesOnlyItsItem) {
    struct Case {
        Screen screen;
        const ScreenText* text;
        int item;
        std::string typed, shown;
        std::array<float, 3> steamConc;
        std::array<float, 7> gasVolume;
    };
    const Case cases[] = {
        // A steam item typed in m-mole/kg is converted again, alone.
        {askgs3, &mmolScreen, 2, "3", "3.000000", {110.025002f, 102.240005f, 17.030001f}, {0, 0, 0, 10, 0, 0, 30}},
        {askgs2, &mgScreen, 2, "3", "3.000000", {2.5f, 3, 1}, {0, 0, 0, 10, 0, 0, 30}},
        {askgs3, &mmolScreen, 5, "12345678", "12345678.000000", {110.025002f, 34.080002f, 17.030001f},
         {0, 0, 0, 10, 12345678, 0, 30}},
    };
    for (const Case& c : cases) {
        SteamPhase steam;
        std::vector<std::string> corrected = shown;
        EXPECT_EQ(steam.run(c.screen, typed + std::to_string(c.item) + "\n" + c.typed + "\n\n"),
                  c.text->prompts() + c.text->list(shown) + c.text->corrected(corrected, c.item, c.shown));
        EXPECT_EQ(steam.steamConc.values, c.steamConc) << "item " << c.item;
        EXPECT_EQ(steam.gasVolume.values, c.gasVolume) << "item " << c.item;
    }
}

}  // namespace
}  // namespace zelk
