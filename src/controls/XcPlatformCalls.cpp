#include "controls/XcPlatformCalls.h"

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/VersionInfo.h"
#include "platform/win/User.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/shell/ShellExecute.h"

LRESULT SendWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window, message, wParam, lParam);
}

bool KeyIsDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

void DiscardMessage(HWND window, UINT message) {
    MSG taken{};
    if (PeekMessageW(&taken, window, message, message, PM_REMOVE) && taken.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(taken.wParam));
}

bool ShellExecuteOpen(const String& target) {
    const HINSTANCE result = ShellExecuteW(nullptr, u"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
}

uint32_t FileVersionHigh(const String& file) {
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSizeW(file, &handle);
    if (size == 0) return 0;
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoW(file, handle, size, block.data())) return 0;
    const void* fixed = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueW(block.data(), u"\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO)) return 0;
    return static_cast<const VS_FIXEDFILEINFO*>(fixed)->dwFileVersionMS;
}

uint32_t ShellVersion() {
    static const uint32_t version = FileVersionHigh(u"shell32.dll");
    return version;
}

BOOL BitBltArgs(HDC dest, int x, int y, DWORD rop, int sourceY, int sourceX, HDC source, int height, int width) {
    return BitBlt(dest, x, y, width, height, source, sourceX, sourceY, rop);
}

void CheckOSResult(bool ok) {
    if (!ok) RaiseLastOSError();
}
