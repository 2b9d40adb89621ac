// What every picture of the report shares: its samples kept compactly, their marks and labels,
// one colour per file and the legend of the files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/sample.hpp"
#include "zelkfile/geothermometers.hpp"
#include "zelkfile/label_layout.hpp"
#include "zelkfile/markup.hpp"

namespace zelk::workbench {

// Above this many samples in a picture the points go without labels.
inline constexpr std::size_t labelledSamplesAtMost = 500;
// Of the samples a picture cannot draw, this many are named; the rest are counted.
inline constexpr std::size_t namedLeftOutAtMost = 40;

// A file of the report: its name as given and how many samples it holds.
struct ReportedFile {
    std::string name;
    long samples = 0;
};

// A sample as the pictures take it: the file's place among the files, the sample's number
// on the page (1 to N across every file), its block, its geothermometers and its bicarbonate
// ion, mg/kg (empty: not known).
struct PictureSample {
    std::size_t file;
    long number;
    const SampleRecord& record;
    const Geothermometers& g;
    std::optional<double> hco3;  // the bicarbonate ion, mg/kg, where known already
    bool hco3Known = true;       // false: worked out from the record when a picture asks

    // The bicarbonate ion of the water, mg/kg, from its charge balance; empty when it has none.
    // Only the Cl-SO4-HCO3 triangle needs it, so a replay leaves it to be asked for.
    std::optional<double> bicarbonate() const;
};

// Hands every sample of the files to each, once more and in order; false (told on the
// errors) when a file could not be read again as it was.
using Replay = std::function<bool(const std::function<void(const PictureSample&)>& each)>;

// The colour of the points of the file at this place among the files.
std::string_view fileColour(std::size_t file);

// From the coordinates a picture keeps to the page's.
using ToPage = std::function<std::pair<double, double>(double, double)>;

// The samples of one picture as they come, in the picture's own coordinates (page or data):
// a few bytes each, and their labels only while there are few enough to show. Streamed, for
// more samples than are labelled, it keeps none: the picture reads them again to draw them.
class PlottedSamples {
public:
    void stream() { streamed_ = true; }
    bool streamed() const { return streamed_; }
    // number: the sample's number on the page, 1 to N across every file; sampleNumber as the
    // block holds it (trailing blanks are dropped).
    void add(std::size_t file, long number, std::string_view sampleNumber, double x, double y);
    // The largest coordinates added, 0 before any.
    double largestX() const { return largestX_; }
    double largestY() const { return largestY_; }
    // One that the picture cannot draw, and why ("no enthalpy").
    void leaveOut(long number, std::string_view sampleNumber, std::string_view why);

    std::size_t size() const { return count_; }
    bool labelled() const { return !streamed_ && count_ <= labelledSamplesAtMost; }
    // The boxes of the marks, which the fixed texts of a picture keep clear of where they can.
    std::vector<Box> marks(const ToPage& toPage = {}) const;
    // "not drawn: 3 (W-2: no Mg), ..." or "" when every sample is drawn.
    std::string leftOut() const;

    // The marks and their labels, laid out around the fixed texts (obstacles) within the
    // picture; samples left without room for a label or a number are counted in a line of
    // the legend at noteY (the line of legendOfFiles's note). Returns the points that carry
    // their number instead of their label, as (number, "sample number"), for a key.
    std::vector<std::pair<long, std::string>> draw(Markup& svg, std::span<const Box> obstacles, Box within,
                                                   double noteY, const ToPage& toPage = {}) const;
    // Streamed, the marks of the samples that replay hands again, at the places that place
    // gives them (page coordinates; empty: not drawn); false when replay fails.
    using Place = std::function<std::optional<std::pair<double, double>>(const PictureSample&)>;
    bool drawAgain(Markup& svg, const Replay& replay, const Place& place) const;

private:
    struct Point {
        float x, y;
        std::uint32_t number;
        std::uint16_t file;
    };
    // A mark of a sample, page coordinates.
    void mark(Markup& svg, const Point& p, std::string_view label) const;

    bool streamed_ = false;
    std::size_t count_ = 0;
    std::vector<Point> points_;  // unless streamed
    std::vector<std::string> labels_;  // while labelled()
    std::vector<std::string> leftOut_;  // the first namedLeftOutAtMost
    long leftOutCount_ = 0;
    double largestX_ = 0, largestY_ = 0;
};

// The legend of the files: a mark in each file's colour, its name and its count, from (x, y)
// down, a line each; returns the boxes of its texts.
std::vector<Box> fileLegend(Markup& svg, std::span<const ReportedFile> files, double x, double y);

// A text of the picture that labels must avoid: written, and its box added to obstacles.
void fixedText(Markup& svg, std::vector<Box>& obstacles, double x, double y, std::string_view text,
               double size = 11, int anchor = -1, std::string_view fill = "black", std::string_view cssClass = "fixed");

// The width of every picture, px: at the page's normal width of 1200 px its text shows at
// its own size.
inline constexpr double pictureWidth = 800;
// The radius of a sample's mark.
inline constexpr double markRadius = 4;
// Opens a picture's <svg> element, w by h px, in the pictures' font, with its title.
void openPicture(Markup& svg, std::string_view cssClass, double w, double h, std::string_view title);

// The legend's lines of the files from y down, then the line of the note that over so many
// samples the points go without labels (kept for PlottedSamples::draw's note otherwise);
// returns the y of that line.
double legendOfFiles(Markup& svg, std::vector<Box>& obstacles, std::span<const ReportedFile> files, double y,
                     bool unlabelled);

// The height of a legend line and the size of the pictures' ordinary text.
inline constexpr double legendLine = 18;
inline constexpr double labelSize = 11;

}  // namespace zelk::workbench
