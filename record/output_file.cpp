// Output files by name: the rules for what a name may be, the lock, the numbered backup.
//
// The lock is a POSIX record lock on the whole file that the name names, so that a second
// claim can tell the holder's process. It must cover the name, not only a file: the new file
// is made beside the name and locked before anything else, then renamed over the name, which
// replaces atomically, and the earlier file is kept as NAME.~N~ by a hard link made while it
// is still locked. So the name always names a locked file. Whoever opens the name and gets
// the lock checks that the name still names what it locked, or tries again. The new file is
// locked by its run too: a new file that nobody holds is left from a killed run, and the next
// claim of the name removes it.
#include "record/output_file.hpp"

#include "base/byte_io.hpp"
#include "base/printable.hpp"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace zelk {

namespace {

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

// The longest name of a file in the folder.
std::size_t longestName(const std::string& folder) {
    const long most = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return most > 0 ? static_cast<std::size_t>(most) : 255;
}

// Sixteen hex digits of the name (FNV-1a), for a new file's name when the name itself is
// too long to go into it.
std::string hashOf(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    char digits[16];
    for (int i = 15; i >= 0; --i, hash >>= 4) digits[i] = "0123456789abcdef"[hash & 0xF];
    return {digits, sizeof digits};
}

constexpr std::size_t newFileTagSize = 6;  // the XXXXXX of .NAME.new-XXXXXX

// Removes a new file that no live run holds: its run was killed before it could. The lock
// taken to tell is one of the open file, so it meets the holder's lock even in this process.
void removeIfStale(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat held {}, now {};
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::fcntl(fd, F_OFD_SETLK, &lock) == 0 &&
        ::lstat(path.c_str(), &now) == 0 && sameFile(held, now))
        ::unlink(path.c_str());
    ::close(fd);
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
        if (kind_ != Kind::device) {
            const auto [folder, base] = split(name_);
            const std::size_t longest = longestName(folder);
            const bool fits = 1 + base.size() + 5 + newFileTagSize <= longest;
            temporaryStem_ = folder + "/." + (fits ? base : hashOf(base)) + ".new-";
            const Around around = lookAround();
            if (kind_ == Kind::regular) chooseBackup(around.listError);
            for (const std::string& file : around.newFiles) removeIfStale(file);
            createBeside();
        }
    } catch (...) {
        release();  // no destructor runs for an object that was never made
        throw;
    }
}

// One listing of the folder: the highest backup number of the name, and its new files.
PreparedOutput::Around PreparedOutput::lookAround() {
    Around around;
    const auto [folder, base] = split(name_);
    const std::string prefix = base + ".~";
    const std::string stem = split(temporaryStem_).second;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        around.listError = errno;
        return around;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName.size() == stem.size() + newFileTagSize && entryName.starts_with(stem)) {
            around.newFiles.push_back(folder + "/" + std::string(entryName));
            continue;
        }
        if (entryName.size() <= prefix.size() + 1 || !entryName.starts_with(prefix) || !entryName.ends_with('~'))
            continue;
        const std::string_view digits = entryName.substr(prefix.size(), entryName.size() - prefix.size() - 1);
        if (digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
        unsigned long n = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (error == std::errc::result_out_of_range) overflow_ = true;
        if (error == std::errc{} && n > highestBackup_) highestBackup_ = n;
    }
    if (errno != 0) around.listError = errno;
    ::closedir(dir);
    return around;
}

