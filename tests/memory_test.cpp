// Memory stays constant whatever the input: one answer line of a gigabyte, sent through a pipe
// as it is made, must not grow the program's peak resident memory.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
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
    const auto start = std::chrono::steady_clock::now();
    Process program(
        {.argv = {ZELK_BINARY}, .folder = folder, .pipeInput = true, .output = "/dev/null", .errors = "/dev/null"});
    std::signal(SIGPIPE, SIG_IGN);
    const std::string chunk(1 << 20, 'x');
    bool open = ::write(program.input(), "\n", 1) == 1;
    for (long long left = length; open && left > 0;) {
        const auto take = static_cast<std::size_t>(std::min<long long>(left, static_cast<long long>(chunk.size())));
        const ssize_t put = ::write(program.input(), chunk.data(), take);
        if (put <= 0) open = false;
        else left -= put;
    }
    if (open) open = ::write(program.input(), "\n", 1) == 1;
    const Ended ended = *program.finish();
    Peak peak;
    peak.delivered = open;
    peak.kib = ended.usage.ru_maxrss;
    peak.status = ended.status;
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
