#pragma once
// TStatusBar over the "msctls_statusbar32" window class: a row of panels
// along the bottom of its parent, or one simple text across it. The panels
// live in the control and go to every new window.

#include <functional>
#include <memory>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/Collection.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/WinControl.h"

enum class TStatusPanelStyle { psText, psOwnerDraw };
using enum TStatusPanelStyle;
RTL_ENUM(TStatusPanelStyle, psText, psOwnerDraw);

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
using enum TStatusPanelBevel;
RTL_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised);

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    RTL_CLASS(TStatusPanel, TCollectionItem);

public:
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

    String Text() const { return text_; }
    void SetText(const String& value);
    int Width() const noexcept { return width_; }
    void SetWidth(int value);
    TStatusPanelStyle Style() const noexcept { return style_; }
    void SetStyle(TStatusPanelStyle value);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel Bevel() const noexcept { return bevel_; }
    void SetBevel(TStatusPanelBevel value);
    void Assign(TPersistent* source) override;
    String DisplayName() const override { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

private:
    String text_;
    int width_ = 50;
    TStatusPanelStyle style_ = psText;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels : public TCollection {
    RTL_CLASS(TStatusPanels, TCollection);

public:
    explicit TStatusPanels(TStatusBar* statusBar);

    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* statusBar_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* statusBar, TStatusPanel* panel, const TRect& rect)>;

class TStatusBar : public TWinControl {
    RTL_CLASS(TStatusBar, TWinControl);
    UI_MESSAGES(TStatusBar, TWinControl);

public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const noexcept { return panels_.get(); }
    void SetPanels(TStatusPanels* value) { panels_->Assign(value); }
    bool SimplePanel() const noexcept { return simplePanel_; }
    void SetSimplePanel(bool value);
    String SimpleText() const { return simpleText_; }
    void SetSimpleText(const String& value);
    bool SizeGrip() const noexcept { return sizeGrip_; }
    void SetSizeGrip(bool value);
    TCanvas* Canvas() const noexcept { return canvas_.get(); }

    TDrawPanelEvent OnDrawPanel;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    // Draws an owner-drawn panel; without OnDrawPanel it stays the bar's face.
    virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);

private:
    friend class TStatusPanels;
    // Gives the window the panels' edges, texts and looks.
    void UpdatePanels();
    void UpdateSimpleText();

    void CNDrawItem(TMessage& m);
    void WMSize(TMessage& m);

    std::unique_ptr<TStatusPanels> panels_;
    std::unique_ptr<TCanvas> canvas_;
    String simpleText_;
    bool simplePanel_ = false;
    bool sizeGrip_ = true;
};
