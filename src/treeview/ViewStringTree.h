#pragma once
// The string trees: TCustomViewStringTree shows texts asked from the owner
// (OnGetText), draws them clipped or wrapped with an optional static text
// after them, caches the main column's text width inside each node and
// answers searches and hints from the texts; it never stores a text itself.
// TViewStringTree is the published form the application uses.
//   ViewStringTree.cpp       construction, texts, widths, search and hints
//   ViewStringTreePaint.cpp  the cell content: normal and static text

#include "platform/ui/MessageTable.h"
#include "treeview/BaseViewTree.h"

enum class TVSTTextType { ttNormal, ttStatic };
using enum TVSTTextType;

enum class TVTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
using enum TVTTooltipLineBreakStyle;

class TCustomViewStringTree;
using TVSTGetTextEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column,
                                            TVSTTextType textType, String& cellText)>;
using TVTPaintText = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node,
                                        TColumnIndex column, TVSTTextType textType)>;
using TVTDrawTextEvent = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node,
                                            TColumnIndex column, const String& text, TRect cellRect, bool& defaultDraw)>;
using TVTMeasureTextEvent = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node,
                                               TColumnIndex column, const String& text, int& extent)>;
using TVSTShortenStringEvent =
    std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node, TColumnIndex column,
                       const String& s, int textSpace, String& result, bool& done)>;
using TVSTGetHintEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column,
                                            TVTTooltipLineBreakStyle& lineBreakStyle, String& hintText)>;
using TVSTNewTextEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, const String& newText)>;

class TCustomViewStringTree : public TBaseViewTree {
    RTL_CLASS(TCustomViewStringTree, TBaseViewTree);
    UI_MESSAGES(TCustomViewStringTree, TBaseViewTree);

public:
    explicit TCustomViewStringTree(TComponent* owner);
    TCustomStringTreeOptions* TreeOptions() const noexcept {
        return static_cast<TCustomStringTreeOptions*>(TBaseViewTree::TreeOptions());
    }
    // The offset of the string tree's own per-node data (4 bytes) in every node's internal area.
    uint32_t InternalDataOffset() const noexcept { return internalDataOffset_; }

    const String& DefaultText() const noexcept { return defaultText_; }
    void SetDefaultText(const String& value);
    // The cell's text: DefaultText as changed by OnGetText.
    String Text(PViewNode node, TColumnIndex column);
    String StaticText(PViewNode node, TColumnIndex column);
    // Hands an edited text to the owner and repaints the row.
    void NewText(PViewNode node, TColumnIndex column, const String& text);
    // The main column's text width with both text margins, cached in the node (0: unknown).
    int NodeWidth(PViewNode node, TColumnIndex column) override;
    int CachedTextWidth(PViewNode node) const noexcept;
    virtual int TextWidth(TCanvas* canvas, PViewNode node, const String& text, TColumnIndex column);
    virtual int TextMeasuring(TCanvas* canvas, PViewNode node, const String& text, TColumnIndex column);
    // Height of the node's text (or of Text when given) wrapped in its cell.
    virtual int NodeTextHeight(TCanvas* canvas, PViewNode node, TColumnIndex column, const String& text = {});
    virtual String ShortenText(TCanvas* canvas, PViewNode node, TColumnIndex column, const String& s, int width);
    // 0 when the node's text in the focused column starts with SearchText (or the owner says so), else 1.
    int DoIncrementalSearch(PViewNode node, const String& searchText) override;
    String NodeHintText(PViewNode node, TColumnIndex column, TVTTooltipLineBreakStyle& lineBreakStyle);
    String NodeTooltipText(PViewNode node, TColumnIndex column, TVTTooltipLineBreakStyle& lineBreakStyle);
    bool CellIsEmpty(PViewNode node, TColumnIndex column) override;
    void InvalidateRow(PViewNode node) override;
    void ReinitializeNode(PViewNode node, bool recursive) override;
    // The font's text height and the width of "...", measured at every font change.
    int TextHeight();
    int EllipsisWidth();

    TVSTGetTextEvent OnGetText;
    TVTPaintText OnPaintText;
    TVTDrawTextEvent OnDrawText;
    TVTMeasureTextEvent OnMeasureTextWidth;
    TVSTShortenStringEvent OnShortenString;
    TVSTGetHintEvent OnGetHint;
    TVSTNewTextEvent OnNewText;

protected:
    std::unique_ptr<TCustomViewTreeOptions> CreateOptions() override;
    void PaintNodeContent(TVTPaintInfo& paintInfo) override;
    virtual void DrawTextOut(TVTPaintInfo& paintInfo, const String& text, TRect r, UINT format);

private:
    void WMSetFont(TMessage& message);
    void MeasureFont();
    void ResetAllTextWidths();
    void SetCachedTextWidth(PViewNode node, int width) noexcept;
    void PaintNormalText(TVTPaintInfo& paintInfo, const String& text);
    void PaintStaticText(TVTPaintInfo& paintInfo, const String& text);
    // Font colour and style of a cell that draws selection or hot tracking.
    void ApplyHighlightFont(TVTPaintInfo& paintInfo, bool hotTracking);
    bool CellDrawsSelection(const TVTPaintInfo& paintInfo) const;

    uint32_t internalDataOffset_;
    String defaultText_ = u"Node";
    bool fontMeasured_ = false;
    int textHeight_ = 0;
    int ellipsisWidth_ = 0;
};

class TViewStringTree : public TCustomViewStringTree {
    RTL_CLASS(TViewStringTree, TCustomViewStringTree);

public:
    explicit TViewStringTree(TComponent* owner) : TCustomViewStringTree(owner) { ReplaceOptions(CreateOptions()); }
    TStringTreeOptions* TreeOptions() const noexcept {
        return static_cast<TStringTreeOptions*>(TBaseViewTree::TreeOptions());
    }

protected:
    std::unique_ptr<TCustomViewTreeOptions> CreateOptions() override;
};
