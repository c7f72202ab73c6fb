#pragma once
// The window system's own texts (resource strings 0xE200-0xE23F): the
// captions of message-box buttons and boxes and of the bitmap buttons'
// kinds, the items of the edit menu, and the folder-browse dialog's texts.

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec SMsgDlgOK{0xE200, u"确定"};
inline constexpr TResStringRec SMsgDlgCancel{0xE201, u"取消"};
inline constexpr TResStringRec SMsgDlgAbort{0xE202, u"中止(&A)"};
inline constexpr TResStringRec SMsgDlgRetry{0xE203, u"重试(&R)"};
inline constexpr TResStringRec SMsgDlgIgnore{0xE204, u"忽略(&I)"};
inline constexpr TResStringRec SMsgDlgYes{0xE205, u"是(&Y)"};
inline constexpr TResStringRec SMsgDlgNo{0xE206, u"否(&N)"};
// The caption of a message box given none.
inline constexpr TResStringRec SMsgDlgError{0xE207, u"错误"};

inline constexpr TResStringRec SEditUndo{0xE210, u"撤销(&U)"};
inline constexpr TResStringRec SEditCut{0xE211, u"剪切(&T)"};
inline constexpr TResStringRec SEditCopy{0xE212, u"复制(&C)"};
inline constexpr TResStringRec SEditPaste{0xE213, u"粘贴(&P)"};
inline constexpr TResStringRec SEditDelete{0xE214, u"删除(&D)"};
inline constexpr TResStringRec SEditSelectAll{0xE215, u"全选(&A)"};

inline constexpr TResStringRec SBitBtnHelp{0xE216, u"帮助(&H)"};
inline constexpr TResStringRec SBitBtnClose{0xE217, u"关闭(&C)"};
inline constexpr TResStringRec SBitBtnAll{0xE218, u"全部(&A)"};

// The folder-browse dialog and its new-folder box.
inline constexpr TResStringRec SBrowseFolderCaption{0xE219, u"浏览文件夹"};
inline constexpr TResStringRec SBrowseFolderLabel{0xE21A, u"文件夹(&F):"};
inline constexpr TResStringRec SBrowseNewFolder{0xE21B, u"新建文件夹(&M)"};
inline constexpr TResStringRec SNewFolderCaption{0xE21C, u"新建文件夹"};
inline constexpr TResStringRec SNewFolderPrompt{0xE21D, u"新文件夹的名称:"};
inline constexpr TResStringRec SNewFolderDefaultName{0xE21E, u"新建文件夹"};
inline constexpr TResStringRec SNewFolderFailed{0xE21F, u"无法创建文件夹:"};

inline constexpr const TResStringRec* kControlTexts[] = {
    &SMsgDlgOK,   &SMsgDlgCancel,  &SMsgDlgAbort, &SMsgDlgRetry, &SMsgDlgIgnore, &SMsgDlgYes,
    &SMsgDlgNo,   &SMsgDlgError,   &SEditUndo,    &SEditCut,     &SEditCopy,     &SEditPaste,
    &SEditDelete, &SEditSelectAll, &SBitBtnHelp,  &SBitBtnClose, &SBitBtnAll,
    &SBrowseFolderCaption, &SBrowseFolderLabel, &SBrowseNewFolder, &SNewFolderCaption,
    &SNewFolderPrompt, &SNewFolderDefaultName, &SNewFolderFailed,
};
