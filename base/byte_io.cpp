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

void FdSink::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            if (reports_ && error != EPIPE)
                reports_->write("zelk: cannot write to " + stream_ + ": " + std::strerror(error) + "\n");
            reports_ = nullptr;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

std::size_t StringSource::read(char* buffer, std::size_t capacity) {
    const std::size_t take = std::min({capacity, chunk_, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, take);
    at_ += take;
    return take;
}

}  // namespace zelk
