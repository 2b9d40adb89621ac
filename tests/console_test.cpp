// The console: whole lines from any chunking of the input, one write per prompt.
#include <gtest/gtest.h>

#include "dialogue/console.hpp"

namespace zelk {
namespace {

TEST(Console, LinesAcrossAnyChunking) {
    const std::string input = "first\n\nthird line\n" + std::string(200, 'x') + "\nlast\n";
    for (std::size_t chunk : {1u, 2u, 3u, 7u, 64u, 65536u}) {
        SCOPED_TRACE(chunk);
        StringSource source(input, chunk);
        StringSink sink;
        Console console(source, sink);
        EXPECT_EQ(console.readLine(), "first");
        EXPECT_EQ(console.readLine(), "");
        EXPECT_EQ(console.readLine(), "third line");
        EXPECT_EQ(console.readLine(), std::string(Console::kept, 'x'));  // the rest is skipped
        EXPECT_EQ(console.readLine(), "last");
        EXPECT_THROW(console.readLine(), EndOfInput);
        EXPECT_THROW(console.readLine(), EndOfInput);
    }
}

TEST(Console, LastLineWithoutLineFeedIsEndOfInput) {
    StringSource source("answer\nno feed");
    StringSink sink;
    Console console(source, sink);
    EXPECT_EQ(console.readLine(), "answer");
    EXPECT_THROW(console.readLine(), EndOfInput);
}

TEST(Console, BytesAreKeptAsTheyCome) {
    StringSource source(std::string("a\rb\0c\t\xB0\n", 8));
    StringSink sink;
    Console console(source, sink);
    EXPECT_EQ(console.readLine(), std::string("a\rb\0c\t\xB0", 7));
}

TEST(Console, CarriageReturnBeforeTheLineFeedEndsTheLine) {
    // Only the one right before the line feed, also when a chunk ends between the two, and
    // also at the edge of what is kept; a lone one at the end is no line end.
    const std::string kept(Console::kept - 1, 'k');
    const std::string input = "first\r\n\r\n\r\r\na\rb\r\n" + kept + "\r\n" + kept + "x\r\nlast\r";
    for (std::size_t chunk : {1u, 2u, 3u, 7u, 65536u}) {
        SCOPED_TRACE(chunk);
        StringSource source(input, chunk);
        StringSink sink;
        Console console(source, sink);
        EXPECT_EQ(console.readLine(), "first");
        EXPECT_EQ(console.readLine(), "");
        EXPECT_EQ(console.readLine(), "\r");
        EXPECT_EQ(console.readLine(), "a\rb");
        EXPECT_EQ(console.readLine(), kept);
        EXPECT_EQ(console.readLine(), kept + "x");  // the return lies past what is kept
        EXPECT_THROW(console.readLine(), EndOfInput);
    }
}

TEST(Console, OneWritePerPrompt) {
    StringSource source("");
    StringSink sink;
    Console console(source, sink);
    console.write("a line\n");
    console.emptyLines(2);
    console.out().append("more");
    EXPECT_EQ(sink.writes(), 0);
    console.prompt(" : ");
    EXPECT_EQ(sink.writes(), 1);
    EXPECT_EQ(sink.bytes(), "a line\n\n\nmore : ");
    console.prompt("next: ");
    EXPECT_EQ(sink.writes(), 2);
    console.flush();
    EXPECT_EQ(sink.writes(), 2);  // nothing pending, nothing written
}

}  // namespace
}  // namespace zelk
