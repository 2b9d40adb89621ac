// The built program under hostile conditions: odd output names, closed or failing standard
// streams, file-size limits, signals ignored or sent while stopped, two runs on one file,
// answers with Windows line ends or tabs, and arguments. Each case checks the exit status,
// standard error, the files left and that the output file holds exactly the finished
// samples, as whole blocks.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "base/startup.hpp"
#include "record/reader.hpp"
#include "support/harness.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;
using Entries = std::set<std::string>;

// One sample with water in mg/kg and no steam phase; each number followed by `after`.
std::string sampleAnswers(int k, const std::string& after = "") {
    const std::string n = std::to_string(k);
    std::string answers = lines({"S-" + n, "Well " + n, "250.5" + after, "20" + after, "1100" + after,
                                 "30" + after, "", "1" + after});
    for (int item = 0; item < 17; ++item) answers += std::to_string(item) + ".25" + after + "\n";
    return answers + lines({"", ""});
}

// A run's answers: the output name, then `samples` samples.
std::string runAnswers(const std::string& name, int samples, const std::string& after = "") {
    std::string answers = name + "\n";
    for (int k = 1; k <= samples; ++k) answers += sampleAnswers(k, after) + (k < samples ? "y\n" : "n\n");
    return answers;
}

std::string withCrLf(const std::string& text) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

// The console and file of a plain run of `samples` samples, on a regular file.
const Run& plainRun(int samples, std::string* file = nullptr) {
    static std::map<int, std::pair<Run, std::string>> runs;
    auto found = runs.find(samples);
    if (found == runs.end()) {
        TempDir dir;
        Run run = runProgram(dir.path(), runAnswers("", samples));
        found = runs.emplace(samples, std::make_pair(run, readFile(dir.file("kavix.in")))).first;
    }
    if (file) *file = found->second.second;
    return found->second.first;
}

std::string plainFile(int samples) {
    std::string file;
    plainRun(samples, &file);
    return file;
}

// The file holds the blocks of exactly the first `samples` samples of a plain run.
void expectBlocks(const std::string& path, int samples) {
    const std::string file = readFile(path);
    const ReadBlocks blocks = readBlocks(file);
    EXPECT_FALSE(blocks.fault) << path << ": line " << blocks.fault->line << ": " << blocks.fault->message;
    EXPECT_EQ(blocks.records.size(), static_cast<std::size_t>(samples)) << path;
    EXPECT_EQ(file, plainFile(samples)) << path;
}

struct Case {
    std::string what;
    std::function<void(const TempDir&)> prepare = {};  // makes the folder's files
    std::string answers;                                // with {dir} for the folder
    std::vector<std::string> args = {};
    std::function<void()> setUp = {};                   // in the child, before the program
    int status = 0;
    std::string err = "";  // with {dir} for the folder
    Entries left = {};     // the folder's entries afterwards
    std::string file = "kavix.in";  // the output file to check, if any
    int blocks = 0;        // the samples it must hold
    bool plainConsole = false;  // the console must be that of the plain run of `blocks` samples
    int mode = -1;         // the output file's permission bits, when given
    std::string kept = "";  // what the output file still holds, when it must be left alone
};

std::string withFolder(std::string text, const std::string& folder) {
    for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) text.replace(at, 5, folder);
    return text;
}

void runCase(const Case& c) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    if (c.prepare) c.prepare(dir);
    Running program(dir.path(), {.answers = withFolder(c.answers, dir.path()), .args = c.args, .setUp = c.setUp});
    const test::Run run = program.finish();
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, withFolder(c.err, dir.path()));
    EXPECT_EQ(entries(dir.path()), c.left);
    if (!c.file.empty()) expectBlocks(dir.file(c.file), c.blocks);
    if (c.mode >= 0) {
        struct stat made {};
        EXPECT_EQ(::stat(dir.file("kavix.in").c_str(), &made), 0);
        EXPECT_EQ(made.st_mode & 07777, static_cast<mode_t>(c.mode));
    }
    if (!c.kept.empty()) {
        EXPECT_EQ(readFile(dir.file("kavix.in")), c.kept);
    }
    if (c.plainConsole) {
        EXPECT_EQ(run.out, plainRun(c.blocks).out);
    }
}

