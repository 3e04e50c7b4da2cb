#include "host/state_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/console.h"

namespace {

constexpr int kCannotCreate = -1;
constexpr int kShortWrite = -2;
constexpr const char* kTemporarySuffix = ".tmp";

// Diagnostics go to standard output, one flushed line each, like the game's other messages.
void SayLine(const std::string& line) {
    ConsoleLine(line);
}

struct PathParts {
    std::string folder;  // "." for a bare name
    std::string name;
};

PathParts SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// One temporary name per process, so two running copies never write into the same file.
std::string TemporaryNameFor(const char* path) {
    return std::string(path) + "." + std::to_string(static_cast<long>(getpid())) + kTemporarySuffix;
}

// The process id in "<name>.<digits>.tmp", or 0 when `entry` is not such a name.
long TemporaryOwner(const std::string& entry, const std::string& name) {
    const std::string suffix = kTemporarySuffix;
    const std::size_t head = name.size() + 1;
    if (entry.size() <= head + suffix.size()) return 0;
    if (entry.compare(0, name.size(), name) != 0 || entry[name.size()] != '.') return 0;
    if (entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0) return 0;
    const std::string digits = entry.substr(head, entry.size() - head - suffix.size());
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::strtol(digits.c_str(), nullptr, 10);
}

// A save that was killed part-way leaves its temporary behind. Another copy of the game that
// is saving right now must keep its own, so only files of processes that no longer run (and
// this process's own, which no save of ours is using between saves) are removed.
void RemoveLeftoverTemporaries(const PathParts& parts) {
    DIR* folder = opendir(parts.folder.c_str());
    if (!folder) return;
    const long self = static_cast<long>(getpid());
    std::vector<std::string> leftovers;
    while (const dirent* entry = readdir(folder)) {
        const long owner = TemporaryOwner(entry->d_name, parts.name);
        if (owner <= 0) continue;
        const bool gone = kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH;
        if (owner == self || gone) leftovers.push_back(parts.folder + "/" + entry->d_name);
    }
    closedir(folder);
    // unlink leaves a directory of that name alone: creating the temporary then fails and says so.
    for (const std::string& leftover : leftovers) unlink(leftover.c_str());
}

// Writes every byte and syncs them to the disk; false with the cause in `error` otherwise.
bool WriteAndSync(int fd, const std::vector<unsigned char>& bytes, int* error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            *error = wrote < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (fsync(fd) != 0) {
        *error = errno;
        return false;
    }
    return true;
}

// Without this a power cut soon after the rename can bring back the old name's old contents.
// A file system that cannot sync a folder still has the record, so that is not a failure.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int SaveFailed(int result, int error) {
    SayLine(std::string("Save failed: ") + std::strerror(error));
    return result;
}

const char* KindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

StateMerge& CurrentMerge() {
    static StateMerge merge;
    return merge;
}

// Links are followed this many times at most; a loop of links ends there.
constexpr int kMostLinkHops = 40;

// Held for the whole read-merge-write of one save, so two copies never interleave theirs. A lock
// that cannot be had (a folder that cannot be written, a file system without locks) leaves the
// save to go on alone: it then fails, or succeeds, on its own.
class RecordLock {
public:
    explicit RecordLock(const std::string& target) {
        const std::string name = target + kStateLockSuffix;
        fd_ = open(name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd_ < 0) return;
        const timespec pause{0, 5 * 1000 * 1000};
        for (int waited = 0; waited < kStateLockWaitSeconds * 200; ++waited) {
            if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
            if (errno != EWOULDBLOCK && errno != EINTR) return;
            nanosleep(&pause, nullptr);
        }
        SayLine("Saving without the lock: another copy of the game has held " + name + " for " +
                std::to_string(kStateLockWaitSeconds) + " s");
    }
    ~RecordLock() {
        if (fd_ >= 0) close(fd_);  // which releases the lock
    }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

private:
    int fd_ = -1;
};

// The save's own look at the disk stays quiet: the load has said it once already.
bool g_quietLoad = false;

String Ignored(const char* path, const std::string& why) {
    if (!g_quietLoad) SayLine(std::string("Saved record ignored: ") + path + " " + why);
    return String();
}

// What another copy may have written, read as the load reads it, without its lines.
String QuietLoad(const std::string& path) {
    g_quietLoad = true;
    String text = LoadStateFile(path.c_str());
    g_quietLoad = false;
    return text;
}

}  // namespace

ScopedStateMerge::ScopedStateMerge(StateMerge merge) : previous_(std::move(CurrentMerge())) {
    CurrentMerge() = std::move(merge);
}

ScopedStateMerge::~ScopedStateMerge() {
    CurrentMerge() = std::move(previous_);
}

std::string StateFileTarget(const char* path) {
    std::string current = path;
    for (int hop = 0; hop < kMostLinkHops; ++hop) {
        char buffer[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), buffer, sizeof buffer - 1);
        if (length <= 0) break;  // not a link: the file itself
        std::string target(buffer, static_cast<std::size_t>(length));
        // A relative target is relative to the link's own folder.
        if (target[0] != '/') target.insert(0, SplitPath(current).folder + "/");
        current = target;
    }
    return current;
}

String LoadStateFile(const char* path) {
    // Looked at before it is opened: opening a pipe waits for a writer, a device may never end.
    struct stat info {};
    if (stat(path, &info) != 0) {
        if (errno == ENOENT) return String();  // a new player: nothing to say
        return Ignored(path, std::string("cannot be read: ") + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) return Ignored(path, std::string("is ") + KindOfFile(info.st_mode));
    if (info.st_size > kLargestStateFile) return Ignored(path, "is larger than 1 MiB");

    // Non-blocking, in case something else was put in its place since the look.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Ignored(path, std::string("cannot be read: ") + std::strerror(errno));
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Ignored(path, "is not a regular file");
    }
    // One byte more than the bound tells a file that grew past it from one that fills it.
    std::vector<unsigned char> bytes(static_cast<std::size_t>(kLargestStateFile) + 1);
    std::size_t got = 0;
    int error = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    if (error != 0) return Ignored(path, std::string("cannot be read: ") + std::strerror(error));
    if (got > static_cast<std::size_t>(kLargestStateFile)) {
        return Ignored(path, "is larger than 1 MiB");
    }
    return String::Load(bytes.data(), static_cast<int>(got));
}

int SaveStateFile(const String& text, const char* path) {
    const std::string target = StateFileTarget(path);
    const PathParts parts = SplitPath(target);
    const RecordLock lock(target);
    RemoveLeftoverTemporaries(parts);

    std::vector<unsigned char> bytes;
    if (CurrentMerge()) {
        CurrentMerge()(QuietLoad(target)).Save(bytes);
    } else {
        text.Save(bytes);
    }
    const std::string temporary = TemporaryNameFor(target.c_str());
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return SaveFailed(kCannotCreate, errno);
    int error = 0;
    bool written = WriteAndSync(fd, bytes, &error);
    if (close(fd) != 0 && written) {
        error = errno;
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return SaveFailed(kShortWrite, error);
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        return SaveFailed(kCannotCreate, error);
    }
    SyncFolder(parts.folder);
    return 0;
}
