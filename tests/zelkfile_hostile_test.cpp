// The built zelkfile under hostile conditions: closed standard streams, signals while a table
// or an output stalls, folders that cannot be listed, backup numbers at their end, size
// limits, killed runs, modes and long names. Each case checks the exit status, standard
// error, the entries left in the folder and the bytes of the files involved.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/workbench.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;
using Entries = std::set<std::string>;
using Clock = std::chrono::steady_clock;

// A table of samples with Na, K and Mg (so each is a point of the diagram), numbered from
// `first`; without the header row when `header` is false.
std::string labTable(int rows, int first = 1, bool header = true) {
    std::string text = header ? "sample_number,water_Na,water_K,water_Mg\n" : "";
    for (int k = first; k < first + rows; ++k)
        text += "S-" + std::to_string(k) + "," + std::to_string(200 + k % 700) + ",35.5,0.05\n";
    return text;
}

// What a clean import of the table writes.
std::string imported(const std::string& table) {
    TempDir dir;
    writeFile(dir.file("t.csv"), table);
    const VerbRun run = runVerb(workbench::importTable, {dir.file("t.csv"), "-o", dir.file("out.in")});
    EXPECT_EQ(run.status, 0) << run.err;
    return readFile(dir.file("out.in"));
}

// A text cut to its field: a warning, and still status 0.
const std::string warnedTable = "sample_number,water_Na\n" + std::string(40, 'W') + ",12\n";
const std::string badTable = "sample_number,water_Na\nS-1,12a\n";


void closeStreams(std::initializer_list<int> fds) {
    for (int fd : fds) ::close(fd);
}

int modeOf(const std::string& path) {
    struct stat s {};
    return ::lstat(path.c_str(), &s) == 0 ? static_cast<int>(s.st_mode & 07777) : -1;
}

// zelkfile started in a folder with nothing on standard input, its standard output and
// error on files of a scratch folder, with changes made in the child just before it starts.
class Started : public Running {
public:
    Started(const std::string& folder, const std::vector<std::string>& args, const std::function<void()>& setUp = {})
        : Running(folder, {.program = ZELKFILE_BINARY, .args = args, .setUp = setUp}) {}

    // Waits until ready() holds and the program sleeps (blocked in a read or a write); false
    // after ten seconds or when it has ended.
    bool blockedWhen(const std::function<bool()>& ready) const {
        const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < end) {
            if (ready() && state() == 'S') return true;
            if (state() == 0 || state() == 'Z') return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

private:
    // The letter of the program's state in /proc (R running, S sleeping, ...); 0 when gone.
    char state() const {
        const std::string stat = readFile("/proc/" + std::to_string(pid()) + "/stat");
        const std::size_t close = stat.rfind(')');
        return close == std::string::npos || close + 2 >= stat.size() ? 0 : stat[close + 2];
    }
};

// Bytes waiting in a pipe or FIFO, seen from either end.
int waiting(int fd) {
    int bytes = 0;
    return ::ioctl(fd, FIONREAD, &bytes) == 0 ? bytes : -1;
}

void writeAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        ASSERT_GT(put, 0) << std::strerror(errno);
        done += static_cast<std::size_t>(put);
    }
}

std::string interrupted(const std::string& name) { return "zelkfile: interrupted; \"" + name + "\" not written\n"; }

// A case run once: the folder prepared, the program run to its end, everything checked.
struct Case {
    std::string what;
    std::function<void(const TempDir&)> prepare = {};
    std::vector<std::string> args;
    std::function<void()> setUp = {};
    int status = 0;
    std::string err = "";
    Entries left = {};
    std::map<std::string, std::string> files = {};  // name in the folder: its bytes
    std::map<std::string, int> modes = {};          // name in the folder: its permission bits
    std::map<std::string, uid_t> owners = {};       // name in the folder: its owner (as root)
    std::string out = "";                           // standard output, when checked
};

