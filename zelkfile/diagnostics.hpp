// What the verbs say about a place in a file, in the form editors and people jump to:
// FILE:LINE:COLUMN: what.
#pragma once

#include <string>
#include <string_view>

#include "base/printable.hpp"
#include "record/reader.hpp"

namespace zelk::workbench {

// "FILE:LINE:COLUMN: message\n"; without the column when it is 0. Control characters in any
// part are written as escapes (printable()), so the line is one line and steers no terminal.
std::string diagnostic(std::string_view file, long line, long column, std::string_view message);
// The same with the column given by name ("FILE:ROW:water_Cl: message\n"); none when empty.
std::string diagnostic(std::string_view file, long line, std::string_view column, std::string_view message);

// A field without a usable value: its name and what is wrong with it.
std::string describe(const FieldNote& note);

// A layout fault, saying whether the file was cut short inside its last block.
std::string describe(const LayoutFault& fault);

// For a file read as an output file that departs from the layout on its first line: when
// that line is a table's header row (it names a column of the import), the line that says so
// and shows the import command; else nothing.
std::string tableNotFile(const std::string& name, const LayoutFault& fault);

// A file opened for reading by name, closed when the object goes; fd() < 0 and reason() when
// it cannot be opened.
class InputFile {
public:
    explicit InputFile(const std::string& name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    int fd() const { return fd_; }
    const std::string& reason() const { return reason_; }
    // Back to the start for a second reading; false (and a reason) when the file is a pipe.
    bool rewind();

private:
    int fd_ = -1;
    std::string reason_;
};

}  // namespace zelk::workbench
