// The output file: one 34-line block per sample, and the file that receives the blocks.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "dialogue/console.hpp"
#include "record/sample.hpp"

namespace zelk {

constexpr int blockLines = 34;

// Where finished blocks go. Each block arrives whole, in one call.
class BlockFile {
public:
    virtual ~BlockFile() = default;
    virtual void append(std::string_view block) = 0;
    // Waits until every block handed over has reached the file, or failed to.
    virtual void finish() {}
    // True once any block failed to reach the file (known for sure after finish).
    virtual bool failed() const = 0;
};

// Appends the block of the record to out.
void formatBlock(std::string& out, const SampleRecord& record);

// Writes the record's block to the file; scratch is reused between samples.
void outfil(BlockFile& file, const SampleRecord& record, std::string& scratch);

// The output file could not be opened, deleted or created; the message says which and why.
struct StartupFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The output file on disk, created empty for the run. A non-empty file of the same name is
// kept as name~ rather than deleted.
//
// A kill (SIGKILL) can stop a write to a file between two of its pages, which would leave
// part of a block. So blocks go through a pipe, where a write of up to PIPE_BUF bytes is
// whole or nothing, to a writer process that no signal of the dialogue's reaches and that
// writes each block with one write. If the dialogue dies, the writer still empties the pipe
// into the file and ends. A block that does not reach the file whole is cut off again and
// reported on standard error by the writer; the run then ends with the write-failed status.
class DiskFile : public BlockFile {
public:
    // Throws StartupFailure; later write failures are reported to errors.
    DiskFile(std::string name, ByteSink& errors);
    ~DiskFile() override;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    void append(std::string_view block) override;
    void finish() override;
    bool failed() const override { return failed_; }

private:
    std::string name_;
    ByteSink& errors_;
    int pipe_ = -1;
    bool failed_ = false;
};

// For the signal handlers: lets the writer put every block handed over into the file and
// waits for it. Async-signal-safe.
void finishWritingOnSignal() noexcept;

}  // namespace zelk
