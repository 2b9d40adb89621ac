// zelkfile import: a lab's table, one row per sample, through the dialogue's own screens into
// an output file, written whole or not at all.
//
// A row becomes the answers a chemist would type for that sample, screen by screen, with
// RETURN at every correction question; the dialogue's per-sample road reads them from memory
// and appends the block. So an imported value is the value the dialogue stores for the same
// answer, conversions included.
//
// The table streams through once: every row is checked, every error reported, and until the
// first error each row's block goes into a new file beside the name, put in place only when
// the whole table was good. A device cannot be taken back: for one, the table is read twice,
// checked first and written only when it has no error.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "base/byte_io.hpp"
#include "base/characters.hpp"
#include "base/field.hpp"
#include "dialogue/console.hpp"
#include "screens/enter_sample.hpp"
#include "record/output_file.hpp"
#include "record/reader.hpp"
#include "zelkfile/columns.hpp"
#include "zelkfile/csv.hpp"
#include "zelkfile/diagnostics.hpp"
#include "zelkfile/numbers.hpp"
#include "zelkfile/text.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view importHelp =
    "usage: zelkfile import TABLE.csv [-o FILE]\n"
    "\n"
    "Writes FILE (default kavix.in) from the table: one block per row, in the order of the\n"
    "rows, each made by the dialogue's own screens from the answers the row holds. The\n"
    "header row names the columns (zelkfile template prints them all); every column is\n"
    "optional, names match in any case, and an empty cell is an empty answer. The\n"
    "separator (comma, semicolon or tab) is the header's, or the one that a first line\n"
    "such as sep=; names; with a semicolon or tab a decimal comma is read too. One leading\n"
    "apostrophe of a text, which export puts before a formula, is taken off.\n"
    "\n"
    "An existing FILE is kept as FILE.~N~. Every error of the table, a value that the file\n"
    "would lose to asterisks among them, is reported as TABLE:ROW:COLUMN: what is wrong,\n"
    "and then nothing is written.\n"
    "\n"
    "exit status: 0 written, 2 an error in the table or the command, nothing written\n";

namespace {

// Something the import itself got wrong, never the table.
struct InternalError : std::logic_error {
    using std::logic_error::logic_error;
};

class NullSink : public ByteSink {
public:
    void write(std::string_view) override {}
};

// The block of one sample, held until its values are known to fit the file.
class HeldBlock : public BlockFile {
public:
    void append(std::string_view text) override { block = text; }
    bool failed() const override { return false; }
    std::string_view block;  // valid until the scratch buffer is used again
};

// Blocks gathered into large writes to the output file, which is put in place at commit.
class ImportedFile : public BlockFile {
public:
    explicit ImportedFile(PreparedOutput& output) : pending_(output) {}

    void append(std::string_view block) override {
        pending_.text().append(block);
        pending_.endPiece();
    }
    void flush() { pending_.flush(); }
    bool failed() const override { return false; }  // a failed write throws

private:
    Gathered<PreparedOutput> pending_;
};


std::string knownColumns() {
    std::string list;
    for (const Column& column : columns) {
        if (!list.empty()) list += ", ";
        list += column.name;
    }
    return list;
}

// The columns an unknown name was likely meant to be, or every column.
std::string hintFor(std::string_view name) {
    const std::vector<std::string_view> near = closestColumns(name);
    if (near.empty()) return "the columns are: " + knownColumns();
    std::string text = "did you mean ";
    for (std::size_t i = 0; i < near.size(); ++i) {
        if (i > 0) text += i + 1 == near.size() ? " or " : ", ";
        text += near[i];
    }
    return text + "?";
}

std::string_view trimmed(std::string_view cell) {
    const std::size_t begin = cell.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return cell.substr(begin, cell.find_last_not_of(" \t") - begin + 1);
}

// Why a number cell is none, with what the chemist most likely meant: a detection limit,
// a unit after the number, or a decimal comma where the comma separates cells.
std::string notANumber(std::string_view cell, bool decimalComma) {
    const std::string_view value = trimmed(cell);
    std::string text = quoted(value) + " is not a number";
    if (!decimalComma && readCell(value, true))
        return text + " in a table separated by commas; write a decimal point, or separate the table by \";\" "
                      "or tab, where a decimal comma is read";
    // "n.d.", "N.D", "b.d.l.", "< LOD": the usual marks of a value not found.
    std::string word;
    for (const char c : value)
        if (c != '.' && c != ' ') word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    static constexpr std::string_view belowLimit[] = {"nd", "bdl", "bd", "dl", "lod", "loq", "bql", "notdetected",
                                                      "belowdetectionlimit"};
    if (value.starts_with('<') || std::find(std::begin(belowLimit), std::end(belowLimit), word) != std::end(belowLimit))
        return text + "; for a value below the detection limit enter 0 (not found) or the limit itself: the file "
                      "has no mark for \"below\"";
    // A number, then something more: a unit. The number is the longest start that is one
    // (looked for in a short cell only, as each try reads the start again).
    if (value.size() > 64) return text;
    for (std::size_t end = value.size() - 1; end > 0; --end) {
        const std::string_view number = trimmed(value.substr(0, end)), rest = trimmed(value.substr(end));
        const auto first = static_cast<unsigned char>(rest.front());
        if (isDigit(first) || !readCell(number, decimalComma) || number.back() == ',' || number.back() == '.')
            continue;
        // One letter after the digits is more likely a slip than a unit.
        if (rest.size() == 1 && std::isalpha(first)) break;
        return text + "; drop the unit " + quoted(rest) + ": the column's unit is fixed, write " + quoted(number);
    }
    return text;
}

// One pass over the table: the header, then each row checked and, when writing, entered.
class Pass {
public:
    Pass(std::string_view table, ByteSink& errors, bool report) : table_(table), errors_(errors), report_(report) {}
    Pass(const Pass&) = delete;  // fields_ points into record_
    Pass& operator=(const Pass&) = delete;

