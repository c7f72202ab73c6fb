#pragma once
// The framework's menus: TMenuItem trees behind window-system menu handles,
// TMainMenu (a form's menu bar) and TPopupMenu (a control's right click, or
// Popup from code).
//
// Every item with sub-items owns a popup menu handle, the root item of a
// menu the menu's own handle. A change of an item rebuilds the entries of
// its parent's handle (hidden items get none) and the menu tells the window
// it belongs to with CM_MENUCHANGED. Each item has a command number unique
// in the program: WM_COMMAND carries it, DispatchCommand finds the item and
// runs its Click.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Events.h"
#include "platform/ui/ShortCuts.h"
#include "platform/ui/graphics/ImageListReference.h"
#include "platform/win/Types.h"

class TBitmap;
class TMenu;

// "Menu inserted twice", "Menu index out of range".
RTL_DECLARE_EXCEPTION(EMenuError, Exception);

// A key with its modifiers: the virtual key in the low byte, scShift,
// scCtrl and scAlt above it; 0 for none.

enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };
using enum TMenuBreak;
RTL_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak);

enum class TFindItemKind { fkCommand, fkHandle, fkShortCut };
using enum TFindItemKind;

enum class TPopupAlignment { paLeft, paRight, paCenter };
using enum TPopupAlignment;
RTL_ENUM(TPopupAlignment, paLeft, paRight, paCenter);

enum class TTrackButton { tbRightButton, tbLeftButton };
using enum TTrackButton;
RTL_ENUM(TTrackButton, tbRightButton, tbLeftButton);

class TBasicAction;
class TMenuActionLink;

class TMenuItem : public TComponent {
    RTL_CLASS(TMenuItem, TComponent);

public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    // "-" makes a separator; '&' marks the mnemonic letter.
    const String& Caption() const noexcept { return caption_; }
    void SetCaption(const String& value);
    bool IsLine() const { return caption_ == u"-"; }
    bool Checked() const noexcept { return checked_; }
    // Checking a radio item unchecks the others of its group among its siblings.
    void SetChecked(bool value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value);
    // Hidden items have no entry in the handle.
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    bool Default() const noexcept { return default_; }
    void SetDefault(bool value);
    bool RadioItem() const noexcept { return radioItem_; }
    void SetRadioItem(bool value);
    uint8_t GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(uint8_t value);
    TMenuBreak Break() const noexcept { return break_; }
    void SetBreak(TMenuBreak value);
    // Shown after a tab, right-aligned ("Ctrl+N").
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut value);
    // In the menu's Images (a sub-menu's own SubMenuImages first); -1 for none.
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int value);
    // Drawn beside the caption when the item has no image index; made on first use.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* value);
    // Images for the items of this item's sub-menu (watched: a freed list is forgotten).
    TCustomImageList* SubMenuImages() const noexcept { return subMenuImages_.Get(); }
    void SetSubMenuImages(TCustomImageList* value);
    // Shown as Application().Hint while the item is selected.
    const String& Hint() const noexcept { return hint_; }
    void SetHint(const String& value) { hint_ = value; }
    // Click toggles Checked.
    bool AutoCheck() const noexcept { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }

    // The action the item shows and runs: its caption, checked, enabled,
    // visible, hint, image index and shortcut follow the action's while they
    // equal it; a click executes the action unless OnClick is set.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* value);

    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out (without freeing it).
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Frees the sub-items.
    void Clear();
    int Count() const noexcept { return int(items_.size()); }
    TMenuItem* Items(int index) const;
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const noexcept { return parent_; }
    int MenuIndex() const;
    void SetMenuIndex(int value);
    // The menu this item belongs to, through its root; null when it is in none.
    TMenu* GetParentMenu() const;

    // Toggles an AutoCheck item, then runs OnClick.
    virtual void Click();
    // Brings the sub-items up to date before the sub-menu opens.
    void InitiateAction();
    UINT Command() const noexcept { return command_; }
    // The popup menu handle of the sub-items; made on first use.
    HMENU Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    void ImagesChanged();
    // The entries of this item's handle, made again from the visible sub-items.
    void RebuildHandle();
    // The same for every allocated handle of this branch (its images changed).
    void RebuildHandles();
    // This item's entry in its parent changed.
    void Changed();
    void AppendEntry(HMENU menu);
    void TurnSiblingsOff();
    String EntryText() const;

    String caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    bool radioItem_ = false;
    bool autoCheck_ = false;
    uint8_t groupIndex_ = 0;
    TMenuBreak break_ = mbNone;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    String hint_;
    std::unique_ptr<TBitmap> bitmap_;
    TImageListReference subMenuImages_{[this] { ImagesChanged(); }};
    UINT command_ = 0;
    HMENU handle_ = nullptr;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on a menu's root item
    std::vector<TMenuItem*> items_;
    std::unique_ptr<TMenuActionLink> actionLink_;
};

