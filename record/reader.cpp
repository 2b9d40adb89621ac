// The reader of the output file: a strict parser of the block layout, one block at a time.
#include "record/reader.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/characters.hpp"
#include "base/line_reader.hpp"
#include "record/outfil.hpp"

namespace zelk {

FieldPlace blockFieldPlace(int field) {
    static const std::array<FieldPlace, blockFieldCount> places = [] {
        std::array<FieldPlace, blockFieldCount> all{};
        SampleRecord r;
        std::size_t at = 0;
        int line = 4;  // the sample line; each number line comes three lines later
        forEachNumberLine(r, [&](std::string_view, std::initializer_list<float*> fields) {
            line += 3;
            for (std::size_t i = 0; i < fields.size(); ++i)
                all[at++] = {line, static_cast<int>(i) * numberWidth + 1};
        });
        return all;
    }();
    return places[static_cast<std::size_t>(field)];
}

std::array<float*, blockFieldCount> blockFields(SampleRecord& record) {
    std::array<float*, blockFieldCount> all{};
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = &blockFieldTable[i].member(record);
    return all;
}

// The file line by line, counted. Of a line only its first bytes are kept, more than any line
// of a block holds, so that memory does not depend on what the file holds.
struct BlockReader::Lines {
    static constexpr std::size_t kept = 96;

    explicit Lines(ByteSource& source) : lines_(source, kept) {}

    // The next line; false when the file has no more bytes. Counts the line either way.
    bool next() {
        ++number;
        if (!lines_.next()) {
            length = 0;
            return false;
        }
        text = lines_.text();
        length = lines_.length();
        fed = lines_.fed();
        return true;
    }

    // No byte is left to read.
    bool atEnd() { return lines_.atEnd(); }

