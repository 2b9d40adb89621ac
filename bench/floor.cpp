// zelk-floor: the I/O floor of a run of zelk. It replays a recorded run's reads and writes,
// chunk for chunk, and formats nothing, so its time is what the flushes alone cost. Like the
// program, it flushes the output file to the disk at the end.
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

// The output file, new and empty.
int createOutput(const std::string& name) {
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
            default: writeAll(file, step.bytes); break;
        }
    }
    ::fsync(file);
    ::close(file);
    return 0;
}
