// zelkfile report --html: the report as one page, with nothing outside it: a heading naming
// the files, the table of every sample, and the pictures, each with its caption.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/output_file.hpp"
#include "record/sample.hpp"
#include "zelkfile/diagram.hpp"
#include "zelkfile/geothermometers.hpp"
#include "zelkfile/na_k_mg_diagram.hpp"
#include "zelkfile/water_diagrams.hpp"

namespace zelk::workbench {

// One cell of a sample's row: the column's name (as the CSV heads it) and the text shown.
struct PageCell {
    std::string_view column;
    std::string text;
};

// The page is written as the samples come: the table first, the pictures at commit. Up to
// the number of samples that are labelled, the pictures keep a few bytes of each; above it,
// none, and each picture reads the samples again. The page appears whole at commit or not at
// all, under the rules of every output file.
class ReportPage {
public:
    ReportPage(std::string path, std::vector<ReportedFile> files);

    // Claims the name and writes the heading; false with the reason in error.
    bool open(std::string& error);
    // The next sample, of the file at this place among the files: its row, whose columns are
    // those of the first sample's, its notes, and what the pictures need: its block, its
    // geothermometers and its bicarbonate ion, mg/kg (empty: not known).
    void sample(std::size_t file, std::span<const PageCell> cells, std::span<const std::string> notes,
                const SampleRecord& record, const Geothermometers& g, std::optional<double> hco3);
    // Ends the table, writes the pictures and puts the page in place; false with the reason.
    // replay hands every sample again, as sample() had them, for pictures drawn streamed.
    bool commit(const Replay& replay, std::string& error);

private:
    void flush(std::string& text);

    std::string path_;
    std::vector<ReportedFile> files_;
    std::unique_ptr<PreparedOutput> file_;
    std::string buffer_;
    std::string writeError_;  // the first write that failed
    long number_ = 0;         // of the last sample, across the page
    std::size_t columns_ = 0;
    NaKMgTriangle triangle_;
    ClSO4HCO3Triangle anions_;
    EnthalpyChlorideDiagram enthalpyChloride_;
    SilicaEnthalpyDiagram silicaEnthalpy_;
};

}  // namespace zelk::workbench
