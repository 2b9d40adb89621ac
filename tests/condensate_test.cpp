// The condensate screens: askcd1 stores mg/kg as typed; askcd2 announces its assumed density,
// lists m-mole/l as typed and stores mg/kg.
#include <gtest/gtest.h>

#include "screens/gas/condensate.hpp"
#include "support/harness.hpp"
#include "support/screen_text.hpp"

namespace zelk {
namespace {

using test::errorMessage;
using test::ScreenText;

ScreenText screenIn(const std::string& unit) {
    return {{
        "Condensate phase pH        :  ",
        "Condensate pH temp. (\xB0" "C)   :  ",
        "Condensate CO2 (" + unit,
        "Condensate H2S (" + unit,
        "Condensate NH3 (" + unit,
        "Condensate Na  (" + unit,
    }};
}
const ScreenText mgScreen = screenIn("mg/kg)     :  ");
const ScreenText mmolScreen = screenIn("m-mole/l)  :  ");
const std::string densityNotice = " Condensate phase density assumed 1.000 kg/l.\n\n";

const std::string typed = "6.5\n20\n2\n3\n0\n1\n";
const std::vector<std::string> shown = {"6.500000", "20.000000", "2.000000", "3.000000", "0.000000", "1.000000"};

using Screen = void (*)(Console&, float&, float&, CondensateConc&);

struct Condensate {
    float condensatePh = -1;
    float condensatePhTemperature = -1;
    CondensateConc condensateConc;

    std::string run(Screen screen, const std::string& answers) {
        test::Session session(answers);
        screen(session.console(), condensatePh, condensatePhTemperature, condensateConc);
        return session.output();
    }
};

TEST(Askcd1, StoresAsTyped) {
    Condensate condensate;
    EXPECT_EQ(condensate.run(askcd1, typed + "\n"), mgScreen.prompts() + mgScreen.list(shown));
    EXPECT_EQ(condensate.condensatePh, 6.5f);
    EXPECT_EQ(condensate.condensatePhTemperature, 20.0f);
    EXPECT_EQ(condensate.condensateConc.values, (std::array<float, 4>{2, 3, 0, 1}));
}

TEST(Askcd2, ListsMmolAndStoresMg) {
    Condensate condensate;
    EXPECT_EQ(condensate.run(askcd2, typed + "\n"), densityNotice + mmolScreen.prompts() + mmolScreen.list(shown));
    EXPECT_EQ(condensate.condensatePh, 6.5f);
    EXPECT_EQ(condensate.condensateConc.values, (std::array<float, 4>{88.020004f, 102.240005f, 0, 22.990002f}));
}

TEST(Askcd2, ReentryConvertsOnlyItsComponent) {
    const struct {
        int item;
        std::string typed, shown;
        float condensatePh;
        std::array<float, 4> condensateConc;
    } cases[] = {
        {6, "2", "2.000000", 6.5f, {88.020004f, 102.240005f, 0, 45.980003f}},
        {3, "1", "1.000000", 6.5f, {44.010002f, 102.240005f, 0, 22.990002f}},
        {1, "7", "7.000000", 7.0f, {88.020004f, 102.240005f, 0, 22.990002f}},
    };
    for (const auto& c : cases) {
        Condensate condensate;
        std::vector<std::string> corrected = shown;
        EXPECT_EQ(condensate.run(askcd2, typed + std::to_string(c.item) + "\n" + c.typed + "\n\n"),
                  densityNotice + mmolScreen.prompts() + mmolScreen.list(shown) +
                      mmolScreen.corrected(corrected, c.item, c.shown));
        EXPECT_EQ(condensate.condensatePh, c.condensatePh) << "item " << c.item;
        EXPECT_EQ(condensate.condensateConc.values, c.condensateConc) << "item " << c.item;
    }
}

TEST(Condensate, InputErrorInFirstPassStartsItAgain) {
    // Only the screen that announces its assumed density announces it again.
    Condensate mg;
    EXPECT_EQ(mg.run(askcd1, "1\n1\n1\n1\n1\n1e\n" + typed + "\n"),
              mgScreen.prompts() + errorMessage() + mgScreen.prompts() + mgScreen.list(shown));
    EXPECT_EQ(mg.condensateConc.values, (std::array<float, 4>{2, 3, 0, 1}));

    Condensate mmol;
    EXPECT_EQ(mmol.run(askcd2, "1\n1\n1\n1\n1\n1e\n" + typed + "\n"),
              densityNotice + mmolScreen.prompts() + errorMessage() + densityNotice + mmolScreen.prompts() +
                  mmolScreen.list(shown));
    EXPECT_EQ(mmol.condensateConc.values, (std::array<float, 4>{88.020004f, 102.240005f, 0, 22.990002f}));
}

TEST(Condensate, InputErrorInReentryKeepsTheValue) {
    Condensate mg;
    EXPECT_EQ(mg.run(askcd1, typed + "3\nabc\n\n"),
              mgScreen.prompts() + mgScreen.list(shown) + mgScreen.reentry(3) + errorMessage() + mgScreen.list(shown));
    EXPECT_EQ(mg.condensateConc[1], 2.0f);

    Condensate mmol;
    EXPECT_EQ(mmol.run(askcd2, typed + "3\nabc\n\n"),
              densityNotice + mmolScreen.prompts() + mmolScreen.list(shown) + mmolScreen.reentry(3) + errorMessage() +
                  mmolScreen.list(shown));
    EXPECT_EQ(mmol.condensateConc[1], 88.020004f);
}

}  // namespace
}  // namespace zelk
