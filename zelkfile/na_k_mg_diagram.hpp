// Giggenbach's Na-K-Mg triangle as a plain SVG file: the full- and partial-equilibrium lines,
// then one labelled point per sample, written as the samples come.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "record/output_file.hpp"

namespace zelk::workbench {

// Where a water of these concentrations (mg/kg, each above zero) sits in the picture: the
// corners Na/1000 (lower left), K/100 (lower right) and sqrt(Mg) (top), weighted by its share.
struct Point {
    double x;
    double y;
};
inline constexpr Point naCorner{100, 660};
inline constexpr Point kCorner{700, 660};
inline constexpr Point mgCorner{400, 140.38475772933678};  // 660 - 300 sqrt(3)
Point naKMgPoint(double na, double k, double mg);

// The file appears whole at commit or not at all, under the rules of every output file: a
// new file beside the name until then, an earlier file kept as a numbered backup.
class NaKMgDiagram {
public:
    explicit NaKMgDiagram(std::string path) : path_(std::move(path)) {}

    // Claims the name and writes the triangle and its lines; false with the reason in error.
    bool open(std::string& error);
    // One sample, labelled by its sample number (UTF-8 or Latin-1, character by character, as
    // xmlText takes it); the file name and the sample's place in it show on hover.
    void sample(std::string_view file, long index, std::string_view sampleNumber, double na, double k, double mg);
    // Ends the picture and puts it in place; false with the reason in error. From the moment
    // it is put in place the termination signals are held back to the end of the run.
    bool commit(std::string& error);

private:
    void write(std::string_view text);
    void flush();

    std::string path_;
    std::unique_ptr<PreparedOutput> file_;
    std::string buffer_;
    std::string writeError_;  // the first write that failed
};

}  // namespace zelk::workbench
