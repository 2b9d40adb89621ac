// Fuzz target: the F15.0 reader against the strtod reference, on any line.
#include <bit>
#include <string>

#include "base/field.hpp"
#include "fuzz/fuzz.hpp"
#include "support/reference.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line = zelk::fuzz::asLine(zelk::fuzz::bytes(data, size));
    const std::optional<float> got = zelk::readF15(line);
    const std::optional<float> want = zelk::reference::readF15(line);
    if (got.has_value() != want.has_value()) zelk::fuzz::fail(got ? "accepted, reference rejects" : "rejected, reference accepts", line);
    if (got && std::bit_cast<std::uint32_t>(*got) != std::bit_cast<std::uint32_t>(*want))
        zelk::fuzz::fail("value differs from the reference (" + std::to_string(*got) + " against " +
                             std::to_string(*want) + ")",
                         line);
    return 0;
}
