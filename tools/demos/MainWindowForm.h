#pragma once
// A form laid out like the converter's main window, built from the common
// controls: a toolbar of 115 x 68 buttons with 48 x 48 pictures and Chinese
// captions (one of them a drop-down button with its menu), the details page
// control whose "Task Info" page has no tab and whose "Logs" page lists log
// lines, a seek bar with its cut marks as the selection, and a status bar
// with one 240-pixel panel. Shared by the main-window demo and its test.

#include <array>
#include <initializer_list>

#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/comctrls/PageControl.h"
#include "platform/ui/comctrls/StatusBar.h"
#include "platform/ui/comctrls/ToolBar.h"
#include "platform/ui/comctrls/TrackBar.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/stdctrls/ListBox.h"

struct TMainWindowLikeForm {
    TToolBar* toolBar = nullptr;
    TToolButton* filterButton = nullptr;
    TPageControl* details = nullptr;
    TTabSheet* taskInfo = nullptr;
    TTabSheet* logs = nullptr;
    TListBox* log = nullptr;
    TTrackBar* seekBar = nullptr;
    TStatusBar* statusBar = nullptr;
};

namespace main_window_form {

// The toolbar's pictures: a coloured tile with a white sign each.
enum TPicture { kAdd, kBatch, kStart, kPause, kStop, kHome, kFilter, kPictureCount };
constexpr TColor kTileColors[kPictureCount] = {TColor(0x3C9A2E), TColor(0xB5772A), TColor(0x2E8F3C), TColor(0x1C8CE0),
                                               TColor(0x2B2BC8), TColor(0x8A5A2B), TColor(0x9A3C8E)};
constexpr TColor kTransparent = clFuchsia;

inline void DrawSign(TCanvas* canvas, int picture, int left) {
    auto at = [left](int x, int y) { return TPoint{left + x, y}; };
    auto bar = [&](int x1, int y1, int x2, int y2) { canvas->FillRect(TRect{left + x1, y1, left + x2, y2}); };
    switch (picture) {
    case kAdd:
        bar(21, 12, 27, 36);
        bar(12, 21, 36, 27);
        break;
    case kBatch:
        bar(10, 14, 30, 18);
        bar(10, 22, 30, 26);
        bar(10, 30, 30, 34);
        bar(33, 20, 37, 32);
        bar(29, 24, 41, 28);
        break;
    case kStart: {
        const std::array<TPoint, 3> triangle{at(17, 12), at(36, 24), at(17, 36)};
        canvas->Polygon(triangle);
        break;
    }
    case kPause:
        bar(15, 13, 21, 35);
        bar(27, 13, 33, 35);
        break;
    case kStop: bar(14, 14, 34, 34); break;
    case kHome: {
        const std::array<TPoint, 5> house{at(24, 10), at(38, 23), at(34, 23), at(14, 23), at(10, 23)};
        canvas->Polygon(house);
        bar(15, 23, 33, 37);
        break;
    }
    case kFilter: canvas->Ellipse(left + 13, 13, left + 35, 35); break;
    }
}

inline TImageList* ToolbarPictures(TComponent* owner) {
    auto* list = new TImageList(owner, 48, 48);
    TBitmap strip;
    strip.SetSize(48 * kPictureCount, 48);
    TCanvas* canvas = strip.Canvas();
    canvas->Brush()->SetColor(kTransparent);
    canvas->FillRect(TRect{0, 0, 48 * kPictureCount, 48});
    for (int i = 0; i < kPictureCount; ++i) {
        canvas->Brush()->SetColor(kTileColors[i]);
        canvas->Pen()->SetColor(kTileColors[i]);
        canvas->RoundRect(i * 48 + 3, 3, i * 48 + 45, 45, 12, 12);
        canvas->Brush()->SetColor(clWhite);
        canvas->Pen()->SetColor(clWhite);
        DrawSign(canvas, i, i * 48);
    }
    list->AddMasked(&strip, kTransparent);
    return list;
}

template <class T>
T* Child(TComponent* owner, TWinControl* parent, TAlign align) {
    auto* control = new T(owner);
    control->SetAlign(align);
    control->SetParent(parent);
    return control;
}

} // namespace main_window_form

inline TMainWindowLikeForm BuildMainWindowLikeForm(TForm* form) {
    using namespace main_window_form;
    TMainWindowLikeForm parts;

    parts.toolBar = Child<TToolBar>(form, form, alTop);
    parts.toolBar->SetHeight(71);
    parts.toolBar->SetButtonWidth(115);
    parts.toolBar->SetButtonHeight(68);
    parts.toolBar->SetImages(ToolbarPictures(form));
    parts.toolBar->SetShowCaptions(true);
    parts.toolBar->SetFlat(true);
    struct TButtonSpec {
        const char16_t* caption;
        int picture;
        TToolButtonStyle style;
    };
    for (const TButtonSpec& spec : {TButtonSpec{u"添加单一任务", kAdd, tbsButton},
                                    TButtonSpec{u"添加批量任务", kBatch, tbsButton},
                                    TButtonSpec{u"开始", kStart, tbsButton}, TButtonSpec{u"暂停", kPause, tbsButton},
                                    TButtonSpec{u"停止", kStop, tbsButton}, TButtonSpec{u"", -1, tbsSeparator},
                                    TButtonSpec{u"主页", kHome, tbsButton},
                                    TButtonSpec{u"添加特效", kFilter, tbsDropDown}}) {
        auto* button = new TToolButton(form);
        button->SetCaption(spec.caption);
        button->SetImageIndex(spec.picture);
        button->SetStyle(spec.style);
        button->SetParent(parts.toolBar);
        if (spec.style == tbsDropDown) parts.filterButton = button;
    }
    auto* filters = new TPopupMenu(form);
    for (const char16_t* caption : {u"添加标准特效", u"添加LOGO图片水印", u"添加文字水印"}) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        filters->Items()->Add(item);
    }
    parts.filterButton->SetDropdownMenu(filters);

    parts.statusBar = Child<TStatusBar>(form, form, alBottom);
    TStatusPanel* panel = parts.statusBar->Panels()->Add();
    panel->SetWidth(240);
    panel->SetText(u"正在转换: 2 个任务");

    parts.seekBar = Child<TTrackBar>(form, form, alBottom);
    parts.seekBar->SetHeight(32);
    parts.seekBar->SetMax(600);
    parts.seekBar->SetFrequency(60);
    parts.seekBar->SetSelStart(120);
    parts.seekBar->SetSelEnd(360);
    parts.seekBar->SetPosition(200);

    parts.details = Child<TPageControl>(form, form, alClient);
    parts.taskInfo = new TTabSheet(form);
    parts.taskInfo->SetCaption(u"Task Info");
    parts.taskInfo->SetPageControl(parts.details);
    parts.taskInfo->SetTabVisible(false);
    parts.logs = new TTabSheet(form);
    parts.logs->SetCaption(u"Logs");
    parts.logs->SetPageControl(parts.details);
    parts.details->SetActivePage(parts.logs);
    parts.log = Child<TListBox>(form, parts.logs, alClient);
    for (const char16_t* line : {u"[08:15:02] 开始转换: 我的视频 2026.mp4 → iPhone (H.264, AAC)",
                                 u"[08:15:02] 输入: 1920x1080, 29.97 帧/秒, 时长 00:10:00",
                                 u"[08:16:40] 进度 25%, 剩余时间 00:04:55",
                                 u"[08:18:19] 进度 50%, 剩余时间 00:03:17", u"[08:21:33] 转换完成"})
        parts.log->Items()->Add(line);
    return parts;
}
