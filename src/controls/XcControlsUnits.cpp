#include "controls/XcControlsUnits.h"

#include "controls/XcItemRowSizing.h"
#include "support/translation/ScTranslatorInstance.h"

namespace {

void StartXcComponent() { AddResourceStringDomain(u"xcl"); }

// One row: the unit's name, its revision, and its start and finish work.
#define XC_UNIT(name, revision, ...)                                                                           \
    TXcUnit {                                                                                                  \
        u## #name,                                                                                             \
            TUnitVersionInfo{u"$URL: https://svn.ostrel.invalid/xcl/trunk/run/" #name " $",                   \
                             u"$Revision: " #revision " $", u"$Date: 2009-07-01 12:00:00 +0800 $", kXcUnitLogPath, \
                             u"", nullptr},                                                                    \
            __VA_ARGS__                                                                                        \
    }

const TXcUnit AllControlsUnits[] = {
    // Component bases, change-notifying options and the shared routines.
    XC_UNIT(XCLVer, 12461),
    XC_UNIT(XcThemes, 12461),
    XC_UNIT(XcConsts, 12461),
    XC_UNIT(XcResources, 12461),
    XC_UNIT(XcTypes, 12461),
    XC_UNIT(XcExControls, 12461),
    XC_UNIT(XcExForms, 12461),
    XC_UNIT(XcExStdCtrls, 12461),
    XC_UNIT(XcComponentBase, 12461),
    XC_UNIT(XcComponent, 12461, StartXcComponent),
    XC_UNIT(XcHotTrackPersistent, 12461),
    XC_UNIT(XcSCLUtils, 12461),
    XC_UNIT(XcProgressUtils, 12461),
    XC_UNIT(XcStrings, 12461),
    XC_UNIT(XcPropertyStoreEditorIntf, 12461),
    XC_UNIT(XcPropertyStore, 12461),
    XC_UNIT(XcXCLUtils, 12461),
    XC_UNIT(XcLabel, 12461),
    XC_UNIT(XcButton, 12461),
    XC_UNIT(XcBaseDlg, 12461),
    XC_UNIT(XcDesktopAlertForm, 12461),
    XC_UNIT(XcDesktopAlert, 12461),
    // Units that only register, and those of the edits, pickers and the text limit.
    XC_UNIT(XcWin32, 12461),
    XC_UNIT(XcSearchFiles, 12461),
    XC_UNIT(XcItemsSearchs, 12461),
    XC_UNIT(XcCtrls, 12461),
    XC_UNIT(XcListBox, 12461),
    XC_UNIT(XcExGrids, 12461),
    XC_UNIT(XcPickDate, 12461),
    XC_UNIT(XcExCheckLst, 12461),
    XC_UNIT(XcCheckListBox, 12461),
    XC_UNIT(XcCombobox, 12461),
    XC_UNIT(XcDriveCtrls, 12461),
    XC_UNIT(XcPageList, 12461),
    XC_UNIT(XcExMask, 12461),
    XC_UNIT(XcBrowseFolder, 12461),
    XC_UNIT(XcSpeedButton, 12461),
    XC_UNIT(XcToolEdit, 12461),
    XC_UNIT(XcMaxPixel, 12461),
    // The control units of the wizard, the edits, the lists and the link labels.
    XC_UNIT(XcExButtons, 12461),
    XC_UNIT(XcBitBtn, 12461),
    XC_UNIT(XcListComb, 12461),
    XC_UNIT(XcColorCombo, 12461),
    XC_UNIT(XcArrayButton, 12461),
    XC_UNIT(XcAutoComplete, 12461),
    XC_UNIT(XcExExtCtrls, 12461),
    XC_UNIT(XcInspector, 130, RegisterItemRowSizingIdents),
    XC_UNIT(XcExComCtrls, 12461),
    XC_UNIT(XcMenus, 12461),
    XC_UNIT(XcToolBar, 12579),
    XC_UNIT(XcWizardCommon, 12461),
    XC_UNIT(XcWizard, 12464),
    XC_UNIT(XcCaret, 12461),
    XC_UNIT(XcFixedEditPopUp, 12579),
    XC_UNIT(XcEdit, 12510),
    XC_UNIT(XcValidateEdit, 12521),
    XC_UNIT(XcLinkLabelTools, 12461),
    XC_UNIT(XcLinkLabelTree, 12461),
    XC_UNIT(XcLinkLabelTextHandler, 12461),
    XC_UNIT(XcLinkLabelRenderer, 12538),
    XC_UNIT(XcLinkLabelParser, 12461),
    XC_UNIT(XcLinkLabel, 12538),
    XC_UNIT(XcComCtrls, 12586),
    XC_UNIT(XcPageListTreeView, 12461),
};

#undef XC_UNIT

TModuleInstance ModuleOf(const TXcUnit& unit) { return ModuleOfAddress(&unit.Version); }

void StartControlsUnit(const TXcUnit& unit) {
    if (unit.Start) unit.Start();
    AddUnitVersionInfo(ModuleOf(unit), &unit.Version);
}

void FinishControlsUnit(const TXcUnit& unit) {
    if (unit.Finish) unit.Finish();
    RemoveUnitVersionInfo(ModuleOf(unit));
}

} // namespace

std::span<const TXcUnit> ControlsUnits() { return AllControlsUnits; }

void RegisterControlsUnits(TUnitRegistry& units, const std::vector<String>& needsUnits) {
    for (const TXcUnit& unit : AllControlsUnits)
        units.Register(unit.Name, [&unit] { StartControlsUnit(unit); }, [&unit] { FinishControlsUnit(unit); }, needsUnits);
}
