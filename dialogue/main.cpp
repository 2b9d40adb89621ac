// Entry point: wires the dialogue to standard input, standard output and the output file.
#include <csignal>
#include <string_view>
#include <unistd.h>

#include "dialogue/zelk.hpp"
#include "base/byte_io.hpp"
#include "base/printable.hpp"
#include "base/startup.hpp"

namespace {

constexpr std::string_view usage =
    "Usage: zelk < ANSWERS\n"
    "Asks, screen by screen, for the analysis of geothermal fluid samples and appends one\n"
    "block per sample to the input file of KAVIX (default kavix.in).\n"
    "Answers come on standard input, one a line: type them, or pipe in a prepared file.\n"
    "Exit status: 0 done; 1 interrupted; 2 end of input, or no output file;\n"
    "3 a sample could not be written. See man zelk.\n";

// Only async-signal-safe calls in the handler: the signal may come at any moment. A block
// being written holds the signals back until it is whole in the file.
template <std::size_t size>
[[noreturn]] void endRun(const char (&notice)[size]) {
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, notice, size - 1);
    ::_exit(zelk::exitStatus(zelk::Status::interrupted));
}

extern "C" void onTermination(int signal) {
    switch (signal) {
        case SIGINT: endRun("Interrupt\n");
        case SIGTERM: endRun("Killed\n");
        case SIGHUP: endRun("Hangup\n");
        default: endRun("Quit\n");
    }
}

void say(int fd, std::string_view text) { zelk::writeAll(fd, text); }

}  // namespace

int main(int argc, char** argv) {
    // A closed standard stream would hand its number to the output file, and the console's
    // bytes would go into it. A signal ignored at start (nohup) stays ignored.
    zelk::startUp(onTermination);

    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument != "--help" && argument != "--version") {
            say(STDERR_FILENO, "zelk: unexpected argument " + zelk::quoted(argument) +
                                   "; answers come on standard input: zelk < FILE\n");
            return zelk::exitStatus(zelk::Status::stopped);
        }
    }
    if (argc > 1) {
        say(STDOUT_FILENO, std::string_view(argv[1]) == "--help" ? usage : "zelk " ZELK_VERSION "\n");
        return zelk::exitStatus(zelk::Status::finished);
    }

    zelk::FdSource input(STDIN_FILENO);
    zelk::FdSink errors(STDERR_FILENO);
    zelk::FdSink output(STDOUT_FILENO, &errors, "standard output");
    zelk::Console console(input, output);
    auto openOutput = [&](const std::string& name) -> std::unique_ptr<zelk::BlockFile> {
        return std::make_unique<zelk::OutputFile>(name, errors);
    };
    return zelk::exitStatus(zelk::runZelk(console, errors, openOutput));
}
