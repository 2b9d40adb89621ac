// zelkfile report: the steam fraction, the geothermometers, the maturity index and the
// reservoir liquid of every sample of output files, as a table for people or as CSV, and the
// Na-K-Mg diagram.
#include <algorithm>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <string>
#include <vector>

#include "base/byte_io.hpp"
#include "base/characters.hpp"
#include "record/reader.hpp"
#include "zelkfile/charge_balance.hpp"
#include "zelkfile/csv.hpp"
#include "zelkfile/diagnostics.hpp"
#include "zelkfile/text.hpp"
#include "zelkfile/na_k_mg_diagram.hpp"
#include "zelkfile/report_page.hpp"
#include "zelkfile/report_row.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view reportHelp =
    "usage: zelkfile report FILE... [--csv] [--svg PATH] [--html PAGE]\n"
    "\n"
    "For every sample of each output file, in order: the steam fraction at sampling, the\n"
    "silica and cation geothermometers, Giggenbach's maturity index, the reservoir liquid's\n"
    "quartz temperature, excess enthalpy and chloride, the charge balance of the water\n"
    "(speciated at its pH temperature: ionic_strength, cations, anions, charge_balance, hco3,\n"
    "co3), and notes where a value may not hold.\n"
    "\n"
    "  --csv       write CSV for a spreadsheet, full precision, instead of the table\n"
    "  --svg PATH  also draw Giggenbach's Na-K-Mg triangle with every sample into PATH\n"
    "  --html PAGE also write the report as one web page: the table and the pictures\n"
    "\n"
    "Every file is checked first; a file that cannot be read or departs from the block\n"
    "layout is reported as zelkfile check reports it, and then nothing is printed.\n"
    "exit status: 0 done, 2 a file or the command was wrong, or PATH could not be written\n";

namespace {

struct Options {
    std::vector<std::string_view> files;
    bool csv = false;
    std::optional<std::string> svg;
    std::optional<std::string> html;
};

std::optional<Options> parse(Arguments arguments, ByteSink& errors) {
    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view word = arguments[i];
        if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
            options.files.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--csv") {
            options.csv = true;
        } else if (word == "--svg" && i + 1 < arguments.size()) {
            options.svg = std::string(arguments[++i]);
        } else if (word.starts_with("--svg=")) {
            options.svg = std::string(word.substr(6));
        } else if (word == "--html" && i + 1 < arguments.size()) {
            options.html = std::string(arguments[++i]);
        } else if (word.starts_with("--html=")) {
            options.html = std::string(word.substr(7));
        } else {
            const std::string what = word == "--svg"    ? "--svg needs a PATH"
                                     : word == "--html" ? "--html needs a PAGE"
                                                        : concat({"unknown option \"", word, "\""});
            errors.write(concat({"zelkfile report: ", what, "; see zelkfile report --help\n"}));
            return std::nullopt;
        }
    }
    if (options.files.empty()) {
        errors.write("zelkfile report: no FILE given; see zelkfile report --help\n");
        return std::nullopt;
    }
    if (options.svg && options.svg->empty()) {
        errors.write("zelkfile report: --svg needs a PATH; see zelkfile report --help\n");
        return std::nullopt;
    }
    if (options.html && options.html->empty()) {
        errors.write("zelkfile report: --html needs a PAGE; see zelkfile report --help\n");
        return std::nullopt;
    }
    if (options.svg && options.html && *options.svg == *options.html) {
        errors.write("zelkfile report: --svg and --html name the same file; see zelkfile report --help\n");
        return std::nullopt;
    }
    return options;
}

void padLeft(std::string& out, std::string_view text, std::size_t width) {
    if (text.size() < width) out.append(width - text.size(), ' ');
    out += text;
}

void padRight(std::string& out, std::string_view text, std::size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}


// A text of the file (its name, a sample number) as the table shows it: every such text goes
// through here.
void appendText(std::string& out, std::string_view text) { appendPrintable(out, text); }

// The table for people: no line longer than this.
constexpr std::size_t lineWidth = 132;
constexpr std::size_t sampleNumberWidth = 16;

// The table for people. Each file is named once, above its samples; a sample takes two lines
// (the silica temperatures and the reservoir on the first, the cation temperatures on the
// second) and its notes a third. Line 1 starts with the sample's place and number; line 2
// and the notes start under the number.
class Table {
public:
    explicit Table(long samples) : indexWidth_(std::max<std::size_t>(1, std::to_string(samples).size())) {}

