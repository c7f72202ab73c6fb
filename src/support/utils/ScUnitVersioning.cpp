#include "support/utils/ScUnitVersioning.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/rtl/Conversions.h"
#include "support/utils/ScSynch.h"
#include "support/utils/ScSysUtils.h"
#include "support/utils/SupportUnit.h"

namespace {

String ProcessKey() { return IntToStr(static_cast<int>(getpid())); }

// This module's state, from the registry unit's start to its finish.
std::unique_ptr<TModuleUnitVersioning>& ThisModule() {
    static std::unique_ptr<TModuleUnitVersioning> state;
    return state;
}

// Holds the mutex for the scope; an abandoned mutex is held all the same.
class TMutexHold {
public:
    explicit TMutexHold(TScMutex& mutex) : mutex_(mutex) { mutex_.WaitFor(INFINITE); }
    ~TMutexHold() { mutex_.Release(); }
    TMutexHold(const TMutexHold&) = delete;
    TMutexHold& operator=(const TMutexHold&) = delete;

private:
    TScMutex& mutex_;
};

} // namespace

extern const TSupportUnit ScUnitVersioningUnit{u"ScUnitVersioning",
                                               SC_UNIT_VERSION("src/support/utils/ScUnitVersioning.cpp"),
                                               {},
                                               StartUnitVersioning,
                                               ShutdownUnitVersioning};

void TUnitVersioningModule::AddVersion(const TUnitVersionInfo* info) {
    items_.push_back(std::make_unique<TUnitVersion>(info));
}

int TUnitVersioningModule::IndexOfInfo(const TUnitVersionInfo* info) const {
    const auto it = std::find_if(items_.begin(), items_.end(), [info](const auto& item) { return item->Info() == info; });
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TUnitVersioning::AddInfo(TModuleInstance instance, const TUnitVersionInfo* info) {
    for (const auto& module : modules_) {
        if (module->Instance() != instance) continue;
        if (module->IndexOfInfo(info) < 0) module->AddVersion(info);
        return;
    }
    modules_.push_back(std::make_unique<TUnitVersioningModule>(instance));
    modules_.back()->AddVersion(info);
}

void TUnitVersioning::DropModule(TModuleInstance instance) {
    const auto last = std::find_if(modules_.rbegin(), modules_.rend(),
                                   [instance](const auto& module) { return module->Instance() == instance; });
    if (last != modules_.rend()) modules_.erase(std::next(last).base());
    for (const auto& provider : providers_) provider->ReleaseModuleUnitVersioningInfo(instance);
}

void TUnitVersioning::PurgeUnloadedModules() {
    std::erase_if(modules_, [](const auto& module) { return ModulePath(module->Instance()).IsEmpty(); });
}

int TUnitVersioning::ModuleCount() {
    PurgeUnloadedModules();
    return static_cast<int>(modules_.size());
}

int TUnitVersioning::Count() {
    PurgeUnloadedModules();
    int count = 0;
    for (const auto& module : modules_) count += module->Count();
    return count;
}

void TUnitVersioning::RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> provider) {
    for (const auto& module : modules_) provider->LoadModuleUnitVersioningInfo(module->Instance());
    providers_.push_back(std::move(provider));
}

TModuleUnitVersioning::TModuleUnitVersioning() = default;

TModuleUnitVersioning::~TModuleUnitVersioning() { Shutdown(); }

TUnitVersioning* TModuleUnitVersioning::Instance() {
    if (finished_) return nullptr;
    if (!mutex_) mutex_ = std::make_unique<TScMutex>(false, "MutexNPA_UnitVersioning_" + ProcessKey());
    if (!registry_) {
        TMutexHold hold(*mutex_);
        if (!slot_) OpenSharedMemory(slot_, "ShmNPA_UnitVersioning_" + ProcessKey(), sizeof registry_);
        std::memcpy(&registry_, slot_, sizeof registry_);
        if (!registry_) {
            ownRegistry_ = std::make_unique<TUnitVersioning>();
            registry_ = ownRegistry_.get();
            std::memcpy(slot_, &registry_, sizeof registry_);
        }
    } else if (!ownRegistry_) {
        // The module that published it clears the slot before freeing it.
        TMutexHold hold(*mutex_);
        std::memcpy(&registry_, slot_, sizeof registry_);
    }
    return registry_;
}

void TModuleUnitVersioning::Add(TModuleInstance instance, const TUnitVersionInfo* info) {
    if (TUnitVersioning* registry = Instance()) registry->AddInfo(instance, info);
}

void TModuleUnitVersioning::Remove(TModuleInstance instance) {
    if (TUnitVersioning* registry = Instance()) registry->DropModule(instance);
}

void TModuleUnitVersioning::Shutdown() noexcept {
    if (finished_) return;
    finished_ = true;
    try {
        if (slot_) {
            TMutexHold hold(*mutex_);
            std::memset(slot_, 0, sizeof registry_);
            FreeSharedMemory(slot_);
        }
    } catch (...) {
        // Shutting down raises nothing.
    }
    ownRegistry_.reset();
    registry_ = nullptr;
    mutex_.reset();
}

void AddUnitVersionInfo(TModuleInstance instance, const TUnitVersionInfo* info) {
    if (const auto& state = ThisModule()) state->Add(instance, info);
}

void RemoveUnitVersionInfo(TModuleInstance instance) {
    if (const auto& state = ThisModule()) state->Remove(instance);
}

TUnitVersioning* UnitVersioningInstance() {
    const auto& state = ThisModule();
    return state ? state->Instance() : nullptr;
}

void StartUnitVersioning() { ThisModule() = std::make_unique<TModuleUnitVersioning>(); }

void ShutdownUnitVersioning() { ThisModule().reset(); }
