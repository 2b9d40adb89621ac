// Entry point: wires the dialogue to standard input, standard output and the output file.
#include <csignal>
#include <unistd.h>

#include "dialogue/zelk.hpp"

namespace {

// Only async-signal-safe calls here: the signal may come at any moment. Every finished block
// is already on its way to the file, since nothing of it is ever held back in memory; the
// writer is given the time to put it there.
extern "C" void onInterrupt(int) {
    constexpr char text[] = "Interrupt\n";
    [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, text, sizeof text - 1);
    zelk::finishWritingOnSignal();
    ::_exit(zelk::interrupted);
}

extern "C" void onTerminate(int) {
    constexpr char text[] = "Killed\n";
    [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, text, sizeof text - 1);
    zelk::finishWritingOnSignal();
    ::_exit(zelk::interrupted);
}

void handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

int main() {
    handle(SIGINT, onInterrupt);
    handle(SIGTERM, onTerminate);
    // A file grown past its size limit is reported like any failed write, not a silent death.
    std::signal(SIGXFSZ, SIG_IGN);
    // A writer or a console that has gone shows as a failed write, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    zelk::FdSource input(STDIN_FILENO);
    zelk::FdSink output(STDOUT_FILENO);
    zelk::FdSink errors(STDERR_FILENO);
    zelk::Console console(input, output);
    auto openOutput = [&](const std::string& name) -> std::unique_ptr<zelk::BlockFile> {
        return std::make_unique<zelk::DiskFile>(name, errors);
    };
    return zelk::runZelk(console, errors, openOutput);
}
