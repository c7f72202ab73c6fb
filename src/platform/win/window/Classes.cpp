#include "platform/win/window/Classes.h"

#include <algorithm>
#include <cstring>

#include "platform/win/core/Procedures.h"
#include "platform/win/core/Tree.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr ATOM kFirstClassAtom = 0xC000;
ATOM nextAtom = kFirstClassAtom;

String NameOf(LPCWSTR name) { return IS_INTRESOURCE(name) ? String() : String(name); }

// Caller holds the system mutex.
std::vector<std::unique_ptr<TWindowClass>>::iterator Locate(LPCWSTR name, TWindowSystem& system = WindowSystem()) {
    auto& classes = system.classes;
    if (!name) return classes.end();
    if (IS_INTRESOURCE(name)) {
        const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(name));
        return std::find_if(classes.begin(), classes.end(), [&](const auto& c) { return c->atom == atom; });
    }
    const String wanted(name);
    return std::find_if(classes.begin(), classes.end(), [&](const auto& c) { return SameText(c->name, wanted); });
}

int CopyText(const String& text, LPWSTR buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    const int count = std::min(text.Length(), maxCount - 1);
    std::memcpy(buffer, text.c_str(), size_t(count) * sizeof(WCHAR));
    buffer[count] = 0;
    return count;
}

void Describe(const TWindowClass& c, WNDCLASSEXW* wc) {
    wc->style = c.style;
    wc->lpfnWndProc = c.proc;
    wc->cbClsExtra = c.classExtraBytes;
    wc->cbWndExtra = c.windowExtraBytes;
    wc->hInstance = c.instance;
    wc->hIcon = c.icon;
    wc->hCursor = c.cursor;
    wc->hbrBackground = c.background;
    wc->lpszMenuName = c.menuName.IsEmpty() ? nullptr : c.menuName.c_str();
    wc->lpszClassName = c.name.c_str();
    wc->hIconSm = c.smallIcon;
}

} // namespace

TWindowClass* FindClass(LPCWSTR name) {
    auto it = Locate(name);
    return it == WindowSystem().classes.end() ? nullptr : it->get();
}

int CopyWindowText(const String& text, LPWSTR buffer, int maxCount) { return CopyText(text, buffer, maxCount); }

ATOM AddWindowClass(TWindowSystem& system, const WNDCLASSEXW& wc) {
    if (Locate(wc.lpszClassName, system) != system.classes.end()) {
        SetError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_unique<TWindowClass>();
    c->name = wc.lpszClassName;
    c->atom = nextAtom++;
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->classExtraBytes = wc.cbClsExtra;
    c->windowExtraBytes = wc.cbWndExtra;
    c->instance = wc.hInstance;
    c->icon = wc.hIcon;
    c->smallIcon = wc.hIconSm;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    c->menuName = NameOf(wc.lpszMenuName);
    c->extra.assign(size_t(wc.cbClsExtra), 0);
    RetainProcedure(c->proc);
    const ATOM atom = c->atom;
    system.classes.push_back(std::move(c));
    return atom;
}

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXW) || !wc->lpfnWndProc || !wc->lpszClassName ||
        IS_INTRESOURCE(wc->lpszClassName) || wc->cbClsExtra < 0 || wc->cbWndExtra < 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TWindowSystem& system = WindowSystem();
    std::lock_guard lock(system.mutex);
    return AddWindowClass(system, *wc);
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WNDCLASSEXW ex{sizeof(WNDCLASSEXW), wc->style,   wc->lpfnWndProc,   wc->cbClsExtra,
                         wc->cbWndExtra,      wc->hInstance, wc->hIcon,       wc->hCursor,
                         wc->hbrBackground,   wc->lpszMenuName, wc->lpszClassName, nullptr};
    return RegisterClassExW(&ex);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    TWindowSystem& system = WindowSystem();
    std::unique_ptr<TWindowClass> removed;
    {
        std::lock_guard lock(system.mutex);
        auto it = Locate(className);
        if (it == system.classes.end()) {
            SetError(ERROR_CLASS_DOES_NOT_EXIST);
            return FALSE;
        }
        if ((*it)->windows > 0) {
            SetError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
        removed = std::move(*it);
        system.classes.erase(it);
    }
    ReleaseProcedure(removed->proc);
    return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* wc) {
    TWindowSystem& system = WindowSystem();
    std::lock_guard lock(system.mutex);
    TWindowClass* c = FindClass(className);
    if (!c || !wc) {
        SetError(c ? ERROR_INVALID_PARAMETER : ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    wc->cbSize = sizeof(WNDCLASSEXW);
    Describe(*c, wc);
    return c->atom;
}

BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* wc) {
    WNDCLASSEXW ex{};
    const BOOL atom = GetClassInfoExW(instance, className, &ex);
    if (!atom) return FALSE;
    *wc = WNDCLASSW{ex.style,   ex.lpfnWndProc, ex.cbClsExtra,    ex.cbWndExtra,   ex.hInstance,
                    ex.hIcon,   ex.hCursor,     ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
    return atom;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int maxCount) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || !w->cls) return 0;
    return CopyText(w->cls->name, buffer, maxCount);
}

ULONG_PTR GetClassLongPtrW(HWND hwnd, int index) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || !w->cls) return 0;
    const TWindowClass& c = *w->cls;
    switch (index) {
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c.smallIcon);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCL_CBWNDEXTRA: return ULONG_PTR(c.windowExtraBytes);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c.classExtraBytes);
    case GCW_ATOM: return c.atom;
    default:
        if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= c.extra.size()) {
            LONG_PTR value;
            std::memcpy(&value, c.extra.data() + index, sizeof value);
            return ULONG_PTR(value);
        }
        SetError(ERROR_INVALID_INDEX);
        return 0;
    }
}

ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || !w->cls) return 0;
    TWindowClass& c = *w->cls;
    const ULONG_PTR old = GetClassLongPtrW(hwnd, index);
    std::lock_guard lock(WindowSystem().mutex);
    switch (index) {
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HICONSM: c.smallIcon = reinterpret_cast<HICON>(value); break;
    case GCL_STYLE: c.style = UINT(value); break;
    case GCLP_WNDPROC:
        if (!value) {
            SetError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        RetainProcedure(reinterpret_cast<WNDPROC>(value));
        ReleaseProcedure(c.proc);
        c.proc = reinterpret_cast<WNDPROC>(value);
        break;
    default:
        if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= c.extra.size()) {
            std::memcpy(c.extra.data() + index, &value, sizeof value);
            break;
        }
        SetError(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}
