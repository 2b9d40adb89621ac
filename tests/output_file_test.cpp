// Output files by name: what each kind of name becomes, the numbered backups, the file put in
// place whole or not at all, and one claim of a name at a time across processes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "record/output_file.hpp"
#include "support/harness.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> entries(const TempDir& dir) { return test::entries(dir.path()); }

std::string failureOf(const std::string& name) {
    try {
        PreparedOutput output(name);
    } catch (const OutputFailure& failure) {
        return failure.what();
    }
    return "";
}

TEST(PreparedOutput, CommitPutsTheNewFileInPlaceAndKeepsTheOldOne) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> before;  // name, contents
        std::set<std::string> after;
        std::string backup;  // the name the earlier kavix.in is kept under, if any
    };
    const Case cases[] = {
        {"no file yet", {}, {"kavix.in f"}, ""},
        {"an empty file is replaced", {{"kavix.in", ""}}, {"kavix.in f"}, ""},
        {"a file is kept as the first backup", {{"kavix.in", "old\n"}}, {"kavix.in f", "kavix.in.~1~ f"}, "kavix.in.~1~"},
        {"one above the highest backup",
         {{"kavix.in", "old\n"}, {"kavix.in.~1~", "1"}, {"kavix.in.~7~", "7"}, {"kavix.in.~x~", "x"}},
         {"kavix.in f", "kavix.in.~1~ f", "kavix.in.~7~ f", "kavix.in.~8~ f", "kavix.in.~x~ f"},
         "kavix.in.~8~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        for (const auto& [name, contents] : c.before) writeFile(dir.file(name), contents);
        {
            PreparedOutput output(dir.file("kavix.in"));
            output.write("new ");
            output.write("data\n");
            output.commit();
        }
        EXPECT_EQ(entries(dir), c.after);
        EXPECT_EQ(readFile(dir.file("kavix.in")), "new data\n");
        if (!c.backup.empty()) {
            EXPECT_EQ(readFile(dir.file(c.backup)), "old\n");
        }
    }
}

TEST(PreparedOutput, UncommittedLeavesTheNameAsItWas) {
    TempDir dir;
    writeFile(dir.file("kavix.in"), "old\n");
    {
        PreparedOutput output(dir.file("kavix.in"));
        output.write("half of it\n");
    }
    EXPECT_EQ(entries(dir), std::set<std::string>{"kavix.in f"});
    EXPECT_EQ(readFile(dir.file("kavix.in")), "old\n");

    TempDir empty;
    { PreparedOutput output(empty.file("new.in")); }
    EXPECT_TRUE(fs::is_empty(empty.path()));
}

TEST(PreparedOutput, ALinkIsKeptAsTheLinkAndItsTargetNeverTouched) {
    TempDir dir;
    writeFile(dir.file("target"), "samples of last week\n");
    fs::create_symlink("target", dir.file("kavix.in"));
    {
        PreparedOutput output(dir.file("kavix.in"));
        output.write("new\n");
        output.commit();
    }
    EXPECT_EQ(entries(dir), (std::set<std::string>{"kavix.in f", "kavix.in.~1~ l", "target f"}));
    EXPECT_EQ(fs::read_symlink(dir.file("kavix.in.~1~")), "target");
    EXPECT_EQ(readFile(dir.file("target")), "samples of last week\n");
}

TEST(PreparedOutput, NamesThatAreRefused) {
    TempDir dir;
    fs::create_directory(dir.file("folder"));
    fs::create_symlink("nowhere", dir.file("dangling"));
    fs::create_symlink("folder", dir.file("to-folder"));
    ::mkfifo(dir.file("fifo").c_str(), 0666);
    const std::set<std::string> before = entries(dir);
    struct Case {
        std::string name, failure;
    };
    const Case cases[] = {
        {"folder", "cannot open output file \"" + dir.file("folder") + "\": Is a directory"},
        {"to-folder", "cannot open output file \"" + dir.file("to-folder") + "\": Is a directory"},
        {"dangling",
         "cannot open output file \"" + dir.file("dangling") + "\": a symbolic link to a file that does not exist"},
        {"fifo", "cannot open output file \"" + dir.file("fifo") + "\": no process reads the FIFO"},
        {"no/such/folder", "cannot open output file \"" + dir.file("no/such/folder") + "\": No such file or directory"},
    };
    for (const Case& c : cases) EXPECT_EQ(failureOf(dir.file(c.name)), c.failure);
    EXPECT_EQ(entries(dir), before);
}