// NAME.~N~ with N one above the highest found, or the reason why there can be none.
void PreparedOutput::chooseBackup(int listError) {
    constexpr int tries = 8;  // names taken meanwhile by other runs, all told
    const auto [folder, base] = split(name_);
    const std::string refused = "cannot keep output file " + quoted(name_) + " as a numbered backup: ";
    if (listError)
        throw OutputFailure(refused + "the folder " + quoted(folder) + " cannot be listed (" +
                            std::strerror(listError) + ")");
    for (;;) {
        if (overflow_)
            throw OutputFailure(refused + "a backup beside it has a number too large to count on from");
        if (highestBackup_ == ULONG_MAX)
            throw OutputFailure(refused + "the number after " + std::to_string(highestBackup_) + " does not fit");
        if (backupTries_ == tries)
            throw OutputFailure(refused + "the next " + std::to_string(tries) + " numbers were all taken meanwhile");
        ++backupTries_;
        backup_ = name_ + ".~" + std::to_string(++highestBackup_) + "~";
        struct stat taken {};
        const int found = ::lstat(backup_.c_str(), &taken) == 0 ? 0 : errno;
        if (base.size() + backup_.size() - name_.size() > longestName(folder) || backup_.size() >= PATH_MAX ||
            found == ENAMETOOLONG)
            throw OutputFailure(refused + quoted(backup_) + " would be a longer name than the system allows");
        if (found == ENOENT) return;
        if (found != 0) throw OutputFailure(refused + quoted(backup_) + ": " + std::strerror(found));
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
    static constexpr char tagLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // O_EXCL makes the name safe; the clock only makes a clash unlikely.
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::uint64_t seed = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
                         (static_cast<std::uint64_t>(::getpid()) << 12);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        if (attempt == 100) fail("open", name_, EEXIST);
        char tag[newFileTagSize];
        for (char& letter : tag) {
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            letter = tagLetters[(seed >> 33) % (sizeof tagLetters - 1)];
        }
        temporary_ = temporaryStem_ + std::string(tag, sizeof tag);
        // The file and the note of it for a signal's handler come together.
        const HeldSignals held;
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int error = errno;
            temporary_.clear();
            if (error == EEXIST) continue;
            fail("open", name_, error);
        }
        interruption::addLeftover(temporary_);
        // A run clearing away new files of killed runs may have taken this one for such a file
        // before it was locked: then it is made anew.
        struct stat made {}, there {};
        if (lockWhole(fd_) > 0 || ::fstat(fd_, &made) != 0 || ::lstat(temporary_.c_str(), &there) != 0 ||
            !sameFile(made, there)) {
            interruption::dropLeftover(temporary_);
            ::close(fd_);
            fd_ = -1;
            temporary_.clear();
        }
    }
}

// The earlier file's permission bits, and its owner and group where the run may give them.
void PreparedOutput::keepPermissions() {
    struct stat earlier {}, made {};
    if (oldFd_ < 0 || ::fstat(oldFd_, &earlier) != 0 || ::fstat(fd_, &made) != 0) return;
    // Before the mode: a change of owner clears the set-user-ID and set-group-ID bits.
    if (earlier.st_uid != made.st_uid || earlier.st_gid != made.st_gid) {
        // Not root: the group still, where the user belongs to it.
        if (::fchown(fd_, earlier.st_uid, earlier.st_gid) != 0) {
            [[maybe_unused]] const int group = ::fchown(fd_, static_cast<uid_t>(-1), earlier.st_gid);
        }
    }
    ::fchmod(fd_, earlier.st_mode & 07777);
}

PreparedOutput::~PreparedOutput() { release(); }

void PreparedOutput::release() noexcept {
    if (!temporary_.empty()) {
        interruption::dropLeftover(temporary_);
        ::unlink(temporary_.c_str());
    }
    if (fd_ >= 0) ::close(fd_);
    if (oldFd_ >= 0) ::close(oldFd_);
    temporary_.clear();
    fd_ = oldFd_ = -1;
}

int PreparedOutput::append(std::string_view bytes) noexcept {
    const Written written = writeAll(fd_, bytes);
    if (written.error != 0) {
        // Part of a block is worse than none.
        if (kind_ != Kind::device && written.bytes > 0) {
            [[maybe_unused]] const int cut = ::ftruncate(fd_, size_);
            ::lseek(fd_, size_, SEEK_SET);
        }
        return written.error;
    }
    size_ += static_cast<off_t>(written.bytes);
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
            // A link, not a rename: the name never stops naming a locked file. A symbolic
            // link is kept as the link itself.
            if (::link(name_.c_str(), backup_.c_str()) == 0) break;
            if (errno == EEXIST) {
                chooseBackup(lookAround().listError);  // taken meanwhile: the next free one
                continue;
            }
            if (errno != EPERM && errno != ENOTSUP && errno != EMLINK)
                fail("rename", name_, errno, " (to keep it as " + quoted(backup_) + ")");
            // No hard links here: the name is free for a moment, and a run that takes it wins.
            if (::rename(name_.c_str(), backup_.c_str()) != 0)
                fail("rename", name_, errno, " (to keep it as " + quoted(backup_) + ")");
            kind_ = Kind::absent;
            return putInPlace();
        }
    }
    if (::rename(temporary_.c_str(), name_.c_str()) != 0) fail("create", name_, errno);
    return true;
}

void PreparedOutput::sync() {
    if (kind_ == Kind::device) return;
    if (const int error = flushToDisk(fd_)) fail("write", name_, error);
}

void PreparedOutput::commit() {
    if (kind_ == Kind::device) return;
    sync();
    const HeldSignals held;
    keepPermissions();
    while (!putInPlace()) {
        // A file took the free name meanwhile: it is the earlier file now.
        claimName();
        if (kind_ == Kind::device) fail("create", name_, EEXIST);
        if (kind_ == Kind::regular) chooseBackup(lookAround().listError);
        keepPermissions();
    }
    interruption::dropLeftover(temporary_);
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
