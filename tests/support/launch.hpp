// The one launcher of the tests and the bench: a program started in a folder with its
// standard streams on files or pipes, limits, an optional unprivileged user, and the signals
// the tests send acting as they do by default; then its end, streams, status and usage.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

namespace zelk::test {

struct Launch {
    std::vector<std::string> argv;  // argv[0] is the program: a path, or a name on the PATH
    std::string folder;             // where it runs; empty: where the caller is
    // Standard input: a file (by default /dev/null), or a pipe written through input().
    std::string input = "/dev/null";
    bool pipeInput = false;
    // Standard output and error: files, or, when empty, pipes that finish() reads.
    std::string output;
    std::string errors;
    long fileSizeLimit = -1;  // bytes; applies to every file the program writes
    bool noCoreFiles = false;  // so that SIGQUIT leaves no core file in the folder
    bool normalUser = false;   // as root, run as the unprivileged user nobody (65534)
    std::function<void()> setUp;  // in the child, last but for the limits' user, before the program
};

// How a program ended: its exit status, or 128 + the signal's number; the streams that came
// through pipes; the resources it used.
struct Ended {
    int status = -1;
    std::string out;
    std::string err;
    struct rusage usage {};
};

class Process {
public:
    explicit Process(const Launch& launch);
    ~Process();  // kills the program if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    int input() const { return input_; }    // the pipe to standard input, or -1
    int output() const { return output_; }  // the pipes from standard output and error, or -1
    int errors() const { return errors_; }
    void closeInput();
    void signal(int number) const;

    // Closes standard input, reads the piped streams to their end and waits for the end. With
    // a limit, gives up after it (nothing) and leaves the program to the destructor.
    std::optional<Ended> finish(std::optional<std::chrono::milliseconds> limit = std::nullopt);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int errors_ = -1;
};

// In a child about to start a program: the signals the tests send acted on as they are by
// default, whatever the test runner's shell left ignored (a program keeps those ignored).
void signalsAtTheirDefaults();

// In a child about to start a program: drops to the unprivileged user nobody when root, as
// CI is; a normal user stays itself.
void becomeNormalUser();

}  // namespace zelk::test
