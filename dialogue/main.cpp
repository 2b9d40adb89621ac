// Entry point: wires the dialogue to standard input, standard output and the output file.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

#include "dialogue/zelk.hpp"

namespace {

constexpr std::string_view usage =
    "Usage: zelk < ANSWERS\n"
    "Asks, screen by screen, for the analysis of geothermal fluid samples and appends one\n"
    "block per sample to the input file of KAVIX (default kavix.in).\n"
    "Answers come on standard input, one a line: type them, or pipe in a prepared file.\n"
    "Exit status: 0 done; 1 interrupted; 2 end of input, or no output file;\n"
    "3 a sample could not be written. See man zelk.\n";

// Only async-signal-safe calls in the handlers: the signal may come at any moment. A block
// being written holds the signals back until it is whole in the file.
template <std::size_t size>
[[noreturn]] void endRun(const char (&notice)[size]) {
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, notice, size - 1);
    ::_exit(zelk::exitStatus(zelk::Status::interrupted));
}

extern "C" void onInterrupt(int) { endRun("Interrupt\n"); }
extern "C" void onTerminate(int) { endRun("Killed\n"); }
extern "C" void onHangup(int) { endRun("Hangup\n"); }
extern "C" void onQuit(int) { endRun("Quit\n"); }

void handle(int signal, void (*handler)(int), bool keepIgnored) {
    struct sigaction action {};
    if (keepIgnored && ::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) return;
    action = {};
    action.sa_handler = handler;
    // One notice, however many signals come together.
    sigemptyset(&action.sa_mask);
    for (int other : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&action.sa_mask, other);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

void say(int fd, std::string_view text) {
    [[maybe_unused]] const ssize_t ignored = ::write(fd, text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
    // A standard stream closed at start would hand its number to the output file, and the
    // console's bytes would go into it.
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) ::open("/dev/null", O_RDWR);

    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument != "--help" && argument != "--version") {
            say(STDERR_FILENO, "zelk: unexpected argument \"" + std::string(argument) +
                                   "\"; answers come on standard input: zelk < FILE\n");
            return zelk::exitStatus(zelk::Status::stopped);
        }
    }
    if (argc > 1) {
        say(STDOUT_FILENO, std::string_view(argv[1]) == "--help" ? usage : "zelk " ZELK_VERSION "\n");
        return zelk::exitStatus(zelk::Status::finished);
    }

    handle(SIGINT, onInterrupt, false);
    handle(SIGTERM, onTerminate, false);
    // Under nohup a hang-up stays ignored.
    handle(SIGHUP, onHangup, true);
    handle(SIGQUIT, onQuit, true);
    // A file grown past its size limit is reported like any failed write, not a silent death.
    std::signal(SIGXFSZ, SIG_IGN);
    // A console that has gone shows as a failed write, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    zelk::FdSource input(STDIN_FILENO);
    zelk::FdSink errors(STDERR_FILENO);
    zelk::FdSink output(STDOUT_FILENO, &errors, "standard output");
    zelk::Console console(input, output);
    auto openOutput = [&](const std::string& name) -> std::unique_ptr<zelk::BlockFile> {
        return std::make_unique<zelk::OutputFile>(name, errors);
    };
    return zelk::exitStatus(zelk::runZelk(console, errors, openOutput));
}
