// Reading and writing tables with libcsv.
#include "zelkfile/csv.hpp"

#include <csv.h>

#include <cstring>
#include <memory>
#include <vector>

#include "zelkfile/numbers.hpp"

namespace zelk::workbench {

namespace {

// Cells are taken as they stand: the library trims nothing.
int noBlanks(unsigned char) { return 0; }

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// The first separator outside quotes on the first line of bytes, or a comma.
char findSeparator(std::string_view bytes) {
    bool quoted = false;
    for (char c : bytes) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == ',' || c == ';' || c == '\t') return c;
        if (c == '\n' || c == '\r') break;
    }
    return ',';
}

// The length of a first line "sep=X" with its line end, X a separator other than a quote.
std::optional<std::size_t> separatorLine(std::string_view bytes) {
    if (!bytes.starts_with("sep=") || bytes.size() < 5 || bytes[4] == '"' || bytes[4] == '\r' || bytes[4] == '\n')
        return std::nullopt;
    const std::string_view end = bytes.substr(5);
    if (end.empty()) return 5;
    if (end.starts_with("\r\n")) return 7;
    if (end[0] == '\n' || end[0] == '\r') return 6;
    return std::nullopt;
}

// The row being gathered: the cells' bytes one after another, and where each ends.
struct Gathering {
    FunctionRef<bool(const CsvRow&)> onRow;
    std::string bytes;
    std::vector<std::size_t> ends;
    std::vector<std::string_view> cells;
    long rows = 0;           // rows ended so far, empty lines included
    int lastEnd = 0;         // the character that ended the last row
    bool stopped = false;
    std::optional<CsvFault> fault;
};

void onCell(void* data, std::size_t size, void* context) {
    auto& g = *static_cast<Gathering*>(context);
    if (g.stopped) return;
    if (size > CsvReader::maxCellBytes) {
        g.fault = CsvFault{g.rows + 1, "a cell of more than " + std::to_string(CsvReader::maxCellBytes) + " bytes"};
        g.stopped = true;
        return;
    }
    if (g.ends.size() == CsvReader::maxCells) {
        g.fault = CsvFault{g.rows + 1, "a row of more than " + std::to_string(CsvReader::maxCells) + " cells"};
        g.stopped = true;
        return;
    }
    g.bytes.append(static_cast<const char*>(data), size);
    g.ends.push_back(g.bytes.size());
}

void onRowEnd(int end, void* context) {
    auto& g = *static_cast<Gathering*>(context);
    if (g.stopped) return;
    // With every line end reported, a CRLF ends a row at its CR and then reports its LF
    // alone; that LF is no row of its own.
    const bool crlf = g.ends.empty() && end == '\n' && g.lastEnd == '\r';
    g.lastEnd = end;
    if (crlf) return;
    ++g.rows;
    if (g.ends.empty()) return;  // an empty line
    g.cells.clear();
    std::size_t begin = 0;
    for (std::size_t stop : g.ends) {
        g.cells.emplace_back(g.bytes.data() + begin, stop - begin);
        begin = stop;
    }
    if (!g.onRow(CsvRow{g.rows, g.cells})) g.stopped = true;
    g.bytes.clear();
    g.ends.clear();
}

struct ParserDeleter {
    void operator()(csv_parser* parser) const {
        csv_free(parser);
        delete parser;
    }
};

}  // namespace

std::optional<CsvFault> CsvReader::read(FunctionRef<bool(const CsvRow&)> onRow) {
    std::unique_ptr<csv_parser, ParserDeleter> owner(new csv_parser);
    csv_parser* parser = owner.get();
    if (csv_init(parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) {
        delete owner.release();
        throw std::bad_alloc();
    }
    csv_set_space_func(parser, noBlanks);

    Gathering g{onRow, {}, {}, {}, 0, 0, false, {}};
    auto syntax = [&] {
        return CsvFault{g.rows + 1, "the quoting is broken: a quote inside a cell that does not begin with one, "
                                    "text after a closing quote, or a quote never closed"};
    };
    std::unique_ptr<char[]> buffer(new char[maxCellBytes]);
    // The first chunk holds the header's first line, where it fits, to find the separator.
    std::size_t got = 0;
    for (std::size_t more = 1; more > 0 && got < maxCellBytes &&
                               std::string_view(buffer.get(), got).find_first_of("\r\n") == std::string_view::npos;) {
        more = source_.read(buffer.get() + got, maxCellBytes - got);
        got += more;
    }
    std::string_view chunk(buffer.get(), got);
    if (chunk.substr(0, byteOrderMark.size()) == byteOrderMark) chunk.remove_prefix(byteOrderMark.size());
    separator_ = findSeparator(chunk);
    // A first line "sep=;", as a spreadsheet writes it, names the separator; it counts as a
    // row, so that rows keep the numbers of their lines.
    if (const std::optional<std::size_t> length = separatorLine(chunk)) {
        separator_ = chunk[4];
        g.lastEnd = chunk[*length - 1];  // a CR: the LF that may follow in the next read ends no row
        chunk.remove_prefix(*length);
        g.rows = 1;
    }
    csv_set_delim(parser, static_cast<unsigned char>(separator_));
    for (; !chunk.empty(); chunk = std::string_view(buffer.get(), source_.read(buffer.get(), maxCellBytes))) {
        if (csv_parse(parser, chunk.data(), chunk.size(), onCell, onRowEnd, &g) != chunk.size() && !g.stopped)
            return syntax();
        if (g.fault) return g.fault;
        if (g.stopped) return std::nullopt;
        // The cell still open at the end of the chunk; its row is the one not yet ended.
        if (parser->entry_pos > maxCellBytes)
            return CsvFault{g.rows + 1, "a cell of more than " + std::to_string(maxCellBytes) + " bytes"};
    }
    if (csv_fini(parser, onCell, onRowEnd, &g) != 0) return syntax();
    return g.fault;
}

bool needsFormulaGuard(std::string_view cell) {
    if (cell.empty()) return false;
    switch (cell.front()) {
        case formulaGuard: return true;
        case '=': case '@': case '\t': case '\r': return true;
        case '+': case '-': return !readCell(cell, false);
        default: return false;
    }
}

void appendCell(std::string& out, std::string_view cell, char separator) {
    std::string guarded;
    if (needsFormulaGuard(cell)) {
        guarded = formulaGuard;
        guarded += cell;
        cell = guarded;
    }
    const bool plain = cell.find_first_of(std::string{separator, '"', '\n', '\r'}) == std::string_view::npos &&
                       (cell.empty() || (cell.front() != ' ' && cell.back() != ' ' && cell.front() != '\t' &&
                                         cell.back() != '\t'));
    if (plain) {
        out.append(cell);
        return;
    }
    // The library's own quoting: quotes around, each quote inside doubled.
    const std::size_t at = out.size();
    out.resize(at + 2 * cell.size() + 2);
    out.resize(at + csv_write(out.data() + at, out.size() - at, cell.data(), cell.size()));
}

}  // namespace zelk::workbench
