// What both programs do before their work, and what becomes of a run that a termination
// signal ends: the standard streams, the signals, the file that must not be left behind.
#pragma once

#include <csignal>
#include <string_view>

namespace zelk {

// The signals that end a run: hang-up, interrupt, quit and terminate.
inline constexpr int terminationSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// Called first by both programs. Standard input, output and error are opened on /dev/null
// where closed, so that no file the run opens takes their numbers and a message cannot land
// in it. SIGXFSZ and SIGPIPE are ignored: a size limit or a reader that has gone is a failed
// write with a message, not a silent death. Each termination signal not ignored at start
// (nohup, trap '' INT) runs onTermination, with the other three held back meanwhile;
// onTermination runs inside the handler, so it may do only what is async-signal-safe.
void startUp(void (*onTermination)(int signal));

// Holds the termination signals back while it lives, so that what it guards is never left
// half done; a signal that came meanwhile acts when it goes.
class HeldSignals {
public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t before_;
};

// Holds the termination signals back until the process ends: from here on the run finishes
// and says what it did, whatever comes.
void holdSignalsToTheEnd();

// A run ended by a termination signal: the file it was making removed, one line on standard
// error, and the process ended by the signal itself, so that whoever started it sees which.
namespace interruption {

// A line written on standard error if a signal ends the run from now on; a run that makes
// more than one file adds one for each.
void addNotice(std::string_view line);
// A file to remove if a signal ends the run from now on (up to four at once), and the end of
// that when it is removed or put in place.
void addLeftover(std::string_view path);
void dropLeftover(std::string_view path);
// Removes the leftover, writes the notice and ends the process by the signal with its
// default action. Async-signal-safe: a program hands it to startUp.
[[noreturn]] void endBySignal(int signal);

}  // namespace interruption

}  // namespace zelk