    // Reads the whole table; the number of errors. With a file, every row without an error
    // goes through the dialogue into it, until the first error.
    long run(ByteSource& source, BlockFile* file) {
        file_ = file;
        CsvReader reader(source);
        const std::optional<CsvFault> fault = reader.read([&](const CsvRow& row) {
            if (!headerSeen_) {
                headerSeen_ = true;
                header(row);
            } else {
                decimalComma_ = reader.separator() != ',';
                sample(row, decimalComma_);
            }
            return true;
        });
        if (fault) error(fault->row, {}, fault->message);
        if (!headerSeen_ && !fault) error(1, {}, "no header row: the table is empty");
        return errorCount_;
    }

    // The blocks written to the file.
    long samples() const { return samples_; }

private:
    void error(long row, std::string_view column, std::string_view message) {
        ++errorCount_;
        say(row, column, message);
    }
    void warning(long row, std::string_view column, std::string_view message) {
        say(row, column, "warning: " + std::string(message));
    }
    void say(long row, std::string_view column, std::string_view message) {
        if (report_) errors_.write(diagnostic(table_, row, column, message));
    }

    void header(const CsvRow& row) {
        cellOf_.fill(-1);
        columnAt_.assign(row.cells.size(), unnamed);
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const std::string_view name = trimmed(row.cells[i]);
            const std::string place = "column " + std::to_string(i + 1);
            if (name.empty()) continue;  // a column without a name must stay empty
            columnAt_[i] = ignored;
            const std::optional<int> column = findColumn(name);
            if (!column) {
                error(row.number, name, "unknown column; " + hintFor(name));
            } else if (cellOf_[static_cast<std::size_t>(*column)] >= 0) {
                error(row.number, name, "the column is named twice (" + place + ")");
            } else {
                cellOf_[static_cast<std::size_t>(*column)] = static_cast<int>(i);
                columnAt_[i] = *column;
            }
        }
    }

    // The cell of a column in the row; empty when the table has no such column or the row
    // ends before it.
    std::string_view cell(const CsvRow& row, int column) const {
        const int at = cellOf_[static_cast<std::size_t>(column)];
        if (at < 0 || static_cast<std::size_t>(at) >= row.cells.size()) return {};
        return row.cells[static_cast<std::size_t>(at)];
    }

    // The answer to a menu, or nullopt (and an error) when the cell is none of choices.
    std::optional<int> menu(const CsvRow& row, int column, int low, int high, int empty, std::string_view what) {
        const std::string_view value = trimmed(cell(row, column));
        if (value.empty()) return empty;
        if (value.size() == 1 && value[0] >= '0' + low && value[0] <= '0' + high) return value[0] - '0';
        error(row.number, columns[static_cast<std::size_t>(column)].name, quoted(value) + " is not " + std::string(what));
        return std::nullopt;
    }

