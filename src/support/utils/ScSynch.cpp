#include "support/utils/ScSynch.h"

#include <cerrno>
#include <ctime>

#include "support/utils/NamedObjectFile.h"
#include "support/utils/SupportUnit.h"

namespace {

// Identifiers 0xF010-0xF01F.
constexpr TResStringRec SFailedToCreateMutex{0xF010, u"Failed to create mutex"};

constexpr const TResStringRec* ScSynchStrings[] = {&SFailedToCreateMutex};

// A recursive mutex that passes to the next waiter when its holder ends.
// Returns 0 or the error.
int InitMutex(pthread_mutex_t* mutex, bool processShared) {
    pthread_mutexattr_t attributes;
    int error = pthread_mutexattr_init(&attributes);
    if (error) return error;
    error = pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    if (!error) error = pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    if (!error && processShared) error = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    if (!error) error = pthread_mutex_init(mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    return error;
}

timespec DeadlineAfter(uint32_t milliseconds) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += milliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000;
    if (deadline.tv_nsec >= 1000000000) {
        ++deadline.tv_sec;
        deadline.tv_nsec -= 1000000000;
    }
    return deadline;
}

} // namespace

extern const TSupportUnit ScSynchUnit{u"ScSynch", SC_UNIT_VERSION("src/support/utils/ScSynch.cpp"), ScSynchStrings};

TScWaitResult TScDispatcherObject::SignalAndWait(TScDispatcherObject& other, uint32_t timeOut) {
    return Signal() ? other.WaitFor(timeOut) : wrError;
}

TScMutex::TScMutex(bool initialOwner, const String& name) : TScDispatcherObject(name) {
    if (name.IsEmpty()) {
        own_ = std::make_unique<pthread_mutex_t>();
        if (const int error = InitMutex(own_.get(), false))
            throw EScMutexError(static_cast<uint32_t>(error), LoadResString(SFailedToCreateMutex));
        mutex_ = own_.get();
        if (initialOwner) pthread_mutex_lock(mutex_);
        return;
    }
    // Set up (and taken) while no other process can open the name yet.
    const auto setUp = [initialOwner](void* data) {
        auto* mutex = static_cast<pthread_mutex_t*>(data);
        if (const int error = InitMutex(mutex, true)) RaiseLastOSError(error, "pthread_mutex_init");
        if (initialOwner) pthread_mutex_lock(mutex);
    };
    try {
        file_ = TNamedObjectFile::Open(TNamedObjectFile::TKind::Mutex, name, sizeof(pthread_mutex_t),
                                       TNamedObjectFile::TView::ReadWrite, setUp);
    } catch (const EOSError& error) {
        throw EScMutexError(static_cast<uint32_t>(error.ErrorCode()), LoadResString(SFailedToCreateMutex));
    }
    mutex_ = static_cast<pthread_mutex_t*>(file_->Data());
    existed_ = file_->Existed();
}

TScMutex::TScMutex(const String& name, std::unique_ptr<TNamedObjectFile> file)
    : TScDispatcherObject(name), file_(std::move(file)), mutex_(static_cast<pthread_mutex_t*>(file_->Data())) {
    existed_ = true;
}

TScMutex::TScMutex(pthread_mutex_t* handle) : TScDispatcherObject(String()), mutex_(handle) {}

std::unique_ptr<TScMutex> TScMutex::Open(const String& name) {
    std::unique_ptr<TNamedObjectFile> file;
    try {
        file = TNamedObjectFile::Open(TNamedObjectFile::TKind::Mutex, name, 0);
    } catch (const EOSError& error) {
        throw EScMutexError(static_cast<uint32_t>(error.ErrorCode()), LoadResString(SFailedToCreateMutex));
    }
    if (!file) return nullptr;
    return std::unique_ptr<TScMutex>(new TScMutex(name, std::move(file)));
}

std::unique_ptr<TScMutex> TScMutex::Attach(pthread_mutex_t* handle) {
    return std::unique_ptr<TScMutex>(new TScMutex(handle));
}

TScMutex::~TScMutex() {
    // A mutex must not be unmapped while this thread's list of held robust mutexes points into it.
    while (pthread_mutex_unlock(mutex_) == 0) {
    }
    if (own_) pthread_mutex_destroy(mutex_);
}

bool TScMutex::Acquire(uint32_t timeOut) {
    const TScWaitResult result = WaitFor(timeOut);
    return result == wrSignaled || result == wrAbandoned;
}

TScWaitResult TScMutex::WaitFor(uint32_t timeOut) {
    int error;
    if (timeOut == INFINITE) {
        error = pthread_mutex_lock(mutex_);
    } else if (timeOut == 0) {
        error = pthread_mutex_trylock(mutex_);
    } else {
        const timespec deadline = DeadlineAfter(timeOut);
        error = pthread_mutex_clocklock(mutex_, CLOCK_MONOTONIC, &deadline);
    }
    switch (error) {
    case 0: return wrSignaled;
    case EOWNERDEAD: pthread_mutex_consistent(mutex_); return wrAbandoned;
    case EBUSY:
    case ETIMEDOUT: return wrTimeout;
    default: return wrError;
    }
}

bool TScMutex::Release() { return pthread_mutex_unlock(mutex_) == 0; }

std::unique_ptr<TScCriticalSection> TScCriticalSection::CreateAndEnter() {
    auto section = std::make_unique<TScCriticalSection>();
    section->Enter();
    return section;
}

HRESULT TScIntfCriticalSection::QueryInterface(const TGUID& iid, void** obj) {
    if (iid == IInterface::IID) {
        IInterface* self = this;
        self->_AddRef();
        *obj = self;
        return S_OK;
    }
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

int32_t TScIntfCriticalSection::_AddRef() {
    criticalSection_->Enter();
    return 0;
}

int32_t TScIntfCriticalSection::_Release() {
    criticalSection_->Leave();
    return 0;
}
