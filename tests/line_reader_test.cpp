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

}  // namespace
}  // namespace zelk
