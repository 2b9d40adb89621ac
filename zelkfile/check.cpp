// zelkfile check: reads output files with the block reader and reports every sample and
// every problem: a layout fault, a last block cut short, a value lost to asterisks, an
// infinity or a nan.
#include "base/byte_io.hpp"
#include "base/characters.hpp"
#include "zelkfile/diagnostics.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view checkHelp =
    "usage: zelkfile check FILE...\n"
    "\n"
    "Reads each output file block by block and prints one line per sample\n"
    "(FILE:LINE: sample N \"SAMPLE NUMBER\") and one line per problem\n"
    "(FILE:LINE:COLUMN: what is wrong): a departure from the block layout, a last block cut\n"
    "short, a field written as asterisks (its value is lost), or inf or nan, which the\n"
    "geochemistry program cannot read. Ends with a count: 12 samples, 0 problems.\n"
    "\n"
    "exit status: 0 no problem, 1 a problem found, 2 a file cannot be read\n";

namespace {

std::string counted(long count, std::string_view what) {
    return std::to_string(count) + " " + std::string(what) + (count == 1 ? "" : "s");
}

}  // namespace

int checkFiles(Arguments arguments, ByteSink& out, ByteSink& errors) {
    if (arguments.empty()) {
        errors.write("usage: zelkfile check FILE...\n");
        return failed;
    }
    long samples = 0, problems = 0;
    bool unreadable = false;
    Gathered<ByteSink> gathered(out);
    std::string& report = gathered.text();
    auto flush = [&] { gathered.flush(); };
    for (std::string_view argument : arguments) {
        const std::string name(argument);
        InputFile file(name);
        if (file.fd() < 0) {
            flush();
            errors.write("zelkfile: cannot open " + quoted(name) + ": " + file.reason() + "\n");
            unreadable = true;
            continue;
        }
        try {
            BlockReader reader(file.fd());
            SampleRecord record;
            long inFile = 0;
            while (reader.next(record)) {
                ++samples;
                report += diagnostic(name, reader.blockLine(), 0,
                                     "sample " + std::to_string(++inFile) + " " +
                                         quoted(withoutTrailingBlanks(view(record.sampleNumber))));
                for (const FieldNote& note : reader.notes()) {
                    ++problems;
                    report += diagnostic(name, note.line, note.column, describe(note));
                }
                gathered.endPiece();
            }
            if (const std::optional<LayoutFault>& fault = reader.fault()) {
                ++problems;
                report += diagnostic(name, fault->line, fault->column, describe(*fault));
                if (const std::string hint = tableNotFile(name, *fault); !hint.empty()) {
                    flush();
                    errors.write(hint);
                }
            }
        } catch (const InputFailure& failure) {
            flush();
            errors.write("zelkfile: cannot read " + quoted(name) + ": " + failure.what() + "\n");
            unreadable = true;
        }
    }
    report += counted(samples, "sample") + ", " + counted(problems, "problem") + "\n";
    flush();
    return unreadable ? failed : problems > 0 ? problemsFound : done;
}

}  // namespace zelk::workbench
