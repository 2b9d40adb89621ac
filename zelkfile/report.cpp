// zelkfile report: the steam fraction, the geothermometers and the maturity index of every
// sample of output files, as a table for people or as CSV, and the Na-K-Mg diagram.
#include <algorithm>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <string>
#include <vector>

#include "record/reader.hpp"
#include "zelkfile/csv.hpp"
#include "zelkfile/diagnostics.hpp"
#include "zelkfile/text.hpp"
#include "zelkfile/geothermometers.hpp"
#include "zelkfile/na_k_mg_diagram.hpp"
#include "zelkfile/report_page.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view reportHelp =
    "usage: zelkfile report FILE... [--csv] [--svg PATH] [--html PAGE]\n"
    "\n"
    "For every sample of each output file, in order: the steam fraction at sampling, the\n"
    "silica and cation geothermometers and Giggenbach's maturity index.\n"
    "\n"
    "  --csv       write CSV for a spreadsheet, full precision, instead of the table\n"
    "  --svg PATH  also draw Giggenbach's Na-K-Mg triangle with every sample into PATH\n"
    "  --html PAGE also write the report as one web page: the table and the pictures\n"
    "\n"
    "Every file is checked first; a file that cannot be read or departs from the block\n"
    "layout is reported as zelkfile check reports it, and then nothing is printed.\n"
    "exit status: 0 done, 2 a file or the command was wrong, or PATH could not be written\n";

