// The standard controls' start with the window system: their window classes
// and the edit menu of "user32".

#include "platform/win/controls/ControlConstants.h"
#include "platform/win/controls/ControlTexts.h"
#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/core/SystemUnits.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/window/Windows.h"

namespace {

struct TStandardClass {
    const char16_t* name;
    WNDPROC proc;
    UINT style;
    LPCWSTR cursor;
};

const TStandardClass kStandardClasses[] = {
    {u"EDIT", &EditWindowProc, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS, IDC_IBEAM},
    {u"BUTTON", &ButtonWindowProc, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS, IDC_ARROW},
    {u"STATIC", &StaticWindowProc, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS, IDC_ARROW},
    {u"LISTBOX", &ListBoxWindowProc, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS, IDC_ARROW},
    {u"COMBOBOX", &ComboBoxWindowProc, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS, IDC_ARROW},
    {u"SysTabControl32", &TabControlWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
    {u"tooltips_class32", &ToolTipWindowProc, CS_SAVEBITS | CS_GLOBALCLASS, IDC_ARROW},
    {u"msctls_trackbar32", &TrackBarWindowProc, CS_GLOBALCLASS, IDC_ARROW},
    {u"msctls_updown32", &UpDownWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
    {u"SysHeader32", &HeaderWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
    {u"SysListView32", &ListViewWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
    {u"msctls_statusbar32", &StatusBarWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
    {u"SysTreeView32", &TreeViewWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
    {u"ToolbarWindow32", &ToolBarWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_ARROW},
};

void RegisterStandardClasses() {
    for (const TStandardClass& c : kStandardClasses) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = c.style;
        wc.lpfnWndProc = c.proc;
        wc.cbWndExtra = kControlExtraBytes;
        wc.hCursor = LoadCursorW(nullptr, c.cursor);
        wc.lpszClassName = c.name;
        RegisterClassExW(&wc);
    }
}

// "user32" menu 1: the edit control's context menu.
HMENU MakeEditMenu() {
    const HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, WM_UNDO, LoadResString(SEditUndo).c_str());
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, WM_CUT, LoadResString(SEditCut).c_str());
    AppendMenuW(edit, MF_STRING, WM_COPY, LoadResString(SEditCopy).c_str());
    AppendMenuW(edit, MF_STRING, WM_PASTE, LoadResString(SEditPaste).c_str());
    AppendMenuW(edit, MF_STRING, WM_CLEAR, LoadResString(SEditDelete).c_str());
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, EM_SETSEL, LoadResString(SEditSelectAll).c_str());
    const HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_POPUP, UINT_PTR(edit), u"");
    return menu;
}

[[maybe_unused]] const bool registered = (WindowSystemUnits().Register(
                                              u"StandardControls",
                                              [] {
                                                  RegisterStandardClasses();
                                                  RegisterBuiltinMenu(u"user32", 1, &MakeEditMenu);
                                              },
                                              nullptr),
                                          true);

} // namespace

// Named by the controls' link options: every program linking the controls
// keeps this file, and so their registration, though nothing calls into it.
extern "C" void OstrelLinkStandardControls() {}