void runCase(const Case& c) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    if (c.prepare) c.prepare(dir);
    Started program(dir.path(), c.args, c.setUp);
    const test::Run run = program.finish();
    EXPECT_EQ(run.status, c.status);
    // A good import's line of what it wrote has tests of its own.
    EXPECT_EQ(test::importErrors(run.err), c.err);
    if (!c.out.empty()) {
        EXPECT_EQ(run.out, c.out);
    }
    EXPECT_EQ(entries(dir.path()), c.left);
    for (const auto& [name, bytes] : c.files) EXPECT_EQ(readFile(dir.file(name)), bytes) << name;
    for (const auto& [name, mode] : c.modes) EXPECT_EQ(modeOf(dir.file(name)), mode) << name;
    for (const auto& [name, owner] : c.owners) {
        struct stat s {};
        EXPECT_EQ(::lstat(dir.file(name).c_str(), &s), 0);
        if (::geteuid() == 0) {
            EXPECT_EQ(s.st_uid, owner) << name;
        }
    }
}

// An output file that holds yesterday's samples, beside the table.
std::function<void(const TempDir&)> tableAndEarlier(const std::string& table, const std::string& earlier = "yesterday\n",
                                                   const std::string& output = "x.in") {
    return [=](const TempDir& dir) {
        writeFile(dir.file("t.csv"), table);
        if (!earlier.empty()) writeFile(dir.file(output), earlier);
    };
}

// The report of a file of samples with the diagram; its standard output and diagram.
struct Report {
    std::string file;  // the output file reported
    std::string out;
    std::string svg;
};

// Three samples, the second without Na, K and Mg: the report says it is left out.
const Report& smallReport() {
    static const Report report = [] {
        const std::string table = "sample_number,water_Na,water_K,water_Mg\nA,500,50,0.5\nB,,,\nC,300,40,2\n";
        Report r{imported(table), "", ""};
        TempDir dir;
        writeFile(dir.file("s.in"), r.file);
        Started program(dir.path(), {"report", "s.in", "--svg", "d.svg"});
        const test::Run run = program.finish();
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "s.in:35: sample 2 (B): no Na, K or Mg; left out of the Na-K-Mg diagram\n");
        r.out = run.out;
        r.svg = readFile(dir.file("d.svg"));
        return r;
    }();
    return report;
}

