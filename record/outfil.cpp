// The block layout of the output file and its writer.
#include "record/outfil.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelk {

namespace {

void line(std::string& out, std::string_view text) {
    out.append(text);
    out.push_back('\n');
}

}  // namespace

void formatBlock(std::string& out, const SampleRecord& r) {
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

void DiskFile::append(std::string_view block) {
    // One write for the whole block; more only if the system takes it in parts.
    std::size_t done = 0;
    int error = 0;
    while (done < block.size()) {
        const ssize_t put = ::write(fd_, block.data() + done, block.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            error = put < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    if (done == block.size()) {
        size_ += static_cast<long long>(done);
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