// As root the nodes are made here, so that a fault could not replace the machine's own; where
// root may not make them, the test cannot be run safely, and says so.
TEST(PreparedOutput, DevicesAreWrittenAsTheyAre) {
    TempDir dir;
    std::string null = "/dev/null", full = "/dev/full";
    if (::geteuid() == 0) {
        null = dir.file("null");
        full = dir.file("full");
        const std::string refused = makeDevice(null, 3);
        if (!refused.empty()) GTEST_SKIP() << refused << ", and as root the machine's own /dev/null would be at stake";
        ASSERT_EQ(makeDevice(full, 7), "");
    }
    {
        PreparedOutput output(null);
        output.write("discarded\n");
        output.commit();
        EXPECT_EQ(output.close(), 0);
    }
    EXPECT_TRUE(fs::is_character_file(null));

    PreparedOutput output(full);
    EXPECT_EQ(output.append("a block\n"), ENOSPC);
    try {
        output.write("a block\n");
        ADD_FAILURE() << "a write to a full device succeeded";
    } catch (const OutputFailure& failure) {
        EXPECT_EQ(std::string(failure.what()), "cannot write output file \"" + full + "\": No space left on device");
    }
    EXPECT_TRUE(fs::is_character_file(full));
}

// New files of killed runs are removed as the name is claimed; those of a live claim, and
// those of other names, stay.
TEST(PreparedOutput, ClaimRemovesNewFilesThatNoRunHolds) {
    TempDir dir;
    writeFile(dir.file("kavix.in"), "old\n");
    for (const char* name : {".kavix.in.new-AbC123", ".kavix.in.new-zzzzzz", ".kavix.in.new-toolong7", ".other.new-AbC123"})
        writeFile(dir.file(name), "left by a killed run\n");
    std::set<std::string> before = entries(dir);
    PreparedOutput live(dir.file("kavix.in"));
    std::set<std::string> withLive = entries(dir);
    ASSERT_EQ(withLive.size(), before.size() - 1);  // two removed, the live claim's made
    EXPECT_EQ(withLive.count(".kavix.in.new-AbC123 f") + withLive.count(".kavix.in.new-zzzzzz f"), 0u);
    EXPECT_EQ(withLive.count(".kavix.in.new-toolong7 f") + withLive.count(".other.new-AbC123 f"), 2u);
    // A second claim in this process (another process is refused by the lock) leaves the
    // live claim's new file alone: its lock tells.
    {
        PreparedOutput second(dir.file("kavix.in"));
        std::set<std::string> both = entries(dir);
        for (const std::string& entry : withLive) EXPECT_EQ(both.count(entry), 1u) << entry;
    }
    live.write("new\n");
    live.commit();
    EXPECT_EQ(entries(dir), (std::set<std::string>{".kavix.in.new-toolong7 f", ".other.new-AbC123 f", "kavix.in f",
                                                    "kavix.in.~1~ f"}));
}

// Starts `count` processes that each claim the name and commit at once, then hold it until
// the returned pipe is closed; gives how many got it and the failures of the others.
struct Claims {
    int won = 0;
    std::multiset<std::string> failures;
};

Claims claimTogether(const std::string& name, int count) {
    int results[2], hold[2], go[2];
    EXPECT_EQ(::pipe(results), 0);
    EXPECT_EQ(::pipe(hold), 0);
    EXPECT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int k = 0; k < count; ++k) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(hold[1]);
            ::close(go[1]);
            char byte;
            [[maybe_unused]] ssize_t ignored = ::read(go[0], &byte, 1);  // all start together
            std::string result = "won";
            try {
                PreparedOutput output(name);
                output.commit();
                ignored = ::write(results[1], "won\n", 4);
                ignored = ::read(hold[0], &byte, 1);
            } catch (const OutputFailure& failure) {
                result = std::string(failure.what()) + "\n";
                ignored = ::write(results[1], result.data(), result.size());
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    ::close(results[1]);
    ::close(hold[0]);
    ::close(go[0]);
    ::close(go[1]);
    Claims claims;
    std::string text;
    char buffer[4096];
    for (int lines = 0; lines < count;) {
        const ssize_t got = ::read(results[0], buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    ::close(hold[1]);
    for (pid_t child : children) ::waitpid(child, nullptr, 0);
    ::close(results[0]);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        if (line == "won")
            ++claims.won;
        else
            claims.failures.insert(line.substr(0, line.find("(process")));
        at = end + 1;
    }
    return claims;
}

TEST(PreparedOutput, OneClaimOfANameAtATime) {
    for (const bool existing : {false, true}) {
        for (int round = 0; round < 10; ++round) {
            SCOPED_TRACE(std::string(existing ? "an existing file" : "no file yet") + ", round " + std::to_string(round));
            TempDir dir;
            if (existing) writeFile(dir.file("kavix.in"), "old\n");
            const Claims claims = claimTogether(dir.file("kavix.in"), 6);
            EXPECT_EQ(claims.won, 1);
            const std::string refusal = "output file \"" + dir.file("kavix.in") + "\" is being written by another run ";
            EXPECT_EQ(claims.failures, std::multiset<std::string>({refusal, refusal, refusal, refusal, refusal}));
            // Only the run that got the name put the old file aside.
            const std::set<std::string> left =
                existing ? std::set<std::string>{"kavix.in f", "kavix.in.~1~ f"} : std::set<std::string>{"kavix.in f"};
            EXPECT_EQ(entries(dir), left);
        }
    }
}

}  // namespace
}  // namespace zelk::test
