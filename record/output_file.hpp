// Output files by name, for the dialogue and the workbench alike: which names may be
// written, one writer per file, and no earlier file lost.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "record/outfil.hpp"
#include "base/startup.hpp"

namespace zelk {

// An output file that could not be claimed, written or put in place. what() is one line
// that names the file and the reason, without the program's name.
struct OutputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An output file claimed under its name. A regular file, a link to one or no file yet is
// written as a new file beside the name, which commit() puts in place (an earlier non-empty
// file kept as NAME.~N~, N one above the highest there; the new file takes the earlier one's
// permission bits, and its owner and group where the run may give them); a device, FIFO or
// socket is written as it is. Directories and links to nowhere are refused, and while the
// object lives no other claim of the name holds.
//
// The new file is .NAME.new-XXXXXX beside the name, or .HASH.new-XXXXXX (HASH sixteen hex
// digits of NAME) where that would be longer than the folder allows. Claiming a name removes
// the new files of that name that no live run holds (their runs were killed).
class PreparedOutput {
public:
    // Checks the name and takes it, and the backup's name where one is needed; throws
    // OutputFailure, touching nothing.
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
    // Flushes the new file to the disk; throws OutputFailure. commit() does it too: a caller
    // that holds the signals back from commit() on calls this first, so that a signal can
    // still end the run while the disk catches up.
    void sync();
    // Flushes the file to the disk and puts it in place under the name in one step that no
    // signal splits; throws OutputFailure.
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
    struct Around {
        int listError = 0;                  // why the folder could not be listed
        std::vector<std::string> newFiles;  // new files of the name, perhaps of killed runs
    };
    Around lookAround();
    void chooseBackup(int listError);
    void createBeside();
    void keepPermissions();
    bool putInPlace();

    std::string name_;
    Kind kind_ = Kind::absent;
    int fd_ = -1;       // what is written: the new file, or the device
    int oldFd_ = -1;    // the earlier regular file, held locked until the new one replaces it
    std::string temporary_;  // the new file's name until commit()
    std::string temporaryStem_;  // what every new file of the name begins with, "./.NAME.new-"
    std::string backup_;     // NAME.~N~ when the earlier file is kept
    unsigned long highestBackup_ = 0;  // the highest N found beside the name
    bool overflow_ = false;  // a backup number too large for N
    int backupTries_ = 0;    // names tried for the backup, all told
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
