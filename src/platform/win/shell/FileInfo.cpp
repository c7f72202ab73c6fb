#include "platform/win/shell/FileInfo.h"

#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Files.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/system/SystemMetrics.h"

DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD, SHFILEINFOW* info, UINT infoSize, UINT flags) {
    if (!path || !info || infoSize < sizeof(SHFILEINFOW)) return 0;
    if ((flags & ~(SHGFI_ICON | SHGFI_SMALLICON)) != 0 || !(flags & SHGFI_ICON)) return 0;
    if (ExpandFileName(String(path)) != ProgramFileName()) return 0;
    const bool small = flags & SHGFI_SMALLICON;
    const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const auto icon = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, 0));
    if (!icon) return 0;
    *info = SHFILEINFOW{};
    info->hIcon = icon;
    return 1;
}