namespace {

using G = Geothermometers;

struct Column {
    std::string_view heading;  // in the table
    std::string_view csvName;
    std::optional<double> G::*value;
    int decimals;  // in the table
    std::string_view meaning;
};

const Column columns[] = {
    {"x", "steam_fraction", &G::steamFraction, 3,
     "steam fraction at sampling (IAPWS-IF97, at the sampling pressure + 1.01325 bar)"},
    {"Qz", "quartz", &G::quartz, 0, "quartz, conductive cooling (Fournier and Potter 1982)"},
    {"QzSL", "quartz_steam_loss", &G::quartzSteamLoss, 0, "quartz, maximum steam loss (Fournier 1977)"},
    {"Chal", "chalcedony", &G::chalcedony, 0, "chalcedony (Fournier 1977)"},
    {"aCri", "alpha_cristobalite", &G::alphaCristobalite, 0, "alpha-cristobalite (Fournier 1977)"},
    {"bCri", "beta_cristobalite", &G::betaCristobalite, 0, "beta-cristobalite (Fournier 1977)"},
    {"Amor", "amorphous_silica", &G::amorphousSilica, 0, "amorphous silica (Fournier 1977)"},
    {"NaKF", "na_k_fournier", &G::naKFournier, 0, "Na/K (Fournier 1979)"},
    {"NaKG", "na_k_giggenbach", &G::naKGiggenbach, 0, "Na/K (Giggenbach 1988)"},
    {"NaKT", "na_k_truesdell", &G::naKTruesdell, 0, "Na/K (Truesdell 1976)"},
    {"KMg", "k_mg", &G::kMg, 0, "K/Mg (Giggenbach 1988)"},
    {"NaKCa", "na_k_ca", &G::naKCa, 0, "Na-K-Ca (Fournier and Truesdell 1973)"},
    {"MI", "maturity_index", &G::maturityIndex, 2, "maturity index (Giggenbach 1988): 2.66 or more full equilibrium,"},
};
constexpr int valueWidth = 5;
constexpr std::size_t sampleNumberWidth = 16;

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

// Output gathered into large writes: a row is far smaller than a pipe's buffer.
class Gathered {
public:
    explicit Gathered(ByteSink& sink) : sink_(sink) {}
    ~Gathered() { flush(); }
    Gathered(const Gathered&) = delete;
    Gathered& operator=(const Gathered&) = delete;
    std::string& text() { return text_; }
    void endRow() {
        if (text_.size() >= 1 << 16) flush();
    }
    void flush() {
        if (!text_.empty()) sink_.write(text_);
        text_.clear();
    }

private:
    ByteSink& sink_;
    std::string text_;
};

void padLeft(std::string& out, std::string_view text, std::size_t width) {
    if (text.size() < width) out.append(width - text.size(), ' ');
    out += text;
}

void padRight(std::string& out, std::string_view text, std::size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}

std::string_view trimmed(std::string_view text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

// The legend of the table, then the column headings.
std::string tableHeading(std::size_t fileWidth, std::size_t indexWidth) {
    std::string text = "Geothermometers of every sample, temperatures in degrees C:\n";
    for (const Column& column : columns) {
        text += "  ";
        padRight(text, column.heading, 7);
        text += column.meaning;
        text += '\n';
    }
    text +=
        "         2.0 to 2.66 partial equilibrium, below 2.0 immature water\n"
        "The silica temperatures use the silica of the total discharge, SiO2 (1 - x), except\n"
        "QzSL, which is made for the water as sampled. \"-\": no value (an input zero, negative\n"
        "or lost, or no temperature from the equation).\n"
        "\n";
    padRight(text, "file", fileWidth);
    text += "  ";
    padLeft(text, "#", indexWidth);
    text += "  ";
    padRight(text, "sample number", sampleNumberWidth);
    for (const Column& column : columns) {
        text += ' ';
        padLeft(text, column.heading, valueWidth);
    }
    text += "  maturity\n";
    return text;
}

void tableRow(std::string& out, std::string_view file, std::size_t fileWidth, long index, std::size_t indexWidth,
              const SampleRecord& sample, const Geothermometers& g) {
    padRight(out, file, fileWidth);
    out += "  ";
    padLeft(out, std::to_string(index), indexWidth);
    out += "  ";
    out += view(sample.sampleNumber);
    for (const Column& column : columns) {
        const std::optional<double>& value = g.*column.value;
        out += ' ';
        padLeft(out, value ? fixed(*value, column.decimals) : "-", valueWidth);
    }
    out += "  ";
    out += g.maturityIndex ? name(maturity(*g.maturityIndex)) : "-";
    out += '\n';
}

std::string csvHeading() {
    std::string text = "file,sample,sample_number";
    for (const Column& column : columns) {
        text += ',';
        text += column.csvName;
    }
    text += ",maturity\n";
    return text;
}

void csvRow(std::string& out, std::string_view file, long index, const SampleRecord& sample,
            const Geothermometers& g) {
    appendCell(out, file, ',');
    out += ',';
    out += std::to_string(index);
    out += ',';
    appendCell(out, trimmed(view(sample.sampleNumber)), ',');
    for (const Column& column : columns) {
        out += ',';
        if (const std::optional<double>& value = g.*column.value) out += shortest(*value);
    }
    out += ',';
    if (g.maturityIndex) out += name(maturity(*g.maturityIndex));
    out += '\n';
}

// The row of the page: the CSV's columns, each as the table rounds it.
std::vector<PageCell> pageCells(std::string_view file, long index, const SampleRecord& sample,
                                const Geothermometers& g) {
    std::vector<PageCell> cells = {
        {"file", std::string(file)}, {"sample", std::to_string(index)}, {"sample_number", std::string(trimmed(view(sample.sampleNumber)))}};
    for (const Column& column : columns) {
        const std::optional<double>& value = g.*column.value;
        cells.push_back({column.csvName, value ? fixed(*value, column.decimals) : ""});
    }
    cells.push_back({"maturity", g.maturityIndex ? std::string(name(maturity(*g.maturityIndex))) : ""});
    return cells;
}

// The bicarbonate ion of a sample's water, mg/kg: it comes with the charge balance; until then
// no sample has one.
std::optional<double> bicarbonate(const SampleRecord&) { return std::nullopt; }

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
    static constexpr std::string_view used[] = {"sampling_pressure", "fluid_enthalpy", "water_SiO2", "water_Na",
                                                 "water_K",           "water_Mg",       "water_Ca"};
    const std::string_view field = blockFieldNames[static_cast<std::size_t>(note.field)];
    return std::find(std::begin(used), std::end(used), field) != std::end(used);
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
        errors.write(concat({"zelkfile: cannot open \"", name, "\": ", input.reason(), "\n"}));
        return false;
    }
    try {
        BlockReader reader(input.fd());
        SampleRecord record;
        for (long index = 1; reader.next(record); ++index) sample(index, reader, record);
        if (const std::optional<LayoutFault>& fault = reader.fault()) {
            errors.write(diagnostic(name, fault->line, fault->column, describe(*fault)));
            return false;
        }
    } catch (const InputFailure& failure) {
        errors.write(concat({"zelkfile: cannot read \"", name, "\": ", failure.what(), "\n"}));
        return false;
    }
    if (again && !input.rewind()) {
        errors.write(concat({"zelkfile: cannot read \"", name, "\" twice: ", input.reason(), "\n"}));
        return false;
    }
    return true;
}

}  // namespace

