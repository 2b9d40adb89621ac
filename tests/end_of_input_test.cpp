// End of input at every prompt: the answers of a three-sample run cut after every line, and in
// the middle of every line. Each cut run must stop with status 2 and one line on standard
// error, show a beginning of the whole run's console, and leave a file of exactly the samples
// finished before the cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

const std::string caseFolder = std::string(ZELK_SOURCE_DIR) + "/tests/transcripts/end_of_input_three_samples/";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t feed = text.find('\n', at);
        lines.push_back(text.substr(at, feed - at));
        at = feed + 1;
    }
    return lines;
}

struct WholeRun {
    std::vector<std::string> answers;
    std::string console;
    std::vector<std::string> blocks;  // each sample's 34 lines
    std::vector<int> sampleEnds;      // the answer line that completes each sample
};

WholeRun wholeRun() {
    WholeRun run;
    run.answers = splitLines(readFile(caseFolder + "answers"));
    run.console = readFile(caseFolder + "expected.out");
    const std::vector<std::string> fileLines = splitLines(readFile(caseFolder + "expected.kavix"));
    for (std::size_t b = 0; b + 34 <= fileLines.size(); b += 34) {
        std::string block;
        for (std::size_t k = b; k < b + 34; ++k) block += fileLines[k] + "\n";
        run.blocks.push_back(block);
    }
    for (const std::string& line : splitLines(readFile(caseFolder + "sample_ends"))) run.sampleEnds.push_back(std::stoi(line));
    return run;
}

// Runs the program on the first `whole` answers followed by `partial` (no line feed after it)
// and checks what a run stopped by the end of input must leave.
void checkCut(const WholeRun& all, std::size_t whole, const std::string& partial) {
    std::string answers;
    for (std::size_t i = 0; i < whole; ++i) answers += all.answers[i] + "\n";
    answers += partial;
    SCOPED_TRACE("cut after " + std::to_string(whole) + " lines and \"" + partial + "\"");

    TempDir place;
    const Run run = runProgram(place.path(), answers);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(!run.err.empty() && run.err.back() == '\n' && std::count(run.err.begin(), run.err.end(), '\n') == 1)
        << "standard error: " << run.err;
    EXPECT_EQ(all.console.compare(0, run.out.size(), run.out), 0) << "the console departs from the whole run's";

    if (whole == 0) {
        // Cut before the file was named: no file.
        EXPECT_TRUE(std::filesystem::is_empty(place.path()));
        return;
    }
    const auto finished = static_cast<std::size_t>(
        std::count_if(all.sampleEnds.begin(), all.sampleEnds.end(), [&](int end) { return end <= static_cast<int>(whole); }));
    std::string expected;
    for (std::size_t b = 0; b < finished; ++b) expected += all.blocks[b];
    EXPECT_EQ(readFile(place.file("kavix.in")), expected) << finished << " samples finished before the cut";
}

TEST(EndOfInput, CutAfterEveryLineLeavesTheFinishedSamples) {
    const WholeRun all = wholeRun();
    ASSERT_EQ(all.blocks.size(), 3u);
    ASSERT_EQ(all.sampleEnds.size(), 3u);
    // The last answer ends the run; every shorter run is cut.
    for (std::size_t whole = 0; whole < all.answers.size(); ++whole) checkCut(all, whole, "");
    std::printf("%zu cuts after a line\n", all.answers.size());
}

TEST(EndOfInput, CutInTheMiddleOfEveryLine) {
    const WholeRun all = wholeRun();
    int cuts = 0;
    for (std::size_t line = 0; line < all.answers.size(); ++line) {
        const std::string& answer = all.answers[line];
        if (answer.empty()) continue;
        // A last answer without its line feed is no answer.
        checkCut(all, line, answer.substr(0, (answer.size() + 1) / 2));
        ++cuts;
    }
    std::printf("%d cuts in the middle of a line, the last one in \"%s\"\n", cuts, all.answers.back().c_str());
}

}  // namespace
}  // namespace zelk::test
