// Reading an output file back: its 34-line blocks as sample records, or where the layout breaks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/sample.hpp"

namespace zelk {

// The first place where a file departs from the block layout. Line and column count from 1;
// a column one past the end of a line means the line ends too early.
struct LayoutFault {
    long line = 0;
    long column = 0;
    std::string message;
};

struct ReadBlocks {
    std::vector<SampleRecord> records;  // every whole block before the fault
    std::optional<LayoutFault> fault;   // empty when the whole file is blocks
};

// Parses a file of blocks. Accepts exactly what the writer writes: the title and label lines
// byte for byte, a sample line of 76 characters, and number lines of F16.8 fields. A number
// is read as the float nearest to its digits; "inf", "-inf" and "nan" read as such, and a
// field of asterisks (a value too large for it) reads as the largest float, which is again
// too large for the field. Never throws for what the file holds.
ReadBlocks readBlocks(std::string_view file);

}  // namespace zelk
