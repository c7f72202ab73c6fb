#include "platform/win/message/ModalWindows.h"

#include <algorithm>

#include "platform/win/User.h"

std::vector<HWND> WindowsToDisableForDialog(HWND owner, HWND dialog) {
    std::vector<HWND> windows;
    if (owner) windows.push_back(owner);
    EnumThreadWindows(GetCurrentThreadId(),
                      [](HWND window, LPARAM list) {
                          if (IsWindowVisible(window) && IsWindowEnabled(window))
                              reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                          return TRUE;
                      },
                      LPARAM(&windows));
    std::erase(windows, dialog);
    std::sort(windows.begin(), windows.end());
    windows.erase(std::unique(windows.begin(), windows.end()), windows.end());
    return windows;
}