TEST(ZelkfileHostile, EachCase) {
    const std::string good = imported(labTable(3)), warned = imported(warnedTable);
    const std::string svg = smallReport().svg, table = labTable(3);
    const std::string maxName = "out.in.~18446744073709551615~";
    const auto withSample = [&](const TempDir& dir) {
        writeFile(dir.file("s.in"), smallReport().file);
        writeFile(dir.file("d.svg"), "old diagram\n");
    };
    const Case cases[] = {
        {.what = "stdout and stderr closed, a warning: no message lands in the file or its backup",
         .prepare = tableAndEarlier(warnedTable),
         .args = {"import", "t.csv", "-o", "x.in"},
         .setUp = [] { closeStreams({1, 2}); },
         .left = {"t.csv f", "x.in f", "x.in.~1~ f"},
         .files = {{"x.in", warned}, {"x.in.~1~", "yesterday\n"}}},
        {.what = "stdin and stderr closed, a new file: nothing but the blocks in it",
         .prepare = tableAndEarlier(warnedTable, ""),
         .args = {"import", "t.csv", "-o", "x.in"},
         .setUp = [] { closeStreams({0, 2}); },
         .left = {"t.csv f", "x.in f"},
         .files = {{"x.in", warned}}},
        {.what = "stdout and stderr closed, an error: status 2, the file untouched",
         .prepare = tableAndEarlier(badTable),
         .args = {"import", "t.csv", "-o", "x.in"},
         .setUp = [] { closeStreams({1, 2}); },
         .status = 2,
         .left = {"t.csv f", "x.in f"},
         .files = {{"x.in", "yesterday\n"}}},
        {.what = "report --svg with stderr closed: the note does not land in the diagram",
         .prepare = [&](const TempDir& dir) { writeFile(dir.file("s.in"), smallReport().file); },
         .args = {"report", "s.in", "--svg", "d.svg"},
         .setUp = [] { closeStreams({2}); },
         .left = {"d.svg f", "s.in f"},
         .files = {{"d.svg", svg}},
         .out = smallReport().out},
        {.what = "report --svg > /dev/full: status 2 and the diagram not replaced",
         .prepare = withSample,
         .args = {"report", "s.in", "--svg", "d.svg"},
         .setUp = [] { ::dup2(::open("/dev/full", O_WRONLY), 1); },
         .status = 2,
         .err = "s.in:35: sample 2 (B): no Na, K or Mg; left out of the Na-K-Mg diagram\n"
                "zelkfile: cannot write standard output: No space left on device\n",
         .left = {"d.svg f", "s.in f"},
         .files = {{"d.svg", "old diagram\n"}}},
        {.what = "report --svg into a pipe nobody reads: quietly status 2, the diagram not replaced",
         .prepare = withSample,
         .args = {"report", "s.in", "--svg", "d.svg"},
         .setUp =
             [] {
                 int ends[2];
                 if (::pipe(ends) == 0) ::dup2(ends[1], 1), ::close(ends[0]);
                 closeStreams({2});
             },
         .status = 2,
         .left = {"d.svg f", "s.in f"},
         .files = {{"d.svg", "old diagram\n"}}},
        {.what = "export into a pipe nobody reads: quietly status 2",
         .prepare = [&](const TempDir& dir) { writeFile(dir.file("s.in"), good); },
         .args = {"export", "s.in"},
         .setUp =
             [] {
                 int ends[2];
                 if (::pipe(ends) == 0) ::dup2(ends[1], 1), ::close(ends[0]);
             },
         .status = 2,
         .left = {"s.in f"},
         .files = {{"s.in", good}}},
        {.what = "an earlier file of mode 0600 owned by another user: the new one keeps both",
         .prepare =
             [&](const TempDir& dir) {
                 tableAndEarlier(table)(dir);
                 ::chmod(dir.file("x.in").c_str(), 0600);
                 if (::geteuid() == 0) {
                     [[maybe_unused]] const int owned = ::chown(dir.file("x.in").c_str(), 65534, 65534);
                 }
             },
         .args = {"import", "t.csv", "-o", "x.in"},
         .left = {"t.csv f", "x.in f", "x.in.~1~ f"},
         .files = {{"x.in", good}, {"x.in.~1~", "yesterday\n"}},
         .modes = {{"x.in", 0600}, {"x.in.~1~", 0600}},
         .owners = {{"x.in", 65534}}},
        {.what = "a folder that cannot be listed, no backup needed: written as ever",
         .prepare = [&](const TempDir& dir) { writeFile(dir.file("t.csv"), table), ::chmod(dir.path().c_str(), 0733); },
         .args = {"import", "t.csv", "-o", "x.in"},
         .setUp = becomeNormalUser,
         .left = {"t.csv f", "x.in f"},
         .files = {{"x.in", good}}},
        {.what = "a folder that cannot be listed, a backup needed: refused at once, nothing touched",
         .prepare =
             [&](const TempDir& dir) {
                 tableAndEarlier(table)(dir);
                 writeFile(dir.file("x.in.~1~"), "the day before\n");
                 ::chmod(dir.file("x.in").c_str(), 0666);
                 ::chmod(dir.path().c_str(), 0733);
             },
         .args = {"import", "t.csv", "-o", "x.in"},
         .setUp = becomeNormalUser,
         .status = 2,
         .err = "zelkfile: cannot keep output file \"x.in\" as a numbered backup: the folder \".\" cannot be listed "
                "(Permission denied)\n",
         .left = {"t.csv f", "x.in f", "x.in.~1~ f"},
         .files = {{"x.in", "yesterday\n"}, {"x.in.~1~", "the day before\n"}}},
        {.what = "a backup with the highest number there is: refused, nothing touched",
         .prepare =
             [&](const TempDir& dir) {
                 tableAndEarlier(table, "yesterday\n", "out.in")(dir);
                 writeFile(dir.file(maxName), "old\n");
             },
         .args = {"import", "t.csv", "-o", "out.in"},
         .status = 2,
         .err = "zelkfile: cannot keep output file \"out.in\" as a numbered backup: the number after "
                "18446744073709551615 does not fit\n",
         .left = {"t.csv f", "out.in f", maxName + " f"},
         .files = {{"out.in", "yesterday\n"}, {maxName, "old\n"}}},
        {.what = "a backup number beyond counting: refused",
         .prepare =
             [&](const TempDir& dir) {
                 tableAndEarlier(table, "yesterday\n", "out.in")(dir);
                 writeFile(dir.file("out.in.~99999999999999999999999~"), "old\n");
             },
         .args = {"import", "t.csv", "-o", "out.in"},
         .status = 2,
         .err = "zelkfile: cannot keep output file \"out.in\" as a numbered backup: a backup beside it has a number "
                "too large to count on from\n",
         .left = {"t.csv f", "out.in f", "out.in.~99999999999999999999999~ f"},
         .files = {{"out.in", "yesterday\n"}}},
        {.what = "the highest backup number there is, but no backup needed: written",
         .prepare =
             [&](const TempDir& dir) {
                 tableAndEarlier(table, "", "out.in")(dir);
                 writeFile(dir.file(maxName), "old\n");
             },
         .args = {"import", "t.csv", "-o", "out.in"},
         .left = {"t.csv f", "out.in f", maxName + " f"},
         .files = {{"out.in", good}, {maxName, "old\n"}}},
        {.what = "a size limit: the write fails with a message, nothing left",
         .prepare = tableAndEarlier(labTable(40)),
         .args = {"import", "t.csv", "-o", "x.in"},
         .setUp =
             [] {
                 const rlimit limit{20000, 20000};
                 ::setrlimit(RLIMIT_FSIZE, &limit);
             },
         .status = 2,
         .err = "zelkfile: cannot write output file \"x.in\": File too large\n",
         .left = {"t.csv f", "x.in f"},
         .files = {{"x.in", "yesterday\n"}}},
        {.what = "a size limit on the diagram: the write fails with a message, nothing left",
         .prepare = withSample,
         .args = {"report", "s.in", "--svg", "d.svg"},
         .setUp =
             [] {
                 ::dup2(::open("/dev/null", O_WRONLY), 1);
                 const rlimit limit{2000, 2000};
                 ::setrlimit(RLIMIT_FSIZE, &limit);
             },
         .status = 2,
         .err = "s.in:35: sample 2 (B): no Na, K or Mg; left out of the Na-K-Mg diagram\n"
                "zelkfile report: cannot write output file \"d.svg\": File too large\n",
         .left = {"d.svg f", "s.in f"},
         .files = {{"d.svg", "old diagram\n"}}},
    };
    for (const Case& c : cases) runCase(c);
}

