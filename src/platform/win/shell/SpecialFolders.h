#pragma once
// The shell's special folders (CSIDL values) that have a counterpart on a
// Linux desktop, from the user's folders (rtl/UserFolders.h). Any other value
// fails with E_INVALIDARG, so callers take their own fallbacks.
//
//   desktop, desktop directory       the desktop folder
//   personal / my documents          documents
//   my music, my video, my pictures  music, videos, pictures
//   profile                          the home folder
//   application data                 $XDG_CONFIG_HOME (~/.config)
//   local application data           $XDG_DATA_HOME (~/.local/share)
//   templates                        templates
//   fonts                            the user's fonts, $XDG_DATA_HOME/fonts

#include "platform/rtl/TaskAllocator.h"
#include "platform/win/Types.h"

constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_MYDOCUMENTS = 0x000C;
constexpr int CSIDL_MYMUSIC = 0x000D;
constexpr int CSIDL_MYVIDEO = 0x000E;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_FONTS = 0x0014;
constexpr int CSIDL_TEMPLATES = 0x0015;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr int CSIDL_MYPICTURES = 0x0027;
constexpr int CSIDL_PROFILE = 0x0028;
// Or-ed into a value for SHGetFolderPathW: create the folder when it is missing.
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr int CSIDL_FLAG_MASK = 0xFF00;

constexpr DWORD SHGFP_TYPE_CURRENT = 0;
constexpr DWORD SHGFP_TYPE_DEFAULT = 1;

// A new item-id list of the folder.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, ITEMIDLIST** list);
// The folder's path into a buffer of MAX_PATH characters; E_FAIL when it does
// not fit or cannot be created, the buffer then empty.
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);
