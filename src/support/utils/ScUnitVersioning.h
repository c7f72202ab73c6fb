#pragma once
// The unit-version registry: every unit of the support library records a
// version record when it starts and its module's records go when it finishes.
// All modules of the process share one registry; the module that first asks
// creates it and publishes its address in a pointer-sized named shared slot
// ("ShmNPA_UnitVersioning_<pid>"), guarded by the named mutex
// "MutexNPA_UnitVersioning_<pid>".

#include <memory>
#include <vector>

#include "platform/rtl/Modules.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TObject.h"

class TScMutex;

// One unit's record; static data of the unit, never copied by the registry.
struct TUnitVersionInfo {
    const char16_t* RCSfile;
    const char16_t* Revision;
    const char16_t* Date;
    const char16_t* LogPath;
    const char16_t* Extra;
    const void* Data;
};

class TUnitVersion : public TObject {
public:
    explicit TUnitVersion(const TUnitVersionInfo* info) : info_(info) {}
    const TUnitVersionInfo* Info() const noexcept { return info_; }
    String RCSfile() const { return info_->RCSfile; }
    String Revision() const { return info_->Revision; }
    String Date() const { return info_->Date; }
    String LogPath() const { return info_->LogPath; }
    String Extra() const { return info_->Extra; }
    const void* Data() const noexcept { return info_->Data; }

private:
    const TUnitVersionInfo* info_;
};

// The records of one module, in registration order.
class TUnitVersioningModule : public TObject {
public:
    explicit TUnitVersioningModule(TModuleInstance instance) : instance_(instance) {}
    TModuleInstance Instance() const noexcept { return instance_; }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const TUnitVersion& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }

    void AddVersion(const TUnitVersionInfo* info);
    // By identity of the record, not its content; -1 when absent.
    int IndexOfInfo(const TUnitVersionInfo* info) const;

private:
    TModuleInstance instance_;
    std::vector<std::unique_ptr<TUnitVersion>> items_;
};

// Told when a module's records go.
class TCustomUnitVersioningProvider : public TObject {
public:
    virtual void LoadModuleUnitVersioningInfo(TModuleInstance) {}
    virtual void ReleaseModuleUnitVersioningInfo(TModuleInstance) {}
};

class TUnitVersioning : public TObject {
public:
    // A record registered again under the same instance is kept once.
    virtual void AddInfo(TModuleInstance instance, const TUnitVersionInfo* info);
    // Drops the instance's module with all its records, then tells every provider.
    virtual void DropModule(TModuleInstance instance);

    // Both forget modules that are no longer loaded first.
    int ModuleCount();
    int Count();
    const TUnitVersioningModule& Modules(int index) const { return *modules_.at(static_cast<size_t>(index)); }
    // Takes the provider and tells it of every module known so far.
    void RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> provider);

private:
    void PurgeUnloadedModules();

    std::vector<std::unique_ptr<TUnitVersioningModule>> modules_;
    std::vector<std::unique_ptr<TCustomUnitVersioningProvider>> providers_;
};

// The registry as one module sees it: the mutex, the mapped slot and the
// registry found there or created by this module. A program's module has one
// (made by the registry unit's start); tests make several to act as modules.
class TModuleUnitVersioning {
public:
    TModuleUnitVersioning();
    ~TModuleUnitVersioning();
    TModuleUnitVersioning(const TModuleUnitVersioning&) = delete;
    TModuleUnitVersioning& operator=(const TModuleUnitVersioning&) = delete;

    // The process's registry, created and published on first use; null after
    // Shutdown, or once the module that published it has cleared the slot.
    // Raises EScMutexError when the mutex cannot be had, and the shared
    // memory's errors.
    TUnitVersioning* Instance();
    bool OwnsRegistry() const noexcept { return ownRegistry_ != nullptr; }
    // AddUnitVersionInfo and RemoveUnitVersionInfo of this module: nothing
    // happens when there is no registry.
    void Add(TModuleInstance instance, const TUnitVersionInfo* info);
    void Remove(TModuleInstance instance);
    // Clears the slot, frees the registry when this module created it and
    // closes the named objects; later calls of Instance answer null. Raises nothing.
    void Shutdown() noexcept;

private:
    std::unique_ptr<TScMutex> mutex_;
    void* slot_ = nullptr;
    TUnitVersioning* registry_ = nullptr;
    // Kept by the module that created it until its own shutdown, even when
    // another module has cleared the slot meanwhile.
    std::unique_ptr<TUnitVersioning> ownRegistry_;
    bool finished_ = false;
};

// The calls of the units, on this module's state: nothing happens before the
// registry unit has started or after it has finished.
void AddUnitVersionInfo(TModuleInstance instance, const TUnitVersionInfo* info);
void RemoveUnitVersionInfo(TModuleInstance instance);
TUnitVersioning* UnitVersioningInstance();
// The registry unit's start and finish.
void StartUnitVersioning();
void ShutdownUnitVersioning();
