#pragma once
// The shell half of the support library's path functions (ScShell.h): the
// name a shell folder gives one of its items. It lives here because it
// speaks to the window system's shell folders.

#include "platform/rtl/String.h"
#include "platform/win/shell/ShellFolder.h"

enum class TShellNameKind { snkNormal, snkForParsing };
using enum TShellNameKind;

// What Folder answers for its Item (a list relative to it): the item's name
// (SHGDN_NORMAL) or its whole path (SHGDN_FORPARSING), up to the first NUL.
// Empty when the folder answers nothing.
String ShellDisplayName(IShellFolder& folder, const ITEMIDLIST* item, TShellNameKind kind);
