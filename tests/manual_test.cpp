// The manual page: it renders without a warning, and it names the forms, the water units
// and the version exactly as the program shows them.
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

const std::string manual = std::string(ZELK_SOURCE_DIR) + "/zelk.1";

// Both programs' pages.
TEST(Manual, RendersWithoutWarnings) {
    if (const std::string missing = missingTool({{"groff", "groff-base"}}); !missing.empty()) GTEST_SKIP() << missing;
    for (const std::string& page : {manual, std::string(ZELK_SOURCE_DIR) + "/zelkfile.1"}) {
        const auto [text, status] = runShell("groff -man -ww -z '" + page + "'");
        EXPECT_EQ(status, 0) << page;
        EXPECT_EQ(text, "") << page;
    }
}

// The program's own menus, from one sample with every answer empty.
std::string menus() {
    TempDir folder;
    std::string answers(1 + 6 + 1 + 1 + 17 + 1 + 1, '\n');
    answers += "n\n";
    return runProgram(folder.path(), answers).out;
}

// The numbered lines of the menu that starts with heading and ends with the prompt end.
std::vector<std::pair<std::string, std::string>> menu(const std::string& screens, const std::string& heading,
                                                      const std::string& end) {
    const std::size_t from = screens.find(heading), to = screens.find(end, from);
    const std::string part = from == std::string::npos ? "" : screens.substr(from, to - from);
    const std::regex entry("\n  ([1-9]) : ([^\n]+)");
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::sregex_iterator it(part.begin(), part.end(), entry), none; it != none; ++it)
        entries.emplace_back((*it)[1].str(), (*it)[2].str());
    return entries;
}

TEST(Manual, NamesEveryMenuEntryAsTheProgramShowsIt) {
    const std::string page = readFile(manual), screens = menus();
    const auto water = menu(screens, " WATER PHASE CONCENTRATIONS\n", " Type item number, default is 1");
    const auto steam = menu(screens, " STEAM PHASE GAS DATA AS\n", " <RETURN> if no steam phase");
    EXPECT_EQ(water.size(), 2u);
    EXPECT_EQ(steam.size(), 9u);
    for (const auto* entries : {&water, &steam})
        for (const auto& [number, text] : *entries)
            EXPECT_NE(page.find(".B " + number + "\n.I \"" + text + "\"\n"), std::string::npos)
                << "no entry " << number << " for \"" << text << "\"";
}

TEST(Manual, CarriesTheVersionOfTheBanner) {
    std::smatch banner;
    const std::string screens = menus();
    ASSERT_TRUE(std::regex_search(screens, banner, std::regex(" Program ZELK, version ([0-9.]+),  ([A-Za-z]+ [0-9]+)\\.")));
    const std::string title = ".TH ZELK 1 \"" + banner[2].str() + "\" \"ZELK " + banner[1].str() + "\"";
    EXPECT_NE(readFile(manual).find(title), std::string::npos) << title;
}

// The diagnostics the page lists are the program's own, up to the name and reason it fills in.
TEST(Manual, QuotesTheProgramsDiagnostics) {
    const std::string page = readFile(manual);
    const struct {
        std::string answers;
        std::string fixedPart;  // what the diagnostic says before anything particular to the run
    } cases[] = {
        {"", "zelk: end of file on standard input\n"},
        {"no-such-folder/kavix.in\n", "zelk: cannot open output file \""},
    };
    for (const auto& c : cases) {
        TempDir folder;
        const std::string err = runProgram(folder.path(), c.answers).err;
        ASSERT_EQ(err.substr(0, c.fixedPart.size()), c.fixedPart);
        std::string roff = std::regex_replace(c.fixedPart, std::regex("\""), "\\(dq");
        if (roff.back() == '\n') roff.pop_back();
        EXPECT_NE(page.find(roff), std::string::npos) << roff;
    }
}

}  // namespace
}  // namespace zelk::test
