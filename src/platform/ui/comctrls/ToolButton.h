#pragma once
// TToolButton: one button of a TToolBar. It has no window: the toolbar's
// window draws and presses it, and the button lies over the place the window
// gives it, so hints, the cursor and the parent's layout find it there. The
// button's properties live here; every change goes to the toolbar's window.

#include <memory>

#include "platform/ui/ControlActionLink.h"
#include "platform/ui/CustomControl.h"

class TPopupMenu;
class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
using enum TToolButtonStyle;
RTL_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider);

class TToolButton : public TGraphicControl {
    RTL_CLASS(TToolButton, TGraphicControl);
    UI_MESSAGES(TToolButton, TGraphicControl);

public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;

    // A checked button of a group may be clicked up, leaving none of the group down.
    bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool value) { allowAllUp_ = value; }
    // Pressed (a plain or drop-down button) or checked (a check button).
    bool Down() const noexcept { return down_; }
    void SetDown(bool value);
    TPopupMenu* DropdownMenu() const noexcept { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* value);
    // A check button of a run of grouped neighbours: checking it unchecks the others.
    bool Grouped() const noexcept { return grouped_; }
    void SetGrouped(bool value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int value);
    // Separators and dividers keep the width they are given; the toolbar's
    // window sizes the other buttons.
    TToolButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TToolButtonStyle value);
    // A separator or a divider: space between buttons.
    bool IsSeparator() const noexcept { return style_ == tbsSeparator || style_ == tbsDivider; }
    // The row ends after this button.
    bool Wrap() const noexcept { return wrap_; }
    void SetWrap(bool value);
    // The position on the toolbar; -1 off one.
    int Index() const;
    TToolBar* ToolBar() const noexcept { return toolBar_; }

    // OnClick, else the action; what a click of the window's button runs.
    void Click() override;
    // A separator's new width goes to the toolbar's window.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Paint() override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;
    std::unique_ptr<TControlActionLink> CreateActionLink() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TToolBar;
    bool IsCheckStyle() const noexcept { return style_ == tbsCheck; }
    // The window's button follows the properties.
    void UpdateButton();
    // Bounds the toolbar's window gives, without a new layout.
    void PlaceAt(const TRect& bounds) { UpdateBoundsRect(bounds); }
    // Down as the window reports it, without telling the window back.
    void TakeDown(bool value) { down_ = value; }
    // Lets the other buttons of this one's group up.
    void UncheckGroupOthers();

    void CMTextChanged(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMVisibleChanged(TMessage& m);

    TToolBar* toolBar_ = nullptr;
    TPopupMenu* dropdownMenu_ = nullptr;
    TToolButtonStyle style_ = tbsButton;
    int imageIndex_ = -1;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool grouped_ = false;
    bool wrap_ = false;
};

// The link of a tool button with its action: the image and the check follow too.
class TToolButtonActionLink : public TControlActionLink {
public:
    explicit TToolButtonActionLink(TToolButton* client) : TControlActionLink(client) {}

    bool IsCheckedLinked() const override;
    bool IsImageIndexLinked() const override;
    void SetChecked(bool value) override;
    void SetImageIndex(int value) override;

private:
    TToolButton* Button() const { return static_cast<TToolButton*>(Control()); }
};
