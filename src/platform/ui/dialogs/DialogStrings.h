#pragma once
// Texts of the file dialogs (resource strings 0xE2C0-0xE2DF).

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec SOpenCaption{0xE2C0, u"打开"};
inline constexpr TResStringRec SSaveCaption{0xE2C1, u"另存为"};
inline constexpr TResStringRec SOpenButton{0xE2C2, u"打开(&O)"};
inline constexpr TResStringRec SSaveButton{0xE2C3, u"保存(&S)"};
inline constexpr TResStringRec SCancelButton{0xE2C4, u"取消"};
inline constexpr TResStringRec SUpButton{0xE2C5, u"上一级"};
inline constexpr TResStringRec SFileNameLabel{0xE2C6, u"文件名(&N):"};
inline constexpr TResStringRec SFileTypeLabel{0xE2C7, u"文件类型(&T):"};
inline constexpr TResStringRec SNameColumn{0xE2C8, u"名称"};
inline constexpr TResStringRec SSizeColumn{0xE2C9, u"大小"};
inline constexpr TResStringRec SModifiedColumn{0xE2CA, u"修改日期"};
inline constexpr TResStringRec SPlaceHome{0xE2CB, u"主文件夹"};
inline constexpr TResStringRec SPlaceDesktop{0xE2CC, u"桌面"};
inline constexpr TResStringRec SPlaceVideos{0xE2CD, u"视频"};
inline constexpr TResStringRec SPlaceMusic{0xE2CE, u"音乐"};
inline constexpr TResStringRec SPlacePictures{0xE2CF, u"图片"};
inline constexpr TResStringRec SPlaceDownloads{0xE2D0, u"下载"};
inline constexpr TResStringRec SPlaceRoot{0xE2D1, u"文件系统"};
inline constexpr TResStringRec SFileNotFound{0xE2D2, u"%s\n找不到文件。\n请检查文件名是否正确。"};
inline constexpr TResStringRec SPathNotFound{0xE2D3, u"%s\n路径不存在。\n请检查路径是否正确。"};
inline constexpr TResStringRec SConfirmOverwrite{0xE2D4, u"%s 已存在。\n要替换它吗？"};

inline constexpr const TResStringRec* kDialogStrings[] = {
    &SOpenCaption,  &SSaveCaption,    &SOpenButton,   &SSaveButton,    &SCancelButton,     &SUpButton,
    &SFileNameLabel, &SFileTypeLabel, &SNameColumn,   &SSizeColumn,    &SModifiedColumn,   &SPlaceHome,
    &SPlaceDesktop, &SPlaceVideos,    &SPlaceMusic,   &SPlacePictures, &SPlaceDownloads,   &SPlaceRoot,
    &SFileNotFound, &SPathNotFound,   &SConfirmOverwrite,
};