// The limit would reach the console's file too: it goes to /dev/null.
void limitFileSize(rlim_t bytes) {
    ::dup2(::open("/dev/null", O_WRONLY), 1);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Room for one block and part of the next.
constexpr rlim_t roomForOneBlock = 1635 + 800;

const std::string noRoom = "zelk: cannot write a sample to output file \"kavix.in\": File too large\n";

TEST(Hostile, EachCase) {
    const Case cases[] = {
        {.what = "standard output closed: it cannot take the output file's place",
         .answers = runAnswers("", 2),
         .setUp = [] { ::close(1); },
         .left = {"kavix.in f"},
         .blocks = 2},
        {.what = "standard input closed: the end of input at the name prompt, no file",
         .answers = "",
         .setUp = [] { ::close(0); },
         .status = 2,
         .err = "zelk: end of file on standard input\n",
         .file = ""},
        {.what = "standard error closed and the file-size limit hit: no message lands in the file",
         .answers = runAnswers("", 3),
         .setUp = [] {
             ::close(2);
             limitFileSize(roomForOneBlock);
         },
         .status = 3,
         .left = {"kavix.in f"},
         .blocks = 1},
        {.what = "SIGCHLD ignored and the file-size limit hit: each lost sample reported, status 3",
         .answers = runAnswers("", 3),
         .setUp = [] {
             std::signal(SIGCHLD, SIG_IGN);
             limitFileSize(roomForOneBlock);
         },
         .status = 3,
         .err = noRoom + noRoom,
         .left = {"kavix.in f"},
         .blocks = 1},
        {.what = "standard output on /dev/full: told once, the run goes on",
         .answers = runAnswers("", 2),
         .setUp = [] { ::dup2(::open("/dev/full", O_WRONLY), 1); },
         .err = "zelk: cannot write to standard output: No space left on device\n",
         .left = {"kavix.in f"},
         .blocks = 2},
        {.what = "standard output a pipe nobody reads: silent, the run goes on",
         .answers = runAnswers("", 2),
         .setUp =
             [] {
                 int ends[2];
                 if (::pipe(ends) == 0) {
                     ::dup2(ends[1], 1);
                     ::close(ends[0]);
                 }
             },
         .left = {"kavix.in f"},
         .blocks = 2},
        {.what = "a symbolic link that points nowhere: refused, nothing created",
         .prepare = [](const TempDir& dir) { fs::create_symlink("elsewhere/kavix.in", dir.file("kavix.in")); },
         .answers = runAnswers("", 1),
         .status = 2,
         .err = "zelk: cannot open output file \"kavix.in\": a symbolic link to a file that does not exist\n",
         .left = {"kavix.in l"},
         .file = ""},
        {.what = "a folder: refused",
         .prepare = [](const TempDir& dir) { fs::create_directory(dir.file("kavix.in")); },
         .answers = runAnswers("", 1),
         .status = 2,
         .err = "zelk: cannot open output file \"kavix.in\": Is a directory\n",
         .left = {"kavix.in d"},
         .file = ""},
        {.what = "a link to a file: the link is kept as the backup, its target untouched",
         .prepare =
             [](const TempDir& dir) {
                 writeFile(dir.file("target"), "last week\n");
                 fs::create_symlink("target", dir.file("kavix.in"));
             },
         .answers = runAnswers("", 1),
         .left = {"kavix.in f", "kavix.in.~1~ l", "target f"},
         .blocks = 1},
        {.what = "a FIFO that nobody reads: refused at once",
         .prepare = [](const TempDir& dir) { ::mkfifo(dir.file("fifo").c_str(), 0644); },
         .answers = runAnswers("fifo", 1),
         .status = 2,
         .err = "zelk: cannot open output file \"fifo\": no process reads the FIFO\n",
         .left = {"fifo p"},
         .file = ""},
        {.what = "an earlier file of mode 0600: the new one keeps it",
         .prepare =
             [](const TempDir& dir) {
                 writeFile(dir.file("kavix.in"), "last week\n");
                 ::chmod(dir.file("kavix.in").c_str(), 0600);
             },
         .answers = runAnswers("", 1),
         .left = {"kavix.in f", "kavix.in.~1~ f"},
         .blocks = 1,
         .mode = 0600},
        {.what = "a folder that can be written but not listed, a backup needed: refused, nothing touched",
         .prepare =
             [](const TempDir& dir) {
                 writeFile(dir.file("kavix.in"), "last week\n");
                 writeFile(dir.file("kavix.in.~1~"), "the week before\n");
                 ::chmod(dir.file("kavix.in").c_str(), 0666);
                 ::chmod(dir.path().c_str(), 0733);
             },
         .answers = runAnswers("", 1),
         .setUp = becomeNormalUser,
         .status = 2,
         .err = "zelk: cannot keep output file \"kavix.in\" as a numbered backup: the folder \".\" cannot be listed "
                "(Permission denied)\n",
         .left = {"kavix.in f", "kavix.in.~1~ f"},
         .file = "",
         .kept = "last week\n"},
        {.what = "answers with Windows line ends: the same console and file",
         .answers = withCrLf(runAnswers("", 2)),
         .left = {"kavix.in f"},
         .blocks = 2,
         .plainConsole = true},
        {.what = "a tab after every number: the same file",
         .answers = runAnswers("", 2, "\t"),
         .left = {"kavix.in f"},
         .blocks = 2},
        {.what = "--help",
         .answers = runAnswers("", 1),
         .args = {"--help"},
         .left = {},
         .file = ""},
        {.what = "--version",
         .answers = runAnswers("", 1),
         .args = {"--version"},
         .left = {},
         .file = ""},
        {.what = "an answers file given as an argument",
         .answers = runAnswers("", 1),
         .args = {"answers.txt"},
         .status = 2,
         .err = "zelk: unexpected argument \"answers.txt\"; answers come on standard input: zelk < FILE\n",
         .left = {},
         .file = ""},
    };
    for (const Case& c : cases) runCase(c);
}

// --version's bytes are held to the project's version in version_test.cpp.
TEST(Hostile, HelpText) {
    TempDir dir;
    Running help(dir.path(), {.args = {"--help"}});
    const test::Run shown = help.finish();
    EXPECT_TRUE(shown.out.starts_with("Usage: zelk < ANSWERS\n")) << shown.out;
    EXPECT_NE(shown.out.find("man zelk"), std::string::npos);
}

// As root the nodes are made in the test's folder: a program that replaced a device would
// otherwise replace the machine's /dev/null. Where root may not make them (a container without
// CAP_MKNOD), and without root, the machine's own serve, to a program run as nobody, who
// could not replace them.
TEST(Hostile, DeviceNodesAreWrittenAsTheyAre) {
    const bool own = ::geteuid() == 0 && whyNoDeviceNodes().empty();
    const auto device = [own](const char* name, unsigned minor) -> std::function<void(const TempDir&)> {
        if (!own) return {};
        return [=](const TempDir& dir) { ASSERT_EQ(makeDevice(dir.file(name), minor), ""); };
    };
    const std::string null = own ? "null" : "/dev/null", full = own ? "full" : "/dev/full";
    const std::function<void()> user = own ? std::function<void()>{} : becomeNormalUser;
    const std::string noSpace = "zelk: cannot write a sample to output file \"" + full + "\": No space left on device\n";
    const Case cases[] = {
        {.what = "a null device: written as it is, never replaced",
         .prepare = device("null", 3),
         .answers = runAnswers(null, 2),
         .setUp = user,
         .left = own ? Entries{"null c"} : Entries{},
         .file = ""},
        {.what = "a full device: each sample fails and is reported",
         .prepare = device("full", 7),
         .answers = runAnswers(full, 2),
         .setUp = user,
         .status = 3,
         .err = noSpace + noSpace,
         .left = own ? Entries{"full c"} : Entries{},
         .file = ""},
    };
    for (const Case& c : cases) runCase(c);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(Hostile, FifoWithAReaderGetsTheBlocks) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    // A reader that holds the FIFO open; the blocks wait in it, well within its room.
    const int reader = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Running program(dir.path(), {.answers = runAnswers("fifo", 3)});
    const test::Run run = program.finish();
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;) got.append(buffer, static_cast<std::size_t>(n));
    ::close(reader);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(got, plainFile(3));
    EXPECT_EQ(entries(dir.path()), Entries{"fifo p"});
}

