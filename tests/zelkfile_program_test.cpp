// The built zelkfile: the worked tables in examples/ still give the output files kept beside
// them, byte for byte; the help of the program and its verbs; the exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/wait.h>

#include "support/harness.hpp"
#include "zelkfile/columns.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const fs::path examples = fs::path(ZELK_SOURCE_DIR) / "examples";
const std::string zelkfile = ZELKFILE_BINARY;

int statusOf(int shellStatus) { return WIFEXITED(shellStatus) ? WEXITSTATUS(shellStatus) : -1; }

TEST(ZelkfileProgram, WorkedTablesGiveTheirOutputFiles) {
    int tables = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(examples)) {
        if (entry.path().extension() != ".csv") continue;
        ++tables;
        SCOPED_TRACE(entry.path().filename().string());
        TempDir folder;
        const auto [output, status] =
            runShell("'" + zelkfile + "' import '" + entry.path().string() + "' -o '" + folder.file("out") + "'");
        EXPECT_EQ(statusOf(status), 0) << output;
        EXPECT_EQ(output, "");
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
        EXPECT_EQ(statusOf(status), c.status);
        EXPECT_EQ(output.substr(0, c.begins.size()), c.begins);
    }
    // Every verb of the table is in the program's help.
    const std::string help = runShell("'" + zelkfile + "' --help").first;
    for (const char* verb : {"import", "export", "check", "template"}) EXPECT_NE(help.find(std::string("  ") + verb), std::string::npos);
}

TEST(ZelkfileProgram, ManualRendersWithoutWarningsAndNamesEveryColumn) {
    const std::string manual = std::string(ZELK_SOURCE_DIR) + "/zelkfile.1";
    const auto [text, status] = runShell("groff -man -ww -z '" + manual + "'");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text, "");
    const std::string page = readFile(manual);
    for (const workbench::Column& column : workbench::columns) {
        const std::string name(column.name);
        EXPECT_TRUE(page.find("\n.B " + name + "\n") != std::string::npos ||
                    page.find("\n.BR " + name + " ") != std::string::npos)
            << name;
    }
}

}  // namespace
}  // namespace zelk::test
