// The sundry data screen, and through it the correction-screen engine's standard shape.
#include <gtest/gtest.h>

#include "screens/sundry/askgen.hpp"
#include "support/harness.hpp"

namespace zelk::test {
namespace {

const std::string labels[6] = {
    "Sample number              :  ", "Sample location            :  ", "Sampling temperature (\xB0" "C)  :  ",
    "Sampling pressure (bar-g)  :  ", "Fluid enthalpy (kJ/kg)     :  ", "Discharge (kg/s)           :  ",
};

std::string firstPass() {
    std::string out;
    for (const std::string& label : labels) out += itemPrompt(label);
    return out;
}

// The item list with its seven empty lines, for the given shown values.
std::string list(const std::string& number, const std::string& location42, const std::string (&values)[4]) {
    std::string out = emptyLines(7);
    out += "  1 : " + labels[0] + number + "\n";
    out += "  2 : " + labels[1] + location42 + "\n";
    for (int k = 0; k < 4; ++k) out += "  " + std::to_string(k + 3) + " : " + labels[k + 2] + values[k] + "\n";
    return out + correctionQuestion();
}

struct Fields {
    FixedText<16> number;
    FixedText<60> location;
    float temperature = -1, pressure = -1, enthalpy = -1, discharge = -1;
};

std::string run(const std::string& answers, Fields& f) {
    Session session(answers);
    askgen(session.console(), f.number, f.location, f.temperature, f.pressure, f.enthalpy, f.discharge);
    return session.output();
}

const std::string blank42(42, ' ');

TEST(Askgen, FirstPassListAndEnd) {
    Fields f;
    const std::string out = run(lines({"S-17", "Well HE-21", "100", "5", "1000", "20", ""}), f);
    EXPECT_EQ(out, firstPass() + list("S-17            ", "Well HE-21" + std::string(32, ' '),
                                      {"  100.0000", "    5.0000", " 1000.0000", "   20.0000"}));
    EXPECT_EQ(std::string(view(f.number)), "S-17            ");
    EXPECT_EQ(f.temperature, 100);
    EXPECT_EQ(f.discharge, 20);
}

TEST(Askgen, EmptyAnswersAndLongTexts) {
    Fields f;
    const std::string location50 = "Separator station 4, well head HE-21, weir box 2x";
    const std::string out =
        run(lines({"12345678901234567890", location50 + std::string(20, 'z'), "", "123456", "-12345", "-9999.5", ""}), f);
    EXPECT_EQ(out, firstPass() + list("1234567890123456", location50.substr(0, 42),
                                      {"    0.0000", "**********", "**********", "-9999.5000"}));
    EXPECT_EQ(std::string(view(f.location)), location50 + std::string(11, 'z'));
    EXPECT_EQ(f.pressure, 123456);
}

TEST(Askgen, FirstPassInputErrorAsksFromItemOne) {
    Fields f;
    const std::string out = run(lines({"A", "B", "1", "2", "abc", "C", "D", "3", "4", "5", "6", ""}), f);
    const std::string values[4] = {"    3.0000", "    4.0000", "    5.0000", "    6.0000"};
    EXPECT_EQ(out, itemPrompt(labels[0]) + itemPrompt(labels[1]) + itemPrompt(labels[2]) + itemPrompt(labels[3]) +
                       itemPrompt(labels[4]) + errorMessage() + firstPass() +
                       list("C               ", "D" + std::string(41, ' '), values));
}

TEST(Askgen, CorrectionsAndErrors) {
    Fields f;
    // Re-enter item 2, then item 3 with a bad number (kept), then x at the question, then end with 7.
    const std::string out =
        run(lines({"", "", "1", "2", "3", "4", "2", "Wairakei", "3", "12a", "x", "  3  ", "50", "7"}), f);
    const std::string before[4] = {"    1.0000", "    2.0000", "    3.0000", "    4.0000"};
    const std::string after[4] = {"   50.0000", "    2.0000", "    3.0000", "    4.0000"};
    const std::string number(16, ' ');
    const std::string wairakei = "Wairakei" + std::string(34, ' ');
    EXPECT_EQ(out, firstPass() + list(number, blank42, before) +                 //
                       "\n" + itemPrompt(labels[1]) + list(number, wairakei, before) +  //
                       "\n" + itemPrompt(labels[2]) + errorMessage() + list(number, wairakei, before) +
                       errorMessage() + list(number, wairakei, before) +  //
                       "\n" + itemPrompt(labels[2]) + list(number, wairakei, after));
    EXPECT_EQ(f.temperature, 50);
}

TEST(Askgen, AnswersThatEndTheQuestion) {
    for (const char* answer : {"", "0", "-1", "7", "123456", "99999"}) {
        SCOPED_TRACE(answer);
        Fields f;
        const std::string out = run(lines({"", "", "", "", "", "", answer}), f);
        const std::string zero[4] = {"    0.0000", "    0.0000", "    0.0000", "    0.0000"};
        EXPECT_EQ(out, firstPass() + list(std::string(16, ' '), blank42, zero));
    }
}

TEST(Askgen, EndOfInputEndsTheScreen) {
    Fields f;
    EXPECT_THROW(run(lines({"S", "L", "1"}), f), EndOfInput);
    EXPECT_THROW(run("S\nL\n1\n2\n3\n4\n2\nno line feed", f), EndOfInput);
}

}  // namespace
}  // namespace zelk::test
