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
    // True once any block failed to reach the file.
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
// kept as name~ rather than deleted. Each block is one write, made by a short-lived child
// that a SIGKILL of the program does not stop half-way; a block that does not reach the
// file whole is cut off again, reported on standard error, and remembered.
class DiskFile : public BlockFile {
public:
    // Throws StartupFailure; later write failures are reported to errors.
    DiskFile(std::string name, ByteSink& errors);
    ~DiskFile() override;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    void append(std::string_view block) override;
    bool failed() const override { return failed_; }

private:
    std::string name_;
    ByteSink& errors_;
    int fd_ = -1;
    long long size_ = 0;
    bool failed_ = false;
};

}  // namespace zelk
