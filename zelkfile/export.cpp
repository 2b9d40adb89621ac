// zelkfile export: every block of an output file as one table row, with the answers that give
// the block back: import of the export writes the same file, byte for byte.
//
// A block is the record as the screens left it, so it is exported in the forms that store
// values as typed: water unit 1, and steam form 8 (steam in total steam and residual gas),
// 6 (dry gas and condensate) or none, as the block's fields show. The file is read twice:
// once to report every block that no answers can give, then, only when there was none, to
// write the table.
#include "base/byte_io.hpp"
#include "base/characters.hpp"
#include "zelkfile/columns.hpp"
#include "zelkfile/csv.hpp"
#include "zelkfile/diagnostics.hpp"
#include "zelkfile/numbers.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view exportHelp =
    "usage: zelkfile export FILE [> TABLE.csv]\n"
    "\n"
    "Prints every block of FILE as one row of a comma-separated table, under a header row\n"
    "with every column: water unit 1, and steam form 8, 6 or none as the block's fields\n"
    "show; numbers in the shortest form that reads back to the same value; a text that a\n"
    "spreadsheet would take as a formula after an apostrophe. zelkfile import of the table\n"
    "gives back FILE byte for byte, so a value can be corrected in a spreadsheet.\n"
    "\n"
    "A layout fault, a field of asterisks (a value lost), a nan, or a block that no answers\n"
    "can give is reported as FILE:LINE:COLUMN: what is wrong, and then nothing is printed.\n"
    "\n"
    "exit status: 0 printed, 2 an error in FILE or the command, nothing printed\n";

namespace {

// The steam forms that keep what was typed, in the order they are tried for a block.
constexpr int exportForms[] = {0, 8, 6};

// For each block field, its column (-1 for the dissolved gases, which no answer sets).
std::array<int, blockFieldCount> columnOfField() {
    std::array<int, blockFieldCount> column{};
    column.fill(-1);
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].field >= 0) column[static_cast<std::size_t>(columns[c].field)] = static_cast<int>(c);
    return column;
}

class Exporter {
public:
    Exporter(std::string_view file, ByteSink& errors) : file_(file), errors_(errors) {}

    // Reads every block; with a table, appends each block's row to it. The number of errors.
    long run(int fd, Gathered<ByteSink>* table, ByteSink* out) {
        BlockReader reader(fd);
        SampleRecord record;
        if (table) table->text() = headerRow(',');
        while (reader.next(record)) {
            const bool good = check(reader, record);
            if (table && good) {
                row(record, table->text());
                // Nobody takes the rest (export | head).
                if (table->endPiece() && out->failure() != 0) break;
            }
        }
        if (reader.fault()) {
            error(reader.fault()->line, reader.fault()->column, describe(*reader.fault()));
            errors_.write(tableNotFile(std::string(file_), *reader.fault()));
        }
        return errors;
    }

private:
    void error(long line, long column, std::string_view message) {
        ++errors;
        errors_.write(diagnostic(file_, line, column, message));
    }

    // Whether answers can give the block; chooses its steam form.
    bool check(const BlockReader& reader, SampleRecord& record) {
        const long before = errors;
        for (const FieldNote& note : reader.notes())
            if (note.kind != FieldNote::infinite) error(note.line, note.column, describe(note));
        fields_ = blockFields(record);
        const auto set = [&](int field) { return *fields_[static_cast<std::size_t>(field)] != 0; };  // NaN too
        const auto placeOf = [&](int field) {
            const FieldPlace place = blockFieldPlace(field);
            return std::pair<long, long>{reader.blockLine() + place.line - 1, place.column};
        };
        form_ = -1;
        for (int form : exportForms) {
            bool fits = true;
            for (int f = 0; f < blockFieldCount && fits; ++f) {
                const int column = columnOfField_[static_cast<std::size_t>(f)];
                fits = !set(f) || (column >= 0 && asks({1, form}, column));
            }
            if (fits) {
                form_ = form;
                break;
            }
        }
        if (form_ < 0) {
            // No form fits: a dissolved gas in the water phase, or steam in total steam beside
            // dry gas or condensate.
            int steam = -1, dryGas = -1;
            for (int f = 0; f < blockFieldCount; ++f) {
                if (!set(f)) continue;
                const int column = columnOfField_[static_cast<std::size_t>(f)];
                const auto [line, at] = placeOf(f);
                if (column < 0)
                    error(line, at, std::string(blockFieldNames[static_cast<std::size_t>(f)]) +
                                        " is set: no answer sets a dissolved gas other than CO2, H2S and NH3 "
                                        "in the water phase");
                else if (!asks({1, 6}, column) && steam < 0)
                    steam = f;
                else if (!asks({1, 8}, column) && dryGas < 0)
                    dryGas = f;
            }
            if (steam >= 0 && dryGas >= 0) {
                const auto [line, at] = placeOf(dryGas);
                error(line, at, std::string(blockFieldNames[static_cast<std::size_t>(dryGas)]) + " is set beside " +
                                    std::string(blockFieldNames[static_cast<std::size_t>(steam)]) + " (line " +
                                    std::to_string(placeOf(steam).first) +
                                    "): no steam form gives both dry gas or condensate and steam in total steam");
            }
        }
        return errors == before;
    }

    void row(const SampleRecord& record, std::string& table) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) table += ',';
            const Column& column = columns[c];
            const auto i = static_cast<int>(c);
            if (column.name == "sample_number") {
                appendCell(table, withoutTrailingBlanks(view(record.sampleNumber)), ',');
            } else if (column.name == "sample_location") {
                appendCell(table, withoutTrailingBlanks(view(record.sampleLocation)), ',');
            } else if (i == waterUnitColumn) {
                table += '1';
            } else if (i == steamFormColumn) {
                if (form_ > 0) table += std::to_string(form_);
            } else if (asks({1, form_}, i)) {
                const float value = *fields_[static_cast<std::size_t>(column.field)];
                // A NaN is an error found by check, so every value here has a text.
                table += shortestText(value).value_or("nan");
            }
        }
        table += '\n';
    }

    std::string_view file_;
    ByteSink& errors_;
    long errors = 0;
    const std::array<int, blockFieldCount> columnOfField_ = columnOfField();
    std::array<float*, blockFieldCount> fields_{};
    int form_ = 0;
};

}  // namespace

int exportFile(Arguments arguments, ByteSink& out, ByteSink& errors) {
    if (arguments.size() != 1 || (arguments[0].starts_with('-') && arguments[0] != "-")) {
        errors.write("usage: zelkfile export FILE\n");
        return failed;
    }
    const std::string name(arguments[0]);
    InputFile file(name);
    if (file.fd() < 0) {
        errors.write("zelkfile: cannot open " + quoted(name) + ": " + file.reason() + "\n");
        return failed;
    }
    try {
        if (Exporter(name, errors).run(file.fd(), nullptr, nullptr) > 0) {
            errors.write("zelkfile: " + quoted(name) + " not exported: it has errors\n");
            return failed;
        }
        if (!file.rewind()) {
            errors.write("zelkfile: cannot read " + quoted(name) + " a second time: " + file.reason() + "\n");
            return failed;
        }
        Gathered<ByteSink> table(out);
        if (Exporter(name, errors).run(file.fd(), &table, &out) > 0) {
            errors.write("zelkfile: " + quoted(name) + " changed while it was read\n");
            return failed;
        }
        table.flush();
        return done;
    } catch (const InputFailure& failure) {
        errors.write("zelkfile: cannot read " + quoted(name) + ": " + failure.what() + "\n");
    }
    return failed;
}

}  // namespace zelk::workbench
