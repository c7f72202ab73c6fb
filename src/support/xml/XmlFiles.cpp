#include "support/xml/XmlFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

#include "platform/rtl/Exceptions.h"

namespace {

String FileMessage(const char* pattern, const String& fileName, int error) {
    String msg(pattern);
    const size_t at = msg.find(u"%s");
    msg.replace(at, 2, fileName.Std());
    return msg + u" " + SysErrorMessage(error);
}

class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const noexcept { return fd_; }
    // The result of close(), which reports delayed write errors.
    int Close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

void ReplaceFileContents(const String& fileName, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const std::string target = fileName.ToUtf8();
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            throw EFCreateError(FileMessage("Cannot create file \"%s\".", fileName, errno));
    }
    TFd file(fd);
    struct stat old;
    bool ok = (::stat(target.c_str(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0) &&
              WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = file.Close() == 0 && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return;
    const int error = errno;
    ::unlink(temp.c_str());
    throw EWriteError(FileMessage("Cannot write file \"%s\".", fileName, error));
}
