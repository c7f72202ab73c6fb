#pragma once
// The modules of the process: the program and the shared libraries mapped into
// it. A module is named by its load base, the address its first segment (the
// one holding the ELF header) is mapped at.

#include <cstdint>

#include "platform/rtl/String.h"

using TModuleInstance = uintptr_t;

// The module holding Address; 0 when no module does.
TModuleInstance ModuleOfAddress(const void* address);
// The whole file path of the module mapped at Instance (the program's as
// /proc/self/exe names it); empty when no module is mapped there any more.
String ModulePath(TModuleInstance instance);
