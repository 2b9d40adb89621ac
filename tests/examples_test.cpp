// The worked examples in examples/: the program, run on each answers file, must still give
// the console transcript and the output file kept beside it, byte for byte.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const fs::path examples = fs::path(ZELK_SOURCE_DIR) / "examples";

std::vector<std::string> exampleNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(examples))
        if (entry.path().extension() == ".answers") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A mismatch leaves NAME.console.received or NAME.out.received beside the example, for diff.
void expectSame(const fs::path& kept, const std::string& got) {
    const fs::path received = kept.string() + ".received";
    if (readFile(kept.string()) == got) {
        fs::remove(received);
        return;
    }
    writeFile(received.string(), got);
    ADD_FAILURE() << kept.filename().string() << " differs from what the program gives now; see "
                  << received.filename().string() << " (make examples writes them anew)";
}

class Example : public testing::TestWithParam<std::string> {};

TEST_P(Example, GivesItsTranscriptAndOutputFile) {
    const fs::path base = examples / GetParam();
    TempDir folder;
    const test::Run run = runProgram(folder.path(), readFile(base.string() + ".answers"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    expectSame(base.string() + ".console", run.out);

    // The run's folder holds nothing but the output file the answers named.
    std::vector<fs::path> made;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.path())) made.push_back(entry.path());
    ASSERT_EQ(made.size(), 1u) << "the run should leave exactly one output file";
    expectSame(base.string() + ".out", readFile(made[0].string()));
}

// The same answers saved with Windows line ends give the same bytes.
TEST_P(Example, WindowsLineEndsGiveTheSame) {
    const fs::path base = examples / GetParam();
    std::string answers;
    for (char c : readFile(base.string() + ".answers")) answers += c == '\n' ? std::string("\r\n") : std::string(1, c);
    TempDir folder;
    const test::Run run = runProgram(folder.path(), answers);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, readFile(base.string() + ".console"));
    EXPECT_EQ(entries(folder.path()).size(), 1u);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.path()))
        EXPECT_EQ(readFile(entry.path().string()), readFile(base.string() + ".out"));
}

std::string testName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Examples, Example, testing::ValuesIn(exampleNames()), testName);

}  // namespace
}  // namespace zelk::test
