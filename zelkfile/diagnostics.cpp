// Diagnostics of places in files, and input files by name.
#include "zelkfile/diagnostics.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zelk::workbench {

std::string diagnostic(std::string_view file, long line, std::string_view column, std::string_view message) {
    std::string text = std::string(file) + ":" + std::to_string(line) + ":";
    if (!column.empty()) {
        text += column;
        text += ":";
    }
    text += " ";
    text += message;
    text += '\n';
    return text;
}

std::string diagnostic(std::string_view file, long line, long column, std::string_view message) {
    return diagnostic(file, line, column > 0 ? std::to_string(column) : std::string(), message);
}

std::string describe(const FieldNote& note) {
    std::string text(blockFieldNames[static_cast<std::size_t>(note.field)]);
    switch (note.kind) {
        case FieldNote::asterisks: return text + " is written as asterisks: its value was too large and is lost";
        case FieldNote::infinite: return text + " is infinite, which the geochemistry program cannot read";
        case FieldNote::notANumber: return text + " is not a number (nan), which the geochemistry program cannot read";
    }
    return text;
}

std::string describe(const LayoutFault& fault) {
    if (fault.cutShort) return "the last block is cut short (" + fault.message + "): the run that wrote it was stopped";
    return fault.message;
}

InputFile::InputFile(const std::string& name) {
    fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) reason_ = std::strerror(errno);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool InputFile::rewind() {
    if (::lseek(fd_, 0, SEEK_SET) == 0) return true;
    reason_ = std::string(std::strerror(errno)) + " (it must be a file, not a pipe)";
    return false;
}

}  // namespace zelk::workbench
