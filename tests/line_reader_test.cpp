// The line reader with other lengths kept than the console's: each line cut to its first
// bytes, whatever the chunks the source hands over.
#include <string>

#include <gtest/gtest.h>

#include "base/line_reader.hpp"

namespace zelk {
namespace {

TEST(LineReader, KeepsTheFirstBytesOfEachLine) {
    for (std::size_t kept : {1u, 5u, 96u}) {
        const std::string shorter(kept - 1, 's'), exact(kept, 'e'), longer(kept + 1, 'l'), long3(3 * kept, 'x');
        const std::string input = shorter + "\n" + exact + "\r\n" + longer + "\n" + long3 + "\r\n\nend\n";
        for (std::size_t chunk : {1u, 3u, 65536u}) {
            SCOPED_TRACE("kept " + std::to_string(kept) + ", chunk " + std::to_string(chunk));
            StringSource source(input, chunk);
            LineReader lines(source, kept);
            EXPECT_EQ(lines.readLine(), shorter);
            EXPECT_EQ(lines.readLine(), exact);
            EXPECT_EQ(lines.readLine(), longer.substr(0, kept));
            EXPECT_EQ(lines.readLine(), long3.substr(0, kept));
            EXPECT_EQ(lines.readLine(), "");
            EXPECT_EQ(lines.readLine(), std::string("end").substr(0, kept));
            EXPECT_THROW(lines.readLine(), EndOfInput);
        }
    }
}

// The splitter under the block reader: each line's whole length beside its first bytes, and a
// last line without a line feed handed out as such.
TEST(LineSplitter, TellsTheWholeLengthAndTheLastLineWithoutAFeed) {
    for (std::size_t chunk : {1u, 7u, 65536u}) {
        SCOPED_TRACE(chunk);
        StringSource source(std::string(200, 'a') + "\n\r\n" + "tail", chunk);
        LineSplitter lines(source, 96);
        ASSERT_TRUE(lines.next());
        EXPECT_EQ(lines.text(), std::string(96, 'a'));
        EXPECT_EQ(lines.length(), 200u);
        EXPECT_TRUE(lines.fed());
        ASSERT_TRUE(lines.next());
        EXPECT_EQ(lines.text(), "\r");  // a carriage return is the reader's to judge
        ASSERT_TRUE(lines.next());
        EXPECT_EQ(lines.text(), "tail");
        EXPECT_EQ(lines.length(), 4u);
        EXPECT_FALSE(lines.fed());
        EXPECT_TRUE(lines.atEnd());
        EXPECT_FALSE(lines.next());
    }
}

}  // namespace
}  // namespace zelk
