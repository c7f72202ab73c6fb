#pragma once
// Synchronisation objects of the support library. A mutex is recursive and
// robust: when the thread or process holding it ends without releasing it, the
// next wait gets it and answers wrAbandoned. A named mutex is shared by every
// process of the user that opens the same name.

#include <pthread.h>

#include <cstdint>
#include <memory>

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
    // Releases what the calling thread still holds of it.
    ~TScMutex() override;

    // wrSignaled when taken (again, by the thread holding it), wrAbandoned when
    // taken from a holder that ended, wrTimeout.
    TScWaitResult WaitFor(uint32_t timeOut) override;
    // False when the calling thread does not hold it.
    bool Release();

private:
    std::unique_ptr<TNamedObjectFile> file_;
    std::unique_ptr<pthread_mutex_t> own_;
    pthread_mutex_t* mutex_;
};
