#pragma once
// The folder-browse dialog: a modal dialog window of the window system made
// of a "SysTreeView32" of folders, the prompt, an optional status line and
// "EDIT", and push buttons, driven through a callback and messages.
//
// The tree starts at pidlRoot (null: the file-system root), lists only
// folders, hidden (dot) folders left out unless a selection asks for one, and
// lists a folder's children when it is first expanded. Until the dialog ends, its owner and every other
// visible window of the thread are disabled, and exactly those are enabled
// again; while it waits for input the owner hears WM_ENTERIDLE
// (MSGF_DIALOGBOX, the dialog). WM_QUIT ends it as cancelled and is posted
// again.
//
// The callback hears BFFM_INITIALIZED first, with the dialog's handle, before
// the dialog's first WM_SHOWWINDOW: the caller may subclass it, move it, read
// its size and add children then. The dialog is centred on the work area of
// the owner's monitor before that. Then each new selection gives
// BFFM_SELCHANGED with the folder's absolute item-id list, and, with
// BIF_EDITBOX, OK on a typed text that names no folder gives
// BFFM_VALIDATEFAILEDW with the text (an answer of 0 ends the dialog without
// a folder, another keeps it open).
//
// Answers the chosen folder's new item-id list (free it with ILFree or the
// shell allocator), with its name in pszDisplayName (MAX_PATH characters),
// or null when cancelled.

#include "platform/rtl/TaskAllocator.h"
#include "platform/win/Constants.h"
#include "platform/win/Types.h"

using BFFCALLBACK = int (*)(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

struct BROWSEINFOW {
    HWND hwndOwner = nullptr;
    const ITEMIDLIST* pidlRoot = nullptr;
    LPWSTR pszDisplayName = nullptr; // MAX_PATH characters, or null
    LPCWSTR lpszTitle = nullptr;     // the prompt; a carriage return starts its second line
    UINT ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    LPARAM lParam = 0; // given back to the callback
    int iImage = 0;
};

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001; // every folder here is one
constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;
constexpr UINT BIF_STATUSTEXT = 0x0004; // a status line (id 14147), without BIF_NEWDIALOGSTYLE only
constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;
constexpr UINT BIF_EDITBOX = 0x0010;        // an edit for typing a folder
constexpr UINT BIF_VALIDATE = 0x0020;       // typed texts are always checked here
constexpr UINT BIF_NEWDIALOGSTYLE = 0x0040; // resizable, with a new-folder button
constexpr UINT BIF_BROWSEINCLUDEURLS = 0x0080;
constexpr UINT BIF_UAHINT = 0x0100;
constexpr UINT BIF_NONEWFOLDERBUTTON = 0x0200;
constexpr UINT BIF_BROWSEFORCOMPUTER = 0x1000;
constexpr UINT BIF_BROWSEFORPRINTER = 0x2000;
constexpr UINT BIF_SHAREABLE = 0x8000;

// Callback messages.
constexpr UINT BFFM_INITIALIZED = 1;     // lParam 0
constexpr UINT BFFM_SELCHANGED = 2;      // lParam: the selected folder's item-id list
constexpr UINT BFFM_VALIDATEFAILEDW = 4; // lParam: the typed text (LPCWSTR)

// Messages to the dialog.
constexpr UINT BFFM_ENABLEOK = WM_USER + 101;      // lParam: whether OK is enabled
constexpr UINT BFFM_SETSELECTIONW = WM_USER + 103; // wParam TRUE: lParam a path; FALSE: an item-id list
constexpr UINT BFFM_SETSTATUSTEXTW = WM_USER + 104; // lParam: the status line's text

// Child window ids.
constexpr int IDC_BROWSE_TREE = 14145;
constexpr int IDC_BROWSE_PROMPT = 14146;
constexpr int IDC_BROWSE_STATUS = 14147;
constexpr int IDC_BROWSE_EDIT = 14148;
constexpr int IDC_BROWSE_NEWFOLDER = 14150;

ITEMIDLIST* SHBrowseForFolderW(BROWSEINFOW* info);
