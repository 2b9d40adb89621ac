// zelkfile: a lab's table in, the output file back out, and a check of any output file.
// One table of verbs; each verb lives in a file of its own.
#include <csignal>
#include <string>
#include <unistd.h>
#include <vector>

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

bool isHelp(std::string_view word) { return word == "--help" || word == "-h"; }

std::string programHelp() {
    std::string text =
        "usage: zelkfile VERB [ARGUMENTS]\n"
        "       zelkfile VERB --help\n"
        "\n"
        "Brings a lab's table into the output file of zelk, takes the file back out to a\n"
        "table, and checks output files.\n"
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
    errors.write("zelkfile: unknown verb \"" + std::string(arguments[0]) + "\"; see zelkfile --help\n");
    return failed;
}

}  // namespace

}  // namespace zelk::workbench

int main(int argc, char** argv) {
    // An output that has gone shows as a failed write, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    zelk::FdSink out(STDOUT_FILENO);
    zelk::FdSink errors(STDERR_FILENO);
    return zelk::workbench::runZelkfile(arguments, out, errors);
}
