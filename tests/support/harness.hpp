// Test support: driving screens through an in-memory console, and running the built program.
#pragma once

#include <csignal>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dialogue/console.hpp"
#include "record/outfil.hpp"
#include "support/launch.hpp"

namespace zelk::test {

// The blocks of a run, kept in memory.
class MemoryBlocks : public BlockFile {
public:
    explicit MemoryBlocks(std::string& bytes) : bytes_(bytes) {}
    void append(std::string_view block) override { bytes_.append(block); }
    bool failed() const override { return false; }

private:
    std::string& bytes_;
};

// A console fed with the given answers; output() is every byte written so far.
class Session {
public:
    explicit Session(std::string answers) : source_(std::move(answers)), console_(source_, sink_) {}
    Console& console() { return console_; }
    std::string output() {
        console_.flush();
        return sink_.bytes();
    }

private:
    StringSource source_;
    StringSink sink_;
    Console console_;
};

// Lines joined with line feeds, each ended by one.
std::string lines(const std::vector<std::string>& each);

// The error message's bytes.
std::string errorMessage();

// The correction question, from its two empty lines to its open prompt.
std::string correctionQuestion();

// The start-up banner up to the open file-name prompt.
std::string banner();

// The another-sample question up to its open prompt.
std::string anotherSample();

// An item prompt: six blanks and the label.
std::string itemPrompt(const std::string& label);

// n empty lines.
std::string emptyLines(int n);

// The result of running the built program: its status, standard output and error.
using Run = Ended;

// A fresh temporary folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// How the built program is run: a file size limit in bytes when given, and as the
// unprivileged user nobody when the tests run as root (the folder must let nobody in).
struct Options {
    long fileSizeLimit = -1;
    bool normalUser = false;
};

// Runs the built program in folder with the answers on standard input.
Run runProgram(const std::string& folder, const std::string& answers, const Options& options = {});

// The built program running in folder, its standard output and error on files of a scratch
// folder, so that the folder holds only what the program leaves there.
class Running {
public:
    struct Start {
        std::string program = "";  // the built zelk when empty
        std::string answers = "";  // standard input, unless piped
        bool piped = false;        // standard input a pipe, which answer() writes as the test goes
        std::vector<std::string> args = {};
        std::function<void()> setUp = {};  // in the child, just before the program
    };
    Running(const std::string& folder, const Start& start);
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    pid_t pid() const { return program_.pid(); }
    void answer(const std::string& bytes);
    // Waits until standard output ends with text (true), or five seconds have gone (false).
    bool waitForOutputEnding(const std::string& text) const;
    void signal(int number) { program_.signal(number); }
    // Closes standard input and waits for the end, at most ten seconds (then status -1; the
    // program is killed when the object goes).
    Run finish();

private:
    TempDir scratch_;
    Process program_;
};

std::string readFile(const std::string& path);

// A verb run in the test's own process holds the termination signals back to its end, as
// the program would to its exit: the test process gets its signal mask back afterwards.
class SignalMaskKept {
public:
    SignalMaskKept() { ::sigprocmask(SIG_SETMASK, nullptr, &kept_); }
    ~SignalMaskKept() { ::sigprocmask(SIG_SETMASK, &kept_, nullptr); }
    SignalMaskKept(const SignalMaskKept&) = delete;
    SignalMaskKept& operator=(const SignalMaskKept&) = delete;

private:
    sigset_t kept_;
};

// The folder's entries, each as its name, a blank and a letter for its kind: f regular file,
// l symbolic link, d folder, p FIFO, c character device, ? anything else.
std::set<std::string> entries(const std::string& folder);
void writeFile(const std::string& path, const std::string& bytes);
// Makes a character device of the kind of the machine's /dev/null (minor 3) or /dev/full
// (minor 7) at path: empty when made, otherwise why not ("mknod refused: ...").
std::string makeDevice(const std::string& path, unsigned minor);
// Empty when this process may make device nodes, otherwise why not: as root in a container
// without CAP_MKNOD, say.
std::string whyNoDeviceNodes();
// Whether got is the file kept; when not, got is left beside it as KEPT.received for diff
// (and removed again once they agree).
bool matchesKept(const std::string& kept, const std::string& got);

// What a shell command writes (standard output with standard error joined to it), and its
// exit status (128 + the signal's number when a signal ended it).
std::pair<std::string, int> runShell(const std::string& command);

// A program a test needs and the Debian package that brings it.
struct Tool {
    std::string program;
    std::string package;
};

// Empty when every tool is on the PATH; otherwise one line saying which is missing, for
// GTEST_SKIP.
std::string missingTool(const std::vector<Tool>& tools);

}  // namespace zelk::test
