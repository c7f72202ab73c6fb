// The up-down's buddy: its place beside the arrows, its text as the position,
// and its Up and Down keys, which a procedure put in front of the buddy's own
// hands to the up-down.

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/Conversions.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/UpDownWindow.h"

namespace {

constexpr char16_t kThousands = u',';

struct TBuddyLink {
    HWND upDown;
    WNDPROC previous;
};

std::mutex linksMutex;
std::unordered_map<HWND, TBuddyLink> links;

bool FindLink(HWND buddy, TBuddyLink& link) {
    std::lock_guard lock(linksMutex);
    auto it = links.find(buddy);
    if (it == links.end()) return false;
    link = it->second;
    return true;
}

LRESULT BuddyKeysProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TBuddyLink link{};
    if (!FindLink(hwnd, link)) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (link.upDown && message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        SendMessageW(link.upDown, WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    if (link.upDown && message == WM_GETDLGCODE)
        return CallWindowProcW(link.previous, hwnd, message, wParam, lParam) | DLGC_WANTARROWS;
    if (message == WM_NCDESTROY) {
        std::lock_guard lock(linksMutex);
        links.erase(hwnd);
    }
    return CallWindowProcW(link.previous, hwnd, message, wParam, lParam);
}

// A buddy linked before keeps its place in the chain and passes its keys to
// the latest up-down.
void LinkKeys(HWND buddy, HWND upDown) {
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWLP_WNDPROC));
    {
        std::lock_guard lock(linksMutex);
        if (auto it = links.find(buddy); it != links.end()) {
            it->second.upDown = upDown;
            return;
        }
        links[buddy] = {upDown, previous};
    }
    SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BuddyKeysProc));
}

void UnlinkKeys(HWND buddy, HWND upDown) {
    TBuddyLink link{};
    if (!FindLink(buddy, link) || link.upDown != upDown) return;
    // While another procedure lies in front of ours, ours stays in the chain
    // and passes everything on.
    if (GetWindowLongPtrW(buddy, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&BuddyKeysProc)) {
        std::lock_guard lock(linksMutex);
        links[buddy].upDown = nullptr;
        return;
    }
    SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link.previous));
    std::lock_guard lock(linksMutex);
    links.erase(buddy);
}

} // namespace

String UpDownText(int value, bool grouped) {
    const String digits = IntToStr(value);
    if (!grouped) return digits;
    const size_t sign = value < 0 ? 1 : 0;
    String result = digits.substr(0, sign);
    const size_t count = digits.size() - sign;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) result += kThousands;
        result += digits[sign + i];
    }
    return result;
}

bool ParseUpDownText(const String& text, int& value) {
    String plain;
    for (char16_t c : text)
        if (c != kThousands) plain += c;
    return TryStrToInt(plain, value);
}

HWND TUpDownWindow::SetBuddy(HWND buddy) {
    const HWND previous = buddy_;
    if (buddy_ && IsWindow(buddy_)) UnlinkKeys(buddy_, hwnd_);
    buddy_ = buddy && IsWindow(buddy) ? buddy : nullptr;
    if (!buddy_) return previous;
    if (Style() & UDS_ARROWKEYS) LinkKeys(buddy_, hwnd_);
    AlignToBuddy();
    ShowInBuddy();
    return previous;
}

// Beside the buddy, as high as it; the buddy gives up the room.
void TUpDownWindow::AlignToBuddy() {
    const DWORD align = Style() & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT);
    if (!align || GetParent(buddy_) != GetParent(hwnd_)) return;
    RECT own, buddy;
    GetWindowRect(hwnd_, &own);
    GetWindowRect(buddy_, &buddy);
    const HWND parent = GetParent(hwnd_);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&buddy), 2);
    const int width = own.right - own.left;
    const int height = buddy.bottom - buddy.top;
    const int buddyWidth = std::max(0, int(buddy.right - buddy.left) - width);
    if (align & UDS_ALIGNRIGHT) {
        SetWindowPos(buddy_, nullptr, buddy.left, buddy.top, buddyWidth, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(hwnd_, nullptr, buddy.left + buddyWidth, buddy.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(buddy_, nullptr, buddy.right - buddyWidth, buddy.top, buddyWidth, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(hwnd_, nullptr, buddy.right - buddyWidth - width, buddy.top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TUpDownWindow::ShowInBuddy() {
    if (!(Style() & UDS_SETBUDDYINT) || !buddy_) return;
    const String text = UpDownText(pos_, !(Style() & UDS_NOTHOUSANDS));
    SetWindowTextW(buddy_, text.c_str());
}

bool TUpDownWindow::ReadBuddy() {
    const int length = GetWindowTextLengthW(buddy_);
    String text(size_t(length) + 1, u'\0');
    text.resize(size_t(GetWindowTextW(buddy_, text.data(), length + 1)));
    int value = 0;
    if (!ParseUpDownText(text, value)) return false;
    pos_ = Clamped(value);
    return true;
}
