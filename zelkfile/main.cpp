// zelkfile: a lab's table in, the output file back out, and a check of any output file.
// One table of verbs; each verb lives in a file of its own.
#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/byte_io.hpp"
#include "base/startup.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

namespace {

struct VerbEntry {
    std::string_view name;
    Verb run;
    std::string_view summary;
    const std::string_view& help;
};

const VerbEntry verbs[] = {
    {"import", importTable, "write the output file from a table, one row per sample", importHelp},
    {"export", exportFile, "write every block of an output file as one table row", exportHelp},
    {"check", checkFiles, "read output files and report every problem in them", checkHelp},
    {"template", printTemplate, "print the header row with every column", templateHelp},
    {"report", reportFiles, "geothermometers of every sample, and the Na-K-Mg diagram", reportHelp},
};

// Standard output, where a table goes: a write that fails is not lost without a word, but
// once it failed nothing more is written.
class CheckedSink : public ByteSink {
public:
    explicit CheckedSink(int fd) : fd_(fd) {}
    void write(std::string_view bytes) override {
        if (error_ == 0) error_ = writeAll(fd_, bytes).error;
    }
    int failure() const override { return error_; }

private:
    int fd_;
    int error_ = 0;
};

bool isHelp(std::string_view word) { return word == "--help" || word == "-h"; }

std::string programHelp() {
    std::string text =
        "usage: zelkfile VERB [ARGUMENTS]\n"
        "       zelkfile VERB --help\n"
        "       zelkfile --version\n"
        "\n"
        "Brings a lab's table into the output file of zelk, takes the file back out to a\n"
        "table, checks output files and reports the geothermometers of their samples.\n"
        "\n"
        "verbs:\n";
    for (const VerbEntry& verb : verbs) {
        text += "  ";
        text += verb.name;
        text.append(10 - verb.name.size(), ' ');
        text += verb.summary;
        text += '\n';
    }
    text +=
        "\n"
        "exit status: 0 done, 1 check found a problem, 2 the input or the command was wrong\n";
    return text;
}

// The verb named first, or the program's help.
int runZelkfile(Arguments arguments, ByteSink& out, ByteSink& errors) {
    if (arguments.empty()) {
        errors.write(programHelp());
        return failed;
    }
    if (isHelp(arguments[0])) {
        out.write(programHelp());
        return done;
    }
    if (arguments[0] == "--version") {
        out.write("zelkfile " ZELK_VERSION "\n");
        return done;
    }
    for (const VerbEntry& verb : verbs) {
        if (verb.name != arguments[0]) continue;
        const Arguments rest = arguments.subspan(1);
        for (std::string_view word : rest) {
            if (word == "--") break;
            if (isHelp(word)) {
                out.write(verb.help);
                return done;
            }
        }
        return verb.run(rest, out, errors);
    }
    errors.write("zelkfile: unknown verb " + quoted(arguments[0]) + "; see zelkfile --help\n");
    return failed;
}

}  // namespace

}  // namespace zelk::workbench

int main(int argc, char** argv) {
    // A closed standard stream would hand its number to a file the verb writes, and its
    // messages would go into it. A signal removes the file being made, says so and ends the run.
    zelk::startUp(zelk::interruption::endBySignal);
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    zelk::workbench::CheckedSink out(STDOUT_FILENO);
    zelk::FdSink errors(STDERR_FILENO);
    const int status = zelk::workbench::runZelkfile(arguments, out, errors);
    if (out.failure() == 0) return status;
    // A reader that has gone (zelkfile export big.in | head) wanted no more: no message.
    if (out.failure() != EPIPE)
        errors.write(std::string("zelkfile: cannot write standard output: ") + std::strerror(out.failure()) + "\n");
    return zelk::workbench::failed;
}
