#include "platform/ui/UtilityWindow.h"

#include <exception>

#include "platform/rtl/AppServices.h"
#include "platform/ui/UiErrors.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr const char16_t* kClassName = u"TUtilityWindow";

// The class answers everything by default; each window gets its method as
// its own procedure once it exists.
void RegisterUtilityClass() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc);
    }();
    static_cast<void>(atom);
}

LRESULT CallMethod(const TUtilityWndMethod& method, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> answer;
    try {
        answer = method(message, wParam, lParam);
    } catch (const std::exception& e) {
        AppServices().HandleException(e);
        return 0;
    }
    return answer ? *answer : DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

HWND AllocateHWnd(TUtilityWndMethod method) {
    RegisterUtilityClass();
    const HWND hwnd = CreateWindowExW(0, kClassName, u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!hwnd) throw EOutOfResources(LoadResString(SUtilityWindowFailed));
    WNDPROC procedure;
    try {
        procedure = MakeObjectInstance([method = std::move(method)](HWND h, UINT message, WPARAM wParam,
                                                                     LPARAM lParam) {
            return CallMethod(method, h, message, wParam, lParam);
        });
    } catch (...) {
        DestroyWindow(hwnd);
        throw;
    }
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    return hwnd;
}

void DeallocateHWnd(HWND hwnd) {
    if (!hwnd) return;
    // The method hears nothing of the destruction: its owner may be half gone.
    const auto procedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW)));
    DestroyWindow(hwnd);
    FreeObjectInstance(procedure);
}
