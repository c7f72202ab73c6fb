#include "platform/rtl/SyncObjs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void TEvent::SetEvent() {
    {
        std::lock_guard lock(mutex_);
        signaled_ = true;
    }
    if (manualReset_)
        changed_.notify_all();
    else
        changed_.notify_one();
}

void TEvent::ResetEvent() {
    std::lock_guard lock(mutex_);
    signaled_ = false;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    const auto isSet = [this] { return signaled_; };
    if (timeoutMs == INFINITE)
        changed_.wait(lock, isSet);
    else if (!changed_.wait_for(lock, milliseconds(timeoutMs), isSet))
        return wrTimeout;
    if (!manualReset_) signaled_ = false;
    return wrSignaled;
}

class TSemaphore::TSlots {
public:
    virtual ~TSlots() = default;
    virtual bool TryTake() = 0;
    // Returns at Until at the latest, earlier when a slot may have come free.
    virtual void Pause(Clock::time_point until) = 0;
    virtual void Give() = 0;
};

namespace {

// How often a wait looks at its cancel event and at other processes' slots.
constexpr milliseconds kPollInterval(10);

class TLocalSlots final : public TSemaphore::TSlots {
public:
    TLocalSlots(int initialCount, int maximumCount) : count_(initialCount), maximum_(maximumCount) {}

    bool TryTake() override {
        std::lock_guard lock(mutex_);
        if (count_ == 0) return false;
        --count_;
        return true;
    }
    void Pause(Clock::time_point until) override {
        std::unique_lock lock(mutex_);
        freed_.wait_until(lock, until, [this] { return count_ > 0; });
    }
    void Give() override {
        {
            std::lock_guard lock(mutex_);
            if (count_ == maximum_) throw ESemaphoreError("Semaphore released more often than acquired");
            ++count_;
        }
        freed_.notify_all(); // a woken waiter may have been cancelled meanwhile
    }

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    int count_;
    const int maximum_;
};

// One lock file per slot: a slot is held by an exclusive flock on its file, which
// the kernel drops when the holding process ends. "<name>.count" keeps the
// maximum count; every opener holds a shared lock on it, so the first opener
// (the only one that gets it exclusively) can rewrite it safely.
class TFileSlots final : public TSemaphore::TSlots {
public:
    TFileSlots(const String& name, int initialCount, int maximumCount) {
        const String folder = IncludeTrailingPathDelimiter(DataFolder()) + "Locks";
        if (!ForceDirectories(folder)) RaiseLastOSError(errno, "Cannot create " + folder);
        base_ = (IncludeTrailingPathDelimiter(folder) + name).ToUtf8();
        countFd_ = OpenLockFile(base_ + ".count");
        // The first opener sets the semaphore up while the others wait for
        // their shared lock, so none of them takes a slot it reserves.
        if (flock(countFd_, LOCK_EX | LOCK_NB) == 0) {
            WriteMaximum(maximumCount);
            maximum_ = maximumCount;
            for (int i = initialCount; i < maximum_; ++i) TryTake();
        }
        if (flock(countFd_, LOCK_SH) != 0) Fail("flock");
        maximum_ = ReadMaximum();
    }
    ~TFileSlots() override {
        for (int fd : held_) close(fd);
        close(countFd_);
    }

    bool TryTake() override {
        for (int slot = 0; slot < maximum_; ++slot) {
            const int fd = OpenLockFile(base_ + "." + std::to_string(slot));
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
                std::lock_guard lock(mutex_);
                held_.push_back(fd);
                return true;
            }
            close(fd);
        }
        return false;
    }
    void Pause(Clock::time_point until) override {
        std::this_thread::sleep_until(std::min(until, Clock::now() + kPollInterval));
    }
    void Give() override {
        int fd;
        {
            std::lock_guard lock(mutex_);
            if (held_.empty()) throw ESemaphoreError("Semaphore released more often than acquired");
            fd = held_.back();
            held_.pop_back();
        }
        close(fd);
    }

private:
    [[noreturn]] void Fail(const char* call) const {
        RaiseLastOSError(errno, String(call) + " " + String(base_));
    }
    int OpenLockFile(const std::string& path) const {
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) RaiseLastOSError(errno, "Cannot open " + String(path));
        return fd;
    }
    void WriteMaximum(int maximumCount) const {
        const std::string text = std::to_string(maximumCount);
        if (ftruncate(countFd_, 0) != 0 ||
            pwrite(countFd_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
            Fail("write");
    }
    int ReadMaximum() const {
        char buf[16] = {};
        if (pread(countFd_, buf, sizeof buf - 1, 0) < 0) Fail("read");
        const int value = std::atoi(buf);
        if (value <= 0) throw ESemaphoreError("Invalid slot count in " + String(base_) + ".count");
        return value;
    }

    std::string base_;
    int countFd_ = -1;
    int maximum_ = 0;
    std::mutex mutex_;
    std::vector<int> held_;
};

} // namespace

TSemaphore::TSemaphore(int initialCount, int maximumCount, const String& name) : name_(name) {
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount)
        throw EArgumentOutOfRangeException("Invalid semaphore counts");
    if (name.IsEmpty()) {
        slots_ = std::make_unique<TLocalSlots>(initialCount, maximumCount);
        return;
    }
    if (name.find(u'/') != String::npos || name == "." || name == "..")
        throw EArgumentException("Invalid semaphore name \"" + name + "\"");
    slots_ = std::make_unique<TFileSlots>(name, initialCount, maximumCount);
}

TSemaphore::~TSemaphore() = default;

TWaitResult TSemaphore::WaitFor(uint32_t timeoutMs, TEvent* cancel) {
    const auto start = Clock::now();
    for (;;) {
        if (cancel && cancel->WaitFor(0) == wrSignaled) return wrAbandoned;
        if (slots_->TryTake()) return wrSignaled;
        const auto now = Clock::now();
        auto until = now + std::chrono::hours(1);
        if (timeoutMs != INFINITE) {
            until = start + milliseconds(timeoutMs);
            if (now >= until) return wrTimeout;
        }
        if (cancel) until = std::min(until, now + kPollInterval);
        slots_->Pause(until);
    }
}

void TSemaphore::Release() { slots_->Give(); }
