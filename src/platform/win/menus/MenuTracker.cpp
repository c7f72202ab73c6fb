#include "platform/win/menus/MenuTracker.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/win/core/Tree.h"
#include "platform/win/input/Input.h"
#include "platform/win/menus/MenuBar.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/toplevel/Monitors.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr const char16_t* kPopupClass = u"OstrelMenuPopup";
constexpr UINT kDefaultShowDelay = 400;

bool Inside(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

RECT Offset(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

RECT WorkAreaAt(POINT pt) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// Preferred when it fits within [low, high), else Alternative; kept inside.
int Place(int preferred, int alternative, int size, int low, int high) {
    const int start = preferred >= low && preferred + size <= high ? preferred : alternative;
    return std::clamp(start, low, std::max(low, high - size));
}

UINT ShowDelay() {
    UINT delay = 0;
    return SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0) ? delay : kDefaultShowDelay;
}

bool IsMouseMessage(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The client form of a non-client mouse message.
UINT ClientMouseMessage(UINT message) {
    return message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK ? message - WM_NCMOUSEMOVE + WM_MOUSEMOVE
                                                                        : message;
}

UINT ReleaseOf(UINT press) {
    switch (press) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return WM_LBUTTONUP;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return WM_RBUTTONUP;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: return WM_MBUTTONUP;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK: return WM_XBUTTONUP;
    default: return 0;
    }
}

// Where a popup goes: aligned at a point by TPM_ flags, or beside the popup
// it opened from; inside the work area of the monitor at the anchor, on the
// other side of the point (or of the excluded rectangle) when it does not fit.
struct TPlacement {
    POINT anchor{};
    UINT flags = 0;
    std::optional<RECT> exclude;  // avoided across the TPM_VERTICAL axis, else across the other
    std::optional<RECT> besideOf; // a submenu: right of this popup, else left; its top at the anchor
};

POINT PopupPosition(const TPlacement& p, SIZE size) {
    const RECT work = WorkAreaAt(p.anchor);
    const POINT pt = p.anchor;
    if (p.besideOf) {
        const RECT& parent = *p.besideOf;
        return POINT{Place(parent.right - kPopupBorder, parent.left + kPopupBorder - size.cx, size.cx, work.left, work.right),
                     Place(pt.y, pt.y, size.cy, work.top, work.bottom)};
    }
    const UINT f = p.flags;
    const int x = f & TPM_RIGHTALIGN ? pt.x - size.cx : f & TPM_CENTERALIGN ? pt.x - size.cx / 2 : pt.x;
    const int y = f & TPM_BOTTOMALIGN ? pt.y - size.cy : f & TPM_VCENTERALIGN ? pt.y - size.cy / 2 : pt.y;
    int otherX = x < pt.x ? pt.x : pt.x - size.cx, otherY = y < pt.y ? pt.y : pt.y - size.cy;
    if (p.exclude) {
        const RECT& r = *p.exclude;
        if (f & TPM_VERTICAL)
            otherY = y < pt.y ? r.bottom : r.top - size.cy;
        else
            otherX = x < pt.x ? r.right : r.left - size.cx;
    }
    return POINT{Place(x, otherX, size.cx, work.left, work.right), Place(y, otherY, size.cy, work.top, work.bottom)};
}

char16_t LowerLetter(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

LRESULT PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterPopupClass() {
    WNDCLASSW wc{};
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = &PopupProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPopupClass;
    WNDCLASSW existing{};
    return GetClassInfoW(nullptr, kPopupClass, &existing) || RegisterClassW(&wc);
}

// One open popup.
struct TLevel {
    HMENU menu = nullptr;
    HWND window = nullptr;
    TPopupLayout layout;
    POINT origin{}; // of the window on the screen
    int hot = -1;

    RECT Bounds() const { return RECT{origin.x, origin.y, origin.x + layout.size.cx, origin.y + layout.size.cy}; }
    RECT ItemOnScreen(int item) const { return Offset(layout.items[size_t(item)], origin.x, origin.y); }
    int ItemAtScreen(POINT pt) const { return ItemAt(layout.items, POINT{pt.x - origin.x, pt.y - origin.y}); }
};

class TTracker;
thread_local TTracker* active = nullptr;

class TTracker {
public:
    // Bar: the owner's menu bar is tracked; WindowMenu: the first popup is the window menu.
    TTracker(HWND owner, UINT flags, HMENU bar, bool windowMenu)
        : owner_(owner), flags_(flags), bar_(bar), windowMenu_(windowMenu) {}
    ~TTracker() {
        CloseLevels(0);
        if (timer_) KillTimer(nullptr, timer_);
        if (active == this) active = nullptr;
    }
    TTracker(const TTracker&) = delete;
    TTracker& operator=(const TTracker&) = delete;

    // A popup menu at Pt. Answers the chosen id, 0 for none.
    UINT RunPopup(HMENU menu, POINT pt, const RECT* exclude) {
        Begin(menu);
        TPlacement placement;
        placement.anchor = pt;
        placement.flags = flags_;
        if (exclude) placement.exclude = *exclude;
        if (OpenLevel(menu, 0, placement) && !ended_) Loop(levels_.front()->window);
        return Finish();
    }

    // The owner's menu bar with item Item selected (-1 for none), its popup
    // open when asked (selecting its first item for the keyboard).
    UINT RunBar(int item, bool open, bool selectFirst) {
        Begin(bar_);
        if (item >= 0) {
            if (open)
                OpenBarItem(item, selectFirst);
            else
                SelectBarItem(item);
        }
        if (!ended_ && barSelected_ >= 0) Loop(owner_);
        return Finish();
    }

    void Cancel() {
        ended_ = true;
        releaseKey_ = releaseButton_ = 0;
        PostMessageW(nullptr, WM_NULL, 0, 0); // wakes the loop to see it
    }

    void PaintPopup(HWND hwnd, HDC dc) const {
        for (const auto& level : levels_)
            if (level->window == hwnd)
                if (const TMenuObject* menu = FindMenu(level->menu)) ::PaintPopup(dc, *menu, level->layout, level->hot);
    }

    bool Owns(HWND hwnd) const noexcept { return owner_ == hwnd; }
    bool TracksBar() const noexcept { return bar_ != nullptr; }
    int BarSelected() const noexcept { return barSelected_; }
    bool PopupOpen() const noexcept { return !levels_.empty(); }

    bool ItemRect(HMENU menu, UINT position, RECT& rect) const {
        for (const auto& level : levels_)
            if (level->menu == menu && position < level->layout.items.size()) {
                rect = level->ItemOnScreen(int(position));
                return true;
            }
        return false;
    }

private:
    bool Notifying() const noexcept { return !(flags_ & TPM_NONOTIFY); }
    bool PopupMode() const noexcept { return bar_ == nullptr; }
    bool OwnerAlive() const { return LocalWindow(owner_) != nullptr; }
    TLevel* Deepest() const { return levels_.empty() ? nullptr : levels_.back().get(); }

    void Begin(HMENU menu) {
        active = this;
        if (Notifying()) {
            SendMessageW(owner_, WM_ENTERMENULOOP, PopupMode(), 0);
            if (OwnerAlive()) SendMessageW(owner_, WM_INITMENU, WPARAM(menu), 0);
        }
    }

    void Loop(HWND capture) {
        TModalLoopOptions options;
        options.capture = capture;
        options.filter = [this](MSG& msg) { return Filter(msg); };
        options.idle = [this] {
            if (Notifying() && !ended_ && OwnerAlive())
                SendMessageW(owner_, WM_ENTERIDLE, MSGF_MENU, LPARAM(Deepest() ? Deepest()->window : nullptr));
        };
        RunModalLoop([this] { return Done(); }, options);
    }

    bool Done() const {
        if (!OwnerAlive() || (!levels_.empty() && !FindMenu(levels_.front()->menu))) return true;
        return ended_ && !releaseKey_ && !releaseButton_;
    }

    UINT Finish() {
        CloseLevels(0);
        const int barItem = barSelected_;
        barSelected_ = -1;
        if (TWindow* w = LocalWindow(owner_); w && barItem >= 0) RedrawMenuBar(w);
        active = nullptr;
        if (Notifying() && OwnerAlive()) {
            SendMessageW(owner_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
            if (OwnerAlive()) SendMessageW(owner_, WM_EXITMENULOOP, PopupMode(), 0);
        }
        if (chosen_ && !(flags_ & TPM_RETURNCMD) && OwnerAlive())
            PostMessageW(owner_, windowMenu_ ? WM_SYSCOMMAND : WM_COMMAND, chosen_, 0);
        return chosen_;
    }

    // --- Popups -------------------------------------------------------------
    // Opens Menu as the next level (Index: its position in the menu it came
    // from); false when it has nothing to show.
    bool OpenLevel(HMENU menu, int index, const TPlacement& placement) {
        if (Notifying()) {
            SendMessageW(owner_, WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(WORD(index), windowMenu_ && levels_.empty()));
            if (ended_ || !OwnerAlive()) return false;
        }
        const TMenuObject* object = FindMenu(menu);
        if (!object || object->items.empty() || !RegisterPopupClass()) return false;
        auto level = std::make_unique<TLevel>();
        level->menu = menu;
        level->layout = LayoutPopup(*object);
        level->origin = PopupPosition(placement, level->layout.size);
        level->window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPopupClass, u"", WS_POPUP,
                                        level->origin.x, level->origin.y, level->layout.size.cx,
                                        level->layout.size.cy, nullptr, nullptr, nullptr, nullptr);
        if (!level->window) return false;
        const HWND window = level->window;
        levels_.push_back(std::move(level));
        ShowWindow(window, SW_SHOWNA);
        return true;
    }

    // Opens the submenu of the hot item of level Index.
    bool OpenSubmenu(size_t index, bool selectFirst) {
        CloseLevels(index + 1);
        TLevel& parent = *levels_[index];
        const TMenuObject* menu = FindMenu(parent.menu);
        if (!menu || parent.hot < 0 || size_t(parent.hot) >= menu->items.size()) return false;
        const TMenuEntry& entry = menu->items[size_t(parent.hot)];
        if (!entry.submenu || entry.Disabled()) return false;
        const RECT item = parent.ItemOnScreen(parent.hot);
        TPlacement placement;
        placement.anchor = POINT{item.right, item.top - kPopupBorder};
        placement.besideOf = parent.Bounds();
        if (!OpenLevel(entry.submenu, parent.hot, placement)) return false;
        if (selectFirst) Step(*Deepest(), 1);
        return true;
    }

    void CloseLevels(size_t from) {
        while (levels_.size() > from) {
            if (IsWindow(levels_.back()->window)) DestroyWindow(levels_.back()->window);
            levels_.pop_back();
        }
        pendingOpen_ = -1;
    }

    // --- Selection ----------------------------------------------------------
    void Select(TLevel& level, int item, bool mouse) {
        if (level.hot == item) return;
        level.hot = item;
        InvalidateRect(level.window, nullptr, FALSE);
        const TMenuObject* menu = FindMenu(level.menu);
        if (!Notifying() || !menu || item < 0 || size_t(item) >= menu->items.size()) return;
        const TMenuEntry& entry = menu->items[size_t(item)];
        UINT flags = (entry.type | entry.state | MF_HILITE) & 0xFFFF;
        if (entry.submenu) flags |= MF_POPUP;
        if (mouse) flags |= MF_MOUSESELECT;
        if (windowMenu_) flags |= MF_SYSMENU;
        SendMessageW(owner_, WM_MENUSELECT, MAKEWPARAM(WORD(entry.submenu ? UINT(item) : entry.id), WORD(flags)),
                     LPARAM(level.menu));
    }

    // Moves the level's selection by Delta over items that are not separators.
    void Step(TLevel& level, int delta) {
        const TMenuObject* menu = FindMenu(level.menu);
        if (!menu || menu->items.empty()) return;
        const int count = int(menu->items.size());
        int item = level.hot < 0 ? (delta > 0 ? -1 : count) : level.hot;
        for (int i = 0; i < count; ++i) {
            item = ((item + delta) % count + count) % count;
            if (!menu->items[size_t(item)].Separator()) return Select(level, item, false);
        }
    }

    // The item at Index of the level: opens its submenu, or chooses it.
    void Choose(size_t index, int item, bool selectFirst) {
        TLevel& level = *levels_[index];
        const TMenuObject* menu = FindMenu(level.menu);
        if (!menu || item < 0 || size_t(item) >= menu->items.size()) return;
        const TMenuEntry& entry = menu->items[size_t(item)];
        if (entry.Separator() || entry.Disabled()) return;
        Select(level, item, !selectFirst);
        if (entry.submenu) {
            if (levels_.size() <= index + 1) OpenSubmenu(index, selectFirst);
            return;
        }
        chosen_ = entry.id;
        ended_ = true;
    }

    const TMenuObject* BarMenu() const { return FindMenu(bar_); }

    void SelectBarItem(int item) {
        const TMenuObject* menu = BarMenu();
        if (!menu || item < 0 || size_t(item) >= menu->items.size() || item == barSelected_) return;
        barSelected_ = item;
        if (TWindow* w = LocalWindow(owner_)) RedrawMenuBar(w);
        const TMenuEntry& entry = menu->items[size_t(item)];
        if (Notifying())
            SendMessageW(owner_, WM_MENUSELECT,
                         MAKEWPARAM(WORD(entry.submenu ? UINT(item) : entry.id),
                                    WORD((entry.type | entry.state | MF_HILITE | (entry.submenu ? MF_POPUP : 0)) & 0xFFFF)),
                         LPARAM(bar_));
    }

    // Selects bar item Item and opens its popup below it.
    void OpenBarItem(int item, bool selectFirst) {
        CloseLevels(0);
        SelectBarItem(item);
        const TMenuObject* menu = BarMenu();
        TWindow* w = LocalWindow(owner_);
        if (!menu || !w || item < 0 || size_t(item) >= menu->items.size()) return;
        const TMenuEntry& entry = menu->items[size_t(item)];
        if (!entry.submenu || entry.Disabled()) return;
        const std::vector<RECT> items = MenuBarItemsOnScreen(w);
        if (size_t(item) >= items.size()) return;
        TPlacement placement;
        placement.anchor = POINT{items[size_t(item)].left, items[size_t(item)].bottom};
        placement.flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL;
        placement.exclude = items[size_t(item)];
        if (OpenLevel(entry.submenu, item, placement) && selectFirst) Step(*Deepest(), 1);
        if (TWindow* owner = LocalWindow(owner_)) RedrawMenuBar(owner);
    }

    void MoveOnBar(int delta) {
        const TMenuObject* menu = BarMenu();
        if (!menu || menu->items.empty()) return;
        const int count = int(menu->items.size());
        const int item = ((barSelected_ + delta) % count + count) % count;
        if (PopupOpen())
            OpenBarItem(item, true);
        else
            SelectBarItem(item);
    }

    // --- Input --------------------------------------------------------------
    bool Filter(MSG& msg) {
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer_) {
            KillTimer(nullptr, timer_);
            timer_ = 0;
            OpenPending();
            return true;
        }
        if (IsMouseMessage(msg.message)) {
            Mouse(ClientMouseMessage(msg.message), msg.pt);
            return true;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            Key(msg);
            return true;
        }
        return false;
    }

    void Key(MSG& msg) {
        const UINT vk = UINT(msg.wParam);
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: KeyDown(msg, vk); break;
        case WM_CHAR:
        case WM_SYSCHAR: Letter(char16_t(msg.wParam)); break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (releaseKey_ && (vk == releaseKey_ || (releaseKey_ == VK_MENU && (vk == VK_LMENU || vk == VK_RMENU))))
                releaseKey_ = 0;
            break;
        default: break;
        }
    }

    void KeyDown(MSG& msg, UINT vk) {
        if (ended_) return;
        TLevel* deepest = Deepest();
        switch (vk) {
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
        case VK_F10:
            if (msg.lParam & (1 << 30)) return; // held since before
            ended_ = true;
            releaseKey_ = vk == VK_F10 ? VK_F10 : VK_MENU;
            return;
        case VK_ESCAPE:
            if (levels_.size() > 1 || (TracksBar() && levels_.size() == 1)) {
                CloseLevels(levels_.size() - 1);
                if (TWindow* w = LocalWindow(owner_); w && !PopupOpen()) RedrawMenuBar(w);
            } else {
                ended_ = true;
            }
            return;
        case VK_UP:
        case VK_DOWN:
            if (deepest)
                Step(*deepest, vk == VK_DOWN ? 1 : -1);
            else if (TracksBar())
                OpenBarItem(barSelected_, true);
            return;
        case VK_LEFT:
            if (levels_.size() > 1)
                CloseLevels(levels_.size() - 1);
            else if (TracksBar())
                MoveOnBar(-1);
            return;
        case VK_RIGHT:
            if (deepest && OpenSubmenu(levels_.size() - 1, true)) return;
            if (TracksBar()) MoveOnBar(1);
            return;
        case VK_RETURN:
            if (deepest)
                Choose(levels_.size() - 1, deepest->hot, true);
            else if (TracksBar())
                OpenBarItem(barSelected_, true);
            return;
        default: TranslateMessage(&msg); return;
        }
    }

    // A mnemonic letter in the deepest popup, else on the bar.
    void Letter(char16_t letter) {
        if (ended_) return;
        TLevel* deepest = Deepest();
        const HMENU handle = deepest ? deepest->menu : bar_;
        const TMenuObject* menu = FindMenu(handle);
        if (!menu) return;
        std::vector<int> matches;
        for (size_t i = 0; i < menu->items.size(); ++i)
            if (const char16_t m = menu->items[i].Mnemonic(); m && m == LowerLetter(letter)) matches.push_back(int(i));
        const int current = deepest ? deepest->hot : barSelected_;
        if (matches.size() == 1) return Activate(matches.front());
        if (matches.size() > 1) {
            const auto next = std::upper_bound(matches.begin(), matches.end(), current);
            const int item = next == matches.end() ? matches.front() : *next;
            if (deepest)
                Select(*deepest, item, false);
            else
                SelectBarItem(item);
            return;
        }
        if (!Notifying()) return;
        const WORD kind = WORD((deepest ? MF_POPUP : 0) | (windowMenu_ ? MF_SYSMENU : 0));
        const LRESULT answer = SendMessageW(owner_, WM_MENUCHAR, MAKEWPARAM(letter, kind), LPARAM(handle));
        switch (HIWORD(answer)) {
        case MNC_EXECUTE: Activate(LOWORD(answer)); break;
        case MNC_SELECT:
            if (deepest && LOWORD(answer) < menu->items.size())
                Select(*deepest, LOWORD(answer), false);
            else if (!deepest)
                SelectBarItem(LOWORD(answer));
            break;
        case MNC_CLOSE: ended_ = true; break;
        default: break;
        }
    }

    // Chooses an item of the deepest popup, or opens a bar item.
    void Activate(int item) {
        if (!levels_.empty())
            Choose(levels_.size() - 1, item, true);
        else if (TracksBar())
            OpenBarItem(item, true);
    }

    // What lies under a screen point.
    struct THit {
        int level = -1; // index into levels_, -1 for none
        int item = -1;  // in that level, or on the bar
        bool bar = false;
    };
    THit HitAt(POINT pt) const {
        for (size_t i = levels_.size(); i-- > 0;)
            if (Inside(levels_[i]->Bounds(), pt)) return THit{int(i), levels_[i]->ItemAtScreen(pt), false};
        if (TracksBar())
            if (TWindow* w = LocalWindow(owner_)) {
                const int item = ItemAt(MenuBarItemsOnScreen(w), pt);
                if (item >= 0) return THit{-1, item, true};
            }
        return THit{};
    }

    void Mouse(UINT message, POINT pt) {
        if (releaseButton_ && message == releaseButton_) {
            releaseButton_ = 0;
            return;
        }
        if (ended_) return;
        const THit hit = HitAt(pt);
        if (message == WM_MOUSEMOVE) return MouseMove(hit);
        if (const UINT release = ReleaseOf(message)) return MousePress(hit, release);
        if (message == WM_LBUTTONUP || (message == WM_RBUTTONUP && (flags_ & TPM_RIGHTBUTTON)))
            if (hit.level >= 0) {
                const TMenuObject* menu = FindMenu(levels_[size_t(hit.level)]->menu);
                if (menu && hit.item >= 0 && !menu->items[size_t(hit.item)].submenu) Choose(size_t(hit.level), hit.item, false);
            }
    }

    void MouseMove(const THit& hit) {
        if (hit.bar) {
            if (hit.item != barSelected_ && PopupOpen()) OpenBarItem(hit.item, false);
            return;
        }
        if (hit.level < 0) {
            // Off the menus: the deepest popup keeps only an item about to open its submenu.
            if (TLevel* deepest = Deepest(); deepest && pendingOpen_ < 0) Select(*deepest, -1, true);
            return;
        }
        const size_t index = size_t(hit.level);
        TLevel& level = *levels_[index];
        if (hit.item == level.hot) {
            CloseLevelsAbove(index, hit.item);
            return;
        }
        if (levels_.size() > index + 1) CloseLevels(index + 1);
        Select(level, hit.item, true);
        const TMenuObject* menu = FindMenu(level.menu);
        if (menu && hit.item >= 0 && menu->items[size_t(hit.item)].submenu) {
            pendingOpen_ = int(index);
            timer_ = SetTimer(nullptr, timer_, ShowDelay(), nullptr);
        }
    }

    // Back on the item whose submenu is open: deeper levels lose their selection.
    void CloseLevelsAbove(size_t index, int item) {
        if (levels_.size() > index + 2) CloseLevels(index + 2);
        if (levels_.size() > index + 1 && item >= 0) Select(*levels_[index + 1], -1, true);
    }

    void MousePress(const THit& hit, UINT release) {
        if (hit.bar) {
            if (hit.item == barSelected_ && PopupOpen()) {
                ended_ = true;
                releaseButton_ = release;
            } else {
                OpenBarItem(hit.item, false);
            }
            return;
        }
        if (hit.level < 0) {
            ended_ = true;
            releaseButton_ = release;
            return;
        }
        const TLevel& level = *levels_[size_t(hit.level)];
        const TMenuObject* menu = FindMenu(level.menu);
        if (menu && hit.item >= 0 && menu->items[size_t(hit.item)].submenu &&
            levels_.size() <= size_t(hit.level) + 1)
            Choose(size_t(hit.level), hit.item, false);
    }

    void OpenPending() {
        if (pendingOpen_ < 0 || size_t(pendingOpen_) >= levels_.size()) return;
        const size_t index = size_t(pendingOpen_);
        pendingOpen_ = -1;
        if (levels_.size() == index + 1) OpenSubmenu(index, false);
    }

    HWND owner_;
    UINT flags_;
    HMENU bar_;
    bool windowMenu_;
    std::vector<std::unique_ptr<TLevel>> levels_;
    int barSelected_ = -1;
    bool ended_ = false;
    UINT chosen_ = 0;
    UINT releaseKey_ = 0;    // a key whose release ends the tracking
    UINT releaseButton_ = 0; // a button release that ends it
    UINT_PTR timer_ = 0;     // opening a submenu under the pointer
    int pendingOpen_ = -1;   // the level whose hot item's submenu the timer opens
};

