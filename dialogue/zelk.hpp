// The whole dialogue of a run: banner, output file, and the loop over samples.
#pragma once

#include <memory>
#include <string>

#include "dialogue/console.hpp"
#include "base/function_ref.hpp"
#include "record/outfil.hpp"
#include "record/output_file.hpp"

namespace zelk {

// Exit statuses of a run.
enum class Status : int {
    finished = 0,      // the user ended the run
    interrupted = 1,   // SIGINT, SIGTERM, SIGHUP or SIGQUIT
    stopped = 2,       // end of input, unreadable input, or no output file
    writeFailed = 3,   // the user ended the run, but a sample did not reach the file
};

// The status as the process exits with it.
constexpr int exitStatus(Status status) { return static_cast<int>(status); }

// Opens the output file of the given name; throws OutputFailure.
using OpenOutput = FunctionRef<std::unique_ptr<BlockFile>(const std::string&)>;

// Runs the dialogue to its end and returns the exit status. Diagnostics go to errors.
Status runZelk(Console& console, ByteSink& errors, OpenOutput openOutput);

}  // namespace zelk
