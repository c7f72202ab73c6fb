#include "platform/ui/comctrls/ToolBar.h"

#include <algorithm>

#include "platform/ui/Colors.h"
#include "platform/ui/Menus.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

RTL_PUBLISHED(TToolBar, c) {
    c.Property("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
    c.Property("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
    c.Property("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
    c.Property("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders).Default(TEdgeBorders{ebTop});
    c.Property("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner).Default(esRaised);
    c.Property("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter).Default(esLowered);
    c.Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
    c.Property("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
    c.Property("Images", &TToolBar::Images, &TToolBar::SetImages);
    c.Property("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
    c.Property("List", &TToolBar::List, &TToolBar::SetList).Default(false);
    c.Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
    c.Property("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
}

UI_MESSAGE_MAP(TToolBar, t) {
    t.On<&TToolBar::CNCommand>(CN_COMMAND);
    t.On<&TToolBar::CNNotify>(CN_NOTIFY);
    t.On<&TToolBar::CMControlChange>(CM_CONTROLCHANGE);
}

namespace {

BYTE ButtonState(TToolButton* button) {
    BYTE state = 0;
    if (button->Enabled()) state |= TBSTATE_ENABLED;
    if (button->Down()) state |= button->Style() == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
    if (!button->Visible()) state |= TBSTATE_HIDDEN;
    if (button->Wrap()) state |= TBSTATE_WRAP;
    return state;
}

BYTE ButtonStyle(const TToolButton* button) {
    switch (button->Style()) {
    case tbsCheck: return BYTE(BTNS_CHECK | (button->Grouped() ? BTNS_GROUP : 0));
    case tbsDropDown: return BTNS_DROPDOWN;
    case tbsSeparator:
    case tbsDivider: return BTNS_SEP;
    case tbsButton: break;
    }
    return BTNS_BUTTON;
}

// A separator's image number is its width.
int ImageOf(const TToolButton* button) {
    if (button->IsSeparator()) return button->Width();
    return button->ImageIndex() >= 0 ? button->ImageIndex() : I_IMAGENONE;
}

TBevelCut BevelOf(TEdgeStyle style) {
    switch (style) {
    case esRaised: return bvRaised;
    case esLowered: return bvLowered;
    case esNone: break;
    }
    return bvNone;
}

} // namespace

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents,
                                  csSetCaption});
    SetBounds(Left(), Top(), 150, 29);
    SetAlign(alTop);
    SetColor(clBtnFace);
    SetParentColor(false);
    UpdateEdges();
}

TToolBar::~TToolBar() {
    // The buttons outlive the toolbar's part of the object: they must not call back.
    for (TToolButton* button : buttons_) button->toolBar_ = nullptr;
}

void TToolBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"ToolbarWindow32");
    params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
    if (flat_) params.Style |= TBSTYLE_FLAT;
    if (list_) params.Style |= TBSTYLE_LIST;
    if (wrapable_) params.Style |= TBSTYLE_WRAPABLE;
}

void TToolBar::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(Handle(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    UpdateMetrics();
    RebuildButtons();
}

// --- Properties ------------------------------------------------------------------------------

void TToolBar::SetButtonWidth(int value) {
    if (buttonWidth_ == value) return;
    buttonWidth_ = value;
    UpdateMetrics();
}

void TToolBar::SetButtonHeight(int value) {
    if (buttonHeight_ == value) return;
    buttonHeight_ = value;
    UpdateMetrics();
}

void TToolBar::SetShowCaptions(bool value) {
    if (showCaptions_ == value) return;
    showCaptions_ = value;
    UpdateMetrics();
    RebuildButtons();
}

void TToolBar::SetList(bool value) {
    if (list_ == value) return;
    list_ = value;
    RecreateWnd();
}

void TToolBar::SetFlat(bool value) {
    if (flat_ == value) return;
    flat_ = value;
    RecreateWnd();
}

void TToolBar::SetWrapable(bool value) {
    if (wrapable_ == value) return;
    wrapable_ = value;
    RecreateWnd();
}

void TToolBar::SetEdgeBorders(TEdgeBorders value) {
    if (edgeBorders_ == value) return;
    edgeBorders_ = value;
    UpdateEdges();
}

void TToolBar::SetEdgeInner(TEdgeStyle value) {
    if (edgeInner_ == value) return;
    edgeInner_ = value;
    UpdateEdges();
}

void TToolBar::SetEdgeOuter(TEdgeStyle value) {
    if (edgeOuter_ == value) return;
    edgeOuter_ = value;
    UpdateEdges();
}

void TToolBar::SetIndent(int value) {
    if (indent_ == value) return;
    indent_ = value;
    UpdateMetrics();
}

void TToolBar::UpdateEdges() {
    TBevelEdges edges;
    if (edgeBorders_.Contains(ebLeft)) edges.Include(beLeft);
    if (edgeBorders_.Contains(ebTop)) edges.Include(beTop);
    if (edgeBorders_.Contains(ebRight)) edges.Include(beRight);
    if (edgeBorders_.Contains(ebBottom)) edges.Include(beBottom);
    SetBevelEdges(edges);
    SetBevelInner(BevelOf(edgeInner_));
    SetBevelOuter(BevelOf(edgeOuter_));
    SetBevelKind(edgeBorders_.IsEmpty() ? bkNone : bkTile);
}

// --- The window's buttons ----------------------------------------------------------------------

void TToolBar::UpdateMetrics() {
    if (!HandleAllocated()) return;
    const HWND h = Handle();
    auto listHandle = [](TCustomImageList* list) { return reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr); };
    SendMessageW(h, TB_SETIMAGELIST, 0, listHandle(Images()));
    SendMessageW(h, TB_SETHOTIMAGELIST, 0, listHandle(HotImages()));
    SendMessageW(h, TB_SETDISABLEDIMAGELIST, 0, listHandle(DisabledImages()));
    if (TCustomImageList* images = Images())
        SendMessageW(h, TB_SETBITMAPSIZE, 0, MAKELPARAM(images->Width(), images->Height()));
    SendMessageW(h, TB_SETMAXTEXTROWS, showCaptions_ ? 1 : 0, 0);
    SendMessageW(h, TB_SETINDENT, WPARAM(indent_), 0);
    SendMessageW(h, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
    UpdateButtonBounds();
    Invalidate();
}

void TToolBar::RebuildButtons() {
    if (!HandleAllocated()) return;
    const HWND h = Handle();
    rebuilding_ = true;
    for (int n = int(SendMessageW(h, TB_BUTTONCOUNT, 0, 0)); n > 0; --n) SendMessageW(h, TB_DELETEBUTTON, n - 1, 0);
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* button = buttons_[size_t(i)];
        const String caption = showCaptions_ && !button->IsSeparator() ? button->Caption() : String();
        TBBUTTON b{};
        b.iBitmap = ImageOf(button);
        b.idCommand = i;
        b.fsState = ButtonState(button);
        b.fsStyle = ButtonStyle(button);
        b.iString = caption.empty() ? 0 : reinterpret_cast<INT_PTR>(caption.c_str());
        SendMessageW(h, TB_INSERTBUTTONW, WPARAM(i), reinterpret_cast<LPARAM>(&b));
    }
    rebuilding_ = false;
    UpdateButtonBounds();
    Invalidate();
}

void TToolBar::UpdateButton(int index) {
    if (!HandleAllocated() || rebuilding_ || index < 0) return;
    TToolButton* button = buttons_[size_t(index)];
    String caption = showCaptions_ && !button->IsSeparator() ? button->Caption() : String();
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STATE | TBIF_TEXT | TBIF_IMAGE;
    info.fsState = ButtonState(button);
    info.pszText = caption.empty() ? nullptr : caption.data();
    info.iImage = ImageOf(button);
    SendMessageW(Handle(), TB_SETBUTTONINFOW, WPARAM(index), reinterpret_cast<LPARAM>(&info));
    UpdateButtonBounds();
    Invalidate();
}

void TToolBar::UpdateButtonBounds() {
    if (!HandleAllocated() || rebuilding_) return;
    for (int i = 0; i < ButtonCount(); ++i) {
        RECT r{};
        if (!SendMessageW(Handle(), TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        TToolButton* button = buttons_[size_t(i)];
        // A separator is as wide as it was made; the window follows it.
        const int width = button->IsSeparator() ? button->Width() : r.right - r.left;
        button->PlaceAt({r.left, r.top, r.left + width, r.bottom});
    }
}

void TToolBar::ReadButtonStates() {
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* button = buttons_[size_t(i)];
        if (button->Style() != tbsCheck) continue;
        const LRESULT state = SendMessageW(Handle(), TB_GETSTATE, WPARAM(i), 0);
        if (state >= 0) button->TakeDown((state & TBSTATE_CHECKED) != 0);
    }
}

void TToolBar::InsertButton(TToolButton* button) {
    if (std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end()) return;
    button->toolBar_ = this;
    buttons_.push_back(button);
    RebuildButtons();
}

void TToolBar::RemoveButton(TToolButton* button) {
    const auto it = std::find(buttons_.begin(), buttons_.end(), button);
    if (it == buttons_.end()) return;
    buttons_.erase(it);
    button->toolBar_ = nullptr;
    RebuildButtons();
}

TToolButton* TToolBar::ButtonOfCommand(WPARAM id) const {
    return id < buttons_.size() ? buttons_[id] : nullptr;
}

// --- Layout ------------------------------------------------------------------------------------

void TToolBar::AlignControls(TControl* control, TRect& rect) {
    UpdateButtonBounds();
    TWinControl::AlignControls(control, rect);
}

// As high as the rows of buttons, with the edges.
bool TToolBar::CanAutoSize(int&, int& newHeight) {
    if (!HandleAllocated()) return false;
    int bottom = buttons_.empty() ? buttonHeight_ : 0;
    for (TToolButton* button : buttons_)
        if (button->Visible()) bottom = std::max(bottom, button->Top() + button->Height());
    newHeight = bottom + Height() - ClientHeight();
    return true;
}

// --- Messages ----------------------------------------------------------------------------------

// The pointer over a button belongs to the window, which presses and tracks
// its buttons; the hints still learn of the move.
void TToolBar::WndProc(TMessage& message) {
    const UINT msg = message.Msg;
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL && HandleAllocated() &&
        dynamic_cast<TToolButton*>(ControlAtPos(TWMMouse(message).Pos(), true))) {
        TControl::WndProc(message);
        return;
    }
    TWinControl::WndProc(message);
}

void TToolBar::CNCommand(TMessage& m) {
    TToolButton* button = ButtonOfCommand(LOWORD(m.WParam));
    if (!button) return InheritedMessage(m);
    const bool wasDown = button->Down();
    ReadButtonStates();
    // The window keeps a group's checked button down; AllowAllUp lets it up.
    if (button->Grouped() && button->AllowAllUp() && wasDown && button->Down()) button->SetDown(false);
    button->Click();
}

void TToolBar::CNNotify(TMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
    if (header->code != TBN_DROPDOWN) return InheritedMessage(m);
    const auto* notify = reinterpret_cast<const NMTOOLBARW*>(m.LParam);
    if (TToolButton* button = ButtonOfCommand(WPARAM(notify->iItem))) DropDown(button);
    m.Result = TBDDRET_DEFAULT;
}

// The button's menu below it, the button pressed while the menu is up; a
// drop-down button without a menu is clicked.
void TToolBar::DropDown(TToolButton* button) {
    TPopupMenu* menu = button->DropdownMenu();
    if (!menu) return button->Click();
    const TPoint below = ClientToScreen({button->Left(), button->Top() + button->Height()});
    const int index = button->Index();
    SendMessageW(Handle(), TB_SETSTATE, WPARAM(index), MAKELPARAM(ButtonState(button) | TBSTATE_PRESSED, 0));
    menu->SetPopupComponent(button);
    menu->Popup(below.X, below.Y);
    if (HandleAllocated() && button->Index() >= 0) UpdateButton(button->Index());
}

void TToolBar::CMControlChange(TMessage& m) {
    InheritedMessage(m);
    auto* button = dynamic_cast<TToolButton*>(reinterpret_cast<TControl*>(m.WParam));
    if (!button) return;
    if (m.LParam)
        InsertButton(button);
    else
        RemoveButton(button);
}
