#pragma once
// Headers and list views inside a recording parent that keeps a copy of
// every WM_NOTIFY it gets (the record itself keeps only dangling pointers).

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/paint/Composite.h"
#include "../WindowFixture.h"

// What one notification said: its code and the item and sub-item (column) it names.
struct TListViewNote {
    UINT code;
    int item;
    int sub;
    bool operator==(const TListViewNote&) const = default;
};

inline void PrintTo(const TListViewNote& n, std::ostream* os) {
    *os << "{" << int(n.code) << ", " << n.item << ", " << n.sub << "}";
}

class ListViewTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Create(WS_POPUP | WS_VISIBLE, {100, 100, 600, 500});
        Answer(parent, WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            const auto& hdr = *reinterpret_cast<const NMHDR*>(lParam);
            notes.push_back(Describe(hdr, lParam));
            if (hdr.code == HDN_BEGINTRACKW && refuseTracking) return 1;
            return 0;
        });
    }

    // Header notifications carry the item; list-view ones the item and the sub-item.
    static TListViewNote Describe(const NMHDR& hdr, LPARAM lParam) {
        if (hdr.code <= HDN_FIRST && hdr.code > HDN_FIRST - 100) {
            const auto& nm = *reinterpret_cast<const NMHEADERW*>(lParam);
            return {hdr.code, nm.iItem, nm.pitem && (nm.pitem->mask & HDI_WIDTH) ? nm.pitem->cxy : -1};
        }
        if (hdr.code == LVN_KEYDOWN) return {hdr.code, reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey, 0};
        if (hdr.code == NM_CLICK || hdr.code == NM_DBLCLK || hdr.code == NM_RCLICK) {
            const auto& nm = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
            return {hdr.code, nm.iItem, nm.iSubItem};
        }
        if (hdr.code == LVN_ITEMCHANGED || hdr.code == LVN_COLUMNCLICK) {
            const auto& nm = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            return {hdr.code, nm.iItem, hdr.code == LVN_ITEMCHANGED ? int(nm.uNewState) : nm.iSubItem};
        }
        return {hdr.code, -1, -1};
    }
    std::vector<TListViewNote> NotesOf(UINT code) const {
        std::vector<TListViewNote> found;
        for (const TListViewNote& n : notes)
            if (n.code == code) found.push_back(n);
        return found;
    }

    // What the desktop shows at a point of the window's client area.
    static COLORREF ScreenPixel(HWND hwnd, int x, int y) {
        const POINT pt = ScreenPoint(hwnd, x, y);
        const TDesktopImage image = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
        const uint32_t argb = image.Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    // Presses at one point, moves to another and releases there.
    static void Drag(HWND hwnd, POINT from, POINT to) {
        DesktopMouseMove(ScreenPoint(hwnd, from.x, from.y));
        DesktopMouseButton(TDesktopButton::Left, true, ScreenPoint(hwnd, from.x, from.y));
        DesktopMouseMove(ScreenPoint(hwnd, (from.x + to.x) / 2, to.y));
        DesktopMouseMove(ScreenPoint(hwnd, to.x, to.y));
        DesktopMouseButton(TDesktopButton::Left, false, ScreenPoint(hwnd, to.x, to.y));
        RunUntilIdle();
    }

    HWND parent = nullptr;
    std::vector<TListViewNote> notes;
    bool refuseTracking = false;
};
