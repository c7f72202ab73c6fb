#pragma once
// TToolBar over the "ToolbarWindow32" window class: a row (or rows) of
// TToolButton children. The buttons are the control's children in the order
// of their positions; every new window gets them again, with their captions,
// images and states. A button's command id is its position.

#include <vector>

#include "platform/ui/WinControl.h"
#include "platform/ui/comctrls/ToolButton.h"
#include "platform/ui/graphics/ImageListReference.h"

enum class TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using enum TEdgeBorder;
RTL_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom);
using TEdgeBorders = TSet<TEdgeBorder>;

enum class TEdgeStyle { esNone, esRaised, esLowered };
using enum TEdgeStyle;
RTL_ENUM(TEdgeStyle, esNone, esRaised, esLowered);

class TToolBar : public TWinControl {
    RTL_CLASS(TToolBar, TWinControl);
    UI_MESSAGES(TToolBar, TWinControl);

public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;

    int ButtonCount() const noexcept { return int(buttons_.size()); }
    TToolButton* Buttons(int index) const { return buttons_.at(size_t(index)); }
    int ButtonWidth() const noexcept { return buttonWidth_; }
    void SetButtonWidth(int value);
    int ButtonHeight() const noexcept { return buttonHeight_; }
    void SetButtonHeight(int value);
    TCustomImageList* Images() const noexcept { return images_.Get(); }
    void SetImages(TCustomImageList* value) { images_.Set(value); }
    // Shown on flat bars while the pointer is over a button.
    TCustomImageList* HotImages() const noexcept { return hotImages_.Get(); }
    void SetHotImages(TCustomImageList* value) { hotImages_.Set(value); }
    // Shown for disabled buttons; without it the images are drawn grey.
    TCustomImageList* DisabledImages() const noexcept { return disabledImages_.Get(); }
    void SetDisabledImages(TCustomImageList* value) { disabledImages_.Set(value); }
    bool ShowCaptions() const noexcept { return showCaptions_; }
    void SetShowCaptions(bool value);
    // Captions right of the images instead of under them.
    bool List() const noexcept { return list_; }
    void SetList(bool value);
    // Buttons without edges until the pointer is over them.
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool value);
    // Buttons that do not fit the width go to the next row.
    bool Wrapable() const noexcept { return wrapable_; }
    void SetWrapable(bool value);
    // Edges drawn round the client area, in the non-client area.
    TEdgeBorders EdgeBorders() const noexcept { return edgeBorders_; }
    void SetEdgeBorders(TEdgeBorders value);
    TEdgeStyle EdgeInner() const noexcept { return edgeInner_; }
    void SetEdgeInner(TEdgeStyle value);
    TEdgeStyle EdgeOuter() const noexcept { return edgeOuter_; }
    void SetEdgeOuter(TEdgeStyle value);
    // Space before the first button of each row.
    int Indent() const noexcept { return indent_; }
    void SetIndent(int value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void AlignControls(TControl* control, TRect& rect) override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;

private:
    friend class TToolButton;
    void InsertButton(TToolButton* button);
    void RemoveButton(TToolButton* button);
    // The window's buttons made again from the framework's.
    void RebuildButtons();
    // One button's look and state given to the window.
    void UpdateButton(int index);
    // Sizes and image lists given to the window.
    void UpdateMetrics();
    // Each button placed where the window shows it.
    void UpdateButtonBounds();
    // The window's checked states read back after it toggled them.
    void ReadButtonStates();
    // The edges as the control's bevels draw them.
    void UpdateEdges();
    TToolButton* ButtonOfCommand(WPARAM id) const;
    void DropDown(TToolButton* button);

    void CNCommand(TMessage& m);
    void CNNotify(TMessage& m);
    void CMControlChange(TMessage& m);

    std::vector<TToolButton*> buttons_;
    TImageListReference images_{[this] { UpdateMetrics(); }};
    TImageListReference hotImages_{[this] { UpdateMetrics(); }};
    TImageListReference disabledImages_{[this] { UpdateMetrics(); }};
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    int indent_ = 0;
    TEdgeBorders edgeBorders_{ebTop};
    TEdgeStyle edgeInner_ = esRaised;
    TEdgeStyle edgeOuter_ = esLowered;
    bool showCaptions_ = false;
    bool list_ = false;
    bool flat_ = false;
    bool wrapable_ = true;
    // Buttons are being rebuilt: their bounds come afterwards.
    bool rebuilding_ = false;
};
