// Test support: the in-memory session helpers and a runner for the built program.
#include "support/harness.hpp"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
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

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

Run runProgram(const std::string& folder, const std::string& answers) {
    const std::string in = folder + "/.answers", out = folder + "/.stdout", err = folder + "/.stderr";
    writeFile(in, answers);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        const int fdIn = ::open(in.c_str(), O_RDONLY);
        const int fdOut = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int fdErr = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fdIn, 0);
        ::dup2(fdOut, 1);
        ::dup2(fdErr, 2);
        ::execl(ZELK_BINARY, "zelk", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int raw = 0;
    ::waitpid(child, &raw, 0);
    Run run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = readFile(out);
    run.err = readFile(err);
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

}  // namespace zelk::test