    long number = 0;          // of the line last read, from 1
    std::string_view text;    // its first bytes, at most kept of them
    std::size_t length = 0;   // its whole length, without the line feed
    bool fed = false;         // it ends with a line feed

private:
    LineSplitter lines_;
};

namespace {

// One F16.8 field as the writer renders it; the offset of the first wrong character otherwise.
struct Number {
    float value = 0;
    std::size_t bad = std::string_view::npos;
    const char* why = nullptr;
    std::optional<FieldNote::Kind> note;
};

// The float nearest to a number with eight decimals whose digits (at most fifteen) make the
// integer mantissa. The mantissa and 10^8 are exact doubles, so one division gives the nearest
// double; rounding that to float gives the nearest float unless the double lies exactly
// halfway between two floats, where the digits themselves may not: then the library decides.
float nearestFloat(bool negative, std::uint64_t mantissa, std::string_view digits) {
    const double value = static_cast<double>(mantissa) / 1e8;
    // Halfway between two floats: of the 29 bits that a float does not keep, only the first set.
    const bool halfway = (std::bit_cast<std::uint64_t>(value) & 0x1FFFFFFFu) == 0x10000000u;
    float nearest = static_cast<float>(value);
    if (halfway) std::from_chars(digits.data(), digits.data() + digits.size(), nearest);
    return negative ? -nearest : nearest;
}

// The usual field, read in one pass: blanks, an optional minus, digits without a leading
// zero, a point and eight digits, not minus zero. nullopt for anything else, which the full
// rules then read.
std::optional<float> readUsualNumber(std::string_view field) {
    std::size_t at = 0;
    const std::size_t size = field.size();
    while (at < size && field[at] == ' ') ++at;
    const bool negative = at < size && field[at] == '-';
    if (negative) ++at;
    const std::size_t start = at;
    std::uint64_t mantissa = 0;
    for (; at < size && isDigit(field[at]); ++at) mantissa = mantissa * 10 + static_cast<std::uint64_t>(field[at] - '0');
    const std::size_t integerDigits = at - start;
    if (integerDigits == 0 || (integerDigits > 1 && field[start] == '0') || at + 1 + numberDecimals != size ||
        field[at] != '.')
        return std::nullopt;
    for (++at; at < size; ++at) {
        if (!isDigit(field[at])) return std::nullopt;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(field[at] - '0');
    }
    if (negative && mantissa == 0) return std::nullopt;
    return nearestFloat(negative, mantissa, field.substr(start));
}

Number readNumber(std::string_view field) {
    if (const std::optional<float> usual = readUsualNumber(field)) return {*usual};
    if (field.find_first_not_of('*') == std::string_view::npos)
        return {std::numeric_limits<float>::max(), std::string_view::npos, nullptr, FieldNote::asterisks};
    std::size_t at = 0;
    while (at < field.size() && field[at] == ' ') ++at;
    const std::string_view text = field.substr(at);
    const float inf = std::numeric_limits<float>::infinity();
    if (text == "inf") return {inf, std::string_view::npos, nullptr, FieldNote::infinite};
    if (text == "-inf") return {-inf, std::string_view::npos, nullptr, FieldNote::infinite};
    if (text == "nan") return {std::numeric_limits<float>::quiet_NaN(), std::string_view::npos, nullptr, FieldNote::notANumber};

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

    // Every field of this shape is a usual one.
    return {0, start, "not an F16.8 number"};
}

// Whether the start of an F16.8 field, cut off by the end of the file, could still have
// become a field that the writer writes.
bool fieldPrefix(std::string_view part) {
    if (part.find_first_not_of('*') == std::string_view::npos) return true;
    std::size_t at = part.find_first_not_of(' ');
    if (at == std::string_view::npos) return true;
    const std::string_view rest = part.substr(at);
    for (std::string_view word : {"inf", "-inf", "nan"})
        if (word.substr(0, rest.size()) == rest) return true;
    if (part[at] == '-') ++at;
    while (at < part.size() && isDigit(part[at])) ++at;
    if (at < part.size() && part[at] == '.') ++at;
    while (at < part.size() && isDigit(part[at])) ++at;
    return at == part.size();
}

// A file held in memory, handed out without a copy.
class ViewSource : public ByteSource {
public:
    explicit ViewSource(std::string_view bytes) : rest_(bytes) {}
    std::size_t read(char* buffer, std::size_t capacity) override {
        const std::size_t take = std::min(capacity, rest_.size());
        std::memcpy(buffer, rest_.data(), take);
        rest_.remove_prefix(take);
        return take;
    }

private:
    std::string_view rest_;
};

}  // namespace

BlockReader::BlockReader(ByteSource& source) : lines_(std::make_unique<Lines>(source)) {}

BlockReader::BlockReader(int fd)
    : owned_(std::make_unique<FdSource>(fd)), lines_(std::make_unique<Lines>(*owned_)) {}

BlockReader::~BlockReader() = default;

bool BlockReader::fail(long column, std::string message) {
    if (!fault_) fault_ = LayoutFault{lines_->number, column, std::move(message)};
    return false;
}

bool BlockReader::cutShort(long column, std::string message) {
    fail(column, std::move(message));
    fault_->cutShort = true;
    return false;
}

// The next line must be exactly text.
bool BlockReader::expect(std::string_view text, std::string_view what) {
    Lines& lines = *lines_;
    if (!lines.next()) return cutShort(1, "the file ends inside a block");
    const std::string_view line = lines.text;
    if (lines.fed && lines.length == text.size() && line == text) return true;
    std::size_t at = 0;
    while (at < line.size() && at < text.size() && line[at] == text[at]) ++at;
    if (at == lines.length && at == text.size()) {
        if (lines.fed) return true;
        return cutShort(static_cast<long>(at) + 1, "the last line has no line feed");
    }
    if (at == lines.length && !lines.fed) return cutShort(static_cast<long>(at) + 1, "the file ends inside a line");
    std::string message = std::string(what) + ": ";
    if (at == lines.length)
        message += "the line ends early";
    else if (at == text.size())
        message += "the line runs on";
    else
        message += "unexpected character";
    return fail(static_cast<long>(at) + 1, std::move(message));
}

bool BlockReader::numberLine(std::string_view labels, std::initializer_list<float*> fields, int& field) {
    if (!expect("", "an empty line expected")) return false;
    if (!expect(labels, "a label line expected")) return false;
    Lines& lines = *lines_;
    if (!lines.next()) return cutShort(1, "the file ends inside a block");
    const std::size_t width = fields.size() * static_cast<std::size_t>(numberWidth);
    const bool partial = !lines.fed && lines.length <= width;
    if (lines.length != width && !partial) {
        const std::size_t column = std::min(lines.length, width) + 1;
        return fail(static_cast<long>(column), "a line of " + std::to_string(fields.size()) + " F16.8 numbers expected, " +
                                                   std::to_string(width) + " characters, not " +
                                                   std::to_string(lines.length));
    }
    std::size_t offset = 0;
    for (float* value : fields) {
        if (offset + numberWidth > lines.length) {
            // The rest of a line cut short.
            if (!fieldPrefix(lines.text.substr(offset)))
                return fail(static_cast<long>(offset) + 1, "not an F16.8 number");
            break;
        }
        const Number number = readNumber(lines.text.substr(offset, static_cast<std::size_t>(numberWidth)));
        if (number.why)
            return fail(static_cast<long>(offset + number.bad) + 1, std::string("not an F16.8 number: ") + number.why);
        *value = number.value;
        if (number.note) notes_.push_back({*number.note, lines.number, static_cast<long>(offset) + 1, field});
        offset += static_cast<std::size_t>(numberWidth);
        ++field;
    }
    if (partial)
        return cutShort(static_cast<long>(lines.length) + 1,
                        lines.length == width ? "the last line has no line feed" : "the file ends inside a line");
    return true;
}

bool BlockReader::block(SampleRecord& r) {
    Lines& lines = *lines_;
    blockLine_ = lines.number + 1;
    notes_.clear();
    if (!expect(blockTitle, "the title line expected")) return false;
    if (!expect("", "an empty line expected")) return false;
    if (!expect(sampleLabels, "the sample label line expected")) return false;
    if (!lines.next()) return cutShort(1, "the file ends inside a block");
    constexpr std::size_t sampleWidth =
        std::tuple_size_v<decltype(r.sampleNumber)> + std::tuple_size_v<decltype(r.sampleLocation)>;
    if (lines.length > sampleWidth || (lines.length < sampleWidth && lines.fed))
        return fail(static_cast<long>(std::min(lines.length, sampleWidth)) + 1,
                    "the sample line must hold 76 characters, not " + std::to_string(lines.length));
    if (!lines.fed)
        return cutShort(static_cast<long>(lines.length) + 1, lines.length == sampleWidth
                                                                ? "the last line has no line feed"
                                                                : "the file ends inside a line");
    readA(lines.text.substr(0, r.sampleNumber.size()), r.sampleNumber);
    readA(lines.text.substr(r.sampleNumber.size()), r.sampleLocation);
    bool whole = true;
    int field = 0;
    forEachNumberLine(r, [&](std::string_view labels, std::initializer_list<float*> fields) {
        whole = whole && numberLine(labels, fields, field);
    });
    return whole;
}

bool BlockReader::next(SampleRecord& record) {
    // Only here may the file end: between blocks.
    if (fault_ || lines_->atEnd()) return false;
    return block(record);
}

ReadBlocks readBlocks(std::string_view file) {
    ReadBlocks result;
    ViewSource source(file);
    BlockReader reader(source);
    SampleRecord record;
    while (reader.next(record)) result.records.push_back(record);
    result.fault = reader.fault();
    return result;
}

}  // namespace zelk
