#pragma once
// What the desktop shows for a file; here only the program's own icon.

#include "platform/win/Types.h"

constexpr UINT SHGFI_LARGEICON = 0x0000;
constexpr UINT SHGFI_SMALLICON = 0x0001;
constexpr UINT SHGFI_ICON = 0x0100;

constexpr int kShellFileNameLength = 260;
constexpr int kShellTypeNameLength = 80;

struct SHFILEINFOW {
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    WCHAR szDisplayName[kShellFileNameLength];
    WCHAR szTypeName[kShellTypeNameLength];
};

// With SHGFI_ICON and the running program's own file (ProgramFileName()):
// fills Info's hIcon with a new copy of the program icon, 16 pixels with
// SHGFI_SMALLICON and 32 otherwise, which the caller destroys, and answers
// non-zero. Any other path, other flags or a short Info answer 0.
DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD fileAttributes, SHFILEINFOW* info, UINT infoSize, UINT flags);
