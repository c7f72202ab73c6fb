#include "support/utils/SupportUnits.h"

#include <vector>

#include "support/utils/SupportUnit.h"

// A unit of the library defines its TSupportUnit in its .cpp file (see
// SupportUnit.h), is declared below and takes its place in AllUnits, the start order.
//
// Resource-string identifiers, one range per unit:
//   0xF000-0xF00F ScBase            0xF010-0xF01F ScSynch
//   0xF020-0xF02F ScSysUtils        0xF030-0xF03F ScFileVersionInfo
//   0xF040-0xF04F ScRegistry
//   0xF050-0xF05F the translation tests (ScTranslator's own texts are no
//                 resource strings: loading them would pass through itself)
//   0xF100-0xF1FF ScCpuInfo (0xF100 + cache descriptor byte)
//   0xF200-0xF20F the storage units (XcAppStorage, XcAppRegistryStorage, XcTranslateString)
//   0xF300-0xF31F XcDataProvider (the data-provider framework)
//   0xF800-0xFDFF the character tables, string, path, Base64, type-description and blend units
extern const TSupportUnit ScUnitVersioningUnit, ScBaseUnit, ScSecurityUnit, ScSynchUnit, ScSysUtilsUnit,
    ScFileVersionInfoUnit, ScSysInfoUnit, ScCpuInfoUnit, ScAnsiStringsUnit, ScStringsUnit, ScUnicodeUnit,
    ScCharsetsUnit, ScShellUnit, ScBase64Unit, ScRTTIUnit, ScBlendUnit, ScProcessUnit, ScTranslatorUnit,
    ScRegistryUnit, XcTranslateStringUnit, XcAppStorageUnit, XcAppRegistryStorageUnit, XcDataProviderIntfUnit,
    XcDataProviderUnit;

namespace {

// Units whose only run-time work is their version record.
#define SC_RECORD_ONLY_UNIT(name) \
    const TSupportUnit name##Unit{u## #name, SC_UNIT_VERSION("src/support/utils/SupportUnits.cpp")}
SC_RECORD_ONLY_UNIT(ScResources);
SC_RECORD_ONLY_UNIT(ScWin32);
SC_RECORD_ONLY_UNIT(ScStringConversions);
SC_RECORD_ONLY_UNIT(ScLogic);
SC_RECORD_ONLY_UNIT(Sc8087);
SC_RECORD_ONLY_UNIT(ScMath);
SC_RECORD_ONLY_UNIT(ScDateTime);
SC_RECORD_ONLY_UNIT(ScConsole);
SC_RECORD_ONLY_UNIT(ScStreams);
SC_RECORD_ONLY_UNIT(ScIniFiles);
SC_RECORD_ONLY_UNIT(ScWideStrings);
SC_RECORD_ONLY_UNIT(ScVclResources);
#undef SC_RECORD_ONLY_UNIT

const TSupportUnit* const AllUnits[] = {
    &ScUnitVersioningUnit,
    &ScResourcesUnit,
    &ScBaseUnit,
    &ScWin32Unit,
    &ScStringConversionsUnit,
    &ScLogicUnit,
    &Sc8087Unit,
    &ScMathUnit,
    &ScDateTimeUnit,
    &ScSecurityUnit,
    &ScConsoleUnit,
    &ScStreamsUnit,
    &ScIniFilesUnit,
    &ScWideStringsUnit,
    &ScAnsiStringsUnit,
    &ScStringsUnit,
    &ScUnicodeUnit,
    &ScCharsetsUnit,
    &ScShellUnit,
    &ScBase64Unit,
    &ScRTTIUnit,
    &ScBlendUnit,
    &ScVclResourcesUnit,
    &ScSynchUnit,
    &ScSysUtilsUnit,
    &ScFileVersionInfoUnit,
    &ScRegistryUnit,
    &ScSysInfoUnit,
    &ScCpuInfoUnit,
    &ScProcessUnit,
    &ScTranslatorUnit,
    &XcTranslateStringUnit,
    &XcAppStorageUnit,
    &XcAppRegistryStorageUnit,
    &XcDataProviderIntfUnit,
    &XcDataProviderUnit,
};

TModuleInstance ModuleOf(const TSupportUnit& unit) { return ModuleOfAddress(&unit.Version); }

void StartUnit(const TSupportUnit& unit) {
    RegisterResStrings(unit.ResStrings);
    try {
        if (unit.Start) unit.Start();
        AddUnitVersionInfo(ModuleOf(unit), &unit.Version);
    } catch (...) {
        UnregisterResStrings(unit.ResStrings);
        throw;
    }
}

void FinishUnit(const TSupportUnit& unit) {
    RemoveUnitVersionInfo(ModuleOf(unit));
    if (unit.Finish) unit.Finish();
    UnregisterResStrings(unit.ResStrings);
}

} // namespace

std::span<const TSupportUnit* const> SupportUnits() { return AllUnits; }

void RegisterSupportUnits(TUnitRegistry& units) {
    for (const TSupportUnit* unit : AllUnits) {
        std::vector<String> dependsOn;
        if (unit != &ScUnitVersioningUnit) dependsOn.push_back(ScUnitVersioningUnit.Name);
        units.Register(unit->Name, [unit] { StartUnit(*unit); }, [unit] { FinishUnit(*unit); }, std::move(dependsOn));
    }
}
