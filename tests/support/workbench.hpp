// Test support for the workbench: its verbs run in memory, and the dialogue run in memory on
// the same answers, for comparing their files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogue/zelk.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::test {

struct VerbRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline VerbRun runVerb(workbench::Verb verb, const std::vector<std::string>& arguments) {
    std::vector<std::string_view> words(arguments.begin(), arguments.end());
    StringSink out, err;
    VerbRun run;
    run.status = verb(words, out, err);
    run.out = out.bytes();
    run.err = err.bytes();
    return run;
}

// The blocks of a run, kept in memory.
class MemoryBlocks : public BlockFile {
public:
    explicit MemoryBlocks(std::string& bytes) : bytes_(bytes) {}
    void append(std::string_view block) override { bytes_.append(block); }
    bool failed() const override { return false; }

private:
    std::string& bytes_;
};

// The output file that the dialogue writes for the answers (which answer the file prompt
// first), and the run's exit status.
inline std::string dialogueFile(const std::string& answers, int* status = nullptr) {
    std::string file;
    StringSource source(answers);
    StringSink screen, errors;
    Console console(source, screen);
    const int result = runZelk(console, errors, [&](const std::string&) -> std::unique_ptr<BlockFile> {
        return std::make_unique<MemoryBlocks>(file);
    });
    if (status) *status = result;
    return file;
}

}  // namespace zelk::test
