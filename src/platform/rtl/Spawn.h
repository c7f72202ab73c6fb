#pragma once
// Starting another program without waiting for it.

#include <functional>
#include <vector>

#include "platform/rtl/String.h"

// Starts Program with Arguments (passed in UTF-8, no shell) in Folder (empty:
// the caller's current folder) with the caller's environment; the child
// inherits only descriptors 0-2. A Program without '/' is looked up in the
// program's own folder first, then on PATH. True once the program has been
// executed; a missing or non-executable program answers false and starts
// nothing. The child is reaped in the background when it ends.
bool Spawn(const String& program, const std::vector<String>& arguments, const String& folder = String());

// What Spawn does instead while a TSpawnHookScope is alive: tests record the
// programs a service would start and start none.
using TSpawnHook = std::function<bool(const String& program, const std::vector<String>& arguments, const String& folder)>;

class TSpawnHookScope {
public:
    explicit TSpawnHookScope(TSpawnHook hook);
    ~TSpawnHookScope();
    TSpawnHookScope(const TSpawnHookScope&) = delete;
    TSpawnHookScope& operator=(const TSpawnHookScope&) = delete;

private:
    TSpawnHook previous_;
};