// Output names at the length where the new file's name no longer fits beside them.
TEST(ZelkfileHostile, LongOutputNames) {
    const std::string table = labTable(2), good = imported(table);
    for (const std::size_t length : {244u, 245u, 255u}) {
        SCOPED_TRACE(length);
        TempDir dir;
        const std::string name(length, 'n');
        writeFile(dir.file("t.csv"), table);
        Started first(dir.path(), {"import", "t.csv", "-o", name});
        const test::Run run = first.finish();
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "zelkfile: 2 samples written to \"" + name + "\"\n");
        EXPECT_EQ(readFile(dir.file(name)), good);
        // A second run needs NAME.~1~, which fits up to 251 bytes.
        Started second(dir.path(), {"import", "t.csv", "-o", name});
        const test::Run again = second.finish();
        if (length + 4 <= 255) {
            EXPECT_EQ(again.status, 0);
            EXPECT_EQ(entries(dir.path()), (Entries{"t.csv f", name + " f", name + ".~1~ f"}));
        } else {
            EXPECT_EQ(again.status, 2);
            EXPECT_EQ(again.err, "zelkfile: cannot keep output file \"" + name + "\" as a numbered backup: \"" + name +
                                     ".~1~\" would be a longer name than the system allows\n");
            EXPECT_EQ(entries(dir.path()), (Entries{"t.csv f", name + " f"}));
        }
    }
}

