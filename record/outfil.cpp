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
#include <unistd.h>

namespace zelk {

namespace {

constexpr std::string_view title = "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.\n";

void labelLine(std::string& out, std::string_view labels) {
    out.push_back('\n');
    out.append(labels);
    out.push_back('\n');
}

void numbers(std::string& out, std::initializer_list<float> values) {
    for (float value : values) renderF(out, value, 16, 8);
    out.push_back('\n');
}

}  // namespace

void formatBlock(std::string& out, const SampleRecord& r) {
    out.append(title);
    labelLine(out, "< Sample number><       Sample location or other description               >");
    renderA(out, view(r.sampleNumber));
    renderA(out, view(r.sampleLocation));
    out.push_back('\n');
    labelLine(out, "<Temperature \xB0" "C><Pressure bar-g><Enthalpy kJ/kg><Discharge kg/s>");
    numbers(out, {r.samplingTemperature, r.samplingPressure, r.fluidEnthalpy, r.discharge});
    labelLine(out, "<Water phase pH><  pH temp. \xB0" "C >< CO2 in water >< H2S in water >");
    numbers(out, {r.waterPh, r.waterPhTemperature, r.waterConc[1], r.waterConc[2]});
    labelLine(out, "< NH3 in water >< H2  in water >< O2  in water >< CH4 in water >< N2  in water >");
    numbers(out, {r.waterConc[3], r.waterConc[4], r.waterConc[5], r.waterConc[6], r.waterConc[7]});
    labelLine(out, "<SiO2 in water ><  B  in water ><  Al in water ><  Fe in water >");
    numbers(out, {r.waterConc[9], r.waterConc[8], r.waterConc[17], r.waterConc[18]});
    labelLine(out, "<  Na in water ><  K  in water ><  Mg in water ><  Ca in water >");
    numbers(out, {r.waterConc[10], r.waterConc[11], r.waterConc[12], r.waterConc[13]});
    labelLine(out, "<  F  in water ><  Cl in water >< SO4 in water >< TDS in water >");
    numbers(out, {r.waterConc[14], r.waterConc[15], r.waterConc[16], r.totalSolids});
    labelLine(out, "<Gas CO2, vol %><Gas H2S, vol %><Gas NH3, vol %><Gas H2,  vol %><Gas O2,  vol %>");
    numbers(out, {r.gasVolume[1], r.gasVolume[2], r.gasVolume[3], r.gasVolume[4], r.gasVolume[5]});
    labelLine(out, "<Gas CH4, vol %><Gas N2,  vol %><L gas/kg cond.><Gas  coll.  \xB0" "C>");
    numbers(out, {r.gasVolume[6], r.gasVolume[7], r.gasPerCondensate, r.gasTemperature});
    labelLine(out, "<  Steam  CO2  ><  Steam  H2S  ><  Steam  NH3  ><Condensate  pH><Cd. pH temp.\xB0" "C>");
    numbers(out, {r.steamConc[1], r.steamConc[2], r.steamConc[3], r.condensatePh, r.condensatePhTemperature});
    labelLine(out, "<Condensate CO2><Condensate H2S><Condensate NH3><Condensate Na >");
    numbers(out, {r.condensateConc[1], r.condensateConc[2], r.condensateConc[3], r.condensateConc[4]});
}

void outfil(BlockFile& file, const SampleRecord& record, std::string& scratch) {
    scratch.clear();
    formatBlock(scratch, record);
    file.append(scratch);
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

// Writes one block whole at the file's end, size bytes into the file; on failure cuts the
// file back to size and returns errno.
int writeBlock(int fd, std::string_view block, off_t size) {
    std::size_t done = 0;
    while (done < block.size()) {
        const ssize_t put = ::write(fd, block.data() + done, block.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            // Part of a block is worse than none.
            if (done > 0) {
                [[maybe_unused]] int ignored = ::ftruncate(fd, size);
                ::lseek(fd, size, SEEK_SET);
            }
            return error;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

// The writer process: blocks from the pipe into the file until the pipe closes. Every block
// ends with its 34th line feed, which is how the writer tells where one ends.
[[noreturn]] void runWriter(int input, int fd, const std::string& name, ByteSink& errors) {
    // Whatever ends the dialogue, a hang-up or a quit from the keyboard included, the writer
    // still empties the pipe into the file.
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(signal, SIG_IGN);
    // Woken for every block, it should not take the core from the dialogue each time.
    const sched_param batch{};
    ::sched_setscheduler(0, SCHED_BATCH, &batch);
    bool failed = false;
    off_t size = 0;
    std::string pending;
    pending.reserve(1 << 17);
    char buffer[1 << 16];
    int feeds = 0;         // line feeds seen in pending
    std::size_t scanned = 0;  // bytes of pending already counted
    for (;;) {
        const ssize_t got = ::read(input, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(got));
        std::size_t start = 0;
        for (; scanned < pending.size(); ++scanned) {
            if (pending[scanned] != '\n' || ++feeds < blockLines) continue;
            const std::string_view block(pending.data() + start, scanned + 1 - start);
            if (const int error = writeBlock(fd, block, size)) {
                failed = true;
                errors.write(failure("write a sample to", name, error) + "\n");
            } else {
                size += static_cast<off_t>(block.size());
            }
            start = scanned + 1;
            feeds = 0;
        }
        pending.erase(0, start);
        scanned -= start;
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
