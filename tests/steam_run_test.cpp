// The total-steam forms through the built program: the steam-phase lines of the block in
// the output file, and nothing of an earlier sample left in a later one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/harness.hpp"

namespace zelk {
namespace {

using test::runProgram;
using test::TempDir;

std::string repeat(const std::string& text, int times) {
    std::string all;
    for (int k = 0; k < times; ++k) all += text;
    return all;
}

// One sample: sundry data, an empty water phase in mg/kg, the steam-data form, then the
// answers of its screen, the RETURN that ends it included.
std::string sample(int form, const std::string& steam) {
    return "S-1\nWell 7\n100\n5\n1000\n20\n\n" + repeat("\n", 19) + std::to_string(form) + "\n" + steam;
}

// A whole run: the default file name, the samples with a y between them, and n to end.
std::string runAnswers(const std::vector<std::string>& samples) {
    std::string all = "\n";
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (k > 0) all += "y\n";
        all += samples[k];
    }
    return all + "n\n";
}

std::vector<std::string> fileLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(bytes.substr(at, end - at));
    return lines;
}

// Each expected text is either a whole F16.8 field (eight decimals, inf, nan) or a value
// to the digits given, which the field must round to.
void expectFields(const std::string& line, const std::vector<std::string>& expected, const std::string& what) {
    ASSERT_EQ(line.size(), 16 * expected.size()) << what << ": " << line;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const std::string field = line.substr(16 * k, 16);
        const std::string& want = expected[k];
        const std::size_t point = want.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(want.size() - point - 1);
        if (decimals == 8 || want.find_first_of("0123456789") == std::string::npos) {
            EXPECT_EQ(field, std::string(16 - want.size(), ' ') + want) << what << ", field " << k + 1;
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "%.*f", decimals, std::strtod(field.c_str(), nullptr));
            EXPECT_EQ(text, want) << what << ", field " << k + 1 << ": " << field;
        }
    }
}

const std::string zero = "0.00000000";
const std::string twentyFive = "25.00000000";

struct SteamLines {
    std::vector<std::string> gas1to5, gas6to7, steam, condensate;
};

void expectSteam(const std::vector<std::string>& lines, std::size_t block, const SteamLines& want,
                 const std::string& what) {
    const std::size_t first = 34 * block;  // the block's line 1, counted from 0
    expectFields(lines[first + 24], want.gas1to5, what + ", gas line");
    expectFields(lines[first + 27], want.gas6to7, what + ", second gas line");
    expectFields(lines[first + 30], want.steam, what + ", steam line");
    expectFields(lines[first + 33], want.condensate, what + ", condensate line");
}

const std::vector<std::string> noCondensate = {zero, zero, zero, zero};

struct FormCase {
    int form;
    std::string answers;
    std::string firstPrompt;
    SteamLines expected;
};

const FormCase forms[] = {
    {1, "1000\n100\n10\n20.2\n\n16.04\n28.01\n\n", "      CO2 in total steam (mg/kg) :  ",
     {{zero, zero, zero, "83.33333", zero},
      {"8.333333", "8.333333", "0.29358", twentyFive},
      {"1000.00000000", "100.00000000", "10.00000000", zero, zero},
      noCondensate}},
    {2, "20\n3\n0.5\n1\n0\n0.5\n0.5\n\n", "      CO2 in steam (m-mole/kg)   :  ",
     {{zero, zero, zero, "50.00000000", zero},
      {twentyFive, twentyFive, "0.048930", twentyFive},
      {"880.2", "102.24", "8.515", zero, zero},
      noCondensate}},
    {3, "20\n3\n0.5\n1\n0\n0.5\n0.5\n\n", "      CO2 in total steam\n           (m-mole gas/mole H2O) :  ",
     {{zero, zero, zero, "50.00000000", zero},
      {twentyFive, twentyFive, "2.71610", twentyFive},
      {"48859.90", "5675.342", "472.6677", zero, zero},
      noCondensate}},
    {4, "0.5\n0.05\n0.01\n0.02\n0\n0.01\n0.01\n\n\n", "      CO2 in steam (mole-%)      :  ",
     {{zero, zero, zero, "50", zero},
      {"25", "25", "0.54650", twentyFive},
      {"12288.71", "951.6000", "95.10415", zero, zero},
      noCondensate}},
    {5, "1\n0.1\n0.01\n0.001\n0\n0.001\n0.002\n\n\n", "      CO2 in steam (weight-%)    :  ",
     {{zero, zero, zero, "78.72966", zero},
      {"9.914832", "11.35551", "0.155568", twentyFive},
      {"10112.66", "1011.266", "101.1265", zero, zero},
      noCondensate}},
    // H2O left out while the gases add up to 100: the block shows what cannot be computed.
    {4, "101\n-1\n\n\n\n\n\n\n\n", "      CO2 in steam (mole-%)      :  ",
     {{zero, zero, zero, zero, zero},
      {zero, zero, "nan", twentyFive},
      {"inf", "-inf", "nan", zero, zero},
      noCondensate}},
};

TEST(TotalSteamRun, EachFormReachesTheOutputFile) {
    for (const FormCase& c : forms) {
        const std::string what = "form " + std::to_string(c.form);
        TempDir folder;
        const test::Run run = runProgram(folder.path(), runAnswers({sample(c.form, c.answers)}));
        EXPECT_EQ(run.status, 0) << what << run.err;
        const std::string heading =
            " <RETURN> if no steam phase      :  \n\n\n TOTAL STEAM COMPOSITION\n\n" + c.firstPrompt;
        EXPECT_NE(run.out.find(heading), std::string::npos) << what;
        const std::vector<std::string> lines = fileLines(test::readFile(folder.file("kavix.in")));
        ASSERT_EQ(lines.size(), 34u) << what;
        expectSteam(lines, 0, c.expected, what);
    }
}

TEST(TotalSteamRun, NothingOfTheEarlierSampleRemains) {
    // Form 5 fills every steam field but the condensate ones; then form 2 with nothing typed,
    // then no steam phase, then form 1 again with nothing typed.
    TempDir folder;
    const test::Run run = runProgram(folder.path(), runAnswers({sample(5, "1\n0.1\n0.01\n0.001\n0\n0.001\n0.002\n\n\n"),
                                                                sample(2, repeat("\n", 8)), sample(0, ""),
                                                                sample(1, repeat("\n", 8))}));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = fileLines(test::readFile(folder.file("kavix.in")));
    ASSERT_EQ(lines.size(), 4 * 34u);
    const std::vector<std::string> five(5, zero);
    const SteamLines empty = {five, {zero, zero, zero, twentyFive}, five, noCondensate};
    expectSteam(lines, 1, empty, "form 2 after form 5");
    expectSteam(lines, 2, {five, {zero, zero, zero, zero}, five, noCondensate}, "no steam after form 2");
    expectSteam(lines, 3, empty, "form 1 after no steam");
}

}  // namespace
}  // namespace zelk
