// The verbs of zelkfile: each one function in a file of its own, run with its arguments and
// the two streams, returning the exit status.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/byte_io.hpp"
#include "base/startup.hpp"
#include "zelkfile/diagnostics.hpp"

namespace zelk::workbench {

// The words after the verb's name.
using Arguments = std::span<const std::string_view>;

// A verb: output for other programs goes to out, everything for a person to errors.
using Verb = int (*)(Arguments arguments, ByteSink& out, ByteSink& errors);

// Exit statuses of every verb.
enum Status : int {
    done = 0,
    problemsFound = 1,  // check: a file holds a problem
    failed = 2,         // the input or the command was wrong; nothing was written
};

// What each verb's --help prints: its usage line and what it does.
extern const std::string_view importHelp;
extern const std::string_view exportHelp;
extern const std::string_view checkHelp;
extern const std::string_view templateHelp;
extern const std::string_view reportHelp;

// For a verb that writes a file, from its start: a signal removes the new file, writes
// `zelkfile: interrupted; "PATH" not written` and ends the run by the signal. Before putting
// the file in place the verb calls holdSignalsToTheEnd(), and a verb that also prints checks
// out.failure() first, so that a failed print changes no file.
// A verb that writes two files calls it for each: a line for each.
inline void noticeOnInterruption(std::string_view path) {
    interruption::addNotice("zelkfile: interrupted; " + quoted(path) + " not written\n");
}

// The header row of a table with every column, ended by a line feed.
std::string headerRow(char separator);

int importTable(Arguments arguments, ByteSink& out, ByteSink& errors);
int exportFile(Arguments arguments, ByteSink& out, ByteSink& errors);
int checkFiles(Arguments arguments, ByteSink& out, ByteSink& errors);
int printTemplate(Arguments arguments, ByteSink& out, ByteSink& errors);
int reportFiles(Arguments arguments, ByteSink& out, ByteSink& errors);

}  // namespace zelk::workbench
