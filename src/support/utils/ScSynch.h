#pragma once
// Synchronisation objects of the support library. A mutex is recursive and
// robust: when the thread or process holding it ends without releasing it, the
// next wait gets it and answers wrAbandoned. A named mutex is shared by every
// process of the user that opens the same name. The critical sections are
// recursive locks of this process; the interface one locks while a reference
// to it is held.

#include <pthread.h>

#include <cstdint>
#include <memory>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/String.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/TObject.h"
#include "support/utils/ScBase.h"

using TScWaitResult = TWaitResult;

SC_DECLARE_WIN32_ERROR(EScMutexError);

class TNamedObjectFile;

class TScDispatcherObject : public TObject {
public:
    // The named object was there before this object opened it.
    bool Existed() const noexcept { return existed_; }
    const String& Name() const noexcept { return name_; }
    // Waits TimeOut milliseconds at most (INFINITE: without limit).
    virtual TScWaitResult WaitFor(uint32_t timeOut) = 0;
    TScWaitResult WaitForever() { return WaitFor(INFINITE); }
    // No asynchronous calls are queued to threads here, so an alertable wait
    // is a plain one and never answers wrIoCompletion.
    TScWaitResult WaitAlertable(uint32_t timeOut) { return WaitFor(timeOut); }
    // Signals this object, then waits for Other (one step after the other,
    // not atomically); wrError without waiting when the signal fails.
    TScWaitResult SignalAndWait(TScDispatcherObject& other, uint32_t timeOut);
    // Releases the object (a mutex: once); false when this thread may not.
    virtual bool Signal() = 0;

protected:
    explicit TScDispatcherObject(const String& name) : name_(name) {}

    bool existed_ = false;
    String name_;
};

class TScMutex : public TScDispatcherObject {
public:
    // An empty name makes a mutex of this object alone. InitialOwner takes
    // the mutex when this call creates it. Raises EScMutexError "Failed to
    // create mutex" with the failing call's error.
    TScMutex(bool initialOwner, const String& name);
    // The named mutex when some process of the user has it open, else null.
    // Raises EScMutexError as the constructor does.
    static std::unique_ptr<TScMutex> Open(const String& name);
    // An object over the mutex Handle (a robust recursive one, such as
    // another object's Handle), which must outlive it and is not destroyed with it.
    static std::unique_ptr<TScMutex> Attach(pthread_mutex_t* handle);
    // Releases what the calling thread still holds of it.
    ~TScMutex() override;

    pthread_mutex_t* Handle() const noexcept { return mutex_; }
    // wrSignaled when taken (again, by the thread holding it), wrAbandoned when
    // taken from a holder that ended, wrTimeout.
    TScWaitResult WaitFor(uint32_t timeOut) override;
    // Whether the calling thread holds it after waiting (signaled or abandoned).
    bool Acquire(uint32_t timeOut = INFINITE);
    // False when the calling thread does not hold it.
    bool Release();
    bool Signal() override { return Release(); }

private:
    TScMutex(const String& name, std::unique_ptr<TNamedObjectFile> file);
    explicit TScMutex(pthread_mutex_t* handle);

    std::unique_ptr<TNamedObjectFile> file_;
    std::unique_ptr<pthread_mutex_t> own_;
    pthread_mutex_t* mutex_;
};

// A recursive lock of this process.
class TScCriticalSection : public TObject {
public:
    // A new critical section, entered by the calling thread.
    static std::unique_ptr<TScCriticalSection> CreateAndEnter();
    void Enter() { criticalSection_.Enter(); }
    void Leave() { criticalSection_.Leave(); }

private:
    TCriticalSection criticalSection_;
};

// A recursive lock taken by taking a reference and left by dropping it: hold a
// TIntfPtr to it for as long as the lock is needed. Counting never frees it;
// its owner does.
class TScIntfCriticalSection : public TObject, public virtual IInterface {
public:
    TScIntfCriticalSection() : criticalSection_(std::make_unique<TCriticalSection>()) {}
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    // Enter and leave; both answer 0.
    int32_t _AddRef() override;
    int32_t _Release() override;

private:
    std::unique_ptr<TCriticalSection> criticalSection_;
};
