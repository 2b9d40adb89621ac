// Names in messages: in quotes, their control characters as escapes, in both programs' messages.
#include <string>

#include <gtest/gtest.h>

#include "base/printable.hpp"
#include "record/output_file.hpp"

namespace zelk {
namespace {

TEST(Quoted, EscapesWhatWouldSteerATerminal) {
    struct Case {
        std::string text, quoted;
    };
    for (const Case& c : {Case{"kavix.in", "\"kavix.in\""}, Case{"", "\"\""},
                          Case{"a\x1b[2Jb", "\"a\\x1b[2Jb\""}, Case{"line\nbreak\r", "\"line\\x0abreak\\x0d\""},
                          Case{"tab\tstays", "\"tab\tstays\""}, Case{"caf\xC3\xA9 \xE9", "\"caf\xC3\xA9 \xE9\""},
                          Case{"c1 \xC2\x9B", "\"c1 \\xc2\\x9b\""}}) {
        EXPECT_EQ(zelk::quoted(c.text), c.quoted) << testing::PrintToString(c.text);
    }
}

// zelk's output file named with a control character: the message names it escaped.
TEST(Quoted, TheOutputFileMessageEscapesItsName) {
    try {
        PreparedOutput output("/nonexistent-folder/\x1b[31mkavix.in");
        FAIL() << "a file in a folder that does not exist was opened";
    } catch (const OutputFailure& failure) {
        const std::string message = failure.what();
        EXPECT_NE(message.find("\"/nonexistent-folder/\\x1b[31mkavix.in\""), std::string::npos) << message;
        EXPECT_EQ(message.find('\x1b'), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace zelk
