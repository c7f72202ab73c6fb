#pragma once
// Objects that may still be in use by the message being handled are freed
// once it is done: DeferredFree hands the object to the process's releaser,
// which posts itself a message (XC_RELEASE) carrying an identifier of the
// object and frees the object when that message arrives. An identifier
// nobody waits for any more frees nothing.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/TObject.h"
#include "platform/win/Constants.h"

inline constexpr UINT XC_RELEASE = 0xB021;

class TXcReleaser {
public:
    TXcReleaser() = default;
    // Frees every object still waiting and the window.
    ~TXcReleaser();
    TXcReleaser(const TXcReleaser&) = delete;
    TXcReleaser& operator=(const TXcReleaser&) = delete;

    // Takes the object (once: an object already waiting stays as it is) and
    // posts its release.
    void Release(std::unique_ptr<TObject> object);
    bool IsWaiting(const TObject* object) const noexcept;
    // The hidden window the releases are posted to; made on first use.
    HWND Handle();

private:
    struct TWaiting {
        uintptr_t id;
        std::unique_ptr<TObject> object;
    };

    void FreeWaiting(uintptr_t id);

    std::vector<TWaiting> waiting_;
    uintptr_t nextId_ = 1;
    HWND window_ = nullptr;
};

// The process's releaser, made on first use.
TXcReleaser& Releaser();
void FreeReleaser();

inline void DeferredFree(std::unique_ptr<TObject> object) { Releaser().Release(std::move(object)); }
