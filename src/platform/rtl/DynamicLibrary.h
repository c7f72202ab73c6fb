#pragma once
// Loading shared libraries by name at run time. A bare name is looked for in
// the program folder first, then through the system's search path.

#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

class TDynamicLibrary {
public:
    // Raises EDynamicLibraryError "Could not load library <name>: <reason>".
    explicit TDynamicLibrary(const String& name);
    ~TDynamicLibrary();
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    // Tries to load; returns null instead of raising.
    static std::unique_ptr<TDynamicLibrary> TryLoad(const String& name);

    const String& Name() const noexcept { return name_; }
    // Raises EDynamicLibraryError "Entry point <symbol> not found in <name>".
    void* Symbol(const char* symbol) const;
    void* TrySymbol(const char* symbol) const noexcept;
    template <class Fn>
    Fn Resolve(const char* symbol) const {
        return reinterpret_cast<Fn>(Symbol(symbol));
    }
    template <class Fn>
    Fn TryResolve(const char* symbol) const noexcept {
        return reinterpret_cast<Fn>(TrySymbol(symbol));
    }

private:
    struct NoThrow {};
    TDynamicLibrary(const String& name, NoThrow);
    String name_;
    void* handle_ = nullptr;
    String error_;
};

// Folder of the running executable, without a trailing '/'.
String ProgramFolder();
// Full path of the running executable.
String ProgramFileName();
