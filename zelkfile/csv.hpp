// Tables as comma-separated values: read row by row with Debian's CSV library (RFC 4180
// quoting, CRLF or LF, a UTF-8 byte-order mark skipped), and cells quoted for writing.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/byte_io.hpp"
#include "base/function_ref.hpp"

namespace zelk::workbench {

// A row of the table: its number as a spreadsheet shows it (the header is row 1, and a row
// with line breaks in quoted cells counts once), and its cells, valid during the call.
struct CsvRow {
    long number = 0;
    std::span<const std::string_view> cells;
};

// What ends the reading of a table: quoting that is broken, or a cell or row too large.
struct CsvFault {
    long row = 0;
    std::string message;
};

// Reads a table row by row; rows without any cell (empty lines) are counted but not handed
// on. The separator is the header row's: the first comma, semicolon or tab outside quotes on
// its first line (a comma when it has none), unless a first line "sep=X" names it. Cells are taken as they stand, blanks included.
// onRow returns false to stop reading. Memory is bounded whatever the table holds: a cell of
// more than maxCellBytes, or a row of more than maxCells cells, is a fault. A source that
// cannot be read throws InputFailure.
class CsvReader {
public:
    static constexpr std::size_t maxCellBytes = 1 << 16;
    static constexpr std::size_t maxCells = 1024;

    explicit CsvReader(ByteSource& source) : source_(source) {}

    std::optional<CsvFault> read(FunctionRef<bool(const CsvRow&)> onRow);

    // The header row's separator, known once the first row has been handed on.
    char separator() const { return separator_; }

private:
    ByteSource& source_;
    char separator_ = ',';
};

// What a spreadsheet shows as text without taking it as a formula, put before such a text
// cell on writing and taken off one text cell on reading.
constexpr char formulaGuard = '\'';

// Whether a spreadsheet would take the text cell as a formula: it begins with =, +, -, @, a
// tab or a carriage return and is not a number. A cell that begins with the guard itself
// gets one more, so that taking one off gives every text back.
bool needsFormulaGuard(std::string_view cell);

// Appends a text cell to a row being written: as it stands, with the formula guard before
// it where needsFormulaGuard says so, and quoted (its quotes doubled) when it holds the
// separator, a quote, a line break or a blank at either end, which a reader could otherwise
// take apart or trim.
void appendCell(std::string& out, std::string_view cell, char separator);

}  // namespace zelk::workbench
