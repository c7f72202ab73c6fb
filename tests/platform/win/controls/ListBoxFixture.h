#pragma once
// List boxes inside a recording parent window that answers WM_MEASUREITEM
// with 17-pixel rows and keeps every WM_DRAWITEM it gets.

#include "platform/win/controls/ControlConstants.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/text/Text.h"
#include "../WindowFixture.h"

class ListBoxTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Create(WS_POPUP | WS_VISIBLE, {100, 100, 500, 400});
        Answer(nullptr, WM_MEASUREITEM, [](WPARAM, LPARAM lParam) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 17;
            return std::optional<LRESULT>(TRUE);
        });
        Answer(nullptr, WM_DRAWITEM, [this](WPARAM, LPARAM lParam) {
            drawn.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return std::optional<LRESULT>(TRUE);
        });
    }

    HWND List(DWORD style, RECT r = {10, 10, 110, 110}, int id = 7) {
        return CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, parent, reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
    }
    static int Add(HWND list, const char16_t* text) {
        return int(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    static std::vector<String> Texts(HWND list) {
        std::vector<String> texts;
        for (int i = 0, n = int(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            String s(size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)), u' ');
            SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()));
            texts.push_back(s);
        }
        return texts;
    }
    static std::vector<int> Selected(HWND list) {
        std::vector<int> result;
        for (int i = 0, n = int(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i)
            if (SendMessageW(list, LB_GETSEL, WPARAM(i), 0) > 0) result.push_back(i);
        return result;
    }
    // The notification codes the list sent, in order.
    std::vector<WORD> Notifications(HWND list) const {
        std::vector<WORD> codes;
        for (const TRecord& r : Recorded({WM_COMMAND}))
            if (r.lParam == reinterpret_cast<LPARAM>(list)) codes.push_back(HIWORD(r.wParam));
        return codes;
    }
    // What the desktop shows at a point of the window's client area.
    static COLORREF ScreenPixel(HWND hwnd, int x, int y) {
        const POINT pt = ScreenPoint(hwnd, x, y);
        const TDesktopImage image = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
        const uint32_t argb = image.Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    static bool RowHasColor(HWND hwnd, int y, COLORREF color) {
        RECT client{};
        GetClientRect(hwnd, &client);
        for (int x = 0; x < client.right; ++x)
            if (ScreenPixel(hwnd, x, y) == color) return true;
        return false;
    }

    HWND parent = nullptr;
    std::vector<DRAWITEMSTRUCT> drawn;
};
