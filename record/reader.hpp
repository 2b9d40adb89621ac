// Reading an output file back: its 34-line blocks as sample records, one at a time, or where
// the layout breaks.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_io.hpp"
#include "record/fields.hpp"
#include "record/sample.hpp"

namespace zelk {

// The first place where a file departs from the block layout. Line and column count from 1;
// a column one past the end of a line means the line ends too early.
struct LayoutFault {
    long line = 0;
    long column = 0;
    std::string message;
    // The file ends inside a block whose lines are right so far: what a kill of the writer
    // or a power cut leaves behind, rather than a file written some other way.
    bool cutShort = false;
};

// A number field that the block holds but that carries no usable value.
struct FieldNote {
    enum Kind {
        asterisks,  // the value was too large for its field and is lost
        infinite,   // "inf" or "-inf"
        notANumber, // "nan"
    };
    Kind kind;
    long line = 0;
    long column = 0;  // of the field's first character
    int field = 0;    // a Field: index into blockFieldTable
};

// The names and units of the number fields, in the order of the file (blockFieldTable's).
inline constexpr std::array<std::string_view, blockFieldCount> blockFieldNames = [] {
    std::array<std::string_view, blockFieldCount> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = blockFieldTable[i].name;
    return names;
}();
inline constexpr std::array<std::string_view, blockFieldCount> blockFieldUnits = [] {
    std::array<std::string_view, blockFieldCount> units{};
    for (std::size_t i = 0; i < units.size(); ++i) units[i] = blockFieldTable[i].unit;
    return units;
}();

// Where a number field sits in its block: the line from the block's first (1) and the column
// of its first character.
struct FieldPlace {
    int line = 0;
    int column = 0;
};
FieldPlace blockFieldPlace(int field);

// A block's number fields in the order of blockFieldNames.
std::array<float*, blockFieldCount> blockFields(SampleRecord& record);

// Reads blocks from a source, one at a time, holding one block and a buffer whatever the
// length of the file. Accepts exactly what the writer writes: the title and label lines byte
// for byte, a sample line of 76 characters, and number lines of F16.8 fields. A number is read
// as the float nearest to its digits; "inf", "-inf" and "nan" read as such, and a field of
// asterisks reads as the largest float, which is again too large for the field. Never throws
// for what the file holds; a source that cannot be read throws InputFailure.
class BlockReader {
public:
    explicit BlockReader(ByteSource& source);
    // Reads the file descriptor, which stays open.
    explicit BlockReader(int fd);
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // The next whole block into record: false at the end of the file or at the first fault,
    // after which the reader stays there. record is unspecified after false.
    bool next(SampleRecord& record);

    // The line on which the block last read begins.
    long blockLine() const { return blockLine_; }
    // The fields of the block last read that carry no usable value, in file order.
    const std::vector<FieldNote>& notes() const { return notes_; }
    // Where the file departs from the layout; empty while it has not.
    const std::optional<LayoutFault>& fault() const { return fault_; }

    struct Lines;

private:
    bool block(SampleRecord& record);
    bool expect(std::string_view text, std::string_view what);
    bool numberLine(std::string_view labels, std::initializer_list<float*> fields, int& field);
    bool fail(long column, std::string message);
    bool cutShort(long column, std::string message);

    std::unique_ptr<ByteSource> owned_;
    std::unique_ptr<Lines> lines_;
    long blockLine_ = 0;
    std::vector<FieldNote> notes_;
    std::optional<LayoutFault> fault_;
};

struct ReadBlocks {
    std::vector<SampleRecord> records;  // every whole block before the fault
    std::optional<LayoutFault> fault;   // empty when the whole file is blocks
};

// Every block of a file held in memory.
ReadBlocks readBlocks(std::string_view file);

}  // namespace zelk
