// The main program's dialogue: start-up, the loop over samples, and the stop.
#include "dialogue/zelk.hpp"

#include <algorithm>

#include "base/field.hpp"
#include "screens/enter_sample.hpp"

namespace zelk {

namespace {

constexpr std::string_view banner =
    "\n\n\n MORVANTIS\n\n Program ZELK, version " ZELK_VERSION ",  April 2002.\n\n"
    " Prompts the user for input data to the program KAVIX\n and writes it to the file KAVIX.IN\n\n\n"
    " Output file (default kavix.in)  : ";

constexpr std::string_view anotherSample =
    "\n\n Another sample?\n\n If so, type y,\n <RETURN> if no                  :  ";

// The output file's name: 30 characters as typed, the first 8 defaulted when all blank,
// trailing blanks dropped; leading blanks stay part of the name.
std::string outputFileName(Console& console) {
    FixedText<30> name;
    readA(console.readLine(), name);
    if (std::all_of(name.begin(), name.begin() + 8, [](char c) { return c == ' '; }))
        std::copy_n("kavix.in", 8, name.begin());
    std::size_t length = name.size();
    while (length > 0 && name[length - 1] == ' ') --length;
    return std::string(name.data(), length);
}

Status dialogue(Console& console, OpenOutput openOutput) {
    console.prompt(banner);
    const std::unique_ptr<BlockFile> file = openOutput(outputFileName(console));

    SampleRecord record;
    TextBuffer block(2048);
    bool entered = false;
    for (;;) {
        if (entered) {
            console.prompt(anotherSample);
            FixedText<1> answer;
            readA(console.readLine(), answer);
            if (answer[0] != 'y' && answer[0] != 'Y') break;
        }
        enterSample(console, record, *file, block);
        entered = true;
    }
    file->finish();
    return file->failed() ? Status::writeFailed : Status::finished;
}

}  // namespace

Status runZelk(Console& console, ByteSink& errors, OpenOutput openOutput) {
    try {
        return dialogue(console, openOutput);
    } catch (const EndOfInput&) {
        console.flush();
        errors.write("zelk: end of file on standard input\n");
    } catch (const InputFailure& failure) {
        console.flush();
        errors.write(std::string("zelk: cannot read standard input: ") + failure.what() + "\n");
    } catch (const OutputFailure& failure) {
        console.flush();
        errors.write(std::string("zelk: ") + failure.what() + "\n");
    }
    return Status::stopped;
}

}  // namespace zelk
