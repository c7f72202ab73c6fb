#include "platform/rtl/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/rtl/Exceptions.h"

namespace {

// The file a symbolic link points to, or the name itself.
std::string ResolveLink(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    char* resolved = ::realpath(target.c_str(), nullptr);
    if (!resolved) return target;
    std::string result = resolved;
    std::free(resolved);
    return result;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

std::optional<TAtomicWriteFailure> TryWriteFileAtomically(const String& fileName, std::string_view bytes) {
    const std::string target = ResolveLink(fileName.ToUtf8());
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return TAtomicWriteFailure{true, errno};

    bool ok = (!exists || ::fchmod(fd, st.st_mode & 07777) == 0) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) {
        SyncFolderOf(target);
        return std::nullopt;
    }
    if (ok) error = errno;
    ::unlink(temp.c_str());
    return TAtomicWriteFailure{false, error};
}

void WriteFileAtomically(const String& fileName, std::string_view bytes) {
    const auto failure = TryWriteFileAtomically(fileName, bytes);
    if (!failure) return;
    const String reason = "\"" + fileName + "\". " + SysErrorMessage(failure->error);
    if (failure->creating) throw EFCreateError("Cannot create file " + reason);
    throw EWriteError("Cannot write file " + reason);
}
