// Output files by name: the rules for what a name may be, the lock, the numbered backup.
//
// The lock is a POSIX record lock on the whole file that the name names, so that a second
// claim can tell the holder's process. It must cover the name, not only a file: the new file
// is made beside the name and locked before anything else, then renamed over the name, which
// replaces atomically, and the earlier file is kept as NAME.~N~ by a hard link made while it
// is still locked. So the name always names a locked file. Whoever opens the name and gets
// the lock checks that the name still names what it locked, or tries again.
#include "record/output_file.hpp"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace zelk {

namespace {

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

[[noreturn]] void fail(std::string_view step, const std::string& name, int error, std::string_view more = {}) {
    throw OutputFailure("cannot " + std::string(step) + " output file " + quoted(name) + ": " +
                        std::strerror(error) + std::string(more));
}

// The folder part of a name ("." for none) and the rest.
std::pair<std::string, std::string> split(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) return {".", name};
    return {slash == 0 ? "/" : name.substr(0, slash), name.substr(slash + 1)};
}

// Takes the write lock on the whole file; 0, the holder's process when another holds it, or
// -1 when the file system keeps no locks (then there is nothing to hold).
pid_t lockWhole(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_SETLK, &lock) == 0) return 0;
    if (errno != EACCES && errno != EAGAIN) return -1;
    lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &lock) != 0 || lock.l_type == F_UNLCK) return lockWhole(fd);
    return lock.l_pid > 0 ? lock.l_pid : 1;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Devices and FIFOs cannot be flushed, and that is no failure.
int flushToDisk(int fd) {
    if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP) return 0;
    return errno;
}

// NAME.~N~ with N one above the highest of that form in the folder.
std::string nextBackup(const std::string& name) {
    const auto [folder, base] = split(name);
    const std::string prefix = base + ".~";
    unsigned long highest = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view entryName = entry->d_name;
            if (!entryName.starts_with(prefix) || !entryName.ends_with('~')) continue;
            const std::string_view digits = entryName.substr(prefix.size(), entryName.size() - prefix.size() - 1);
            unsigned long n = 0;
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            if (error == std::errc{} && end == digits.data() + digits.size() && n > highest) highest = n;
        }
        ::closedir(dir);
    }
    return name + ".~" + std::to_string(highest + 1) + "~";
}

// Renames from to to, unless to exists (then EEXIST); 0 or errno.
int renameNew(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

PreparedOutput::PreparedOutput(std::string name) : name_(std::move(name)) {
    if (name_.empty()) fail("open", name_, ENOENT);
    try {
        claimName();
        if (kind_ != Kind::device) createBeside();
    } catch (...) {
        release();  // no destructor runs for an object that was never made
        throw;
    }
}

// What the name is now: sets kind_, and for a regular file holds it open and locked in
// oldFd_; for a device opens it into fd_.
void PreparedOutput::claimName() {
    for (int attempt = 0;; ++attempt) {
        // Only a name that changes between the looks below brings us round again.
        if (attempt == 100) fail("open", name_, EBUSY);
        struct stat link {};
        if (::lstat(name_.c_str(), &link) != 0) {
            if (errno != ENOENT) fail("open", name_, errno);
            kind_ = Kind::absent;
            return;
        }
        struct stat target = link;
        if (S_ISLNK(link.st_mode) && ::stat(name_.c_str(), &target) != 0) {
            if (errno == ENOENT) throw OutputFailure("cannot open output file " + quoted(name_) +
                                                     ": a symbolic link to a file that does not exist");
            fail("open", name_, errno);
        }
        if (S_ISDIR(target.st_mode)) fail("open", name_, EISDIR);
        if (S_ISBLK(target.st_mode))
            throw OutputFailure("cannot open output file " + quoted(name_) + ": a block device is not written to");
        if (!S_ISREG(target.st_mode)) {
            // Written as it is. A FIFO that nobody reads yet would hold the open for ever.
            if (fd_ >= 0) fail("create", name_, EEXIST);  // it became one after the new file was made
            fd_ = ::open(name_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd_ < 0 && errno == ENXIO && S_ISFIFO(target.st_mode))
                throw OutputFailure("cannot open output file " + quoted(name_) + ": no process reads the FIFO");
            if (fd_ < 0) fail("open", name_, errno);
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
            kind_ = Kind::device;
            return;
        }

        const int fd = ::open(name_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) continue;
            fail("open", name_, errno);
        }
        if (const pid_t holder = lockWhole(fd); holder > 0) {
            ::close(fd);
            throw OutputFailure("output file " + quoted(name_) + " is being written by another run (process " +
                                std::to_string(holder) + ")");
        }
        struct stat locked {}, now {};
        if (::fstat(fd, &locked) != 0 || ::stat(name_.c_str(), &now) != 0 || !sameFile(locked, now)) {
            ::close(fd);  // put aside or replaced meanwhile: look again
            continue;
        }
        if (oldFd_ >= 0) ::close(oldFd_);
        oldFd_ = fd;
        kind_ = locked.st_size > 0 ? Kind::regular : Kind::emptyRegular;
        return;
    }
}

