// Start-up check of the build: reports the media and database libraries the
// program finds. Becomes the application's start-up once the windows exist.

#include <cstdio>

#include "platform/rtl/DataFolder.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/UnitRegistry.h"
#include "support/utils/ScFileVersionInfo.h"
#include "support/utils/SupportUnits.h"

namespace {

struct LibraryProbe {
    const char* title;
    const char* soname;
    const char* versionSymbol;
    bool packedVersion; // unsigned (major << 16 | minor << 8 | micro) rather than a text
};

void Report(const LibraryProbe& probe) {
    auto lib = TDynamicLibrary::TryLoad(probe.soname);
    if (!lib) {
        std::printf("%-14s not found (%s)\n", probe.title, probe.soname);
        return;
    }
    if (probe.packedVersion) {
        const unsigned v = lib->Resolve<unsigned (*)()>(probe.versionSymbol)();
        std::printf("%-14s %u.%u.%u\n", probe.title, v >> 16, (v >> 8) & 0xFF, v & 0xFF);
    } else {
        std::printf("%-14s %s\n", probe.title, lib->Resolve<const char* (*)()>(probe.versionSymbol)());
    }
}

// The product name and version of the program's own version information.
void ReportProgram() {
    const TScFileVersionInfo version(ProgramFileName());
    std::printf("%s %s\n", version.ProductName().ToUtf8().c_str(), version.FileVersion().ToUtf8().c_str());
}

} // namespace

int main() try {
    EnterDataFolder();
    RegisterSupportUnits();
    InitializeUnits();
    ReportProgram();
    const LibraryProbe probes[] = {
        {"libavutil", "libavutil.so.57", "avutil_version", true},
        {"libavcodec", "libavcodec.so.59", "avcodec_version", true},
        {"libavformat", "libavformat.so.59", "avformat_version", true},
        {"libavfilter", "libavfilter.so.8", "avfilter_version", true},
        {"libswscale", "libswscale.so.6", "swscale_version", true},
        {"libswresample", "libswresample.so.4", "swresample_version", true},
        {"libavdevice", "libavdevice.so.59", "avdevice_version", true},
        {"SQLite", "libsqlite3.so.0", "sqlite3_libversion", false},
    };
    std::printf("data folder   %s\n", DataFolder().ToUtf8().c_str());
    for (const auto& probe : probes) Report(probe);
    FinalizeUnits();
    return 0;
} catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
}
