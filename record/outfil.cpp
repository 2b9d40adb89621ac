// The block layout of the output file and its writer.
#include "record/outfil.hpp"

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <sys/stat.h>
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
    fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) throw StartupFailure(failure("create", name_, errno));
}

DiskFile::~DiskFile() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {

// Writes all of the block at the file's end; the count written, and errno when short.
std::size_t writeAll(int fd, std::string_view block, int& error) {
    std::size_t done = 0;
    while (done < block.size()) {
        const ssize_t put = ::write(fd, block.data() + done, block.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            error = put < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

}  // namespace

void DiskFile::append(std::string_view block) {
    // The system copies a write into the file page by page and stops between two pages when
    // the process is killed (SIGKILL), which would leave part of a block. So the block is
    // written by a child that shares this process's memory (vfork) and that the kill does
    // not reach; it finishes the write even if this process dies meanwhile. SIGINT and
    // SIGTERM wait until the child is done, so that only this process reports them.
    sigset_t handled, before;
    sigemptyset(&handled);
    sigaddset(&handled, SIGINT);
    sigaddset(&handled, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &handled, &before);
    volatile std::size_t done = 0;
    volatile int error = 0;
    const pid_t writer = ::vfork();
    if (writer == 0) {
        int failure = 0;
        done = writeAll(fd_, block, failure);
        error = failure;
        ::_exit(0);
    }
    if (writer < 0) {  // no child to be had: write here, unguarded
        int failure = 0;
        done = writeAll(fd_, block, failure);
        error = failure;
    } else {
        int ignored = 0;
        while (::waitpid(writer, &ignored, 0) < 0 && errno == EINTR) {
        }
    }
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    if (done == block.size()) {
        size_ += static_cast<long long>(block.size());
        return;
    }
    // Part of a block is worse than none: cut the file back to its whole blocks.
    if (done > 0) {
        [[maybe_unused]] int ignored = ::ftruncate(fd_, size_);
        ::lseek(fd_, size_, SEEK_SET);
    }
    failed_ = true;
    errors_.write(failure("write a sample to", name_, error) + "\n");
}

}  // namespace zelk
