// Test support: the in-memory session helpers and a runner for the built program.
#include "support/harness.hpp"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <csignal>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
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

void signalsAtTheirDefaults() {
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE}) std::signal(signal, SIG_DFL);
}

void becomeNormalUser() {
    if (::geteuid() != 0) return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(126);
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

bool matchesKept(const std::string& kept, const std::string& got) {
    const std::string received = kept + ".received";
    if (readFile(kept) == got) {
        std::filesystem::remove(received);
        return true;
    }
    writeFile(received, got);
    return false;
}

namespace {

Run collect(int pid, const std::string& out, const std::string& err) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    Run run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = readFile(out);
    run.err = readFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

// In the child: the folder, standard streams, then the program.
[[noreturn]] void startProgram(const std::string& folder, int fdIn, long fileSizeLimit, bool outputToFiles) {
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    signalsAtTheirDefaults();
    if (outputToFiles) {
        ::dup2(::open(".stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        ::dup2(::open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    }
    ::dup2(fdIn, 0);
    if (fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execl(ZELK_BINARY, "zelk", static_cast<char*>(nullptr));
    ::_exit(127);
}

}  // namespace

Run runProgram(const std::string& folder, const std::string& answers, long fileSizeLimit) {
    // Standard output and error through pipes, which a file size limit does not reach.
    const std::string in = folder + "/.answers";
    writeFile(in, answers);
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        startProgram(folder, ::open(in.c_str(), O_RDONLY), fileSizeLimit, false);
    }
    ::close(out[1]);
    ::close(err[1]);
    Run run;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&run.out, &run.err};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        ::poll(fds, 2, -1);
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            const ssize_t got = ::read(fds[k].fd, buffer, sizeof buffer);
            if (got > 0) {
                into[k]->append(buffer, static_cast<std::size_t>(got));
            } else {
                ::close(fds[k].fd);
                fds[k].fd = -1;
                --open;
            }
        }
    }
    int raw = 0;
    ::waitpid(child, &raw, 0);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    std::filesystem::remove(in);
    return run;
}

Running::Running(const std::string& folder) : folder_(folder) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(fds[1]);
        startProgram(folder, fds[0], -1, true);
    }
    ::close(fds[0]);
    input_ = fds[1];
}

Running::~Running() {
    if (input_ >= 0) ::close(input_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void Running::answer(const std::string& bytes) {
    if (::write(input_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("short write to the program");
}

bool Running::waitForOutputEnding(const std::string& text) {
    for (int tries = 0; tries < 500; ++tries) {
        const std::string out = readFile(folder_ + "/.stdout");
        if (out.size() >= text.size() && out.compare(out.size() - text.size(), text.size(), text) == 0) return true;
        ::usleep(10000);
    }
    return false;
}

void Running::signal(int number) { ::kill(pid_, number); }

Run Running::finish() {
    ::close(input_);
    input_ = -1;
    Run run = collect(pid_, folder_ + "/.stdout", folder_ + "/.stderr");
    pid_ = -1;
    return run;
}

std::pair<std::string, int> runShell(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return {"popen failed", -1};
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    return {text, ::pclose(pipe)};
}

std::string missingTool(const std::vector<Tool>& tools) {
    for (const Tool& tool : tools)
        if (runShell("command -v '" + tool.program + "'").second != 0)
            return tool.program + " not found: install the Debian package " + tool.package;
    return {};
}

}  // namespace zelk::test
