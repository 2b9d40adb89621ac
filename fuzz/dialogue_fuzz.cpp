// Fuzz target: the whole dialogue on any bytes as its standard input. It must end, with
// nothing on the error stream but the end-of-input line, and leave only whole blocks.
#include <memory>
#include <string>

#include "dialogue/zelk.hpp"
#include "fuzz/fuzz.hpp"
#include "record/reader.hpp"

namespace {

class MemoryFile : public zelk::BlockFile {
public:
    explicit MemoryFile(std::string& bytes, int& blocks) : bytes_(bytes), blocks_(blocks) {}
    void append(std::string_view block) override {
        bytes_.append(block);
        ++blocks_;
    }
    bool failed() const override { return false; }

private:
    std::string& bytes_;
    int& blocks_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = zelk::fuzz::bytes(data, size);
    // Reads in pieces of a size taken from the input, so that lines cross refills.
    zelk::StringSource source(std::string(input), 1 + size % 61);
    zelk::StringSink screen, errors;
    std::string file;
    int blocks = 0;
    int opened = 0;
    auto open = [&](const std::string&) -> std::unique_ptr<zelk::BlockFile> {
        ++opened;
        return std::make_unique<MemoryFile>(file, blocks);
    };
    zelk::Status status = zelk::Status::finished;
    {
        zelk::Console console(source, screen);
        status = zelk::runZelk(console, errors, open);
    }

    if (status == zelk::Status::finished) {
        if (!errors.bytes().empty()) zelk::fuzz::fail("a finished run wrote to the error stream", input);
    } else if (status == zelk::Status::stopped) {
        if (errors.bytes() != "zelk: end of file on standard input\n")
            zelk::fuzz::fail("the error stream holds \"" + errors.bytes() + "\"", input);
    } else {
        zelk::fuzz::fail("exit status " + std::to_string(zelk::exitStatus(status)), input);
    }
    if (opened > 1) zelk::fuzz::fail("the output file was opened twice", input);
    const zelk::ReadBlocks back = zelk::readBlocks(file);
    if (back.fault)
        zelk::fuzz::fail("the output file is not whole blocks: line " + std::to_string(back.fault->line) + ", column " +
                             std::to_string(back.fault->column) + ": " + back.fault->message,
                         input);
    if (back.records.size() != static_cast<std::size_t>(blocks)) zelk::fuzz::fail("blocks lost", input);
    return 0;
}
