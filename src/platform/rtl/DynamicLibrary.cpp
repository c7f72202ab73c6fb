#include "platform/rtl/DynamicLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace {
void* OpenLibrary(const String& name, String& error) {
    const std::string utf8 = name.ToUtf8();
    if (utf8.find('/') == std::string::npos) {
        const std::string local = ProgramFolder().ToUtf8() + "/" + utf8;
        if (access(local.c_str(), F_OK) == 0) {
            if (void* h = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
        }
    }
    void* h = dlopen(utf8.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        error = e ? String(e) : String("unknown error");
    }
    return h;
}
} // namespace

TDynamicLibrary::TDynamicLibrary(const String& name, NoThrow) : name_(name) {
    handle_ = OpenLibrary(name, error_);
}

TDynamicLibrary::TDynamicLibrary(const String& name) : TDynamicLibrary(name, NoThrow{}) {
    if (!handle_) throw EDynamicLibraryError("Could not load library " + name + ": " + error_);
}

TDynamicLibrary::~TDynamicLibrary() {
    if (handle_) dlclose(handle_);
}

std::unique_ptr<TDynamicLibrary> TDynamicLibrary::TryLoad(const String& name) {
    std::unique_ptr<TDynamicLibrary> lib(new TDynamicLibrary(name, NoThrow{}));
    return lib->handle_ ? std::move(lib) : nullptr;
}

void* TDynamicLibrary::Symbol(const char* symbol) const {
    void* p = TrySymbol(symbol);
    if (!p) throw EDynamicLibraryError("Entry point " + String(symbol) + " not found in " + name_);
    return p;
}

void* TDynamicLibrary::TrySymbol(const char* symbol) const noexcept { return dlsym(handle_, symbol); }

String ProgramFileName() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? String(std::string_view(buf, static_cast<size_t>(n))) : String();
}

String ProgramFolder() {
    const String exe = ProgramFileName();
    const auto slash = exe.rfind(u'/');
    return slash == String::npos ? String(".") : exe.substr(0, slash);
}
