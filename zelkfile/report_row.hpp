// One sample's row of the report as data: the value of each column, whether it lies within
// its equation's calibration, and the notes. The table, the CSV and any other page of the
// report are written from it, in the order of one table of columns.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/sample.hpp"
#include "zelkfile/geothermometers.hpp"

namespace zelk::workbench {

struct ReportColumn {
    std::string_view heading;  // in the table for people
    std::string_view csvName;
    int decimals;  // in the table for people
    int width;     // in the table for people, at least
    int line;      // which of a sample's lines of the table holds it: 1 or 2; 0: the CSV only
    std::string_view meaning;  // the table's legend
    bool words = false;        // a column of words (maturity), not numbers
};

// Every column after file, sample and sample_number, in the order of the CSV; the notes follow.
std::span<const ReportColumn> reportColumns();

struct ReportCell {
    const ReportColumn* column;
    std::optional<double> value;  // empty: not available
    std::string_view text;        // for a column of words (maturity): the word, empty when none
    bool inRange = true;          // false: above the calibration of its equation
};

struct ReportRow {
    std::vector<ReportCell> cells;   // one per column of reportColumns(), in its order
    std::vector<std::string> notes;  // why a value may not hold; see joinedNotes
    Geothermometers geothermometers; // what the cells were taken from, for the pictures

    // The value of the column of that CSV name; empty when it has none or there is no such column.
    std::optional<double> value(std::string_view csvName) const;
};

ReportRow reportRow(const SampleRecord& sample);

// The notes as one text: "; " between them.
std::string joinedNotes(const std::vector<std::string>& notes);

}  // namespace zelk::workbench
