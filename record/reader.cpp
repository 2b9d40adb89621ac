// The reader of the output file: a strict parser of the block layout.
#include "record/reader.hpp"

#include <algorithm>
#include <charconv>
#include <limits>

#include "record/outfil.hpp"

namespace zelk {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Walks the file line by line and records the first fault.
class Parser {
public:
    explicit Parser(std::string_view file) : rest_(file) {}

    bool atEnd() const { return rest_.empty(); }
    long lineNumber() const { return number_; }

    // The next line without its line feed; nullopt (and a fault) when there is none.
    std::optional<std::string_view> next() {
        ++number_;
        if (rest_.empty()) {
            fail(1, "the file ends inside a block");
            return std::nullopt;
        }
        const std::size_t feed = rest_.find('\n');
        if (feed == std::string_view::npos) {
            fail(static_cast<long>(rest_.size()) + 1, "the last line has no line feed");
            return std::nullopt;
        }
        const std::string_view line = rest_.substr(0, feed);
        rest_.remove_prefix(feed + 1);
        return line;
    }

    // The next line must be exactly text.
    bool expect(std::string_view text, std::string_view what) {
        const std::optional<std::string_view> line = next();
        if (!line) return false;
        std::size_t at = 0;
        while (at < line->size() && at < text.size() && (*line)[at] == text[at]) ++at;
        if (at == line->size() && at == text.size()) return true;
        std::string message = std::string(what) + ": ";
        if (at == line->size())
            message += "the line ends early";
        else if (at == text.size())
            message += "the line runs on";
        else
            message += "unexpected character";
        return fail(static_cast<long>(at) + 1, std::move(message));
    }

    bool fail(long column, std::string message) {
        if (!fault_) fault_ = LayoutFault{number_, column, std::move(message)};
        return false;
    }

    std::optional<LayoutFault> fault() { return std::move(fault_); }

private:
    std::string_view rest_;
    long number_ = 0;
    std::optional<LayoutFault> fault_;
};

// One F16.8 field as the writer renders it; the offset of the first wrong character otherwise.
struct Number {
    float value = 0;
    std::size_t bad = std::string_view::npos;
    const char* why = nullptr;
};

Number readNumber(std::string_view field) {
    std::size_t at = 0;
    if (field.find_first_not_of('*') == std::string_view::npos) return {std::numeric_limits<float>::max()};
    while (at < field.size() && field[at] == ' ') ++at;
    const std::string_view text = field.substr(at);
    const float inf = std::numeric_limits<float>::infinity();
    if (text == "inf") return {inf};
    if (text == "-inf") return {-inf};
    if (text == "nan") return {std::numeric_limits<float>::quiet_NaN()};

    const std::size_t start = at;
    const bool negative = at < field.size() && field[at] == '-';
    if (negative) ++at;
    const std::size_t integerStart = at;
    while (at < field.size() && isDigit(field[at])) ++at;
    const std::size_t integerDigits = at - integerStart;
    if (integerDigits == 0) return {0, at, "a digit expected"};
    if (integerDigits > 1 && field[integerStart] == '0') return {0, integerStart, "a leading zero"};
    if (at == field.size() || field[at] != '.') return {0, at, "a decimal point expected"};
    ++at;
    const std::size_t decimalStart = at;
    while (at < field.size() && isDigit(field[at])) ++at;
    if (at != field.size() || at - decimalStart != static_cast<std::size_t>(numberDecimals))
        return {0, at, "eight decimals expected"};
    if (negative && field.find_first_not_of("0.", integerStart) == std::string_view::npos)
        return {0, start, "a minus sign on zero"};

    Number number;
    std::from_chars(field.data() + start, field.data() + field.size(), number.value);
    return number;
}

bool numberLine(Parser& parser, std::string_view labels, std::initializer_list<float*> fields) {
    if (!parser.expect("", "an empty line expected")) return false;
    if (!parser.expect(labels, "a label line expected")) return false;
    const std::optional<std::string_view> line = parser.next();
    if (!line) return false;
    const std::size_t width = fields.size() * static_cast<std::size_t>(numberWidth);
    if (line->size() != width) {
        const std::size_t column = std::min(line->size(), width) + 1;
        return parser.fail(static_cast<long>(column), "a line of " + std::to_string(fields.size()) +
                                                          " F16.8 numbers expected, " + std::to_string(width) +
                                                          " characters, not " + std::to_string(line->size()));
    }
    std::size_t offset = 0;
    for (float* value : fields) {
        const Number number = readNumber(line->substr(offset, static_cast<std::size_t>(numberWidth)));
        if (number.why)
            return parser.fail(static_cast<long>(offset + number.bad) + 1,
                               std::string("not an F16.8 number: ") + number.why);
        *value = number.value;
        offset += static_cast<std::size_t>(numberWidth);
    }
    return true;
}

bool block(Parser& parser, SampleRecord& r) {
    if (!parser.expect(blockTitle, "the title line expected")) return false;
    if (!parser.expect("", "an empty line expected")) return false;
    if (!parser.expect(sampleLabels, "the sample label line expected")) return false;
    const std::optional<std::string_view> sample = parser.next();
    if (!sample) return false;
    constexpr std::size_t sampleWidth = std::tuple_size_v<decltype(r.sampleNumber)> +
                                        std::tuple_size_v<decltype(r.sampleLocation)>;
    if (sample->size() != sampleWidth)
        return parser.fail(static_cast<long>(std::min(sample->size(), sampleWidth)) + 1,
                           "the sample line must hold 76 characters, not " + std::to_string(sample->size()));
    readA(sample->substr(0, r.sampleNumber.size()), r.sampleNumber);
    readA(sample->substr(r.sampleNumber.size()), r.sampleLocation);
    bool whole = true;
    forEachNumberLine(r, [&](std::string_view labels, std::initializer_list<float*> fields) {
        whole = whole && numberLine(parser, labels, fields);
    });
    return whole;
}

}  // namespace

ReadBlocks readBlocks(std::string_view file) {
    ReadBlocks result;
    Parser parser(file);
    SampleRecord record;
    while (!parser.atEnd()) {
        if (!block(parser, record)) break;
        result.records.push_back(record);
    }
    result.fault = parser.fault();
    return result;
}

}  // namespace zelk