    std::string heading() const {
        std::string text = "Geothermometers of every sample, temperatures in degrees C:\n";
        std::size_t headingWidth = 0;
        for (const ReportColumn& column : reportColumns()) headingWidth = std::max(headingWidth, column.heading.size() + 1);
        for (const ReportColumn& column : reportColumns()) {
            if (column.line == 0) continue;
            std::string_view meaning = column.meaning;
            text += "  ";
            padRight(text, column.heading, headingWidth);
            for (std::size_t end; (end = meaning.find('\n')) != std::string_view::npos; meaning.remove_prefix(end + 1)) {
                text += meaning.substr(0, end);
                text += '\n';
                text.append(2 + headingWidth, ' ');
            }
            text += meaning;
            text += '\n';
        }
        text +=
            "Qz to Amor use the silica of the total discharge, SiO2 (1 - x). A sample above 0 bar-g with no enthalpy has no\n"
            "x and none of them: read QzL. QzL takes the water as boiled on its way up; for a spring that cooled without\n"
            "boiling, read Qz.\n"
            "(355): above the calibration of its equation (quartz 330, the other silica equations 250 degrees C).\n"
            "\"-\": no value (an input zero, negative or lost, or no silica temperature between 0 and 374 degrees C).\n"
            "\"*****\": a value too wide for its column; --csv gives it.\n"
            "Notes below a sample: an immature water (MI below 2.0), an excess enthalpy above 50 kJ/kg, no enthalpy,\n"
            "values above their range, a Mg correction of 1 degree C or more, a charge balance beyond 5 %, a pH\n"
            "temperature not given (the balance is then at 25 degrees C), or why there is no balance.\n";
        std::string first = "  ";
        padLeft(first, "#", indexWidth_);
        first += "  ";
        padRight(first, "sample number", sampleNumberWidth);
        std::string second(secondIndent(), ' ');
        for (const ReportColumn& column : reportColumns()) {
            if (column.line == 0) continue;
            std::string& line = column.line == 1 ? first : second;
            line += ' ';
            if (column.words)
                padRight(line, column.heading, static_cast<std::size_t>(column.width));
            else
                padLeft(line, column.heading, static_cast<std::size_t>(column.width));
        }
        text += concat({"\n", withoutTrailingBlanks(first), "\n", withoutTrailingBlanks(second), "\n"});
        return text;
    }

    void file(std::string& out, std::string_view name) const {
        out += '\n';
        appendText(out, name);
        out += '\n';
    }

    void row(std::string& out, long index, const SampleRecord& sample, const ReportRow& row) const {
        std::string first = "  ";
        padLeft(first, std::to_string(index), indexWidth_);
        first += "  ";
        const std::size_t numberAt = first.size();
        appendText(first, withoutTrailingBlanks(view(sample.sampleNumber)));
        if (first.size() < numberAt + sampleNumberWidth) first.append(numberAt + sampleNumberWidth - first.size(), ' ');
        std::string second(secondIndent(), ' ');
        for (const ReportCell& cell : row.cells) {
            if (cell.column->line == 0) continue;
            std::string& line = cell.column->line == 1 ? first : second;
            const std::size_t width = static_cast<std::size_t>(cell.column->width);
            line += ' ';
            if (cell.column->words) {
                padRight(line, cell.text.empty() ? "-" : cell.text, width);
                continue;
            }
            std::string text = cell.value ? fixed(*cell.value, cell.column->decimals) : "-";
            if (!cell.inRange) text = concat({"(", text, ")"});
            // A value too wide for its column (a cation temperature of a nonsense ratio) would
            // push the rest of the line out of place; the CSV has it.
            if (text.size() > width) text.assign(width, '*');
            padLeft(line, text, width);
        }
        out += withoutTrailingBlanks(first);
        out += '\n';
        out += withoutTrailingBlanks(second);
        out += '\n';
        notes(out, row.notes);
    }

private:
    std::size_t secondIndent() const { return 2 + indexWidth_ + 2; }

    // The notes on lines of their own, broken between notes where a line would be too long.
    void notes(std::string& out, const std::vector<std::string>& notes) const {
        std::size_t lineStart = out.size();
        for (std::size_t i = 0; i < notes.size(); ++i) {
            if (i == 0) {
                lineStart = out.size();
                out.append(secondIndent() + 1, ' ');
            } else if (out.size() - lineStart + 2 + notes[i].size() + 1 > lineWidth) {
                out += ";\n";
                lineStart = out.size();
                out.append(secondIndent() + 1, ' ');
            } else {
                out += "; ";
            }
            out += notes[i];
        }
        if (!notes.empty()) out += '\n';
    }

