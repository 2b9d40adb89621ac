// Test support: the in-memory session helpers and a runner for the built program.
#include "support/harness.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace zelk::test {

std::string lines(const std::vector<std::string>& each) {
    std::string joined;
    for (const std::string& line : each) joined += line + "\n";
    return joined;
}

std::string errorMessage() {
    return std::string("\n\x07\0\0\0 ERROR IN INPUT DATA. TRY THIS AGAIN.\x07\0\0\0\n\n", 48);
}

std::string correctionQuestion() {
    return "\n\n Do you wish to correct any of these items?\n\n Type item number, or\n"
           " <RETURN> if no                  :  ";
}

std::string banner() {
    return "\n\n\n MORVANTIS\n\n Program ZELK, version 1.2,  April 2002.\n\n"
           " Prompts the user for input data to the program KAVIX\n and writes it to the file KAVIX.IN\n\n\n"
           " Output file (default kavix.in)  : ";
}

std::string anotherSample() {
    return "\n\n Another sample?\n\n If so, type y,\n <RETURN> if no                  :  ";
}

std::string itemPrompt(const std::string& label) { return "      " + label; }

std::string emptyLines(int n) { return std::string(static_cast<std::size_t>(n), '\n'); }

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelk-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::set<std::string> entries(const std::string& folder) {
    namespace fs = std::filesystem;
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        const char kind = fs::is_symlink(status)          ? 'l'
                          : fs::is_regular_file(status)   ? 'f'
                          : fs::is_directory(status)      ? 'd'
                          : fs::is_fifo(status)           ? 'p'
                          : fs::is_character_file(status) ? 'c'
                                                          : '?';
        names.insert(entry.path().filename().string() + " " + kind);
    }
    return names;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string makeDevice(const std::string& path, unsigned minor) {
    if (::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, minor)) == 0) return {};
    return "mknod refused: " + std::string(std::strerror(errno));
}

std::string whyNoDeviceNodes() {
    static const std::string why = [] {
        TempDir dir;
        return makeDevice(dir.file("null"), 3);
    }();
    return why;
}

bool matchesKept(const std::string& kept, const std::string& got) {
    const std::string received = kept + ".received";
    if (readFile(kept) == got) {
        std::filesystem::remove(received);
        return true;
    }
    writeFile(received, got);
    return false;
}

Run runProgram(const std::string& folder, const std::string& answers, const Options& options) {
    // Standard output and error through pipes, which a file size limit does not reach.
    const std::string in = folder + "/.answers";
    writeFile(in, answers);
    Process program({.argv = {ZELK_BINARY},
                     .folder = folder,
                     .input = in,
                     .fileSizeLimit = options.fileSizeLimit,
                     .normalUser = options.normalUser});
    const Run run = *program.finish();
    std::filesystem::remove(in);
    return run;
}

namespace {

Launch launchOf(const std::string& folder, const Running::Start& start, const TempDir& scratch) {
    std::vector<std::string> argv = {start.program.empty() ? ZELK_BINARY : start.program};
    argv.insert(argv.end(), start.args.begin(), start.args.end());
    if (!start.piped) writeFile(scratch.file("in"), start.answers);
    return {.argv = argv,
            .folder = folder,
            .input = start.piped ? "" : scratch.file("in"),
            .pipeInput = start.piped,
            .output = scratch.file("out"),
            .errors = scratch.file("err"),
            .noCoreFiles = true,
            .setUp = start.setUp};
}

}  // namespace

Running::Running(const std::string& folder, const Start& start) : program_(launchOf(folder, start, scratch_)) {}

void Running::answer(const std::string& bytes) {
    if (::write(program_.input(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("short write to the program");
}

bool Running::waitForOutputEnding(const std::string& text) const {
    for (int tries = 0; tries < 500; ++tries) {
        if (readFile(scratch_.file("out")).ends_with(text)) return true;
        ::usleep(10000);
    }
    return false;
}

Run Running::finish() {
    std::optional<Run> run = program_.finish(std::chrono::seconds(10));
    if (!run) return {};
    run->out = readFile(scratch_.file("out"));
    run->err = readFile(scratch_.file("err"));
    return *run;
}

std::pair<std::string, int> runShell(const std::string& command) {
    Process shell({.argv = {"/bin/sh", "-c", command + " 2>&1"}});
    const Ended ended = *shell.finish();
    return {ended.out + ended.err, ended.status};
}

std::string missingTool(const std::vector<Tool>& tools) {
    for (const Tool& tool : tools)
        if (runShell("command -v '" + tool.program + "'").second != 0)
            return tool.program + " not found: install the Debian package " + tool.package;
    return {};
}

}  // namespace zelk::test
