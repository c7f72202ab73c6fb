#pragma once
// Modules by name: the platform's own system modules (platform/rtl/
// SystemModules.h) first, then shared libraries through TDynamicLibrary.
// System modules are always loaded and never unloaded; a shared library is
// counted per load and unloaded by its last FreeLibrary, after which its
// handle is stale and fails like an unknown one. A module handle, as an
// integer, is always above 32.

#include "platform/win/Types.h"

// 0 for a name registered as absent ("msimg32", "uxtheme", "dwmapi") or a
// library that does not load.
HMODULE LoadLibraryW(LPCWSTR name);
// Null name: the program itself. Otherwise a system module or a shared library
// already loaded by LoadLibraryW (its count unchanged); 0 when neither.
HMODULE GetModuleHandleW(LPCWSTR name);
// Null for a missing entry, an ordinal, or a stale or unknown handle.
FARPROC GetProcAddress(HMODULE module, const char* name);
// FALSE for a stale or unknown handle.
BOOL FreeLibrary(HMODULE module);
// Copies string Id of a system module into Buffer (at most BufferMax - 1
// units and a terminating 0) and answers its length; 0 (and an empty buffer)
// when the module has no such string. With BufferMax 0, Buffer receives a
// pointer to the read-only text instead.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);

// kernel32.
HANDLE GetCurrentProcess();
// Whether a tracer (debugger) is attached to this process.
BOOL IsDebuggerPresent();
// Always answers FALSE in Wow64 (a native 64-bit process); FALSE itself for a
// null Wow64.
BOOL IsWow64Process(HANDLE process, BOOL* wow64);
