// The low-level writes every program and verb shares: all of a large write through a pipe,
// the reason a write fails, and output gathered into writes of 64 KiB.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/byte_io.hpp"

namespace zelk {
namespace {

// A pipe takes far less than this at a time: the rest goes in later writes, byte for byte.
TEST(WriteAll, WritesEverythingThroughShortWrites) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::string bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4093);
    std::string got;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) got.append(buffer, static_cast<std::size_t>(n));
    });
    const Written written = writeAll(ends[1], bytes);
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);
    EXPECT_EQ(written.error, 0);
    EXPECT_EQ(written.bytes, bytes.size());
    EXPECT_TRUE(got == bytes);
}

TEST(WriteAll, SaysWhyAndHowFar) {
    const Written closed = writeAll(-1, "lost");
    EXPECT_EQ(closed.error, EBADF);
    EXPECT_EQ(closed.bytes, 0u);
    EXPECT_EQ(writeAll(-1, "").error, 0);  // nothing to write is no write

    // A pipe whose reader has gone (SIGPIPE ignored, as both programs ignore it).
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    const auto before = std::signal(SIGPIPE, SIG_IGN);
    const Written gone = writeAll(ends[1], "nobody reads");
    std::signal(SIGPIPE, before);
    ::close(ends[1]);
    EXPECT_EQ(gone.error, EPIPE);
}

TEST(Gathered, WritesInLargePiecesAndTheRestAtFlush) {
    StringSink sink;
    Gathered<ByteSink> gathered(sink);
    const std::string row(1000, 'r');
    std::size_t rows = 0;
    do {
        EXPECT_EQ(sink.writes(), 0);
        gathered.text() += row;
        ++rows;
    } while (!gathered.endPiece());
    // Whole pieces, written once they reach 64 KiB.
    EXPECT_EQ(rows, (gatheredBytes + row.size() - 1) / row.size());
    EXPECT_EQ(sink.writes(), 1);
    EXPECT_TRUE(gathered.text().empty());
    EXPECT_EQ(sink.bytes().size(), rows * row.size());
    gathered.text() += "last";
    gathered.flush();
    gathered.flush();  // nothing left: no empty write
    EXPECT_EQ(sink.writes(), 2);
    EXPECT_EQ(sink.bytes().size(), rows * row.size() + 4);
}

}  // namespace
}  // namespace zelk