// The new file, locked, in the same folder as the name, so that a rename puts it in place.
void PreparedOutput::createBeside() {
    const auto [folder, base] = split(name_);
    // O_EXCL makes the name safe; the clock only makes a clash unlikely.
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const auto seed = static_cast<unsigned long>(now.tv_nsec) ^ (static_cast<unsigned long>(::getpid()) << 12);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        char suffix[16];
        const unsigned long tag = (seed + static_cast<unsigned long>(attempt) * 7919) & 0xFFFFFFul;
        char* end = std::to_chars(suffix, suffix + sizeof suffix, tag, 16).ptr;
        temporary_ = folder + "/." + base + ".new-" + std::string(suffix, static_cast<std::size_t>(end - suffix));
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            temporary_.clear();
            fail("open", name_, errno);
        }
    }
    lockWhole(fd_);
}

PreparedOutput::~PreparedOutput() { release(); }

void PreparedOutput::release() noexcept {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    if (fd_ >= 0) ::close(fd_);
    if (oldFd_ >= 0) ::close(oldFd_);
    temporary_.clear();
    fd_ = oldFd_ = -1;
}

int PreparedOutput::append(std::string_view bytes) noexcept {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            // Part of a block is worse than none.
            if (kind_ != Kind::device && done > 0) {
                [[maybe_unused]] const int cut = ::ftruncate(fd_, size_);
                ::lseek(fd_, size_, SEEK_SET);
            }
            return error;
        }
        done += static_cast<std::size_t>(put);
    }
    size_ += static_cast<off_t>(done);
    return 0;
}

void PreparedOutput::write(std::string_view bytes) {
    if (const int error = append(bytes)) fail("write", name_, error);
}

// Renames the new file over the name, keeping a non-empty earlier file as a backup; false
// when a file took the free name meanwhile.
bool PreparedOutput::putInPlace() {
    if (kind_ == Kind::absent) {
        const int error = renameNew(temporary_, name_);
        if (error == EEXIST) return false;
        if (error) fail("create", name_, error);
        return true;
    }
    if (kind_ == Kind::regular) {
        for (;;) {
            const std::string backup = nextBackup(name_);
            // A link, not a rename: the name never stops naming a locked file. A symbolic
            // link is kept as the link itself.
            if (::link(name_.c_str(), backup.c_str()) == 0) {
                backup_ = backup;
                break;
            }
            if (errno == EEXIST) continue;
            if (errno != EPERM && errno != ENOTSUP && errno != EMLINK)
                fail("rename", name_, errno, " (to keep it as " + quoted(backup) + ")");
            // No hard links here: the name is free for a moment, and a run that takes it wins.
            if (::rename(name_.c_str(), backup.c_str()) != 0)
                fail("rename", name_, errno, " (to keep it as " + quoted(backup) + ")");
            backup_ = backup;
            kind_ = Kind::absent;
            return putInPlace();
        }
    }
    if (::rename(temporary_.c_str(), name_.c_str()) != 0) fail("create", name_, errno);
    return true;
}

void PreparedOutput::commit() {
    if (kind_ == Kind::device) return;
    const HeldSignals held;
    if (const int error = flushToDisk(fd_)) fail("write", name_, error);
    while (!putInPlace()) {
        claimName();
        if (kind_ == Kind::device) fail("create", name_, EEXIST);
    }
    temporary_.clear();
    if (oldFd_ >= 0) ::close(oldFd_);
    oldFd_ = -1;
    // The new name on the disk too, or a power cut could take the whole file with it.
    if (const int folder = ::open(split(name_).first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        flushToDisk(folder);
        ::close(folder);
    }
}

int PreparedOutput::close() noexcept {
    if (fd_ < 0) return 0;
    int error = flushToDisk(fd_);
    if (::close(fd_) != 0 && error == 0 && errno != EINTR) error = errno;
    fd_ = -1;
    return error;
}

HeldSignals::HeldSignals() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&held, signal);
    ::sigprocmask(SIG_BLOCK, &held, &before_);
}

HeldSignals::~HeldSignals() { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }

OutputFile::OutputFile(std::string name, ByteSink& errors) : errors_(errors) {
    // A signal between making the new file and putting it in place would leave it behind.
    const HeldSignals held;
    file_ = std::make_unique<PreparedOutput>(std::move(name));
    file_->commit();
}

OutputFile::~OutputFile() { finish(); }

void OutputFile::append(std::string_view block) {
    int error = 0;
    {
        // A signal that comes during the write waits for its end, however many calls it takes.
        const HeldSignals held;
        error = file_->append(block);
    }
    if (error) {
        failed_ = true;
        errors_.write("zelk: cannot write a sample to output file " + quoted(file_->name()) + ": " +
                      std::strerror(error) + "\n");
    }
}

void OutputFile::finish() {
    if (finished_) return;
    finished_ = true;
    if (const int error = file_->close()) {
        failed_ = true;
        errors_.write("zelk: cannot write output file " + quoted(file_->name()) + " to the disk: " +
                      std::strerror(error) + "\n");
    }
}

}  // namespace zelk
