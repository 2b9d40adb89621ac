// The standard-stream and in-memory byte sources and sinks.
#include "base/byte_io.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zelk {

std::size_t FdSource::read(char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, capacity);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw InputFailure(std::strerror(errno));
    }
}

Written writeAll(int fd, std::string_view bytes) noexcept {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return {done, put < 0 ? errno : ENOSPC};
        done += static_cast<std::size_t>(put);
    }
    return {done, 0};
}

void FdSink::write(std::string_view bytes) {
    const int error = writeAll(fd_, bytes).error;
    if (error == 0) return;
    if (reports_ && error != EPIPE)
        reports_->write("zelk: cannot write to " + stream_ + ": " + std::strerror(error) + "\n");
    reports_ = nullptr;
}

std::size_t StringSource::read(char* buffer, std::size_t capacity) {
    const std::size_t take = std::min({capacity, chunk_, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, take);
    at_ += take;
    return take;
}

}  // namespace zelk