TEST(Hostile, ThreeRunsInARowKeepEveryRun) {
    TempDir dir;
    for (int samples = 1; samples <= 3; ++samples) {
        Running program(dir.path(), {.answers = runAnswers("", samples)});
        EXPECT_EQ(program.finish().status, 0);
    }
    EXPECT_EQ(entries(dir.path()), (Entries{"kavix.in f", "kavix.in.~1~ f", "kavix.in.~2~ f"}));
    expectBlocks(dir.file("kavix.in.~1~"), 1);
    expectBlocks(dir.file("kavix.in.~2~"), 2);
    expectBlocks(dir.file("kavix.in"), 3);
}

TEST(Hostile, SecondRunOnTheSameFileIsRefused) {
    for (const bool earlier : {false, true}) {
        SCOPED_TRACE(earlier ? "over an earlier file" : "a new file");
        TempDir dir;
        if (earlier) writeFile(dir.file("kavix.in"), "yesterday\n");
        const std::string answers = runAnswers("", 2);
        const std::size_t firstSample = answers.find("y\n") + 2;
        Running first(dir.path(), {.piped = true});
        first.answer(answers.substr(0, firstSample));
        ASSERT_TRUE(first.waitForOutputEnding(" SUNDRY DATA\n\n\n      Sample number              :  "));

        Running second(dir.path(), {.answers = runAnswers("", 1)});
        const test::Run refused = second.finish();
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err, "zelk: output file \"kavix.in\" is being written by another run (process " +
                                   std::to_string(first.pid()) + ")\n");

        first.answer(answers.substr(firstSample));
        const test::Run run = first.finish();
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        expectBlocks(dir.file("kavix.in"), 2);
        const Entries left = earlier ? Entries{"kavix.in f", "kavix.in.~1~ f"} : Entries{"kavix.in f"};
        EXPECT_EQ(entries(dir.path()), left);
        if (earlier) {
            EXPECT_EQ(readFile(dir.file("kavix.in.~1~")), "yesterday\n");
        }
    }
}

