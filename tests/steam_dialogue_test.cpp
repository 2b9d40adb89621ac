// The dialogue shared by the total-steam screens: its spacing, its limit of 100 correction
// passes, its restarts after input errors and the two-line items of form 3.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/sample.hpp"
#include "screens/steam/askst.hpp"
#include "support/harness.hpp"

namespace zelk {
namespace {

using test::correctionQuestion;
using test::emptyLines;
using test::errorMessage;
using test::itemPrompt;
using test::Session;

const std::string six = "      ";
const std::string zero = "        0.0000000000";
const std::vector<std::string> names = {"CO2", "H2S", "NH3", "H2 ", "O2 ", "CH4", "N2 ", "H2O"};

std::string repeat(const std::string& text, int times) {
    std::string all;
    for (int k = 0; k < times; ++k) all += text;
    return all;
}

// A screen of one-line items: label k is names[k] followed by the form's text.
struct OneLine {
    std::string str;
    int count;
    std::string label(int k) const { return names[k - 1] + str; }
    std::string prompt(int k) const { return itemPrompt(label(k)); }
    std::string firstPass() const {
        std::string all;
        for (int k = 1; k <= count; ++k) all += prompt(k);
        return all;
    }
    // The item list with the given values as their F20.10 fields, then the question.
    std::string list(const std::vector<std::string>& values) const {
        std::string all;
        for (int k = 1; k <= count; ++k) all += "  " + std::to_string(k) + " : " + label(k) + values[k - 1] + "\n";
        return all + correctionQuestion();
    }
};

const OneLine form1{" in total steam (mg/kg) :  ", 7};
const OneLine form4{" in steam (mole-%)      :  ", 8};

struct Fields {
    GasVolume gasVolume;
    float gasPerCondensate = 777;
    float gasTemperature = 777;
    SteamConc steamConc;
    float condensatePh = 777;
    float condensatePhTemperature = 777;
    CondensateConc condensateConc;
    Fields() {
        gasVolume.values.fill(777);
        steamConc.values.fill(777);
        condensateConc.values.fill(777);
    }
};

using Screen = decltype(&askst1);

Fields run(Session& session, Screen screen) {
    Fields f;
    screen(session.console(), f.gasVolume, f.gasPerCondensate, f.gasTemperature, f.steamConc, f.condensatePh,
           f.condensatePhTemperature, f.condensateConc);
    return f;
}

TEST(TotalSteamDialogue, FirstPassThenSixEmptyLinesAndTheList) {
    Session session("7.3\n\n\n\n\n\n\n\nnext\n");
    const Fields f = run(session, askst1);
    const std::vector<std::string> values = {"        7.3000001907", zero, zero, zero, zero, zero, zero};
    EXPECT_EQ(session.output(), form1.firstPass() + emptyLines(6) + form1.list(values));
    // Nothing is read after the answer that ends the screen.
    EXPECT_EQ(session.console().readLine(), "next");
    EXPECT_EQ(f.steamConc[1], 7.3f);
}

TEST(TotalSteamDialogue, ReentryHasThreeEmptyLinesBeforeAndAfter) {
    Session session(repeat("\n", 7) + "3\n25\n\n");
    const Fields f = run(session, askst1);
    std::vector<std::string> values(7, zero);
    const std::string before = form1.list(values);
    values[2] = "       25.0000000000";
    EXPECT_EQ(session.output(), form1.firstPass() + emptyLines(6) + before + emptyLines(3) + form1.prompt(3) +
                                    emptyLines(3) + form1.list(values));
    EXPECT_EQ(f.steamConc[3], 25.0f);
}

TEST(TotalSteamDialogue, InputErrorsInTheCorrectionPhaseShowTheListAfterSixEmptyLines) {
    // A letter as item number, then a letter as re-entered value: CO2 keeps its 0.5.
    Session session("0.5\n" + repeat("\n", 6) + "x\n1\nabc\n\n");
    const Fields f = run(session, askst1);
    const std::vector<std::string> values = {"        0.5000000000", zero, zero, zero, zero, zero, zero};
    const std::string list = form1.list(values);
    EXPECT_EQ(session.output(), form1.firstPass() + emptyLines(6) + list + errorMessage() + emptyLines(6) + list +
                                    emptyLines(3) + form1.prompt(1) + errorMessage() + emptyLines(6) + list);
    EXPECT_EQ(f.steamConc[1], 0.5f);
}

TEST(TotalSteamDialogue, AnswersOutsideTheItemsEndTheScreen) {
    for (const std::string answer : {"", "0", "8", "-1", "123456"}) {
        Session session(repeat("\n", 7) + answer + "\nnext\n");
        run(session, askst1);
        EXPECT_EQ(session.output(), form1.firstPass() + emptyLines(6) + form1.list(std::vector(7, zero))) << answer;
        EXPECT_EQ(session.console().readLine(), "next") << answer;
    }
}

TEST(TotalSteamDialogue, FirstPassInputErrorAsksAgainFromCo2) {
    Session session("1\n2\n3\n4\nx\n" + repeat("\n", 7) + "\n");
    const Fields f = run(session, askst1);
    std::string expected;
    for (int k = 1; k <= 5; ++k) expected += form1.prompt(k);
    expected += errorMessage() + form1.firstPass() + emptyLines(6) + form1.list(std::vector(7, zero));
    EXPECT_EQ(session.output(), expected);
    EXPECT_EQ(f.steamConc[1], 0.0f);  // asked again and answered empty
}

// Re-entries of CO2 as 5, then an item number that the screen must not honour.
std::string reentries(int count) { return repeat("1\n5\n", count); }

TEST(TotalSteamDialogue, NinetyNineReentriesThenTheHundredthPassEnds) {
    Session session(repeat("\n", 7) + reentries(99) + "2\n9.5\nnext\n");
    const Fields f = run(session, askst1);
    std::vector<std::string> values(7, zero);
    std::string expected = form1.firstPass() + emptyLines(6) + form1.list(values);
    values[0] = "        5.0000000000";
    expected += repeat(emptyLines(3) + form1.prompt(1) + emptyLines(3) + form1.list(values), 99);
    EXPECT_EQ(session.output(), expected);
    EXPECT_EQ(session.console().readLine(), "9.5");
    EXPECT_EQ(f.steamConc[1], 5.0f);
    EXPECT_EQ(f.steamConc[2], 0.0f);
}

TEST(TotalSteamDialogue, AnInputErrorStartsTheCountAfresh) {
    Session session(repeat("\n", 7) + reentries(50) + "x\n" + reentries(99) + "2\n9.5\n");
    run(session, askst1);
    std::vector<std::string> values(7, zero);
    std::string expected = form1.firstPass() + emptyLines(6) + form1.list(values);
    values[0] = "        5.0000000000";
    const std::string reentry = emptyLines(3) + form1.prompt(1) + emptyLines(3) + form1.list(values);
    expected += repeat(reentry, 50) + errorMessage() + emptyLines(6) + form1.list(values) + repeat(reentry, 99);
    EXPECT_EQ(session.output(), expected);
    EXPECT_EQ(session.console().readLine(), "9.5");
}

TEST(TotalSteamDialogue, EntrySettingsAndConversionOverwriteEveryField) {
    Session session(repeat("\n", 7) + "\n");
    const Fields f = run(session, askst1);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(f.gasVolume[i], 0.0f) << i;
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(f.steamConc[i], 0.0f) << i;
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(f.condensateConc[i], 0.0f) << i;
    EXPECT_EQ(f.gasPerCondensate, 0.0f);
    EXPECT_EQ(f.gasTemperature, 25.0f);
    EXPECT_EQ(f.condensatePh, 0.0f);
    EXPECT_EQ(f.condensatePhTemperature, 0.0f);
}

TEST(TotalSteamDialogue, FormThreeTakesTwoLinesPerItem) {
    const std::string str = "     (m-mole gas/mole H2O) :  ";
    auto prompt = [&](int k) { return six + names[k - 1] + " in total steam\n" + itemPrompt(str); };
    auto list = [&](const std::vector<std::string>& values) {
        std::string all;
        for (int k = 1; k <= 7; ++k)
            all += "  " + std::to_string(k) + " : " + names[k - 1] + " in total steam\n" + six + str + values[k - 1] +
                   "\n";
        return all + correctionQuestion();
    };
    std::string firstPass;
    for (int k = 1; k <= 7; ++k) firstPass += prompt(k);

    // An input error at N2, the first pass again from the two lines of CO2, a re-entry of H2S.
    Session session(repeat("\n", 6) + "x\n" + repeat("\n", 7) + "2\n3\n\n");
    run(session, askst3);
    std::vector<std::string> values(7, zero);
    const std::string before = list(values);
    values[1] = "        3.0000000000";
    EXPECT_EQ(session.output(), firstPass + errorMessage() + firstPass + emptyLines(6) + before + emptyLines(3) +
                                    prompt(2) + emptyLines(3) + list(values));
    EXPECT_EQ(before.substr(0, 25), "  1 : CO2 in total steam\n");
}

TEST(TotalSteamDialogue, FormsInPercentAskH2OAsItemEight) {
    for (const Screen screen : {askst4, askst5}) {
        const OneLine& form = screen == askst4 ? form4 : OneLine{" in steam (weight-%)    :  ", 8};
        // H2O left empty is listed as typed, not as the rest to 100; 8 re-asks it, 9 ends.
        Session session("50\n" + repeat("\n", 7) + "8\n-5\n9\nnext\n");
        run(session, screen);
        std::vector<std::string> values(8, zero);
        values[0] = "       50.0000000000";
        const std::string before = form.list(values);
        values[7] = "       -5.0000000000";
        EXPECT_EQ(session.output(), form.firstPass() + emptyLines(6) + before + emptyLines(3) + form.prompt(8) +
                                        emptyLines(3) + form.list(values));
        EXPECT_EQ(session.console().readLine(), "next");
    }
    EXPECT_EQ(form4.prompt(8), "      H2O in steam (mole-%)      :  ");
}

}  // namespace
}  // namespace zelk