    void sample(const CsvRow& row, bool decimalComma) {
        // A spreadsheet writes rows of nothing but separators below a table: no sample.
        if (std::all_of(row.cells.begin(), row.cells.end(), [](std::string_view c) { return trimmed(c).empty(); }))
            return;
        const long before = errorCount_;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            if (trimmed(row.cells[i]).empty()) continue;
            const std::string place = "column " + std::to_string(i + 1);
            if (i >= columnAt_.size()) {
                error(row.number, place,
                      "a value beyond the " + std::to_string(columnAt_.size()) + " columns of the header row");
                break;
            }
            if (columnAt_[i] == unnamed) error(row.number, place, "a value in a column that the header row does not name");
        }
        const std::optional<int> unit =
            menu(row, waterUnitColumn, 1, 2, 1, "a water unit: empty, 1 (mg/kg) or 2 (m-mole/l)");
        const std::optional<int> form = menu(row, steamFormColumn, 0, 9, 0, "a steam form: empty or 0 to 9");
        if (!unit || !form) {
            // Without the menus, which columns the row may fill is unknown; its cells are still
            // checked one by one.
            for (int column = 0; column < columnCount; ++column) {
                const Column& info = columns[static_cast<std::size_t>(column)];
                const std::string_view value = cell(row, column);
                if (info.kind == ColumnKind::text) text(row, info, value);
                if (info.kind == ColumnKind::number) number(row, info, value, decimalComma);
            }
            return;
        }

        // A value that the row's menus do not ask would be lost without a word.
        for (int column = 0; column < columnCount; ++column) {
            if (asks({*unit, *form}, column) || trimmed(cell(row, column)).empty()) continue;
            const bool water = asks({1, 0}, column) || asks({2, 0}, column);
            const std::string asker = water     ? "water unit " + std::to_string(*unit)
                                      : *form == 0 ? std::string("a row without steam phase (steam form empty or 0)")
                                                   : "steam form " + std::to_string(*form);
            error(row.number, columns[static_cast<std::size_t>(column)].name,
                  asker + " does not ask this column; leave it empty");
        }

