// zelk-floor: the I/O floor of a run of zelk. It replays a recorded run's reads and writes,
// chunk for chunk, and formats nothing, so its time is what the flushes alone cost. The calls
// of zelk's writer process are made here too, in this one process, through a pipe of its own:
// the blocks are written into the pipe, read back as the writer read them and written to the
// file as it wrote them.
//
// usage: zelk-floor SCRIPT [OUTPUT-FILE]   (standard input: the same answers as the run)
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench/script.hpp"

namespace {

// What is written does not matter to the cost of a write to /dev/null or a file: blanks.
char bytes[1 << 20];
char input[1 << 16];

void writeAll(int fd, std::size_t count) {
    while (count > 0) {
        const std::size_t chunk = count < sizeof bytes ? count : sizeof bytes;
        const ssize_t put = ::write(fd, bytes, chunk);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return;
        count -= static_cast<std::size_t>(put);
    }
}

// Writes count bytes at offset of the output file, as the writer does, with pwrite.
void writeAt(int fd, std::size_t count, off_t& offset) {
    while (count > 0) {
        const std::size_t chunk = count < sizeof bytes ? count : sizeof bytes;
        const ssize_t put = ::pwrite(fd, bytes, chunk, offset);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return;
        count -= static_cast<std::size_t>(put);
        offset += put;
    }
}

// Reads back count bytes that are already in the pipe, in reads of at most 64 KiB as the
// writer's. A count of 0 is the writer's last read, which finds the pipe closed.
void readPipe(int (&ends)[2], std::size_t count) {
    if (count == 0) {
        ::close(ends[1]);
        ends[1] = -1;
        while (::read(ends[0], input, sizeof input) < 0 && errno == EINTR) {
        }
        return;
    }
    while (count > 0) {
        const std::size_t chunk = count < sizeof input ? count : sizeof input;
        const ssize_t got = ::read(ends[0], input, chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        count -= static_cast<std::size_t>(got);
    }
}

// The output file as the program makes it: opened, put aside or deleted, created anew.
int createOutput(const std::string& name) {
    const int probe = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (probe < 0) return -1;
    struct stat status {};
    const bool keep = ::fstat(probe, &status) == 0 && status.st_size > 0;
    ::close(probe);
    if (keep ? ::rename(name.c_str(), (name + "~").c_str()) : ::unlink(name.c_str())) return -1;
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("usage: zelk-floor SCRIPT [OUTPUT-FILE]\n", stderr);
        return 2;
    }
    // Mapped rather than read, so that the only reads are the replayed ones.
    const int scriptFd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (scriptFd < 0 || ::fstat(scriptFd, &status) != 0 || status.st_size == 0) {
        std::fprintf(stderr, "zelk-floor: cannot open script \"%s\": %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, scriptFd, 0);
    if (mapped == MAP_FAILED) {
        std::fprintf(stderr, "zelk-floor: cannot map script \"%s\": %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    const auto* steps = static_cast<const zelk::bench::Step*>(mapped);
    const std::size_t count = size / sizeof(zelk::bench::Step);

    std::memset(bytes, ' ', sizeof bytes);
    const std::string name = argc == 3 ? argv[2] : "kavix.in";
    const int file = createOutput(name);
    if (file < 0) {
        std::fprintf(stderr, "zelk-floor: cannot create output file \"%s\": %s\n", name.c_str(), std::strerror(errno));
        return 2;
    }
    // Enlarged: nothing here empties it while blocks go in, and it may have to hold all of a
    // 64 KiB read of the writer's and one block more.
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0 || ::fcntl(pipeEnds[1], F_SETPIPE_SZ, 1 << 20) < 0) {
        std::fprintf(stderr, "zelk-floor: cannot make a pipe of 1 MiB: %s\n", std::strerror(errno));
        return 2;
    }

    off_t fileSize = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const zelk::bench::Step step = steps[i];
        switch (step.channel) {
            case zelk::bench::input: {
                const std::size_t capacity = step.bytes < sizeof input ? step.bytes : sizeof input;
                while (::read(STDIN_FILENO, input, capacity) < 0 && errno == EINTR) {
                }
                break;
            }
            case zelk::bench::output: writeAll(STDOUT_FILENO, step.bytes); break;
            case zelk::bench::errors: writeAll(STDERR_FILENO, step.bytes); break;
            case zelk::bench::toPipe: writeAll(pipeEnds[1], step.bytes); break;
            case zelk::bench::fromPipe: readPipe(pipeEnds, step.bytes); break;
            default: writeAt(file, step.bytes, fileSize); break;
        }
    }
    ::close(file);
    return 0;
}
