#include "platform/win/system/Modules.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/SystemModules.h"
#include "platform/win/input/KeyTable.h"
#include "platform/win/system/MessageBeep.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

// The system modules and the entries this layer implements.
[[maybe_unused]] const bool kRegistered = [] {
    RegisterSystemModule(u"kernel32", {{"GetCurrentProcess", SystemEntryAddress(&GetCurrentProcess)},
                                       {"IsDebuggerPresent", SystemEntryAddress(&IsDebuggerPresent)},
                                       {"IsWow64Process", SystemEntryAddress(&IsWow64Process)}});
    RegisterSystemModule(u"user32",
                         {{"GetDoubleClickTime", SystemEntryAddress(&GetDoubleClickTime)},
                          {"GetSysColor", SystemEntryAddress(&GetSysColor)},
                          {"GetSysColorBrush", SystemEntryAddress(&GetSysColorBrush)},
                          {"GetSystemMetrics", SystemEntryAddress(&GetSystemMetrics)},
                          {"MapVirtualKeyW", SystemEntryAddress(&MapVirtualKeyW)},
                          {"MessageBeep", SystemEntryAddress(&MessageBeep)},
                          {"SystemParametersInfoW", SystemEntryAddress(&SystemParametersInfoW)},
                          {"ToAscii", SystemEntryAddress(&ToAscii)},
                          {"ToUnicode", SystemEntryAddress(&ToUnicode)}},
                         {{900, u""}, {905, u""}});
    RegisterSystemModule(u"comctl32", {}, {{4163, u""}});
    for (const char16_t* name : {u"msimg32", u"uxtheme", u"dwmapi"}) RegisterAbsentSystemModule(name);
    return true;
}();

enum class TModuleKind { Program, System, Library };

struct TModuleSlot {
    TModuleSlot(TModuleKind kind, String name) : kind(kind), name(std::move(name)) {}

    TModuleKind kind;
    String name; // the canonical name of a system module, the loaded name of a library
    std::unique_ptr<TDynamicLibrary> library;
    int loads = 0;
    uint32_t generation = 1;
    bool live = true;
};

class TModuleTable {
public:
    TModuleTable() { slots_.emplace_back(TModuleKind::Program, String()); }

    HMODULE Load(const String& name) {
        if (name.empty() || IsAbsentSystemModule(name)) return nullptr;
        std::lock_guard lock(mutex_);
        if (IsSystemModule(name)) return SystemHandle(SystemModuleName(name));
        if (TModuleSlot* slot = FindLibrary(name)) {
            ++slot->loads;
            return Handle(*slot);
        }
        std::unique_ptr<TDynamicLibrary> library = TDynamicLibrary::TryLoad(name);
        if (!library) return nullptr;
        TModuleSlot& slot = FreeSlot();
        slot.kind = TModuleKind::Library;
        slot.name = name;
        slot.library = std::move(library);
        slot.loads = 1;
        slot.live = true;
        return Handle(slot);
    }

    HMODULE Find(const String& name) {
        std::lock_guard lock(mutex_);
        if (name.empty()) return Handle(slots_.front());
        if (IsSystemModule(name)) return SystemHandle(SystemModuleName(name));
        TModuleSlot* slot = FindLibrary(name);
        return slot ? Handle(*slot) : nullptr;
    }

    FARPROC Entry(HMODULE module, const char* name) {
        if (IS_INTRESOURCE(reinterpret_cast<LPCWSTR>(name))) return nullptr;
        std::lock_guard lock(mutex_);
        const TModuleSlot* slot = Resolve(module);
        if (!slot) return nullptr;
        void* address = nullptr;
        if (slot->kind == TModuleKind::System) address = SystemModuleEntry(slot->name, name);
        if (slot->kind == TModuleKind::Library) address = slot->library->TrySymbol(name);
        return reinterpret_cast<FARPROC>(address);
    }

    BOOL Free(HMODULE module) {
        std::unique_ptr<TDynamicLibrary> unloaded; // closed after the lock is left
        std::lock_guard lock(mutex_);
        TModuleSlot* slot = Resolve(module);
        if (!slot) return FALSE;
        if (slot->kind == TModuleKind::Library && --slot->loads == 0) {
            unloaded = std::move(slot->library);
            slot->live = false;
            slot->generation = slot->generation == kMaxHandleGeneration ? 1 : slot->generation + 1;
        }
        return TRUE;
    }

    // The system module's canonical name; empty for any other module.
    String SystemName(HMODULE module) {
        std::lock_guard lock(mutex_);
        const TModuleSlot* slot = Resolve(module);
        return slot && slot->kind == TModuleKind::System ? slot->name : String();
    }

private:
    HMODULE Handle(const TModuleSlot& slot) const {
        return MakeHandle<HMODULE>(uint32_t(&slot - slots_.data()), slot.generation);
    }

    TModuleSlot* Resolve(HMODULE module) {
        const uint32_t index = HandleIndex(module);
        if (index >= slots_.size()) return nullptr;
        TModuleSlot& slot = slots_[index];
        return slot.live && slot.generation == HandleGeneration(module) ? &slot : nullptr;
    }

    HMODULE SystemHandle(const String& canonical) {
        for (const TModuleSlot& slot : slots_)
            if (slot.kind == TModuleKind::System && slot.name == canonical) return Handle(slot);
        slots_.emplace_back(TModuleKind::System, canonical);
        return Handle(slots_.back());
    }

    TModuleSlot* FindLibrary(const String& name) {
        for (TModuleSlot& slot : slots_)
            if (slot.kind == TModuleKind::Library && slot.live && slot.name == name) return &slot;
        return nullptr;
    }

    TModuleSlot& FreeSlot() {
        for (TModuleSlot& slot : slots_)
            if (!slot.live) return slot;
        slots_.emplace_back(TModuleKind::Library, String());
        return slots_.back();
    }

    std::mutex mutex_;
    std::vector<TModuleSlot> slots_; // index 0: the program
};

TModuleTable& Modules() {
    static TModuleTable table;
    return table;
}

} // namespace

HMODULE LoadLibraryW(LPCWSTR name) { return name ? Modules().Load(name) : nullptr; }

HMODULE GetModuleHandleW(LPCWSTR name) { return Modules().Find(name ? String(name) : String()); }

FARPROC GetProcAddress(HMODULE module, const char* name) { return name ? Modules().Entry(module, name) : nullptr; }

BOOL FreeLibrary(HMODULE module) { return Modules().Free(module); }

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
    if (!buffer || bufferMax < 0) return 0;
    std::u16string_view text;
    const String module = Modules().SystemName(instance);
    const bool found = !module.empty() && SystemModuleString(module, int(id), text);
    if (bufferMax == 0) {
        if (!found) return 0;
        *reinterpret_cast<const WCHAR**>(buffer) = text.data();
        return int(text.size());
    }
    const size_t length = found ? std::min(text.size(), size_t(bufferMax - 1)) : 0;
    text.copy(buffer, length);
    buffer[length] = 0;
    return int(length);
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(intptr_t{-1}); }

BOOL IsDebuggerPresent() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("TracerPid:")) return std::stoi(line.substr(10)) != 0 ? TRUE : FALSE;
    }
    return FALSE;
}

BOOL IsWow64Process(HANDLE, BOOL* wow64) {
    if (!wow64) return FALSE;
    *wow64 = FALSE;
    return TRUE;
}
