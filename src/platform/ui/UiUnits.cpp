#include "platform/ui/UiUnits.h"

#include <mutex>

#include "platform/rtl/ClassInfo.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlStrings.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/Forms.h"
#include "platform/ui/FrameworkServices.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UtilityWindow.h"
#include "platform/ui/comctrls/ColorBox.h"
#include "platform/ui/comctrls/DriveComboBox.h"
#include "platform/ui/comctrls/ListView.h"
#include "platform/ui/comctrls/PageControl.h"
#include "platform/ui/comctrls/SpinEdit.h"
#include "platform/ui/comctrls/StatusBar.h"
#include "platform/ui/comctrls/ToolBar.h"
#include "platform/ui/comctrls/TrackBar.h"
#include "platform/ui/comctrls/TreeView.h"
#include "platform/ui/dialogs/DialogStrings.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/graphics/GraphicsUnit.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/stdctrls/BitBtn.h"
#include "platform/ui/stdctrls/ComboBox.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/Image.h"
#include "platform/ui/stdctrls/Label.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/ui/stdctrls/MaskEdit.h"
#include "platform/ui/stdctrls/MessageDialog.h"
#include "platform/ui/stdctrls/Panel.h"
#include "platform/ui/stdctrls/Splitter.h"
#include "platform/win/controls/ControlTexts.h"

namespace {

// Colour properties read and write colour names ("clBtnFace") in streams.
void RegisterColorIdents() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterIntegerConsts(
            TColorTypeInfo(), [](const String& ident, int32_t& value) { return IdentToColor(ident, value); },
            [](int32_t value, String& ident) { return ColorToIdent(value, ident); });
    });
}

void InitializeGraphics() {
    RegisterResStrings({&SNoCanvasHandle});
    RegisterColorIdents();
    RegisterClasses({TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass()});
}

void FinalizeGraphics() {
    UnRegisterClass(TBrush::StaticClass());
    UnRegisterClass(TPen::StaticClass());
    UnRegisterClass(TFont::StaticClass());
    UnregisterResStrings({&SNoCanvasHandle});
}

void InitializeExtControls() {
    RegisterResStrings({&SNoTimers, &SUtilityWindowFailed});
    RegisterClass(TTimer::StaticClass());
}

void FinalizeExtControls() {
    UnRegisterClass(TTimer::StaticClass());
    UnregisterResStrings({&SNoTimers, &SUtilityWindowFailed});
}

const std::initializer_list<TClass> kFormClasses = {
    TWinControl::StaticClass(), TCustomControl::StaticClass(), TGraphicControl::StaticClass(),
    TForm::StaticClass(),       TFrame::StaticClass(),         TDataModule::StaticClass(),
};

void InitializeForms() {
    RegisterResStrings(kControlStrings);
    RegisterClasses(kFormClasses);
    InstallFrameworkServices();
}

void FinalizeForms() {
    FreeApplication();
    RemoveFrameworkServices();
    for (TClass cls : kFormClasses) UnRegisterClass(cls);
    UnregisterResStrings(kControlStrings);
}

const std::initializer_list<TClass> kActionClasses = {
    TAction::StaticClass(),
    TActionList::StaticClass(),
    TShortCutList::StaticClass(),
};

void InitializeActions() {
    RegisterResStrings(kShortCutStrings);
    RegisterClasses(kActionClasses);
}

void FinalizeActions() {
    for (TClass cls : kActionClasses) UnRegisterClass(cls);
    UnregisterResStrings(kShortCutStrings);
}

// The standard controls and the window system's own texts.
const std::initializer_list<TClass> kStandardControlClasses = {
    TButton::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
    TBitBtn::StaticClass(), TListBox::StaticClass(), TEdit::StaticClass(),        TMemo::StaticClass(),
    TMaskEdit::StaticClass(), TPanel::StaticClass(), TSplitter::StaticClass(),    TLabel::StaticClass(),
    TImage::StaticClass(),  TComboBox::StaticClass(),
};

void InitializeStdCtrls() {
    RegisterResStrings(kControlTexts);
    RegisterClasses(kStandardControlClasses);
    InstallMessageDialog();
}

void FinalizeStdCtrls() {
    RemoveMessageDialog();
    for (TClass cls : kStandardControlClasses) UnRegisterClass(cls);
    UnregisterResStrings(kControlTexts);
}

// The common controls.
const std::initializer_list<TClass> kCommonControlClasses = {
    TPageControl::StaticClass(),
    TTabSheet::StaticClass(),
    TTrackBar::StaticClass(),
    TSpinEdit::StaticClass(),
    TListView::StaticClass(),
    TColorBox::StaticClass(),
    TDriveComboBox::StaticClass(),
    TStatusBar::StaticClass(),
    TTreeView::StaticClass(),
    TToolBar::StaticClass(),
    TToolButton::StaticClass(),
};

void InitializeComCtrls() { RegisterClasses(kCommonControlClasses); }

void FinalizeComCtrls() {
    for (TClass cls : kCommonControlClasses) UnRegisterClass(cls);
}

const std::initializer_list<TClass> kDialogClasses = {
    TOpenDialog::StaticClass(),
    TSaveDialog::StaticClass(),
    TOpenPictureDialog::StaticClass(),
    TSavePictureDialog::StaticClass(),
};

void InitializeDialogs() {
    RegisterResStrings(kDialogStrings);
    RegisterClasses(kDialogClasses);
}

void FinalizeDialogs() {
    for (TClass cls : kDialogClasses) UnRegisterClass(cls);
    UnregisterResStrings(kDialogStrings);
}

} // namespace

void RegisterUiUnits(TUnitRegistry& units) {
    units.Register("Graphics", InitializeGraphics, FinalizeGraphics);
    units.Register("GraphicClasses", InitializeGraphicClasses, FinalizeGraphicClasses, {"Graphics"});
    units.Register("ImgList", InitializeImageLists, FinalizeImageLists, {"GraphicClasses"});
    units.Register("Screen", [] { Screen(); }, FreeScreen, {"Graphics"});
    units.Register("ExtCtrls", InitializeExtControls, FinalizeExtControls);
    units.Register("Forms", InitializeForms, FinalizeForms, {"Screen", "ExtCtrls"});
    units.Register("ActnList", InitializeActions, FinalizeActions, {"Forms"});
    units.Register("StdCtrls", InitializeStdCtrls, FinalizeStdCtrls, {"Forms"});
    units.Register("ComCtrls", InitializeComCtrls, FinalizeComCtrls, {"StdCtrls", "ImgList", "ActnList"});
    units.Register("Dialogs", InitializeDialogs, FinalizeDialogs, {"ComCtrls", "GraphicClasses"});
}
