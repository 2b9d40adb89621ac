// The block layout of the output file and its writer.
#include "record/outfil.hpp"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace zelk {

namespace {

void line(TextBuffer& out, std::string_view text) {
    out.append(text);
    out.push_back('\n');
}

}  // namespace

void formatBlock(TextBuffer& out, const SampleRecord& r) {
    line(out, blockTitle);
    out.push_back('\n');
    line(out, sampleLabels);
    renderA(out, view(r.sampleNumber));
    renderA(out, view(r.sampleLocation));
    out.push_back('\n');
    forEachNumberLine(r, [&](std::string_view labels, std::initializer_list<const float*> fields) {
        out.push_back('\n');
        line(out, labels);
        for (const float* value : fields) renderF(out, *value, numberWidth, numberDecimals);
        out.push_back('\n');
    });
}

void outfil(BlockFile& file, const SampleRecord& record, TextBuffer& scratch) {
    scratch.clear();
    formatBlock(scratch, record);
    file.append(scratch.view());
}

namespace {

std::string failure(std::string_view step, const std::string& name, int error) {
    return "zelk: cannot " + std::string(step) + " output file \"" + name + "\": " + std::strerror(error);
}

}  // namespace

namespace {

// The writer process and the pipe to it, as the signal handlers need them.
volatile sig_atomic_t writerProcess = 0;
volatile sig_atomic_t writerPipe = -1;

// Writes bytes whole at the file's end, size bytes into the file; on failure cuts the file
// back to size and returns errno.
int writeWhole(int fd, std::string_view bytes, off_t size) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, size + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            // Part of a block is worse than none.
            if (done > 0) [[maybe_unused]] int ignored = ::ftruncate(fd, size);
            return error;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

// The length of the whole blocks at the front of bytes, of which the first scanned bytes
// were searched before; feeds counts the line feeds of the unfinished block at the end,
// carried from call to call. With most = 1, the length of the first block.
std::size_t wholeBlocks(std::string_view bytes, std::size_t scanned, int& feeds, int most = INT_MAX) {
    std::size_t whole = 0;
    for (std::size_t at = scanned; (at = bytes.find('\n', at)) != std::string_view::npos; ++at) {
        if (++feeds < blockLines) continue;
        feeds = 0;
        whole = at + 1;
        if (--most == 0) break;
    }
    return whole;
}

// The writer process: blocks from the pipe into the file until the pipe closes. Every block
// ends with its 34th line feed, which is how the writer tells where one ends.
//
// Waking for every block would cost the dialogue a switch of processes per sample when
// answers are piped in, so after a read that emptied the pipe the writer lets blocks gather
// for a millisecond; a chemist at the keyboard never notices, and the first block after a
// pause is written at once.
[[noreturn]] void runWriter(int input, int fd, const std::string& name, ByteSink& errors) {
    // Whatever ends the dialogue, a hang-up or a quit from the keyboard included, the writer
    // still empties the pipe into the file.
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(signal, SIG_IGN);
    // Its work can wait: it should not take the core from the dialogue when it wakes.
    const sched_param batch{};
    ::sched_setscheduler(0, SCHED_BATCH, &batch);
    constexpr timespec gather{0, 1'000'000};
    constexpr std::size_t chunk = 1 << 16;
    bool failed = false;
    off_t size = 0;
    // Read and not yet written: whole blocks, then part of one, which is kept for the next
    // read. A block is far shorter than a read.
    std::vector<char> pending(2 * chunk);
    std::size_t held = 0;
    std::size_t scanned = 0;  // bytes held already searched for line feeds
    int feeds = 0;
    for (;;) {
        const ssize_t got = ::read(input, pending.data() + held, chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        held += static_cast<std::size_t>(got);
        std::size_t whole = wholeBlocks({pending.data(), held}, scanned, feeds);
        scanned = held;
        if (held > chunk && whole == 0) whole = held;  // no block is that long: not ours to judge
        if (whole > 0) {
            const std::string_view blocks(pending.data(), whole);
            if (writeWhole(fd, blocks, size) == 0) {
                size += static_cast<off_t>(whole);
            } else {
                // Once more block by block, to put in what fits and report each that does not.
                for (std::size_t at = 0; at < whole;) {
                    int lineFeeds = 0;
                    std::size_t length = wholeBlocks(blocks.substr(at), 0, lineFeeds, 1);
                    if (length == 0) length = whole - at;
                    if (const int error = writeWhole(fd, blocks.substr(at, length), size)) {
                        failed = true;
                        errors.write(failure("write a sample to", name, error) + "\n");
                    } else {
                        size += static_cast<off_t>(length);
                    }
                    at += length;
                }
            }
            held -= whole;
            std::memmove(pending.data(), pending.data() + whole, held);
            scanned = held;
            if (held == 0) feeds = 0;
        }
        if (static_cast<std::size_t>(got) < chunk) ::nanosleep(&gather, nullptr);
    }
    ::_exit(failed ? 1 : 0);
}

}  // namespace

void finishWritingOnSignal() noexcept {
    const int pipe = writerPipe;
    const pid_t writer = writerProcess;
    if (pipe >= 0) ::close(pipe);
    if (writer > 0)
        while (::waitpid(writer, nullptr, 0) < 0 && errno == EINTR) {
        }
}

DiskFile::DiskFile(std::string name, ByteSink& errors) : name_(std::move(name)), errors_(errors) {
    // Open (creating if need be), then close and put aside, then create anew: the run
    // always starts with a new, empty file, and yesterday's samples survive as name~.
    int fd = ::open(name_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) throw StartupFailure(failure("open", name_, errno));
    struct stat status {};
    const bool keep = ::fstat(fd, &status) == 0 && status.st_size > 0;
    ::close(fd);
    if (keep) {
        if (::rename(name_.c_str(), (name_ + "~").c_str()) != 0)
            throw StartupFailure(failure("rename", name_, errno) + " (to keep it as \"" + name_ + "~\")");
    } else if (::unlink(name_.c_str()) != 0) {
        throw StartupFailure(failure("delete", name_, errno));
    }
    fd = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw StartupFailure(failure("create", name_, errno));

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(fd);
        throw StartupFailure(failure("start the writer of", name_, error));
    }
    const pid_t writer = ::fork();
    if (writer < 0) {
        const int error = errno;
        ::close(fd);
        ::close(ends[0]);
        ::close(ends[1]);
        throw StartupFailure(failure("start the writer of", name_, error));
    }
    if (writer == 0) {
        // The writer needs neither the console nor the pipe's other end.
        ::close(ends[1]);
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        runWriter(ends[0], fd, name_, errors_);
    }
    ::close(ends[0]);
    ::close(fd);
    // Room for the blocks that gather while the writer waits; a smaller pipe only means that
    // the dialogue may wait for the writer now and then.
    ::fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
    pipe_ = ends[1];
    writerPipe = pipe_;
    writerProcess = writer;
}

DiskFile::~DiskFile() { finish(); }

void DiskFile::append(std::string_view block) {
    // Up to PIPE_BUF bytes go into a pipe whole or not at all; a block is well below that.
    static_assert(PIPE_BUF >= 4096);
    ssize_t put;
    do put = ::write(pipe_, block.data(), block.size());
    while (put < 0 && errno == EINTR);
    if (put != static_cast<ssize_t>(block.size()) && !failed_) {
        failed_ = true;
        errors_.write(failure("write a sample to", name_, put < 0 ? errno : EPIPE) + " (the writer has gone)\n");
    }
}

void DiskFile::finish() {
    if (pipe_ < 0) return;
    writerPipe = -1;
    ::close(pipe_);
    pipe_ = -1;
    const pid_t writer = writerProcess;
    writerProcess = 0;
    int status = 0;
    while (::waitpid(writer, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) failed_ = true;
}

}  // namespace zelk