class TMenu : public TComponent {
    RTL_CLASS(TMenu, TComponent);

public:
    ~TMenu() override;

    TMenuItem* Items() const noexcept { return items_; }
    // Watched: a freed list is forgotten.
    TCustomImageList* Images() const noexcept { return images_.Get(); }
    void SetImages(TCustomImageList* value);
    // The menu's own handle (a menu bar or a popup menu), made on first use.
    HMENU Handle();
    bool HandleAllocated() const noexcept { return items_->handle_ != nullptr; }
    // The window told of changes (CM_MENUCHANGED); a form sets its own.
    HWND WindowHandle() const noexcept { return windowHandle_; }
    void SetWindowHandle(HWND value) { windowHandle_ = value; }

    // The item with the command, sub-menu handle or shortcut; null for none.
    TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind) const;
    // Clicks the item of the command; false when the menu has none.
    bool DispatchCommand(UINT command);
    // A WM_KEYDOWN/CN_KEYDOWN of a shortcut of an enabled item: clicks it.
    bool IsShortCut(const TMessage& message);
    // Brings the items of the sub-menu handle up to date (WM_INITMENUPOPUP).
    bool DispatchPopup(HMENU submenu);

protected:
    TMenu(TComponent* owner, bool popup);

private:
    friend class TMenuItem;
    void ImagesChanged();
    // Rebuilds the handle from the items and tells the window.
    void MenuChanged();

    TMenuItem* items_;
    TImageListReference images_{[this] { ImagesChanged(); }};
    HWND windowHandle_ = nullptr;
    bool popup_;
};

class TMainMenu : public TMenu {
    RTL_CLASS(TMainMenu, TMenu);

public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner, false) {}
};

class TPopupMenu : public TMenu {
    RTL_CLASS(TPopupMenu, TMenu);

public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Shows the menu at the screen point, placed by Alignment, until an
    // item is chosen (its OnClick runs before Popup returns) or the menu is left.
    virtual void Popup(int x, int y);
    // The control whose right click showed the menu.
    TComponent* PopupComponent() const noexcept { return popupComponent_; }
    void SetPopupComponent(TComponent* value) { popupComponent_ = value; }
    // False: the menu shows only when code asks for it.
    bool AutoPopup() const noexcept { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    // Where the point is against the menu: its left edge, right edge or middle.
    TPopupAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TPopupAlignment value) { alignment_ = value; }
    // The button that chooses besides the left one.
    TTrackButton TrackButton() const noexcept { return trackButton_; }
    void SetTrackButton(TTrackButton value) { trackButton_ = value; }

    // Before the menu opens.
    TNotifyEvent OnPopup;

private:
    // Hears the tracking (WM_INITMENUPOPUP, WM_MENUSELECT) while the menu is open.
    HWND window_ = nullptr;
    TComponent* popupComponent_ = nullptr;
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = paLeft;
    TTrackButton trackButton_ = tbRightButton;
};

// What the menus do with WM_INITMENUPOPUP and WM_MENUSELECT of a window
// showing Menu (a form's menu bar, or a popup menu being tracked).
void MenuInitPopup(TMenu* menu, const TMessage& message);
void MenuSelect(TMenu* menu, const TMessage& message);