// The import of a table that comes through a FIFO, stopped by the test after the first half:
// the program blocked reading its last rows, the new file beside the name.
class StalledImport {
public:
    explicit StalledImport(const TempDir& dir, const std::string& output = "x.in",
                           const std::function<void()>& setUp = {})
        : dir_(dir) {
        if (::mkfifo(dir.file("t.fifo").c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
        program_ = std::make_unique<Started>(dir.path(), std::vector<std::string>{"import", "t.fifo", "-o", output},
                                             setUp);
        table_ = ::open(dir.file("t.fifo").c_str(), O_WRONLY);
        writeAll(table_, labTable(20));
    }
    ~StalledImport() {
        if (table_ >= 0) ::close(table_);
    }
    // Whether it is blocked on the rest of the table.
    bool blocked() { return program_->blockedWhen([&] { return waiting(table_) == 0; }); }
    // The second half, and the end of the table.
    void finishTable() {
        writeAll(table_, labTable(20, 21, false));
        ::close(table_);
        table_ = -1;
    }
    Started& program() { return *program_; }
    // The new files beside the output.
    std::vector<std::string> newFiles() const {
        std::vector<std::string> found;
        for (const std::string& entry : entries(dir_.path()))
            if (entry.starts_with(".")) found.push_back(entry);
        return found;
    }

private:
    const TempDir& dir_;
    std::unique_ptr<Started> program_;
    int table_ = -1;
};

TEST(ZelkfileHostile, SignalsWhileTheTableStalls) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(strsignal(signal));
        TempDir dir;
        writeFile(dir.file("x.in"), "yesterday\n");
        StalledImport import(dir);
        ASSERT_TRUE(import.blocked());
        ASSERT_EQ(import.newFiles().size(), 1u);
        EXPECT_TRUE(import.newFiles()[0].starts_with(".x.in.new-")) << import.newFiles()[0];
        ::kill(import.program().pid(), signal);
        const test::Run run = import.program().finish();
        EXPECT_EQ(run.status, 128 + signal);
        EXPECT_EQ(run.err, interrupted("x.in"));
        EXPECT_EQ(entries(dir.path()), (Entries{"t.fifo p", "x.in f"}));
        EXPECT_EQ(readFile(dir.file("x.in")), "yesterday\n");
    }
}

TEST(ZelkfileHostile, SignalsIgnoredAtStartStayIgnored) {
    const std::string good = imported(labTable(40));
    for (const int signal : {SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        TempDir dir;
        StalledImport import(dir, "x.in", [signal] { std::signal(signal, SIG_IGN); });
        ASSERT_TRUE(import.blocked());
        // An ignored signal is dropped as it is sent.
        ::kill(import.program().pid(), signal);
        import.finishTable();
        const test::Run run = import.program().finish();
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "zelkfile: 40 samples written to \"x.in\"\n");
        EXPECT_EQ(entries(dir.path()), (Entries{"t.fifo p", "x.in f"}));
        EXPECT_EQ(readFile(dir.file("x.in")), good);
    }
}

// The new file of a name too long for .NAME.new-XXXXXX is named by the name's hash.
TEST(ZelkfileHostile, NewFileOfALongName) {
    TempDir dir;
    const std::string name(245, 'n');
    StalledImport import(dir, name);
    ASSERT_TRUE(import.blocked());
    ASSERT_EQ(import.newFiles().size(), 1u);
    const std::string made = import.newFiles()[0];
    EXPECT_EQ(made.size(), std::string(".0123456789abcdef.new-XXXXXX f").size()) << made;
    EXPECT_EQ(made.substr(17, 5), ".new-") << made;
    ::kill(import.program().pid(), SIGTERM);
    EXPECT_EQ(import.program().finish().err, interrupted(name));
    EXPECT_EQ(entries(dir.path()), Entries{"t.fifo p"});
}

