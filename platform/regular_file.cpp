#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder";
    if (S_ISFIFO(mode)) return "is a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
    if (S_ISSOCK(mode)) return "is a socket";
    return "is not a regular file";
}

// An open, checked descriptor, or -1 with the refusal filled in.
int OpenChecked(const std::string& path, long long maxBytes, FileRefusal* refusal) {
    *refusal = FileRefusal();
    // Non-blocking: opening a named pipe would otherwise wait for a writer for ever.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        refusal->missing = errno == ENOENT;
        refusal->reason = std::strerror(errno);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        refusal->reason = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        refusal->reason = KindOf(info.st_mode);
    } else if (info.st_size > maxBytes) {
        refusal->reason = "is larger than " + DescribeFileSize(maxBytes);
    } else {
        // Reads of a regular file then behave as usual.
        const int flags = fcntl(fd, F_GETFL);
        if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        return fd;
    }
    close(fd);
    return -1;
}

}  // namespace

FILE* OpenRegularFile(const std::string& path, long long maxBytes, FileRefusal* refusal) {
    const int fd = OpenChecked(path, maxBytes, refusal);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "rb");
    if (!file) {
        refusal->reason = std::strerror(errno);
        close(fd);
    }
    return file;
}

bool ReadRegularFile(const std::string& path, long long maxBytes, std::string* bytes,
                     FileRefusal* refusal) {
    bytes->clear();
    const int fd = OpenChecked(path, maxBytes, refusal);
    if (fd < 0) return false;
    // Files of /proc say 0 and still hold text, others grow while read: the cap is kept on what
    // is read, one byte past it telling a file that fills it from one that is larger.
    std::vector<char> buffer(64 * 1024);
    bool ok = true;
    while (ok) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            refusal->reason = std::string("cannot be read: ") + std::strerror(errno);
            ok = false;
        } else if (n == 0) {
            break;
        } else if (static_cast<long long>(bytes->size()) + n > maxBytes) {
            refusal->reason = "is larger than " + DescribeFileSize(maxBytes);
            ok = false;
        } else {
            bytes->append(buffer.data(), static_cast<size_t>(n));
        }
    }
    close(fd);
    if (!ok) bytes->clear();
    return ok;
}

std::string DescribeFileSize(long long bytes) {
    if (bytes >= (1LL << 20) && bytes % (1LL << 20) == 0) {
        return std::to_string(bytes >> 20) + " MiB";
    }
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}
