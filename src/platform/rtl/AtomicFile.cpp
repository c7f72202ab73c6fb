#include "platform/rtl/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <mutex>
#include <set>
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

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// The temporary files of this process being written: "<target>.tmp<pid>-<serial>",
// with a serial number unique in this process.
class TTemporaryNames {
public:
    struct Name {
        std::string path;
        unsigned long long serial;
    };

    // Reserves a name before the file is created, so that no writer takes it for a stale one.
    Name Reserve(const std::string& target) {
        std::lock_guard lock(mutex_);
        const unsigned long long serial = next_++;
        inFlight_.insert(serial);
        return {target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial), serial};
    }
    void Release(const Name& name) {
        std::lock_guard lock(mutex_);
        inFlight_.erase(name.serial);
    }

    // Removes the temporary files of Target left by writers that died before
    // renaming them: those of processes that no longer run, and those of this
    // process that no writer holds.
    void RemoveStale(const std::string& target) {
        const auto slash = target.rfind('/');
        const std::string folderPrefix = slash == std::string::npos ? "" : target.substr(0, slash + 1);
        const std::string prefix = target.substr(folderPrefix.size()) + ".tmp";
        DIR* dir = ::opendir(FolderOf(target).c_str());
        if (!dir) return;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (!name.starts_with(prefix)) continue;
            const auto writer = WriterOf(name.substr(prefix.size()));
            if (!writer) continue;
            std::lock_guard lock(mutex_);
            const bool stale = writer->pid == ::getpid() ? !inFlight_.contains(writer->serial)
                                                         : ::kill(writer->pid, 0) != 0 && errno == ESRCH;
            if (stale) ::unlink((folderPrefix + std::string(name)).c_str());
        }
        ::closedir(dir);
    }

private:
    struct Writer {
        pid_t pid;
        unsigned long long serial;
    };

    // The writer of "<pid>-<serial>", if the text is of that form.
    static std::optional<Writer> WriterOf(std::string_view suffix) {
        Writer writer{};
        const char* end = suffix.data() + suffix.size();
        const auto [afterPid, pidError] = std::from_chars(suffix.data(), end, writer.pid);
        if (pidError != std::errc() || writer.pid <= 0 || afterPid == end || *afterPid != '-') return std::nullopt;
        const auto [afterSerial, serialError] = std::from_chars(afterPid + 1, end, writer.serial);
        if (serialError != std::errc() || afterSerial != end) return std::nullopt;
        return writer;
    }

    std::mutex mutex_;
    unsigned long long next_ = 0;
    std::set<unsigned long long> inFlight_;
};

// Never destroyed: writers may run while static objects are destroyed.
TTemporaryNames& TemporaryNames() {
    static TTemporaryNames* names = new TTemporaryNames;
    return *names;
}

} // namespace

std::optional<TAtomicWriteFailure> TryWriteFileAtomically(const String& fileName, std::string_view bytes) {
    const std::string target = ResolveLink(fileName.ToUtf8());
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;

    TTemporaryNames& names = TemporaryNames();
    TTemporaryNames::Name temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = names.Reserve(target);
        fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int error = errno;
            names.Release(temp);
            errno = error;
            if (error != EEXIST) break;
        }
    }
    if (fd < 0) return TAtomicWriteFailure{true, errno};

    bool ok = (!exists || ::fchmod(fd, st.st_mode & 07777) == 0) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.path.c_str(), target.c_str()) == 0) {
        names.Release(temp);
        SyncFolder(FolderOf(target));
        names.RemoveStale(target);
        return std::nullopt;
    }
    if (ok) error = errno;
    ::unlink(temp.path.c_str());
    names.Release(temp);
    return TAtomicWriteFailure{false, error};
}

void WriteFileAtomically(const String& fileName, std::string_view bytes) {
    const auto failure = TryWriteFileAtomically(fileName, bytes);
    if (!failure) return;
    const String reason = "\"" + fileName + "\". " + SysErrorMessage(failure->error);
    if (failure->creating) throw EFCreateError("Cannot create file " + reason);
    throw EWriteError("Cannot write file " + reason);
}