    std::size_t indexWidth_;
};

std::string csvHeading() {
    std::string text = "file,sample,sample_number";
    for (const ReportColumn& column : reportColumns()) {
        text += ',';
        text += column.csvName;
    }
    text += ",notes\n";
    return text;
}

void csvRow(std::string& out, std::string_view file, long index, const SampleRecord& sample, const ReportRow& row) {
    appendCell(out, file, ',');
    out += ',';
    out += std::to_string(index);
    out += ',';
    appendCell(out, withoutTrailingBlanks(view(sample.sampleNumber)), ',');
    for (const ReportCell& cell : row.cells) {
        out += ',';
        if (!cell.text.empty())
            appendCell(out, cell.text, ',');
        else if (cell.value)
            out += shortest(*cell.value);
    }
    out += ',';
    appendCell(out, joinedNotes(row.notes), ',');
    out += '\n';
}

// The row of the page: the CSV's columns, each as the table rounds it, a value above its
// equation's calibration in parentheses; the notes go apart.
std::vector<PageCell> pageCells(std::string_view file, long index, const SampleRecord& sample, const ReportRow& row) {
    std::vector<PageCell> cells = {{"file", std::string(file)},
                                   {"sample", std::to_string(index)},
                                   {"sample_number", std::string(withoutTrailingBlanks(view(sample.sampleNumber)))}};
    for (const ReportCell& cell : row.cells) {
        std::string text;
        if (cell.column->words)
            text = cell.text;
        else if (cell.value)
            text = cell.inRange ? fixed(*cell.value, cell.column->decimals)
                                : concat({"(", fixed(*cell.value, cell.column->decimals), ")"});
        cells.push_back({cell.column->csvName, std::move(text)});
    }
    return cells;
}

// Whether path is one of the files read (under any of its names).
bool namesAFile(const std::string& path, const std::vector<std::string_view>& files) {
    struct stat target;
    if (::stat(path.c_str(), &target) != 0) return false;
    for (const std::string_view file : files) {
        struct stat read;
        if (::stat(std::string(file).c_str(), &read) == 0 && read.st_dev == target.st_dev && read.st_ino == target.st_ino)
            return true;
    }
    return false;
}

// A value that the report needs but the file does not hold: what needs it shows "-".
bool usedByTheReport(const FieldNote& note) {
    static constexpr Field used[] = {Field::samplingPressure, Field::fluidEnthalpy, Field::waterSiO2, Field::waterNa,
                                     Field::waterK,           Field::waterMg,       Field::waterCa,   Field::waterCl};
    return std::find(std::begin(used), std::end(used), static_cast<Field>(note.field)) != std::end(used);
}

void noteLostValue(ByteSink& errors, std::string_view file, const FieldNote& note) {
    if (usedByTheReport(note)) errors.write(diagnostic(file, note.line, note.column, describe(note)));
}

// Reads the blocks of one file, one at a time, handing each to sample; false, with the
// problem told as zelkfile check tells it, when the file cannot be read or departs from the
// layout. A file read to be read again must be able to go back to its start (not a pipe).
template <typename Sample>
bool readFile(std::string_view file, bool again, ByteSink& errors, Sample&& sample) {
    const std::string name(file);
    InputFile input(name);
    if (input.fd() < 0) {
        errors.write(concat({"zelkfile: cannot open ", quoted(name), ": ", input.reason(), "\n"}));
        return false;
    }
    try {
        BlockReader reader(input.fd());
        SampleRecord record;
        for (long index = 1; reader.next(record); ++index) sample(index, reader, record);
        if (const std::optional<LayoutFault>& fault = reader.fault()) {
            errors.write(diagnostic(name, fault->line, fault->column, describe(*fault)));
            errors.write(tableNotFile(name, *fault));
            return false;
        }
    } catch (const InputFailure& failure) {
        errors.write(concat({"zelkfile: cannot read ", quoted(name), ": ", printable(failure.what()), "\n"}));
        return false;
    }
    if (again && !input.rewind()) {
        errors.write(concat({"zelkfile: cannot read ", quoted(name), " twice: ", input.reason(), "\n"}));
        return false;
    }
    return true;
}

}  // namespace