TEST(Hostile, StoppedThenInterruptedRunEnds) {
    TempDir dir;
    const std::string answers = runAnswers("", 2);
    Running program(dir.path(), {.piped = true});
    program.answer(answers.substr(0, answers.find("y\n")));
    ASSERT_TRUE(program.waitForOutputEnding(anotherSample()));
    ::kill(program.pid(), SIGSTOP);
    ::kill(program.pid(), SIGINT);
    ::kill(program.pid(), SIGCONT);
    const test::Run run = program.finish();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Interrupt\n");
    EXPECT_EQ(entries(dir.path()), Entries{"kavix.in f"});
    expectBlocks(dir.file("kavix.in"), 1);
}

TEST(Hostile, SignalsIgnoredAtStartStayIgnored) {
    for (const int signal : zelk::terminationSignals) {
        SCOPED_TRACE(signal);
        TempDir dir;
        const std::string answers = runAnswers("", 2);
        Running program(dir.path(), {.piped = true, .setUp = [signal] { std::signal(signal, SIG_IGN); }});
        program.answer(answers.substr(0, answers.find("y\n")));
        ASSERT_TRUE(program.waitForOutputEnding(anotherSample()));
        // An ignored signal is dropped as it is sent.
        ::kill(program.pid(), signal);
        program.answer(answers.substr(answers.find("y\n")));
        const test::Run run = program.finish();
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        expectBlocks(dir.file("kavix.in"), 2);
    }
}

TEST(Hostile, HangupAndQuitEndTheRun) {
    struct Signal {
        int number;
        std::string notice;
    };
    for (const Signal& s : {Signal{SIGHUP, "Hangup\n"}, Signal{SIGQUIT, "Quit\n"}}) {
        SCOPED_TRACE(s.notice);
        TempDir dir;
        const std::string answers = runAnswers("", 2);
        Running program(dir.path(), {.piped = true});
        program.answer(answers.substr(0, answers.find("y\n") + 2) + "S-2\n");
        ASSERT_TRUE(program.waitForOutputEnding(itemPrompt("Sample location            :  ")));
        ::kill(program.pid(), s.number);
        const test::Run run = program.finish();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, s.notice);
        expectBlocks(dir.file("kavix.in"), 1);
    }
}

}  // namespace
}  // namespace zelk::test