int reportFiles(Arguments arguments, ByteSink& out, ByteSink& errors) {
    const std::optional<Options> options = parse(arguments, errors);
    if (!options) return failed;

    // A first pass checks every file, so that a faulty one prints nothing, and gives the
    // widths of the table's first columns.
    bool whole = true;
    std::size_t fileWidth = 4;
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
        fileWidth = std::max(fileWidth, file.size());
    }
    if (!whole) return failed;
    const std::size_t indexWidth = std::to_string(samples).size();

    if (options->svg && namesAFile(*options->svg, options->files)) {
        errors.write(concat({"zelkfile report: ", *options->svg, " is one of the FILEs; the diagram would replace it\n"}));
        return failed;
    }
    if (options->html && namesAFile(*options->html, options->files)) {
        errors.write(concat({"zelkfile report: ", *options->html, " is one of the FILEs; the page would replace it\n"}));
        return failed;
    }
    std::optional<NaKMgDiagram> diagram;
    if (options->svg) {
        std::string error;
        diagram.emplace(*options->svg);
        if (!diagram->open(reported, error)) {
            errors.write(concat({"zelkfile report: ", error, "\n"}));
            return failed;
        }
    }
    std::optional<ReportPage> page;
    if (options->html) {
        std::string error;
        page.emplace(*options->html, reported);
        if (!page->open(error)) {
            errors.write(concat({"zelkfile report: ", error, "\n"}));
            return failed;
        }
    }

    Gathered gathered(out);
    long number = 0;  // across the files, as the page and the pictures number the samples
    std::size_t fileIndex = 0;
    gathered.text() = options->csv ? csvHeading() : tableHeading(fileWidth, indexWidth);
    for (const std::string_view file : options->files) {
        whole = readFile(file, false, errors, [&](long index, const BlockReader& reader, const SampleRecord& sample) {
            ++number;
            // Rows so far go out first, so that a terminal shows the note after them.
            if (!reader.notes().empty()) gathered.flush();
            for (const FieldNote& note : reader.notes()) noteLostValue(errors, file, note);
            const Geothermometers g = geothermometers(sample);
            if (options->csv)
                csvRow(gathered.text(), file, index, sample, g);
            else
                tableRow(gathered.text(), file, fileWidth, index, indexWidth, sample, g);
            gathered.endRow();
            if (page) {
                std::vector<std::string> notes;
                for (const FieldNote& note : reader.notes())
                    if (usedByTheReport(note)) notes.push_back(describe(note));
                page->sample(fileIndex, pageCells(file, index, sample, g), notes, sample, g, bicarbonate(sample));
            }
            if (!diagram) return;
            diagram->triangle().sample({fileIndex, number, sample, g, bicarbonate(sample)});
            // The maturity index is there exactly when Na, K and Mg (components 10 to 12) all are.
            if (g.maturityIndex) return;
            gathered.flush();
            errors.write(diagnostic(file, reader.blockLine(), 0,
                                    concat({"sample ", std::to_string(index), " (", trimmed(view(sample.sampleNumber)),
                                            "): no Na, K or Mg; left out of the Na-K-Mg diagram"})));
        }) && whole;
        ++fileIndex;
    }
    gathered.flush();
    // A file that changed between the two passes: the diagram is not put in place.
    if (!whole) return failed;
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
                                each({f, ++again, sample, g, bicarbonate(sample)});
                            }) &&
                   count == reported[f].samples && same;
        }
        return same;
    };
    if (diagram) {
        std::string error;
        if (!diagram->commit(reported, replay, error)) {
            errors.write(concat({"zelkfile report: ", error, "\n"}));
            return failed;
        }
    }
    if (page) {
        std::string error;
        if (!page->commit(replay, error)) {
            errors.write(concat({"zelkfile report: ", error, "\n"}));
            return failed;
        }
    }
    return done;
}

}  // namespace zelk::workbench
