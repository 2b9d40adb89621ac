// Memory stays constant whatever the input: one answer line of a gigabyte, sent through a pipe
// as it is made, must not grow the program's peak resident memory.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

struct Peak {
    long kib = 0;  // peak resident memory of the program
    int status = -1;
    double seconds = 0;
    bool delivered = false;  // every byte went into the pipe
};

// Runs the program in folder; its standard input gets the file-name answer, then a first
// answer of `length` bytes, then ends.
Peak runWithLongLine(const std::string& folder, long long length) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[1]);
        const int null = ::open("/dev/null", O_WRONLY);
        if (::chdir(folder.c_str()) != 0 || null < 0) ::_exit(127);
        ::dup2(pipeFds[0], 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(ZELK_BINARY, "zelk", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[0]);
    std::signal(SIGPIPE, SIG_IGN);
    const std::string chunk(1 << 20, 'x');
    bool open = ::write(pipeFds[1], "\n", 1) == 1;
    for (long long left = length; open && left > 0;) {
        const auto take = static_cast<std::size_t>(std::min<long long>(left, static_cast<long long>(chunk.size())));
        const ssize_t put = ::write(pipeFds[1], chunk.data(), take);
        if (put <= 0) open = false;
        else left -= put;
    }
    if (open) open = ::write(pipeFds[1], "\n", 1) == 1;
    ::close(pipeFds[1]);
    int raw = 0;
    struct rusage usage {};
    ::wait4(child, &raw, 0, &usage);
    Peak peak;
    peak.delivered = open;
    peak.kib = usage.ru_maxrss;
    peak.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    peak.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return peak;
}

TEST(Memory, GigabyteAnswerLine) {
    TempDir folder;
    const Peak small = runWithLongLine(folder.path(), 10);
    const Peak huge = runWithLongLine(folder.path(), 1LL << 30);
    std::printf("peak resident memory: %ld KiB with a 10-byte line, %ld KiB with a 1 GiB line (%.2f s)\n", small.kib,
                huge.kib, huge.seconds);
    // Both runs end at the end of input, the long one having read every byte of its line.
    EXPECT_EQ(small.status, 2);
    EXPECT_EQ(huge.status, 2);
    EXPECT_TRUE(huge.delivered);
    EXPECT_LT(huge.kib - small.kib, 1024) << "the long line grew the program";
#if !defined(__SANITIZE_ADDRESS__)
    // Sanitizers bring their own shadow memory; the plain build must stay small.
    EXPECT_LT(huge.kib, 8 * 1024);
#endif
}

}  // namespace
}  // namespace zelk::test
