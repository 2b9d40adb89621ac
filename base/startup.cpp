// The start-up of both programs and the end of a run by a termination signal.
//
// A signal that ends a run acts in its handler: the handler removes the new file that was
// not put in place, writes one line and ends the process by the same signal. So a run
// blocked in a read or a write (a FIFO that stalls) ends at once, and there is no moment
// between looking for a signal and blocking in which one could be missed. What the handler
// reads is set with the signals held, and putting a file in place holds them too.
#include "base/startup.hpp"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zelk {

namespace {

sigset_t terminationSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : terminationSignals) sigaddset(&set, signal);
    return set;
}

// What the handler reads: set only while the signals are held.
struct Text {
    char bytes[2 * PATH_MAX];
    std::size_t size = 0;

    void set(std::string_view text) {
        // Longer than any name a system call takes: then there is nothing to remove or name.
        size = text.size() < sizeof bytes ? text.size() : 0;
        if (size > 0) std::memcpy(bytes, text.data(), size);
        bytes[size] = '\0';
    }
    void add(std::string_view text) {
        if (size + text.size() >= sizeof bytes) return;
        std::memcpy(bytes + size, text.data(), text.size());
        size += text.size();
        bytes[size] = '\0';
    }
    bool is(std::string_view text) const { return size > 0 && std::string_view(bytes, size) == text; }
};

Text notice;
// A verb may make more than one file at once (a report's picture and its page).
Text leftovers[4];

}  // namespace

void startUp(void (*onTermination)(int)) {
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) ::open("/dev/null", O_RDWR);

    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    for (int signal : terminationSignals) {
        struct sigaction action {};
        if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
        action = {};
        action.sa_handler = onTermination;
        // One ending, however many signals come together.
        action.sa_mask = terminationSet();
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

HeldSignals::HeldSignals() {
    const sigset_t held = terminationSet();
    ::sigprocmask(SIG_BLOCK, &held, &before_);
}

HeldSignals::~HeldSignals() { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }

void holdSignalsToTheEnd() {
    const sigset_t held = terminationSet();
    ::sigprocmask(SIG_BLOCK, &held, nullptr);
}

namespace interruption {

void addNotice(std::string_view line) {
    const HeldSignals held;
    notice.add(line);
}

void addLeftover(std::string_view path) {
    const HeldSignals held;
    for (Text& leftover : leftovers)
        if (leftover.size == 0) {
            leftover.set(path);
            return;
        }
}

void dropLeftover(std::string_view path) {
    const HeldSignals held;
    for (Text& leftover : leftovers)
        if (leftover.is(path)) leftover.set({});
}

void endBySignal(int signal) {
    const int saved = errno;
    for (const Text& leftover : leftovers)
        if (leftover.size > 0) ::unlink(leftover.bytes);
    if (notice.size > 0) {
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, notice.bytes, notice.size);
    }
    errno = saved;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);  // a signal whose default action ends nothing: end all the same
}

}  // namespace interruption

}  // namespace zelk
