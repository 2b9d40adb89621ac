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
