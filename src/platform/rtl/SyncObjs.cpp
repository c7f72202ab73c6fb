#include "platform/rtl/SyncObjs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
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
    if (!signaled_) {
        ++waiters_;
        const auto isSet = [this] { return signaled_; };
        bool set = true;
        if (timeoutMs == INFINITE)
            changed_.wait(lock, isSet);
        else
            set = changed_.wait_for(lock, milliseconds(timeoutMs), isSet);
        --waiters_;
        if (!set) return wrTimeout;
    }
    if (!manualReset_) signaled_ = false;
    return wrSignaled;
}

int TEvent::Waiters() const {
    std::lock_guard lock(mutex_);
    return waiters_;
}

class TSemaphore::TSlots {
public:
    virtual ~TSlots() = default;
    virtual bool TryTake() = 0;
    // Returns at Until at the latest, earlier when a slot may have come free.
    virtual void Pause(Clock::time_point until) = 0;
    virtual void Give() = 0;
    virtual int Waiters() const = 0;
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
        ++waiters_;
        freed_.wait_until(lock, until, [this] { return count_ > 0; });
        --waiters_;
    }
    void Give() override {
        {
            std::lock_guard lock(mutex_);
            if (count_ == maximum_) throw ESemaphoreError("Semaphore released more often than acquired");
            ++count_;
        }
        freed_.notify_all(); // a woken waiter may have been cancelled meanwhile
    }
    int Waiters() const override {
        std::lock_guard lock(mutex_);
        return waiters_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    int count_;
    const int maximum_;
    int waiters_ = 0;
};

// An open file to flock; closing it drops the lock.
class TLockFile {
public:
    explicit TLockFile(const std::string& path) : path_(path) {
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) Raise("Cannot open ");
    }
    TLockFile(TLockFile&& other) noexcept : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {}
    TLockFile& operator=(TLockFile&&) = delete;
    ~TLockFile() {
        if (fd_ >= 0) close(fd_);
    }

    int Fd() const noexcept { return fd_; }
    // Waits for the lock.
    void Lock(int operation) const {
        while (flock(fd_, operation) != 0)
            if (errno != EINTR) Raise("Cannot lock ");
    }
    // False when another open file holds a conflicting lock.
    bool TryLock(int operation) const {
        while (flock(fd_, operation | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) return false;
            if (errno != EINTR) Raise("Cannot lock ");
        }
        return true;
    }

private:
    [[noreturn]] void Raise(const char* what) const {
        const int error = errno;
        RaiseLastOSError(error, what + String(path_));
    }

    std::string path_;
    int fd_;
};

// One lock file per slot: a slot is held by an exclusive flock on its file, which
// the kernel drops when the holding process ends. "<name>.count" keeps the
// maximum count, and every open semaphore holds a shared lock on it. Openers go
// one at a time under an exclusive lock on "<name>.guard"; one that finds
// "<name>.count" unlocked is the only semaphore open, so it writes the maximum
// and reserves the slots beyond the initial count before the next opener looks.
class TFileSlots final : public TSemaphore::TSlots {
public:
    TFileSlots(const String& name, int initialCount, int maximumCount)
        : base_(BasePath(name)), count_(base_ + ".count") {
        const TLockFile guard(base_ + ".guard");
        guard.Lock(LOCK_EX);
        if (count_.TryLock(LOCK_EX)) {
            WriteMaximum(maximumCount);
            maximum_ = maximumCount;
            for (int i = initialCount; i < maximum_; ++i) TryTake();
        }
        count_.Lock(LOCK_SH);
        maximum_ = ReadMaximum();
    }

    bool TryTake() override {
        for (int slot = 0; slot < maximum_; ++slot) {
            TLockFile file(base_ + "." + std::to_string(slot));
            if (file.TryLock(LOCK_EX)) {
                std::lock_guard lock(mutex_);
                held_.push_back(std::move(file));
                return true;
            }
        }
        return false;
    }
    void Pause(Clock::time_point until) override {
        ++waiters_;
        std::this_thread::sleep_until(std::min(until, Clock::now() + kPollInterval));
        --waiters_;
    }
    void Give() override {
        std::lock_guard lock(mutex_);
        if (held_.empty()) throw ESemaphoreError("Semaphore released more often than acquired");
        held_.pop_back();
    }
    int Waiters() const override { return waiters_; }

private:
    static std::string BasePath(const String& name) {
        const String folder = IncludeTrailingPathDelimiter(DataFolder()) + "Locks";
        if (!ForceDirectories(folder)) {
            const int error = errno;
            RaiseLastOSError(error, "Cannot create " + folder);
        }
        return (IncludeTrailingPathDelimiter(folder) + name).ToUtf8();
    }
    [[noreturn]] void Fail(const char* call) const {
        const int error = errno;
        RaiseLastOSError(error, String(call) + " " + String(base_) + ".count");
    }
    void WriteMaximum(int maximumCount) const {
        const std::string text = std::to_string(maximumCount);
        if (ftruncate(count_.Fd(), 0) != 0 ||
            pwrite(count_.Fd(), text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
            Fail("write");
    }
    int ReadMaximum() const {
        char buf[16] = {};
        if (pread(count_.Fd(), buf, sizeof buf - 1, 0) < 0) Fail("read");
        const int value = std::atoi(buf);
        if (value <= 0) throw ESemaphoreError("Invalid slot count in " + String(base_) + ".count");
        return value;
    }

    const std::string base_;
    const TLockFile count_; // outlives held_: the slots come free before the shared lock goes
    int maximum_ = 0;
    std::mutex mutex_;
    std::vector<TLockFile> held_;
    std::atomic<int> waiters_ = 0;
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

int TSemaphore::Waiters() const { return slots_->Waiters(); }
