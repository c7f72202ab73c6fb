#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/core/Classes.h"

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

} // namespace

void RegisterStandardClasses(TWindowSystem& system) {
    for (const TStandardClass& c : kStandardClasses) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = c.style;
        wc.lpfnWndProc = c.proc;
        wc.cbWndExtra = kControlExtraBytes;
        wc.hCursor = LoadCursorW(nullptr, c.cursor);
        wc.lpszClassName = c.name;
        AddWindowClass(system, wc);
    }
}
