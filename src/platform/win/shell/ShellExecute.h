#pragma once
// Opening a document, folder or link, or starting a program, the way a user's
// double click would.

#include "platform/win/Types.h"

constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_NOASSOC = 31;

// Verb null, empty or "open" (any case; "explore" for a folder): a URL, a
// folder or a document goes to the desktop services' OpenDocument; a program
// (an executable ELF file or script) is started with Parameters split into
// arguments as command lines are split, in Folder (empty: the current
// folder). A relative File is found in Folder. The answer, read as a number,
// is above 32 on success, else SE_ERR_FNF for a missing file, SE_ERR_PNF for a
// missing folder, SE_ERR_NOASSOC for another verb or when the desktop cannot
// open it, SE_ERR_ACCESSDENIED for a program that does not start. The window
// and the show command have no effect.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, int show);
