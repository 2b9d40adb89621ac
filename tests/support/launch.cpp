// The one launcher of the tests and the bench: fork, the child's streams and limits, exec,
// and the wait.
#include "support/launch.hpp"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zelk::test {

void signalsAtTheirDefaults() {
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE}) std::signal(signal, SIG_DFL);
}

void becomeNormalUser() {
    if (::geteuid() != 0) return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(126);
}

namespace {

// In the child: fd onto target, or the end when it cannot be had.
void place(int fd, int target) {
    if (fd < 0 || ::dup2(fd, target) < 0) ::_exit(127);
}

[[noreturn]] void start(const Launch& launch, int in, int out, int err) {
    // Files are opened before the folder changes, so that their names mean what they meant
    // to the caller.
    place(in >= 0 ? in : ::open(launch.input.c_str(), O_RDONLY), 0);
    place(out >= 0 ? out : ::open(launch.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    place(err >= 0 ? err : ::open(launch.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    if (!launch.folder.empty() && ::chdir(launch.folder.c_str()) != 0) ::_exit(127);
    signalsAtTheirDefaults();
    if (launch.noCoreFiles) {
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_CORE, &none);
    }
    if (launch.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(launch.fileSizeLimit), static_cast<rlim_t>(launch.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (launch.setUp) launch.setUp();
    for (int fd = 3; fd < 64; ++fd) ::close(fd);  // after setUp, which may take one of them
    if (launch.normalUser) becomeNormalUser();
    std::vector<char*> argv;
    for (const std::string& arg : launch.argv) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

int statusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

}  // namespace

Process::Process(const Launch& launch) {
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if ((launch.pipeInput && ::pipe(in) != 0) || (launch.output.empty() && ::pipe(out) != 0) ||
        (launch.errors.empty() && ::pipe(err) != 0))
        throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) start(launch, in[0], out[1], err[1]);
    for (int fd : {in[0], out[1], err[1]})
        if (fd >= 0) ::close(fd);
    input_ = in[1];
    output_ = out[0];
    errors_ = err[0];
}

Process::~Process() {
    closeInput();
    for (int fd : {output_, errors_})
        if (fd >= 0) ::close(fd);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void Process::closeInput() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
}

void Process::signal(int number) const { ::kill(pid_, number); }

std::optional<Ended> Process::finish(std::optional<std::chrono::milliseconds> limit) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + limit.value_or(std::chrono::milliseconds(0));
    // Milliseconds left for poll, -1 for no limit.
    const auto left = [&] {
        if (!limit) return -1;
        return static_cast<int>(
            std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
    };
    closeInput();
    Ended ended;
    int* fds[2] = {&output_, &errors_};
    std::string* into[2] = {&ended.out, &ended.err};
    char buffer[1 << 16];
    while (output_ >= 0 || errors_ >= 0) {
        pollfd watch[2] = {{output_, POLLIN, 0}, {errors_, POLLIN, 0}};
        const int ready = ::poll(watch, 2, left());
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        for (int k = 0; k < 2; ++k) {
            if (*fds[k] < 0 || watch[k].revents == 0) continue;
            const ssize_t got = ::read(*fds[k], buffer, sizeof buffer);
            if (got > 0) {
                into[k]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(*fds[k]);
                *fds[k] = -1;
            }
        }
    }
    int raw = 0;
    for (;;) {
        const pid_t got = ::wait4(pid_, &raw, limit ? WNOHANG : 0, &ended.usage);
        if (got == pid_) break;
        if (got < 0 && errno != EINTR) throw std::runtime_error("wait4 failed");
        if (left() == 0) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    pid_ = -1;
    ended.status = statusOf(raw);
    return ended;
}

}  // namespace zelk::test
