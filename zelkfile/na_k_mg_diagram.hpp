// Giggenbach's Na-K-Mg triangle as a plain SVG file: the full- and partial-equilibrium lines,
// then one labelled point per sample, written as the samples come.
#pragma once

#include <string>
#include <string_view>

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

// The file appears whole at commit or not at all: until then it is a temporary file in the
// same folder, removed by the destructor if commit was not reached.
class NaKMgDiagram {
public:
    explicit NaKMgDiagram(std::string path) : path_(std::move(path)) {}
    ~NaKMgDiagram();
    NaKMgDiagram(const NaKMgDiagram&) = delete;
    NaKMgDiagram& operator=(const NaKMgDiagram&) = delete;

    // Creates the temporary file and writes the triangle and its lines; false with the
    // reason in error.
    bool open(std::string& error);
    // One sample, labelled by its sample number (a single-byte text of the block, taken as
    // Latin-1); the file name and the sample's place in it show on hover.
    void sample(std::string_view file, long index, std::string_view sampleNumber, double na, double k, double mg);
    // Ends the picture and puts it in place; false with the reason in error.
    bool commit(std::string& error);

private:
    void write(std::string_view text);
    void flush();

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    std::string buffer_;
    int writeError_ = 0;  // errno of the first failed write
};

}  // namespace zelk::workbench