        answers_.clear();
        const Screens screens = screensOf({*unit, *form});
        screen(row, screens.sundry, decimalComma);
        line(std::to_string(*unit));
        screen(row, screens.water, decimalComma);
        line(*form == 0 ? std::string() : std::to_string(*form));
        screen(row, screens.steam, decimalComma);
        screen(row, screens.condensate, decimalComma);
        // Every row whose answers are good goes through the dialogue, so that a value the file
        // cannot hold is found in every row; only while the table is good does its block go on.
        if (errorCount_ == before) enter(row, {*unit, *form});
    }

    void line(std::string_view text) {
        answers_.append(text);
        answers_.push_back('\n');
    }

    // The answers to a screen's items in the order it asks them, then RETURN at the
    // correction question; nothing for a screen that the sample does not have.
    void screen(const CsvRow& row, std::span<const int> items, bool decimalComma) {
        if (items.empty()) return;
        for (int column : items) {
            const Column& info = columns[static_cast<std::size_t>(column)];
            const std::string_view value = cell(row, column);
            if (info.kind == ColumnKind::text)
                text(row, info, value);
            else
                number(row, info, value, decimalComma);
        }
        line("");
    }

    // A text as it stands (less one leading apostrophe), cut to its field: what the A field of
    // the screen would keep. As in a typed answer, only a line feed ends the line; a carriage
    // return is a byte of the text.
    void text(const CsvRow& row, const Column& info, std::string_view value) {
        // The apostrophe that export puts before a text a spreadsheet would take as a formula.
        if (value.starts_with(formulaGuard)) value.remove_prefix(1);
        if (value.find('\n') != std::string_view::npos) {
            error(row.number, info.name, "a line break inside the text; a block holds each text on one line");
            return;
        }
        const auto width = static_cast<std::size_t>(info.width);
        if (value.size() > width) {
            warning(row.number, info.name,
                    "the text is cut to its first " + std::to_string(width) + " characters: " +
                        quoted(value.substr(0, width)));
            value = value.substr(0, width);
        }
        line(value);
        // A carriage return at the end of an answer counts as part of its line end; a blank
        // after it, which the field's padding gives anyway, keeps it in the text.
        if (value.ends_with('\r')) answers_.insert(answers_.size() - 1, " ");
    }

    // A number as the answer that the F15.0 field reads back to exactly the cell's value: the
    // cell's own characters where they fit the field, otherwise the shortest text.
    void number(const CsvRow& row, const Column& info, std::string_view value, bool decimalComma) {
        const std::optional<float> read = readCell(value, decimalComma);
        if (!read) {
            error(row.number, info.name, notANumber(value, decimalComma));
            return;
        }
        const std::string_view own = trimmed(value);
        if (own.empty()) {
            line("");
            return;
        }
        std::string answer;
        if (own.size() <= 15 && own.find(',') == std::string_view::npos) {
            answer = own;
        } else if (const std::optional<std::string> shortest = shortestText(*read)) {
            answer = *shortest;
        }
        float typed = 0;
        if (answer.empty() || !readF15(answer, typed) || std::memcmp(&typed, &*read, sizeof typed) != 0)
            throw InternalError("no answer reads back to the value of " + quoted(own) + " (row " +
                                std::to_string(row.number) + ", " + std::string(info.name) + ")");
        line(answer);
    }

    // The row's answers through the dialogue's road for one sample, and its block to the file.
    void enter(const CsvRow& row, Menus menus) {
        // After the answers, a line that none of them is: the screens must have asked exactly
        // the answers given and stopped before it.
        constexpr std::string_view last = "\x01 no more answers";
        line(last);
        StringSource source(answers_);
        NullSink screens;
        Console console(source, screens);
        HeldBlock held;
        enterSample(console, record_, held, block_);
        if (console.readLine() != last) throw InternalError("the dialogue left answers unread");
        const long before = errorCount_;
        checkValues(row, menus);
        if (file_ && errorCount_ == 0 && errorCount_ == before) {
            file_->append(held.block);
            ++samples_;
        }
    }

    // Every field of the block that the file cannot hold as digits: a finite value written as
    // asterisks is lost, an error; an infinity (which the file holds as inf and an export gives
    // back as 1e39) or a nan made of one is kept as the dialogue keeps it, with a warning.
    void checkValues(const CsvRow& row, Menus menus) {
        const NumberFieldRange& range = numberFieldRange();
        for (int field = 0; field < blockFieldCount; ++field) {
            const float value = *fields_[static_cast<std::size_t>(field)];
            if (!fitsNumberField(value, range)) lostValue(row, menus, field, value);
        }
    }

    void lostValue(const CsvRow& row, Menus menus, int field, float value) {
        const std::string_view name = blockFieldNames[static_cast<std::size_t>(field)];
        const std::string_view unit = blockFieldUnits[static_cast<std::size_t>(field)];
        const std::vector<int> sources = sourcesOf(menus, static_cast<Field>(field));
        const NumberFieldRange& range = numberFieldRange();
        const std::string holds = "the file's field holds " + *shortestText(range.lowest) + " to " +
                                  *shortestText(range.highest) + (unit.empty() ? "" : " ") + std::string(unit);
        // The value of one cell as it was read: the cell is the value.
        if (sources.size() == 1 && columns[static_cast<std::size_t>(sources[0])].field == field) {
            const std::optional<float> read = readCell(cell(row, sources[0]), decimalComma_);
            if (read && std::memcmp(&*read, &value, sizeof value) == 0) {
                const std::string typed = quoted(trimmed(cell(row, sources[0])));
                if (std::isinf(value))
                    warning(row.number, name,
                            typed + " is beyond the largest single-precision number and is written as " +
                                (value < 0 ? "-inf" : "inf") + ", which the geochemistry program cannot read");
                else
                    error(row.number, name, typed + " would be written as asterisks and lost: " + holds);
                return;
            }
        }
        // The cells it came from that hold something (an empty one is a zero).
        std::vector<std::string> given;
        for (const int source : sources)
            if (const std::string_view text = trimmed(cell(row, source)); !text.empty())
                given.push_back(std::string(columns[static_cast<std::size_t>(source)].name) + " " + quoted(text));
        std::string from;
        for (std::size_t i = 0; i < given.size(); ++i)
            from += (i == 0 ? "; it is computed from " : i + 1 == given.size() ? " and " : ", ") + given[i];
        // A nan comes only of infinite cells, which are taken with a warning: so is the nan.
        if (std::isnan(value))
            warning(row.number, name,
                    "the value is nan (not a number), which the geochemistry program cannot read" + from);
        else if (std::isinf(value))
            warning(row.number, name,
                    std::string("the value is infinite and is written as ") + (value < 0 ? "-inf" : "inf") +
                        ", which the geochemistry program cannot read" + from);
        else
            error(row.number, name,
                  "the value would be " + *shortestText(value) + (unit.empty() ? "" : " ") + std::string(unit) +
                      ", written as asterisks and lost: " + holds + from);
    }

    // The cells that a field of the block is made from: its own column where the row asks it,
    // with the density for a concentration given in m-mole/l, and every cell of the screen for
    // the steam fields that a total-steam form computes from all of them together.
    static std::vector<int> sourcesOf(Menus menus, Field field) {
        std::vector<int> sources;
        const Screens screens = screensOf(menus);
        // The gas and steam fields stand together in the block, from gas_CO2 to steam_NH3.
        const bool steam = field >= Field::gasCO2 && field <= Field::steamNH3;
        if (steam && menus.steamForm >= 1 && menus.steamForm <= 5) {
            sources.assign(screens.steam.begin(), screens.steam.end());
            return sources;
        }
        const std::optional<int> own = columnOf(field);
        if (own && asks(menus, *own)) sources.push_back(*own);
        // The water screen in m-mole/l divides every concentration, not the pH, by the density.
        const bool perLitre = menus.waterUnit == 2 && own &&
                              std::find(screens.water.begin(), screens.water.end(), *own) != screens.water.end() &&
                              field != Field::waterPh && field != Field::waterPhTemperature;
        if (perLitre) sources.push_back(*findColumn("water_density"));
        return sources;
    }

    // For a cell of the header row that names no column: no name, or a wrong one (reported once).
    static constexpr int unnamed = -1;
    static constexpr int ignored = -2;

    std::string_view table_;
    ByteSink& errors_;
    bool report_;
    BlockFile* file_ = nullptr;
    bool headerSeen_ = false;
    bool decimalComma_ = false;
    std::array<int, columnCount> cellOf_{};
    std::vector<int> columnAt_;
    long errorCount_ = 0;
    long samples_ = 0;
    std::string answers_;
    SampleRecord record_;
    const std::array<float*, blockFieldCount> fields_ = blockFields(record_);
    TextBuffer block_{2048};
};

