// Fuzz target: the I4 and I5 readers against the reference, on any line.
#include <cstdio>

#include "base/field.hpp"
#include "fuzz/fuzz.hpp"
#include "support/reference.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line = zelk::fuzz::asLine(zelk::fuzz::bytes(data, size));
    for (int w : {4, 5}) {
        const std::optional<int> got = zelk::readI(line, w);
        const std::optional<int> want = zelk::reference::readI(line, w);
        if (got != want) {
            char what[80];
            std::snprintf(what, sizeof what, "I%d reads %s%d, reference %s%d", w, got ? "" : "an error ", got.value_or(0),
                          want ? "" : "an error ", want.value_or(0));
            zelk::fuzz::fail(what, line);
        }
    }
    return 0;
}
