// Diagnostics of places in files, and input files by name.
#include "zelkfile/diagnostics.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "zelkfile/columns.hpp"
#include "zelkfile/text.hpp"

namespace zelk::workbench {

std::string diagnostic(std::string_view file, long line, std::string_view column, std::string_view message) {
    // Names and texts from files and tables may hold anything; a terminal is shown none of
    // their control characters.
    std::string text;
    appendPrintable(text, file);
    text += ":";
    text += std::to_string(line);
    text += ":";
    if (!column.empty()) {
        appendPrintable(text, column);
        text += ":";
    }
    text += " ";
    appendPrintable(text, message);
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

namespace {

// A name as a shell takes it back: in single quotes unless it is plain.
std::string shellWord(std::string_view name) {
    if (!name.empty() && name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._/+-") ==
                             std::string_view::npos)
        return std::string(name);
    std::string word = "'";
    for (const char c : name) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

}  // namespace

std::string tableNotFile(const std::string& name, const LayoutFault& fault) {
    if (fault.line != 1) return {};
    InputFile file(name);
    if (file.fd() < 0) return {};
    char bytes[4096];
    ssize_t got;
    do got = ::read(file.fd(), bytes, sizeof bytes);
    while (got < 0 && errno == EINTR);
    if (got <= 0) return {};
    std::string_view text(bytes, static_cast<std::size_t>(got));
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (text.starts_with("sep=")) text.remove_prefix(std::min(text.size(), text.find('\n') + 1));
    text = text.substr(0, text.find_first_of("\r\n"));
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find_first_of(",;\t", at), text.size());
        std::string_view cell = text.substr(at, end - at);
        while (!cell.empty() && (cell.front() == ' ' || cell.front() == '"')) cell.remove_prefix(1);
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '"')) cell.remove_suffix(1);
        if (findColumn(cell))
            return printable("zelkfile: " + quoted(name) + " is a table, not an output file; to write an output file from it: "
                             "zelkfile import " + shellWord(name) + " -o kavix.in") + "\n";
        at = end + 1;
    }
    return {};
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