int reportFiles(Arguments arguments, ByteSink& out, ByteSink& errors) {
    const std::optional<Options> options = parse(arguments, errors);
    if (!options) return failed;
    if (options->svg) noticeOnInterruption(*options->svg);
    if (options->html) noticeOnInterruption(*options->html);

    // A first pass checks every file, so that a faulty one prints nothing, and gives the
    // width of the samples' places in the table.
    bool whole = true;
    long samples = 0;
    std::vector<ReportedFile> reported;
    for (const std::string_view file : options->files) {
        reported.push_back({std::string(file), 0});
        whole = readFile(file, true, errors,
                         [&](long index, const BlockReader&, const SampleRecord&) {
                             samples = std::max(samples, index);
                             reported.back().samples = index;
                         }) &&
                whole;
    }
    if (!whole) return failed;
    const Table table(samples);

    if (options->svg && namesAFile(*options->svg, options->files)) {
        errors.write(concat({"zelkfile report: ", printable(*options->svg), " is one of the FILEs; the diagram would replace it\n"}));
        return failed;
    }
    if (options->html && namesAFile(*options->html, options->files)) {
        errors.write(concat({"zelkfile report: ", printable(*options->html), " is one of the FILEs; the page would replace it\n"}));
        return failed;
    }
    std::optional<NaKMgDiagram> diagram;
    if (options->svg) {
        std::string error;
        diagram.emplace(*options->svg);
        if (!diagram->open(reported, error)) {
            errors.write(concat({"zelkfile report: ", printable(error), "\n"}));
            return failed;
        }
    }
    std::optional<ReportPage> page;
    if (options->html) {
        std::string error;
        page.emplace(*options->html, reported);
        if (!page->open(error)) {
            errors.write(concat({"zelkfile report: ", printable(error), "\n"}));
            return failed;
        }
    }

    Gathered<ByteSink> gathered(out);
    long number = 0;  // across the files, as the page and the pictures number the samples
    std::size_t fileIndex = 0;
    gathered.text() = options->csv ? csvHeading() : table.heading();
    for (const std::string_view file : options->files) {
        if (!options->csv) table.file(gathered.text(), file);
        whole = readFile(file, false, errors, [&](long index, const BlockReader& reader, const SampleRecord& sample) {
            ++number;
            // Rows so far go out first, so that a terminal shows the note after them.
            if (!reader.notes().empty()) gathered.flush();
            for (const FieldNote& note : reader.notes()) noteLostValue(errors, file, note);
            const ReportRow row = reportRow(sample);
            if (options->csv)
                csvRow(gathered.text(), file, index, sample, row);
            else
                table.row(gathered.text(), index, sample, row);
            gathered.endPiece();
            if (page) {
                std::vector<std::string> notes = row.notes;
                for (const FieldNote& note : reader.notes())
                    if (usedByTheReport(note)) notes.push_back(describe(note));
                page->sample(fileIndex, pageCells(file, index, sample, row), notes, sample, row.geothermometers,
                             row.value("hco3"));
            }
            if (!diagram) return;
            diagram->triangle().sample({fileIndex, number, sample, row.geothermometers, row.value("hco3")});
            // The maturity index is there exactly when Na, K and Mg (components 10 to 12) all are.
            if (row.value("maturity_index")) return;
            gathered.flush();
            errors.write(diagnostic(file, reader.blockLine(), 0,
                                    concat({"sample ", std::to_string(index), " (", withoutTrailingBlanks(view(sample.sampleNumber)),
                                            "): no Na, K or Mg; left out of the Na-K-Mg diagram"})));
        }) && whole;
        ++fileIndex;
    }
    gathered.flush();
    // A file that changed between the two passes: the diagram is not put in place.
    if (!whole) return failed;
    // The pictures go in place only when everything was printed: a failed print changes no file.
    if (out.failure() != 0) return failed;
    // Pictures of many samples read them once more, as the pass above had them.
    const Replay replay = [&](const std::function<void(const PictureSample&)>& each) {
        long again = 0;
        bool same = true;
        for (std::size_t f = 0; f < options->files.size(); ++f) {
            long count = 0;
            same = readFile(options->files[f], false, errors,
                            [&](long, const BlockReader&, const SampleRecord& sample) {
                                ++count;
                                const Geothermometers g = geothermometers(sample);
                                each({f, ++again, sample, g, std::nullopt, false});
                            }) &&
                   count == reported[f].samples && same;
        }
        return same;
    };
    if (diagram) {
        std::string error;
        if (!diagram->commit(reported, replay, error)) {
            errors.write(concat({"zelkfile report: ", printable(error), "\n"}));
            return failed;
        }
    }
    if (page) {
        std::string error;
        if (!page->commit(replay, error)) {
            errors.write(concat({"zelkfile report: ", printable(error), "\n"}));
            return failed;
        }
    }
    return done;
}

}  // namespace zelk::workbench
