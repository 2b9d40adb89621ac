// The built program, end to end: water in m-mole/l and steam-data forms 6 to 9 reach the
// output file as mg/kg, and a run whose samples change forms carries nothing over.
#include <gtest/gtest.h>

#include <initializer_list>

#include "support/harness.hpp"
#include "support/screen_text.hpp"

namespace zelk {
namespace {

using test::right;

// One line of F16.8 fields, from the values as they must be written.
std::string row(std::initializer_list<const char*> values) {
    std::string line;
    for (const char* value : values) line += right(value, 16);
    return line;
}

const std::string zero = "0.00000000";

// Answers, screen by screen. Every screen ends with RETURN at its correction question.
std::string sundry(std::size_t number) {
    std::string answers = "S";
    return answers.append(std::to_string(number)).append("\nWell 7\n100\n5\n1000\n20\n\n");
}
// mg/kg: every component 1, total solids 500, pH 8 at 25 degrees.
std::string waterMg() { return "1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n1\n500\n8\n25\n\n"; }
// m-mole/l at the given density: CO2 and Na 1, the rest 0, total solids 1000, pH 7 at 20.
std::string waterMmol(const std::string& density) {
    return "2\n" + density + "\n1\n0\n0\n0\n0\n1\n0\n0\n0\n0\n0\n0\n0\n0\n1000\n7\n20\n\n";
}
const std::string dryGas = "80\n5\n1\n2\n0\n1\n11\n0.5\n25\n\n";
const std::string form6 = "6\n" + dryGas + "6.5\n20\n100\n50\n3\n10\n\n";
const std::string form7 = "7\n" + dryGas + "6.5\n20\n2\n0\n0\n1\n\n";
const std::string form8 = "8\n100\n50\n3\n10\n0\n0\n30\n4.5\n25\n\n";
const std::string form9 = "9\n2.5\n1\n1\n10\n0\n0\n30\n4.5\n25\n\n";
const std::string noSteam = "\n";

// The number lines of a block, by line number within the block.
struct Expected {
    int line;
    std::string text;
};

const std::vector<Expected> waterMgLines = {
    {10, row({"8.00000000", "25.00000000", "1.00000000", "1.00000000"})},
    {13, row({"1.00000000", "0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
    {16, row({"1.00000000", "1.00000000", "1.00000000", "1.00000000"})},
    {19, row({"1.00000000", "1.00000000", "1.00000000", "1.00000000"})},
    {22, row({"1.00000000", "1.00000000", "1.00000000", "500.00000000"})},
};
std::vector<Expected> waterMmolLines(const char* co2, const char* na, const char* totalSolids) {
    return {
        {10, row({"7.00000000", "20.00000000", co2, "0.00000000"})},
        {13, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
        {16, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
        {19, row({na, "0.00000000", "0.00000000", "0.00000000"})},
        {22, row({"0.00000000", "0.00000000", "0.00000000", totalSolids})},
    };
}
// Dry gas as typed, no total steam, and the given condensate line.
std::vector<Expected> dryGasLines(const std::string& condensate) {
    return {
        {25, row({"80.00000000", "5.00000000", "1.00000000", "2.00000000", "0.00000000"})},
        {28, row({"1.00000000", "11.00000000", "0.50000000", "25.00000000"})},
        {31, row({"0.00000000", "0.00000000", "0.00000000", "6.50000000", "20.00000000"})},
        {34, condensate},
    };
}
const std::vector<Expected> form6Lines = dryGasLines(row({"100.00000000", "50.00000000", "3.00000000", "10.00000000"}));
const std::vector<Expected> form7Lines = dryGasLines(row({"88.02000427", "0.00000000", "0.00000000", "22.99000168"}));
// Residual gas as typed, the given total steam line, no condensate.
std::vector<Expected> residualGasLines(const std::string& steam) {
    return {
        {25, row({"0.00000000", "0.00000000", "0.00000000", "10.00000000", "0.00000000"})},
        {28, row({"0.00000000", "30.00000000", "4.50000000", "25.00000000"})},
        {31, steam},
        {34, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
    };
}
const std::vector<Expected> form8Lines =
    residualGasLines(row({"100.00000000", "50.00000000", "3.00000000", "0.00000000", "0.00000000"}));
const std::vector<Expected> form9Lines =
    residualGasLines(row({"110.02500153", "34.08000183", "17.03000069", "0.00000000", "0.00000000"}));
const std::vector<Expected> noSteamLines = {
    {25, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
    {28, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
    {31, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
    {34, row({"0.00000000", "0.00000000", "0.00000000", "0.00000000"})},
};

struct Sample {
    std::string water, steam;
    std::vector<Expected> waterLines, steamLines;
};

// Runs the samples through the built program and checks each block's number lines.
void expectBlocks(const std::vector<Sample>& samples) {
    test::TempDir folder;
    std::string answers = "\n";  // kavix.in
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (k > 0) answers += "y\n";
        answers.append(sundry(k + 1)).append(samples[k].water).append(samples[k].steam);
    }
    const test::Run run = test::runProgram(folder.path(), answers + "n\n");
    ASSERT_EQ(run.status, 0) << run.err;

    std::vector<std::string> lines;
    const std::string file = test::readFile(folder.file("kavix.in"));
    for (std::size_t at = 0, end; (end = file.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(file.substr(at, end - at));
    ASSERT_EQ(lines.size(), 34 * samples.size());
    for (std::size_t k = 0; k < samples.size(); ++k) {
        for (const auto* part : {&samples[k].waterLines, &samples[k].steamLines})
            for (const Expected& expected : *part)
                EXPECT_EQ(lines[34 * k + static_cast<std::size_t>(expected.line) - 1], expected.text)
                    << "sample " << k + 1 << ", line " << expected.line;
    }
}

TEST(GasFormsEndToEnd, WaterInMmolPerLitre) {
    expectBlocks(
        {{waterMmol("1"), noSteam, waterMmolLines("44.01000214", "22.99000168", "1000.00000000"), noSteamLines}});
    expectBlocks(
        {{waterMmol("0.5"), noSteam, waterMmolLines("88.02000427", "45.98000336", "2000.00000000"), noSteamLines}});
}

TEST(GasFormsEndToEnd, CorrectedWaterDensityConvertsAgain) {
    const std::string corrected = waterMmol("1").substr(0, waterMmol("1").size() - 1) + "18\n0.5\n\n";
    expectBlocks({{corrected, noSteam, waterMmolLines("88.02000427", "45.98000336", "1000.00000000"), noSteamLines}});
}

TEST(GasFormsEndToEnd, EachForm) {
    const Sample samples[] = {
        {waterMg(), form6, waterMgLines, form6Lines},
        {waterMg(), form7, waterMgLines, form7Lines},
        {waterMg(), form8, waterMgLines, form8Lines},
        {waterMg(), form9, waterMgLines, form9Lines},
    };
    for (const Sample& sample : samples) expectBlocks({sample});
}

TEST(GasFormsEndToEnd, HeadingsComeBeforeTheirScreens) {
    const std::string formChosen = " <RETURN> if no steam phase      :  ";
    const std::string dryGasHeading = "\n\n\n DRY GAS COMPOSITION\n\n      CO2 in gas (volume %)      :  ";
    // The condensate heading follows the dry gas screen's last correction question.
    const std::string condensateHeading = test::correctionQuestion() + "\n\n\n CONDENSATE COMPOSITION\n\n";
    const std::string residualHeading = "\n\n\n GAS AND STEAM COMPOSITION\n\n      CO2 in ";
    const struct {
        std::string steam, expected;
    } cases[] = {
        {form6, formChosen + dryGasHeading},
        {form6, condensateHeading + "      Condensate phase pH        :  "},
        {form7, condensateHeading + " Condensate phase density assumed 1.000 kg/l.\n\n      Condensate phase pH "},
        {form8, formChosen + residualHeading + "total steam (mg/kg) :  "},
        {form9, formChosen + residualHeading + "steam (m-mole/kg)   :  "},
    };
    for (const auto& c : cases) {
        test::TempDir folder;
        std::string answers = "\n";
        answers.append(sundry(1)).append(waterMg()).append(c.steam).append("n\n");
        const test::Run run = test::runProgram(folder.path(), answers);
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << c.expected;
    }
}

TEST(GasFormsEndToEnd, NothingOfAnEarlierSampleReachesALaterBlock) {
    expectBlocks({
        {waterMmol("0.5"), form8, waterMmolLines("88.02000427", "45.98000336", "2000.00000000"), form8Lines},
        {waterMg(), form6, waterMgLines, form6Lines},
        {waterMmol("1"), form9, waterMmolLines("44.01000214", "22.99000168", "1000.00000000"), form9Lines},
        {waterMg(), form7, waterMgLines, form7Lines},
        {waterMg(), form8, waterMgLines, form8Lines},
        {waterMg(), form7, waterMgLines, form7Lines},
        {waterMg(), noSteam, waterMgLines, noSteamLines},
        {waterMg(), form9, waterMgLines, form9Lines},
        {waterMg(), form6, waterMgLines, form6Lines},
    });
}

}  // namespace
}  // namespace zelk
