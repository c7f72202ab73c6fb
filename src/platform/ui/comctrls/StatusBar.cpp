#include "platform/ui/comctrls/StatusBar.h"

#include <vector>

#include "platform/ui/Colors.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

RTL_PUBLISHED(TStatusPanel, c) {
    c.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    c.Property("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
    c.Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
    c.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    c.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).NoDefault();
}
RTL_PUBLISHED_NONE(TStatusPanels);
RTL_PUBLISHED(TStatusBar, c) {
    c.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    c.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    c.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    c.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
    c.Property("OnDrawPanel", &TStatusBar::OnDrawPanel, &TStatusBar::OnDrawPanel);
}

// --- Panels ------------------------------------------------------------------------------------

void TStatusPanel::SetText(const String& value) {
    if (text_ == value) return;
    text_ = value;
    Changed(false);
}

void TStatusPanel::SetWidth(int value) {
    if (width_ == value) return;
    width_ = value;
    Changed(true);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
    if (style_ == value) return;
    style_ = value;
    Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
    if (bevel_ == value) return;
    bevel_ = value;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* source) {
    auto* panel = dynamic_cast<TStatusPanel*>(source);
    if (!panel) return TCollectionItem::Assign(source);
    text_ = panel->text_;
    width_ = panel->width_;
    style_ = panel->style_;
    alignment_ = panel->alignment_;
    bevel_ = panel->bevel_;
    Changed(true);
}

TStatusPanels::TStatusPanels(TStatusBar* statusBar)
    : TCollection(TStatusPanel::StaticClass()), statusBar_(statusBar) {}

TPersistent* TStatusPanels::GetOwner() const { return statusBar_; }

void TStatusPanels::Update(TCollectionItem*) { statusBar_->UpdatePanels(); }

// --- The control -------------------------------------------------------------------------------

UI_MESSAGE_MAP(TStatusBar, t) {
    t.On<&TStatusBar::CNDrawItem>(CN_DRAWITEM);
    t.On<&TStatusBar::WMSize>(WM_SIZE);
}

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)), canvas_(std::make_unique<TCanvas>()) {
    SetBounds(Left(), Top(), 150, 19);
    SetAlign(alBottom);
    SetColor(clBtnFace);
    SetParentFont(false);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"msctls_statusbar32");
    if (sizeGrip_) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
    UpdateSimpleText();
    if (simplePanel_) SendMessageW(Handle(), SB_SIMPLE, TRUE, 0);
}

void TStatusBar::SetSimplePanel(bool value) {
    if (simplePanel_ == value) return;
    simplePanel_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), SB_SIMPLE, value, 0);
}

void TStatusBar::SetSimpleText(const String& value) {
    if (simpleText_ == value) return;
    simpleText_ = value;
    UpdateSimpleText();
}

void TStatusBar::SetSizeGrip(bool value) {
    if (sizeGrip_ == value) return;
    sizeGrip_ = value;
    RecreateWnd();
}

void TStatusBar::UpdateSimpleText() {
    if (HandleAllocated())
        SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::UpdatePanels() {
    if (!HandleAllocated() || panels_->UpdateCount() > 0) return;
    const int count = panels_->Count();
    if (count == 0) {
        const int whole = -1;
        SendMessageW(Handle(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
        SendMessageW(Handle(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(u""));
        return;
    }
    std::vector<int> edges(static_cast<size_t>(count));
    int right = 0;
    for (int i = 0; i < count; ++i) {
        right += panels_->Items(i)->Width();
        edges[size_t(i)] = right;
    }
    SendMessageW(Handle(), SB_SETPARTS, WPARAM(count), reinterpret_cast<LPARAM>(edges.data()));
    static constexpr const char16_t* kAlignPrefix[] = {u"", u"\t\t", u"\t"}; // left, right, centre
    static constexpr UINT kBevelType[] = {SBT_NOBORDERS, 0, SBT_POPOUT};
    for (int i = 0; i < count; ++i) {
        const TStatusPanel* panel = panels_->Items(i);
        const UINT type = kBevelType[int(panel->Bevel())];
        if (panel->Style() == psOwnerDraw) {
            SendMessageW(Handle(), SB_SETTEXTW, WPARAM(i) | type | SBT_OWNERDRAW, LPARAM(i));
        } else {
            const String text = kAlignPrefix[int(panel->Alignment())] + panel->Text();
            SendMessageW(Handle(), SB_SETTEXTW, WPARAM(i) | type, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
    if (OnDrawPanel) OnDrawPanel(this, panel, rect);
}

void TStatusBar::CNDrawItem(TMessage& m) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    const int index = int(item->itemData);
    if (index < 0 || index >= panels_->Count()) return;
    canvas_->SetHandle(item->hDC);
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->Assign(Brush());
    DrawPanel(panels_->Items(index),
              TRect{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom});
    canvas_->SetHandle(nullptr);
    m.Result = TRUE;
}

// The window would move itself to the bottom of its parent on WM_SIZE; the
// framework's alignment places the bar instead, so the window never sees it.
void TStatusBar::WMSize(TMessage&) {
    UpdateBounds();
    Realign();
    if (!ComponentState().Contains(csLoading)) Resize();
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}
