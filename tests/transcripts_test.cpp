// Transcript cases: every folder under tests/transcripts holds the answers of a run and the
// console bytes, output file and exit status the program must give for them. Each case is a
// test of its own, run in a fresh folder; a mismatch names the first differing byte and
// leaves the received bytes beside the expected ones as *.received.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const fs::path casesFolder = fs::path(ZELK_SOURCE_DIR) / "tests" / "transcripts";

std::string escaped(const std::string& bytes, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < std::min(to, bytes.size()); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            static const char digits[] = "0123456789abcdef";
            text += "\\x";
            text += digits[c >> 4];
            text += digits[c & 15];
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

// Empty when equal; otherwise where the bytes first differ, with some context around it.
std::string difference(const std::string& expected, const std::string& received) {
    if (expected == received) return {};
    const std::size_t common = std::min(expected.size(), received.size());
    std::size_t at = 0;
    while (at < common && expected[at] == received[at]) ++at;
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(expected.begin(), expected.begin() + at, '\n'));
    const std::size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t column = at == 0 || lineStart == std::string::npos ? at + 1 : at - lineStart;
    const std::size_t from = at > 60 ? at - 60 : 0;
    return "first difference at offset " + std::to_string(at) + " (line " + std::to_string(line) + ", column " +
           std::to_string(column) + "; sizes " + std::to_string(expected.size()) + " expected, " +
           std::to_string(received.size()) + " received)\n  before:   \"" + escaped(expected, from, at) +
           "\"\n  expected: \"" + escaped(expected, at, at + 60) + "\"\n  received: \"" +
           escaped(received, at, at + 60) + "\"";
}

std::string optionalFile(const fs::path& path, const std::string& otherwise) {
    return fs::exists(path) ? readFile(path.string()) : otherwise;
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs one case; returns what went wrong, empty if nothing did.
std::string runCase(const fs::path& folder) {
    const std::string answers = readFile((folder / "answers").string());
    const bool wantsFile = fs::exists(folder / "expected.kavix");
    std::string name = optionalFile(folder / "name", "kavix.in");
    const std::string expectedOut = readFile((folder / "expected.out").string());
    const std::string expectedStatus = optionalFile(folder / "status", "0\n");

    TempDir place;
    const Run run = runProgram(place.path(), answers);
    const std::vector<std::string> left = entries(place.path());
    const std::string received = wantsFile && left.size() == 1 && left[0] == name ? readFile(place.file(name)) : "";

    std::string faults;
    std::vector<std::pair<std::string, std::string>> keep;
    if (const std::string d = difference(expectedOut, run.out); !d.empty()) {
        faults += "console: " + d + "\n";
        keep.emplace_back("out.received", run.out);
    }
    const std::vector<std::string> wantedEntries = wantsFile ? std::vector<std::string>{name} : std::vector<std::string>{};
    if (left != wantedEntries) {
        std::string listed;
        for (const std::string& entry : left) listed += " \"" + entry + "\"";
        faults += "folder holds" + (listed.empty() ? std::string(" nothing") : listed) + ", expected " +
                  (wantsFile ? "only \"" + name + "\"" : std::string("nothing")) + "\n";
    }
    if (wantsFile) {
        if (const std::string d = difference(readFile((folder / "expected.kavix").string()), received); !d.empty()) {
            faults += "output file: " + d + "\n";
            keep.emplace_back("kavix.received", received);
        }
    }
    const std::string status = std::to_string(run.status) + "\n";
    if (status != expectedStatus) {
        faults += "status " + std::to_string(run.status) + ", expected " + expectedStatus;
        keep.emplace_back("status.received", status);
    }
    // Standard error: nothing after a normal end, one line of notice otherwise.
    const bool oneLine = !run.err.empty() && run.err.back() == '\n' &&
                         std::count(run.err.begin(), run.err.end(), '\n') == 1;
    const bool errorsRight = fs::exists(folder / "expected.err")
                                 ? run.err == readFile((folder / "expected.err").string())
                                 : (run.status == 0 ? run.err.empty() : oneLine);
    if (!errorsRight) {
        faults += "standard error: \"" + escaped(run.err, 0, 400) + "\"\n";
        keep.emplace_back("err.received", run.err);
    }

    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".received") fs::remove(entry.path());
    for (const auto& [file, bytes] : keep) writeFile((folder / file).string(), bytes);
    return faults;
}

// The case folders, by name; none when the folder cannot be read (CasesArePresent then fails).
std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(casesFolder, error), end; !error && it != end; it.increment(error))
        if (it->is_directory()) names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Transcripts, CasesArePresent) {
    EXPECT_GE(caseNames().size(), 40u) << "transcript cases missing from " << casesFolder;
}

// One test per case, named after its folder: ctest -R NAME runs it alone.
class Transcript : public testing::TestWithParam<std::string> {};

TEST_P(Transcript, GivesItsBytes) {
    const std::string faults = runCase(casesFolder / GetParam());
    EXPECT_TRUE(faults.empty()) << "case " << GetParam() << ":\n" << faults;
}

INSTANTIATE_TEST_SUITE_P(Cases, Transcript, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Transcript);

}  // namespace
}  // namespace zelk::test
