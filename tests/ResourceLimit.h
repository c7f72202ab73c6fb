#pragma once
// Lowers a resource limit of the test process for a scope, to make file
// operations fail in a way root cannot bypass (unlike a read-only folder):
// RLIMIT_FSIZE makes writes beyond the limit fail with EFBIG (SIGXFSZ is
// ignored meanwhile); RLIMIT_NOFILE at NoFileLeft() makes every open fail
// with EMFILE.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <stdexcept>

class TScopedResourceLimit {
public:
    TScopedResourceLimit(int resource, rlim_t limit) : resource_(resource) {
        if (::getrlimit(resource, &saved_) != 0) throw std::runtime_error("getrlimit failed");
        if (resource == RLIMIT_FSIZE) oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        if (::setrlimit(resource, &lowered) != 0) throw std::runtime_error("setrlimit failed");
    }
    ~TScopedResourceLimit() {
        ::setrlimit(resource_, &saved_);
        if (resource_ == RLIMIT_FSIZE) ::signal(SIGXFSZ, oldHandler_);
    }
    TScopedResourceLimit(const TScopedResourceLimit&) = delete;
    TScopedResourceLimit& operator=(const TScopedResourceLimit&) = delete;

    // The RLIMIT_NOFILE limit below which no descriptor is free: the lowest free one.
    static rlim_t NoFileLeft() {
        const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw std::runtime_error("cannot open /dev/null");
        ::close(fd);
        return static_cast<rlim_t>(fd);
    }

private:
    int resource_;
    rlimit saved_{};
    sighandler_t oldHandler_ = SIG_DFL;
};
