#pragma once
// TPopupMenu: what a control's right click shows. The menu itself (items,
// drawing, tracking) is made by the menu classes; a control only sets
// PopupComponent and asks it to pop up at a screen point.

#include "platform/rtl/Component.h"

class TPopupMenu : public TComponent {
    RTL_CLASS(TPopupMenu, TComponent);

public:
    explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}

    // Shows the menu with its top-left corner at the screen point.
    virtual void Popup(int x, int y) = 0;
    // The control whose right click showed the menu.
    TComponent* PopupComponent() const noexcept { return popupComponent_; }
    void SetPopupComponent(TComponent* value) { popupComponent_ = value; }
    // False: the menu shows only when code asks for it.
    bool AutoPopup() const noexcept { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

private:
    TComponent* popupComponent_ = nullptr;
    bool autoPopup_ = true;
};
