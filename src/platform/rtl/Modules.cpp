#include "platform/rtl/Modules.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/rtl/DynamicLibrary.h"

namespace {

struct TModuleSearch {
    TModuleInstance instance = 0;
    uintptr_t pageMask = 0;
    bool found = false;
    bool isProgram = false;
    std::string path;
};

int VisitModule(dl_phdr_info* info, size_t, void* data) {
    auto& search = *static_cast<TModuleSearch*>(data);
    uintptr_t base = UINTPTR_MAX;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD) base = std::min<uintptr_t>(base, info->dlpi_addr + (header.p_vaddr & search.pageMask));
    }
    if (base != search.instance) return 0;
    search.found = true;
    // The program comes first and has no name of its own.
    search.isProgram = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
    if (!search.isProgram) search.path = info->dlpi_name;
    return 1;
}

} // namespace

TModuleInstance ModuleOfAddress(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0) return 0;
    return reinterpret_cast<TModuleInstance>(info.dli_fbase);
}

String ModulePath(TModuleInstance instance) {
    if (instance == 0) return String();
    TModuleSearch search;
    search.instance = instance;
    search.pageMask = ~(static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)) - 1);
    dl_iterate_phdr(VisitModule, &search);
    if (!search.found) return String();
    return search.isProgram ? ProgramFileName() : String(search.path);
}