TEST(ZelkfileHostile, KilledImportsLeaveNoPile) {
    TempDir dir;
    writeFile(dir.file("x.in"), "yesterday\n");
    for (int kill = 1; kill <= 35; ++kill) {
        StalledImport import(dir);
        ASSERT_TRUE(import.blocked());
        // The one this run made; those of the runs killed before were removed as it claimed the name.
        ASSERT_EQ(import.newFiles().size(), 1u) << "kill " << kill;
        ::kill(import.program().pid(), SIGKILL);
        EXPECT_EQ(import.program().finish().status, 128 + SIGKILL);
        ::unlink(dir.file("t.fifo").c_str());
    }
    writeFile(dir.file("t.csv"), labTable(3));
    Started last(dir.path(), {"import", "t.csv", "-o", "x.in"});
    EXPECT_EQ(last.finish().status, 0);
    EXPECT_EQ(entries(dir.path()), (Entries{"t.csv f", "x.in f", "x.in.~1~ f"}));
    EXPECT_EQ(readFile(dir.file("x.in")), imported(labTable(3)));
}

// A FIFO as the output: the import blocks writing once the FIFO is full.
TEST(ZelkfileHostile, SignalsWhileTheOutputFifoIsNotRead) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        TempDir dir;
        writeFile(dir.file("t.csv"), labTable(120));
        ASSERT_EQ(::mkfifo(dir.file("out.fifo").c_str(), 0600), 0);
        const int reader = ::open(dir.file("out.fifo").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const int room = ::fcntl(reader, F_GETPIPE_SZ);
        Started program(dir.path(), {"import", "t.csv", "-o", "out.fifo"});
        ASSERT_TRUE(program.blockedWhen([&] { return waiting(reader) == room; }));
        ::kill(program.pid(), signal);
        const test::Run run = program.finish();
        ::close(reader);
        EXPECT_EQ(run.status, 128 + signal);
        EXPECT_EQ(run.err, interrupted("out.fifo"));
        EXPECT_EQ(entries(dir.path()), (Entries{"out.fifo p", "t.csv f"}));
    }
}

// The report's table into a pipe that is not read, while the diagram (and the page) is being
// made: each new file removed, each name left as it was, a line for each.
TEST(ZelkfileHostile, SignalsDuringReportSvg) {
    TempDir source;
    writeFile(source.file("t.csv"), labTable(1500));
    ASSERT_EQ(runVerb(workbench::importTable, {source.file("t.csv"), "-o", source.file("s.in")}).status, 0);
    const std::string file = readFile(source.file("s.in"));
    const struct {
        std::vector<std::string> args;
        std::string err;
        std::size_t made;  // new files beside the names
    } verbs[] = {
        {{"report", "s.in", "--svg", "d.svg"}, interrupted("d.svg"), 1},
        {{"report", "s.in", "--svg", "d.svg", "--html", "p.html"}, interrupted("d.svg") + interrupted("p.html"), 2},
    };
    const Entries before = {"d.svg f", "p.html f", "s.in f"};
    for (const auto& verb : verbs) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            SCOPED_TRACE(strsignal(signal));
            SCOPED_TRACE(verb.args.size());
            TempDir dir;
            writeFile(dir.file("s.in"), file);
            writeFile(dir.file("d.svg"), "old diagram\n");
            writeFile(dir.file("p.html"), "old page\n");
            int ends[2];
            ASSERT_EQ(::pipe(ends), 0);
            const int room = ::fcntl(ends[0], F_GETPIPE_SZ);
            Started program(dir.path(), verb.args, [&] { ::dup2(ends[1], 1); });
            ::close(ends[1]);
            ASSERT_TRUE(program.blockedWhen([&] { return waiting(ends[0]) == room; }));
            // The new files are there, beside the old ones.
            EXPECT_EQ(entries(dir.path()).size(), before.size() + verb.made);
            ::kill(program.pid(), signal);
            const test::Run run = program.finish();
            ::close(ends[0]);
            EXPECT_EQ(run.status, 128 + signal);
            EXPECT_EQ(run.err, verb.err);
            EXPECT_EQ(entries(dir.path()), before);
            EXPECT_EQ(readFile(dir.file("d.svg")), "old diagram\n");
            EXPECT_EQ(readFile(dir.file("p.html")), "old page\n");
        }
    }
}

}  // namespace
}  // namespace zelk::test
