// Giggenbach's Na-K-Mg triangle: the full- and partial-equilibrium lines, the Na/K and K/Mg
// isotherms, and one point per sample, labelled where a label can be read; for the page, or
// as an SVG file of its own.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "record/output_file.hpp"
#include "zelkfile/diagram.hpp"

namespace zelk::workbench {

// Where a water of these concentrations (mg/kg, at least zero, not all zero) sits in the
// picture: the corners Na/1000 (lower left), K/100 (lower right) and sqrt(Mg) (top), weighted
// by its share.
struct Point {
    double x;
    double y;
};
inline constexpr Point naCorner{100, 660};
inline constexpr Point kCorner{700, 660};
inline constexpr Point mgCorner{400, 140.38475772933678};  // 660 - 300 sqrt(3)
Point naKMgPoint(double na, double k, double mg);

// The isotherms, °C: every 20 from the first to the last.
inline constexpr int firstIsotherm = 100;
inline constexpr int lastIsotherm = 340;

class NaKMgTriangle {
public:
    // For more samples than are labelled: keep none, and read them again to draw them.
    void stream() { samples_.stream(); }
    // A sample whose Na, K and Mg are all above zero is drawn; another is named under the
    // picture as not drawn.
    void sample(const PictureSample& sample);
    // The picture as an <svg> element; with key, the points that carry their number instead of
    // their label are listed beside it, number and sample number. Streamed, replay hands the
    // samples again; false when it fails.
    bool draw(Markup& svg, std::span<const ReportedFile> files, bool key, const Replay& replay = {}) const;
    // What the picture shows and whence, for the page.
    std::string caption() const;
    const PlottedSamples& samples() const { return samples_; }

private:
    PlottedSamples samples_;
};

// The triangle as an SVG file. It appears whole at commit or not at all, under the rules of
// every output file: a new file beside the name until then, an earlier file kept as a
// numbered backup.
class NaKMgDiagram {
public:
    explicit NaKMgDiagram(std::string path) : path_(std::move(path)) {}

    // Claims the name; false with the reason in error. For more samples in the files than
    // are labelled, the triangle keeps none and reads them again at commit.
    bool open(std::span<const ReportedFile> files, std::string& error);
    NaKMgTriangle& triangle() { return triangle_; }
    // Writes the picture and puts it in place; false with the reason in error. replay hands
    // the samples again when the triangle is streamed.
    bool commit(std::span<const ReportedFile> files, const Replay& replay, std::string& error);

private:
    std::string path_;
    std::unique_ptr<PreparedOutput> file_;
    NaKMgTriangle triangle_;
};

}  // namespace zelk::workbench
