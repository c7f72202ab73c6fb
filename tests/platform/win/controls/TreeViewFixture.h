#pragma once
// Tree views inside a parent that keeps a copy of every tree notification
// and may refuse the vetoable ones.

#include <set>

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/paint/Composite.h"
#include "../WindowFixture.h"

struct TTreeViewNote {
    UINT code;
    UINT action;
    HTREEITEM oldItem;
    HTREEITEM newItem;
};

class TreeViewTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Create(WS_POPUP | WS_VISIBLE, {100, 100, 400, 400});
        Answer(parent, WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            TTreeViewNote note{header->code, 0, nullptr, nullptr};
            const bool treeNote = header->code == TVN_SELCHANGINGW || header->code == TVN_SELCHANGEDW ||
                                  header->code == TVN_ITEMEXPANDINGW || header->code == TVN_ITEMEXPANDEDW ||
                                  header->code == TVN_DELETEITEMW;
            if (treeNote) {
                const auto* tree = reinterpret_cast<const NMTREEVIEWW*>(lParam);
                note = {header->code, tree->action, tree->itemOld.hItem, tree->itemNew.hItem};
            }
            if (header->code == TVN_GETDISPINFOW && dispInfo) {
                dispInfo(*reinterpret_cast<NMTVDISPINFOW*>(lParam));
                return 0;
            }
            if (header->code != TVN_GETDISPINFOW) notes.push_back(note);
            return LRESULT(refused.contains(header->code) ? 1 : 0);
        });
    }

    HWND Tree(DWORD style, RECT r = {10, 10, 210, 110}, int id = 5) {
        return CreateWindowExW(0, u"SysTreeView32", u"", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, parent, reinterpret_cast<HMENU>(uintptr_t(id)),
                               nullptr, nullptr);
    }
    static HTREEITEM Insert(HWND tree, HTREEITEM parentItem, const char16_t* text, HTREEITEM after = TVI_LAST,
                            LPARAM param = 0) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parentItem;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<char16_t*>(text);
        insert.item.lParam = param;
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    static HTREEITEM Next(HWND tree, UINT code, HTREEITEM item = nullptr) {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    static String Text(HWND tree, HTREEITEM item) {
        char16_t buffer[64] = {};
        TVITEMW fields{};
        fields.mask = TVIF_TEXT;
        fields.hItem = item;
        fields.pszText = buffer;
        fields.cchTextMax = 64;
        if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields))) return u"<none>";
        return buffer;
    }
    static String SelectedText(HWND tree) {
        const HTREEITEM caret = Next(tree, TVGN_CARET);
        return caret ? Text(tree, caret) : String(u"<none>");
    }
    static bool Expanded(HWND tree, HTREEITEM item) {
        TVITEMW fields{};
        fields.mask = TVIF_STATE;
        fields.hItem = item;
        fields.stateMask = TVIS_EXPANDED;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
        return fields.state & TVIS_EXPANDED;
    }
    static RECT ItemRect(HWND tree, HTREEITEM item, bool textOnly) {
        RECT rect{};
        *reinterpret_cast<HTREEITEM*>(&rect) = item;
        if (!SendMessageW(tree, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&rect))) return RECT{};
        return rect;
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const TTreeViewNote& n : notes) codes.push_back(n.code);
        return codes;
    }
    static COLORREF ScreenPixel(HWND hwnd, int x, int y) {
        const POINT pt = ScreenPoint(hwnd, x, y);
        const TDesktopImage image = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
        const uint32_t argb = image.Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    static bool RectHasColor(HWND hwnd, const RECT& r, COLORREF color) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (ScreenPixel(hwnd, x, y) == color) return true;
        return false;
    }

    HWND parent = nullptr;
    std::vector<TTreeViewNote> notes;
    std::set<UINT> refused;
    std::function<void(NMTVDISPINFOW&)> dispInfo;
};
