#include "support/utils/ScShell.h"

#include "support/utils/SupportUnit.h"

#include <link.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

std::optional<mode_t> FileMode(const String& path) {
    struct stat st {};
    if (path.empty() || stat(path.ToUtf8().c_str(), &st) != 0) return std::nullopt;
    return st.st_mode;
}

struct TModuleSearch {
    uintptr_t base;
    std::optional<std::string> name;
};

// The address of an object's first mapped byte: its ELF header.
uintptr_t LoadBase(const dl_phdr_info& info) {
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info.dlpi_phdr[i];
        if (header.p_type == PT_LOAD && header.p_offset == 0) return info.dlpi_addr + header.p_vaddr;
    }
    return 0;
}

int MatchModule(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<TModuleSearch*>(data);
    if (LoadBase(*info) != search->base) return 0;
    search->name = info->dlpi_name ? info->dlpi_name : "";
    return 1;
}

} // namespace

bool FreeItemIdList(PItemIDList& list) {
    if (!list) return true;
    TIntfPtr<IMalloc> malloc;
    if (Failed(SHGetMalloc(malloc)) || malloc->DidAlloc(list) <= 0) return false;
    malloc->Free(list);
    list = nullptr;
    return true;
}

String ExpandToLongPath(const String& path) { return path; }

bool IsExistingDirectory(const String& path) {
    const auto mode = FileMode(path);
    return mode && S_ISDIR(*mode);
}

bool IsExistingFile(const char16_t* path) {
    if (!path) return false;
    const auto mode = FileMode(String(path));
    return mode && !S_ISDIR(*mode);
}

String ModuleFileName(const void* module) {
    TModuleSearch search{reinterpret_cast<uintptr_t>(module), std::nullopt};
    if (!module || !dl_iterate_phdr(MatchModule, &search)) return String();
    if (!search.name->empty()) return String(*search.name);
    // The program itself is listed without a name.
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? String() : String(program.string());
}

bool ReadFixedFileInfo(const String& fileName, VS_FIXEDFILEINFO& fixedInfo) {
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSizeW(fileName, &handle);
    if (size == 0) return false;
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoW(fileName, handle, size, block.data())) return false;
    const void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueW(block.data(), u"\\", &value, &length) || length != sizeof fixedInfo) return false;
    std::memcpy(&fixedInfo, value, sizeof fixedInfo);
    return true;
}

extern const TSupportUnit ScShellUnit{u"ScShell", SC_UNIT_VERSION("src/support/utils/ScShell.cpp")};
