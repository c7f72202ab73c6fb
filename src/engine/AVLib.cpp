#include "engine/AVLib.h"

#include <dlfcn.h>

#include <condition_variable>
#include <mutex>
#include <unordered_map>

#include "engine/AVLogger.h"
#include "platform/rtl/DynamicLibrary.h"

namespace {

// FFmpeg and its dependencies stay mapped once loaded: their worker threads
// and exit handlers may outlive an unload. Unloading releases our handles and
// entries; loading again finds the same mapping and registers again.
void KeepMapped(const char* soname) {
    if (void* handle = dlopen(soname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
}

#define AVLIB_RESOLVE(name) \
    avlib::name = reinterpret_cast<decltype(avlib::name)>(ResolveExport(library, #name));
#define AVLIB_CLEAR(name) avlib::name = nullptr;
#define AVLIB_BIND(Id, LIST)                                                   \
    void Resolve##Id(const TDynamicLibrary& library) { LIST(AVLIB_RESOLVE) } \
    void Clear##Id() { LIST(AVLIB_CLEAR) }

AVLIB_BIND(AVUtil, AVLIB_AVUTIL)
AVLIB_BIND(SwResample, AVLIB_SWRESAMPLE)
AVLIB_BIND(SwScale, AVLIB_SWSCALE)
AVLIB_BIND(AVCodec, AVLIB_AVCODEC)
AVLIB_BIND(AVFormat, AVLIB_AVFORMAT)
AVLIB_BIND(AVFilter, AVLIB_AVFILTER)
AVLIB_BIND(AVDevice, AVLIB_AVDEVICE)

struct Library {
    const char* soname;
    void (*resolve)(const TDynamicLibrary&);
    void (*clear)();
    unsigned (*const* version)();
    void (*beforeUnload)();
    std::unique_ptr<TDynamicLibrary> handle;
};

void DeinitNetwork() { avlib::avformat_network_deinit(); }

// Load order; dependencies come first.
Library libraries[] = {
    {"libavutil.so.57", ResolveAVUtil, ClearAVUtil, &avlib::avutil_version, nullptr, nullptr},
    {"libswresample.so.4", ResolveSwResample, ClearSwResample, &avlib::swresample_version, nullptr, nullptr},
    {"libswscale.so.6", ResolveSwScale, ClearSwScale, &avlib::swscale_version, nullptr, nullptr},
    {"libavcodec.so.59", ResolveAVCodec, ClearAVCodec, &avlib::avcodec_version, nullptr, nullptr},
    {"libavformat.so.59", ResolveAVFormat, ClearAVFormat, &avlib::avformat_version, DeinitNetwork, nullptr},
    {"libavfilter.so.8", ResolveAVFilter, ClearAVFilter, &avlib::avfilter_version, nullptr, nullptr},
    {"libavdevice.so.59", ResolveAVDevice, ClearAVDevice, &avlib::avdevice_version, nullptr, nullptr},
};

// Indexes into libraries[]: avcodec, avdevice, avformat, swscale, avfilter, swresample, avutil.
constexpr int unloadOrder[] = {3, 6, 4, 2, 5, 1, 0};

// Guards the libraries, the registration and the uses.
std::mutex loadMutex;
// Signalled when the last use ends and when an unload has finished.
std::condition_variable usesChanged;
bool registered = false;
// Uses per thread that holds any.
std::unordered_map<std::thread::id, int> uses;
int pendingUnloads = 0;

void LoadLocked() {
    for (Library& lib : libraries) {
        if (lib.handle) continue;
        auto handle = LoadAVDll(lib.soname);
        try {
            lib.resolve(*handle);
        } catch (...) {
            lib.clear();
            throw;
        }
        KeepMapped(lib.soname);
        lib.handle = std::move(handle);
    }
    if (registered) return;
    avlib::av_log_set_flags(AV_LOG_SKIP_REPEATED);
    avlib::avformat_network_init();
    avlib::avdevice_register_all();
    avlib::av_log_set_callback(AVLogCallback);
    registered = true;
}

} // namespace

std::unique_ptr<TDynamicLibrary> LoadAVDll(const String& name) {
    auto library = TDynamicLibrary::TryLoad(name);
    if (!library) throw EAVLibError("Can not load " + name, name, String());
    return library;
}

void* ResolveExport(const TDynamicLibrary& library, const char* name) {
    void* address = library.TrySymbol(name);
    if (!address) throw EAVLibError("Load " + String(name) + " failed!", library.Name(), name);
    return address;
}

void LoadAVLib() {
    std::lock_guard lock(loadMutex);
    LoadLocked();
}

TAVLibUse::TAVLibUse() : thread_(std::this_thread::get_id()) {
    std::unique_lock lock(loadMutex);
    if (!uses.contains(thread_)) usesChanged.wait(lock, [] { return pendingUnloads == 0; });
    LoadLocked();
    ++uses[thread_];
}

TAVLibUse::~TAVLibUse() {
    std::lock_guard lock(loadMutex);
    const auto held = uses.find(thread_);
    if (--held->second == 0) uses.erase(held);
    if (uses.empty()) usesChanged.notify_all();
}

void UnloadAVLib() {
    std::unique_lock lock(loadMutex);
    RTL_ASSERT(!uses.contains(std::this_thread::get_id()), "UnloadAVLib called by a thread that uses FFmpeg");
    ++pendingUnloads;
    usesChanged.wait(lock, [] { return uses.empty(); });
    --pendingUnloads;
    for (int index : unloadOrder) {
        Library& lib = libraries[index];
        if (!lib.handle) continue;
        if (lib.beforeUnload && registered) lib.beforeUnload();
        lib.handle.reset();
        lib.clear();
    }
    registered = false;
    usesChanged.notify_all();
}

bool AVLibUnloadPending() {
    std::lock_guard lock(loadMutex);
    return pendingUnloads > 0;
}

bool AVLibLoaded() {
    std::lock_guard lock(loadMutex);
    return registered;
}

std::vector<TAVLibVersion> LoadedAVLibs() {
    std::lock_guard lock(loadMutex);
    std::vector<TAVLibVersion> loaded;
    for (const Library& lib : libraries)
        if (lib.handle) loaded.push_back({lib.soname, (*lib.version)()});
    return loaded;
}