LRESULT PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(hwnd, &ps);
        if (active) active->PaintPopup(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// Updates the window menu's states from the window before it opens.
void UpdateWindowMenu(TWindow* w, HMENU menu) {
    const DWORD style = w->style;
    const bool minimized = style & WS_MINIMIZE, maximized = style & WS_MAXIMIZE;
    const auto enable = [&](UINT command, bool enabled) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(SC_RESTORE, minimized || maximized);
    enable(SC_MOVE, !maximized);
    enable(SC_SIZE, !minimized && !maximized && (style & WS_THICKFRAME));
    enable(SC_MINIMIZE, !minimized && (style & WS_MINIMIZEBOX));
    enable(SC_MAXIMIZE, !maximized && (style & WS_MAXIMIZEBOX));
    enable(SC_CLOSE, true);
}

bool HasBarItems(TWindow* w) {
    const TMenuObject* menu = !w->IsChild() ? FindMenu(w->menu) : nullptr;
    return menu && !menu->items.empty();
}

} // namespace

int TrackPopup(HMENU menu, UINT flags, POINT pt, HWND owner, const RECT* exclude) {
    if (active || !FindMenuOrError(menu)) return -1;
    if (!LocalWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    TTracker tracker(owner, flags, nullptr, false);
    return int(tracker.RunPopup(menu, pt, exclude));
}

void TrackMenuKey(TWindow* w, char16_t key) {
    if (active || w->IsChild()) return;
    const HWND hwnd = w->handle;
    if (key == u' ') {
        if (!(w->style & WS_SYSMENU)) return;
        const HMENU menu = GetSystemMenu(hwnd, FALSE);
        UpdateWindowMenu(w, menu);
        const RECT r = ScreenRect(w);
        TTracker tracker(hwnd, 0, nullptr, true);
        tracker.RunPopup(menu, POINT{r.left, r.top}, nullptr);
        return;
    }
    if (!HasBarItems(w)) return;
    if (key == 0) {
        TTracker(hwnd, 0, w->menu, false).RunBar(0, false, false);
        return;
    }
    const TMenuObject* menu = FindMenu(w->menu);
    for (size_t i = 0; i < menu->items.size(); ++i)
        if (const char16_t m = menu->items[i].Mnemonic(); m && m == LowerLetter(key)) {
            TTracker(hwnd, 0, w->menu, false).RunBar(int(i), true, true);
            return;
        }
}

void TrackMenuBarPress(TWindow* w, POINT pt) {
    if (active || !HasBarItems(w)) return;
    const int item = ItemAt(MenuBarItemsOnScreen(w), pt);
    if (item >= 0) TTracker(w->handle, 0, w->menu, false).RunBar(item, true, false);
}

TMenuBarState MenuBarStateOf(const TWindow* w) {
    if (!active || !active->TracksBar() || !active->Owns(w->handle)) return {};
    return TMenuBarState{active->BarSelected(), active->PopupOpen() ? TBarItemLook::Pressed : TBarItemLook::Hot};
}

bool OpenPopupItemRect(HMENU menu, UINT position, RECT& rect) { return active && active->ItemRect(menu, position, rect); }

bool CancelMenuTracking() {
    if (!active) return false;
    active->Cancel();
    return true;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND hwnd, const TPMPARAMS* params) {
    const int result = TrackPopup(menu, flags, POINT{x, y}, hwnd, params ? &params->rcExclude : nullptr);
    if (result < 0) return FALSE;
    return flags & TPM_RETURNCMD ? BOOL(result) : TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hwnd, const RECT*) {
    return TrackPopupMenuEx(menu, flags, x, y, hwnd, nullptr);
}

BOOL EndMenu() { return CancelMenuTracking(); }