int notWritten(std::string_view output, ByteSink& errors) {
    errors.write("zelkfile: " + quoted(output) + " not written: the table has errors\n");
    return failed;
}

// What a good import says: how many samples went into which file, and where the earlier
// file was kept.
std::string written(long samples, std::string_view output, std::string_view backup) {
    std::string text = "zelkfile: " + std::to_string(samples) + (samples == 1 ? " sample" : " samples") +
                       " written to " + quoted(output);
    if (!backup.empty()) text += "; the earlier file is kept as " + quoted(backup);
    return text + "\n";
}

}  // namespace

int importTable(Arguments arguments, ByteSink&, ByteSink& errors) {
    std::string_view table, output = "kavix.in";
    bool named = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "-o" && i + 1 < arguments.size()) {
            output = arguments[++i];
        } else if (!named && (!arguments[i].starts_with('-') || arguments[i] == "-")) {
            table = arguments[i];
            named = true;
        } else {
            errors.write("usage: zelkfile import TABLE.csv [-o FILE]\n");
            return failed;
        }
    }
    if (!named) {
        errors.write("usage: zelkfile import TABLE.csv [-o FILE]\n");
        return failed;
    }

    // Even while the table's FIFO stalls, before the new file is made.
    noticeOnInterruption(output);
    InputFile file(std::string{table});
    if (file.fd() < 0) {
        errors.write("zelkfile: cannot open table " + quoted(table) + ": " + file.reason() + "\n");
        return failed;
    }
    try {
        FdSource source(file.fd());
        PreparedOutput prepared{std::string(output)};
        ImportedFile blocks(prepared);
        // A new file is put in place only at the end, so one pass checks and writes; a device
        // is written as it goes, so every row is checked first.
        if (prepared.isDevice()) {
            Pass check(table, errors, true);
            if (check.run(source, nullptr) > 0) return notWritten(output, errors);
            if (!file.rewind()) {
                errors.write("zelkfile: cannot read table " + quoted(table) + " a second time: " + file.reason() +
                             "\n");
                return failed;
            }
        }
        Pass write(table, errors, !prepared.isDevice());
        if (write.run(source, &blocks) > 0) {
            if (prepared.isDevice())
                errors.write("zelkfile: table " + quoted(table) + " changed while it was read\n");
            return notWritten(output, errors);
        }
        blocks.flush();
        prepared.sync();
        // From here the file goes in place and the run says so, whatever signal comes.
        holdSignalsToTheEnd();
        prepared.commit();
        errors.write(written(write.samples(), output, prepared.backup()));
        return done;
    } catch (const OutputFailure& failure) {
        errors.write("zelkfile: " + printable(failure.what()) + "\n");
    } catch (const InputFailure& failure) {
        errors.write("zelkfile: cannot read table " + quoted(table) + ": " + printable(failure.what()) + "\n");
    } catch (const InternalError& failure) {
        errors.write(std::string("zelkfile: internal error, nothing written: ") + failure.what() + "\n");
    } catch (const EndOfInput&) {
        errors.write("zelkfile: internal error, nothing written: the dialogue asked more than the row answers\n");
    }
    return failed;
}

}  // namespace zelk::workbench
