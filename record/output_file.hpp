// Output files by name, for the dialogue and the workbench alike: which names may be
// written, one writer per file, and no earlier file lost.
#pragma once

#include <csignal>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "record/outfil.hpp"

namespace zelk {

// An output file that could not be claimed, written or put in place. what() is one line
// that names the file and the reason, without the program's name.
struct OutputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Holds SIGINT, SIGTERM, SIGHUP and SIGQUIT back while it lives, so that what it guards is
// never left half done; a signal that came meanwhile acts when it goes.
class HeldSignals {
public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t before_;
};

// An output file claimed under its name. A regular file, a link to one or no file yet is
// written as a new file beside the name, which commit() puts in place (an earlier non-empty
// file kept as NAME.~N~); a device, FIFO or socket is written as it is. Directories and
// links to nowhere are refused, and while the object lives no other claim of the name holds.
class PreparedOutput {
public:
    // Checks the name and takes it; throws OutputFailure.
    explicit PreparedOutput(std::string name);
    // Before commit() the new file is removed and the name left as it was.
    ~PreparedOutput();
    PreparedOutput(const PreparedOutput&) = delete;
    PreparedOutput& operator=(const PreparedOutput&) = delete;

    // Appends the bytes whole; throws OutputFailure, the file cut back to what it held before.
    void write(std::string_view bytes);
    // Appends the bytes whole, or cuts the file back to what it held before them (a device
    // cannot be cut back); 0, or the reason as an errno value.
    int append(std::string_view bytes) noexcept;
    // Flushes the file to the disk and puts it in place under the name, with the signals held
    // back meanwhile; throws OutputFailure.
    void commit();
    // Flushes the file to the disk and closes it; 0, or the reason as an errno value.
    int close() noexcept;

    const std::string& name() const { return name_; }
    // The name the earlier file is kept under once commit() has put the new one in place;
    // empty when there was none to keep.
    const std::string& backup() const { return backup_; }
    // Written as it is, so whatever is written stays: a device, FIFO or socket.
    bool isDevice() const { return kind_ == Kind::device; }

private:
    enum class Kind { absent, regular, emptyRegular, device };

    void claimName();
    void release() noexcept;
    void createBeside();
    bool putInPlace();

    std::string name_;
    Kind kind_ = Kind::absent;
    int fd_ = -1;       // what is written: the new file, or the device
    int oldFd_ = -1;    // the earlier regular file, held locked until the new one replaces it
    std::string temporary_;  // the new file's name until commit()
    std::string backup_;     // where commit() kept the earlier file
    off_t size_ = 0;    // bytes of whole appends
};

// The dialogue's output file: claimed and put in place empty at start-up, then each
// sample's block appended whole. A block that cannot be written is reported on errors, one
// line for each, and the run goes on.
class OutputFile : public BlockFile {
public:
    // Throws OutputFailure.
    OutputFile(std::string name, ByteSink& errors);
    ~OutputFile() override;

    void append(std::string_view block) override;
    void finish() override;
    bool failed() const override { return failed_; }

private:
    std::unique_ptr<PreparedOutput> file_;
    ByteSink& errors_;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace zelk
