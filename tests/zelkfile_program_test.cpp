// The built zelkfile: the worked tables in examples/ still give the output files kept beside
// them, byte for byte; the help of the program and its verbs; the exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/harness.hpp"
#include "support/workbench.hpp"
#include "zelkfile/columns.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const fs::path examples = fs::path(ZELK_SOURCE_DIR) / "examples";
const std::string zelkfile = ZELKFILE_BINARY;


TEST(ZelkfileProgram, WorkedTablesGiveTheirOutputFiles) {
    int tables = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(examples)) {
        if (entry.path().extension() != ".csv") continue;
        ++tables;
        SCOPED_TRACE(entry.path().filename().string());
        TempDir folder;
        const auto [output, status] =
            runShell("'" + zelkfile + "' import '" + entry.path().string() + "' -o '" + folder.file("out") + "'");
        EXPECT_EQ(status, 0) << output;
        EXPECT_EQ(importErrors(output), "");
        const fs::path kept = fs::path(entry.path()).replace_extension(".out");
        const std::string got = readFile(folder.file("out"));
        // A mismatch leaves NAME.out.received beside the table, for diff.
        const fs::path received = kept.string() + ".received";
        if (got == readFile(kept.string())) {
            fs::remove(received);
        } else {
            writeFile(received.string(), got);
            ADD_FAILURE() << kept.filename() << " differs from what zelkfile gives now; see " << received.filename()
                          << " (make examples writes them anew)";
        }
    }
    EXPECT_GE(tables, 1);
}

TEST(ZelkfileProgram, HelpAndStatuses) {
    struct Case {
        std::string arguments;
        int status;
        std::string begins;
    };
    const Case cases[] = {
        {"--help", 0, "usage: zelkfile VERB [ARGUMENTS]\n"},
        {"", 2, "usage: zelkfile VERB [ARGUMENTS]\n"},
        {"import --help", 0, "usage: zelkfile import TABLE.csv [-o FILE]\n"},
        {"export -h", 0, "usage: zelkfile export FILE [> TABLE.csv]\n"},
        {"check --help", 0, "usage: zelkfile check FILE...\n"},
        {"template --help", 0, "usage: zelkfile template [> TABLE.csv]\n"},
        {"frobnicate", 2, "zelkfile: unknown verb \"frobnicate\"; see zelkfile --help\n"},
        {"template > /dev/full", 2, "zelkfile: cannot write standard output: No space left on device\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto [output, status] = runShell("{ '" + zelkfile + "' " + c.arguments + "; }");
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(output.substr(0, c.begins.size()), c.begins);
    }
    // Every verb of the table is in the program's help.
    const std::string help = runShell("'" + zelkfile + "' --help").first;
    for (const char* verb : {"import", "export", "check", "template"}) EXPECT_NE(help.find(std::string("  ") + verb), std::string::npos);
}

TEST(ZelkfileProgram, ASignalDuringAnImportLeavesNothingBehind) {
    // The table comes through a FIFO, so the signal surely comes in the middle of it.
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("lab.csv").c_str(), 0600), 0);
    writeFile(dir.file("kavix.in"), "yesterday's samples\n");
    Process import({.argv = {zelkfile, "import", dir.file("lab.csv"), "-o", dir.file("kavix.in")},
                    .input = "/dev/null",
                    .output = "/dev/null",
                    .errors = dir.file("errors")});
    const int table = ::open(dir.file("lab.csv").c_str(), O_WRONLY);
    ASSERT_GE(table, 0);
    // The import stops reading once it has taken the signal: the rest may find no reader.
    const auto pipeAction = std::signal(SIGPIPE, SIG_IGN);
    auto rows = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "S" + std::to_string(i) + ",1.5\n";
        [[maybe_unused]] const ssize_t written = ::write(table, text.data(), text.size());
    };
    const std::string header = "sample_number,discharge\n";
    ASSERT_EQ(::write(table, header.data(), header.size()), static_cast<ssize_t>(header.size()));
    // More than a pipe holds: the import is reading rows when the signal comes.
    rows(10000);
    import.signal(SIGTERM);
    rows(3000);
    ::close(table);
    std::signal(SIGPIPE, pipeAction);
    EXPECT_EQ(import.finish()->status, 128 + SIGTERM);
    EXPECT_EQ(readFile(dir.file("errors")), "zelkfile: interrupted; \"" + dir.file("kavix.in") + "\" not written\n");
    EXPECT_EQ(readFile(dir.file("kavix.in")), "yesterday's samples\n");
    EXPECT_EQ(entries(dir.path()).size(), 3u);  // the table, the file and the errors: no new file left
}

// That it renders without warnings is checked with zelk's page (manual_test.cpp).
TEST(ZelkfileProgram, ManualNamesEveryColumn) {
    const std::string page = readFile(std::string(ZELK_SOURCE_DIR) + "/zelkfile.1");
    for (const workbench::Column& column : workbench::columns) {
        const std::string name(column.name);
        EXPECT_TRUE(page.find("\n.B " + name + "\n") != std::string::npos ||
                    page.find("\n.BR " + name + " ") != std::string::npos)
            << name;
    }
}

}  // namespace
}  // namespace zelk::test
