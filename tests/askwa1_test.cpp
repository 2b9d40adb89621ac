// The water phase screen in mg/kg.
#include <gtest/gtest.h>

#include "screens/water/askwa1.hpp"
#include "support/harness.hpp"

namespace zelk::test {
namespace {

const std::string names[14] = {"CO2 ", "H2S ", "NH3 ", "B   ", "SiO2", "Na  ", "K   ",
                               "Mg  ", "Ca  ", "F   ", "Cl  ", "SO4 ", "Al  ", "Fe  "};
const int components[14] = {1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};

std::string label(int item) {
    if (item <= 14) return names[item - 1] + " in water (mg/kg)      :  ";
    const std::string rest[3] = {"Total solids  (mg/kg)      :  ", "Water phase pH             :  ",
                                 "pH temperature (\xB0" "C)        :  "};
    return rest[item - 15];
}

std::string firstPass() {
    std::string out;
    for (int item = 1; item <= 17; ++item) out += itemPrompt(label(item));
    return out;
}

std::string list(const std::string (&shown)[17]) {
    std::string out = emptyLines(5);
    for (int item = 1; item <= 17; ++item) {
        const std::string number = std::to_string(item);
        out += std::string(3 - number.size(), ' ') + number + " : " + label(item) + shown[item - 1] + "\n";
    }
    return out + correctionQuestion();
}

struct Fields {
    WaterConc conc;
    float ph = -1, phTemperature = -1, solids = -1;
};

std::string run(const std::string& answers, Fields& f) {
    Session session(answers);
    askwa1(session.console(), f.conc, f.ph, f.phTemperature, f.solids);
    return session.output();
}

std::vector<std::string> oneToSeventeen() {
    std::vector<std::string> answers;
    for (int k = 1; k <= 17; ++k) answers.push_back(std::to_string(k));
    return answers;
}

void fillShown(std::string (&shown)[17]) {
    for (int k = 1; k <= 17; ++k) {
        const std::string digits = std::to_string(k) + ".0000000000";
        shown[k - 1] = std::string(20 - digits.size(), ' ') + digits;
    }
}

TEST(Askwa1, StoresAsReadAndClearsTheDissolvedGases) {
    Fields f;
    for (int i = 1; i <= 18; ++i) f.conc[i] = 99;  // an earlier sample's values
    std::vector<std::string> answers = oneToSeventeen();
    answers[0] = "7.3";
    answers.push_back("");
    const std::string out = run(lines(answers), f);
    std::string shown[17];
    fillShown(shown);
    shown[0] = "        7.3000001907";
    EXPECT_EQ(out, "\n\n\n" + firstPass() + list(shown));
    EXPECT_EQ(f.conc[1], 7.3f);
    for (int k = 2; k <= 14; ++k) EXPECT_EQ(f.conc[components[k - 1]], static_cast<float>(k));
    for (int i = 4; i <= 7; ++i) EXPECT_EQ(f.conc[i], 0);
    EXPECT_EQ(f.solids, 15);
    EXPECT_EQ(f.ph, 16);
    EXPECT_EQ(f.phTemperature, 17);
}

TEST(Askwa1, FirstPassErrorRestartsAtCo2WithoutTheLeadingLines) {
    Fields f;
    std::vector<std::string> answers = oneToSeventeen();
    answers[16] = "1.2.3";  // the pH temperature
    for (const std::string& again : oneToSeventeen()) answers.push_back(again);
    answers.push_back("0");
    const std::string out = run(lines(answers), f);
    std::string shown[17];
    fillShown(shown);
    EXPECT_EQ(out, "\n\n\n" + firstPass() + errorMessage() + firstPass() + list(shown));
}

TEST(Askwa1, ReentryAndAFailedReentry) {
    Fields f;
    std::vector<std::string> answers = oneToSeventeen();
    for (const char* more : {"17", "45.5", "1", "12a", "999999999", "18"}) answers.push_back(more);
    // 17 then 45.5 re-enters the pH temperature; 1 then 12a fails and keeps CO2; 999999999 is
    // no item but reads as an item number above 17, which ends the screen.
    const std::string out = run(lines(answers), f);
    std::string shown[17];
    fillShown(shown);
    std::string corrected[17];
    fillShown(corrected);
    corrected[16] = "       45.5000000000";
    EXPECT_EQ(out, "\n\n\n" + firstPass() + list(shown) + "\n" + itemPrompt(label(17)) + list(corrected) + "\n" +
                       itemPrompt(label(1)) + errorMessage() + list(corrected));
    EXPECT_EQ(f.conc[1], 1);
    EXPECT_EQ(f.phTemperature, 45.5f);
}

TEST(Askwa1, LargeValuesAreHeldButListedAsAsterisks) {
    Fields f;
    std::vector<std::string> answers = oneToSeventeen();
    answers[4] = "999999999";
    answers.push_back("");
    const std::string out = run(lines(answers), f);
    std::string shown[17];
    fillShown(shown);
    shown[4] = std::string(20, '*');
    EXPECT_EQ(out, "\n\n\n" + firstPass() + list(shown));
    EXPECT_EQ(f.conc[9], 1.0e9f);
}

}  // namespace
}  // namespace zelk::test
