// Start-up check of the build: starts the program's units and reports their
// version records and text domains, loads the FFmpeg binding the engine uses
// and reports each library it loaded with its version, or what failed to load,
// and the database library the program finds. Becomes the application's
// start-up once the windows exist.

#include <cstdio>

#include "controls/XcControlsUnits.h"
#include "engine/AVLib.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/backend/qt/DbusDesktopServices.h"
#include "platform/win/backend/qt/LoginPowerOff.h"
#include "platform/win/backend/qt/PortalFileChooser.h"
#include "skins/SkinsUnits.h"
#include "support/translation/ScTranslatorInstance.h"
#include "support/utils/ScFileVersionInfo.h"
#include "support/utils/ScUnitVersioning.h"
#include "support/utils/SupportUnits.h"
#include "treeview/TreeUnits.h"

namespace {

void ReportLine(const String& name, const String& text) {
    std::printf("%-20s %s\n", name.ToUtf8().c_str(), text.ToUtf8().c_str());
}

// False when the binding did not load completely.
bool ReportFFmpeg() {
    String failedLibrary, failure;
    try {
        LoadAVLib();
    } catch (const EAVLibError& e) {
        failedLibrary = e.Library();
        failure = e.Message();
    }
    for (const TAVLibVersion& lib : LoadedAVLibs())
        ReportLine(lib.soname, Format("%u.%u.%u", {AV_VERSION_MAJOR(lib.version), AV_VERSION_MINOR(lib.version),
                                                    AV_VERSION_MICRO(lib.version)}));
    if (failure.IsEmpty()) return true;
    ReportLine(failedLibrary, failure);
    return false;
}

bool ReportSQLite() {
    const String soname = "libsqlite3.so.0";
    const auto lib = TDynamicLibrary::TryLoad(soname);
    ReportLine(soname, lib ? String(lib->Resolve<const char* (*)()>("sqlite3_libversion")()) : String("not found"));
    return lib != nullptr;
}

// The product name and version of the program's own version information.
void ReportProgram() {
    const TScFileVersionInfo version(ProgramFileName());
    std::printf("%s %s\n", version.ProductName().ToUtf8().c_str(), version.FileVersion().ToUtf8().c_str());
}

// How many version records the started units left, and the text domains of
// the resource strings.
void ReportUnits() {
    TUnitVersioning* versions = UnitVersioningInstance();
    ReportLine("unit versions", Format("%d", {versions ? versions->Count() : 0}));
    String domains;
    for (const String& domain : ResourceStringDomains()) {
        if (!domains.IsEmpty()) domains += u' ';
        domains += domain;
    }
    ReportLine("text domains", domains);
}

} // namespace

int main() try {
    // The desktop's services, its power-off and its file chooser; they reach
    // the buses only when asked.
    TDbusDesktopServices desktopServices;
    const TDesktopServicesScope desktopServicesInstalled(desktopServices);
    TLoginPowerOffExecutor powerOff;
    const TPowerOffExecutorScope powerOffInstalled(powerOff);
    TPortalFileChooser fileChooser;
    const TFileChooserScope fileChooserInstalled(fileChooser);
    EnterDataFolder();
    RegisterSupportUnits();
    RegisterUiUnits();
    RegisterControlsUnits();
    RegisterTreeUnits();
    RegisterSkinsUnits();
    InitializeUnits();
    ReportProgram();
    ReportLine("data folder", DataFolder());
    ReportUnits();
    const bool ffmpeg = ReportFFmpeg();
    const bool sqlite = ReportSQLite();
    UnloadAVLib();
    FinalizeUnits();
    return ffmpeg && sqlite ? 0 : 1;
} catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
}
