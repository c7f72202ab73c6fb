#pragma once
// The painters of the data providers draw on a framework canvas through this.

#include "platform/ui/Canvas.h"
#include "support/dataproviders/XcDataProviderIntf.h"

class TXcCanvasAdapter final : public TXcDataCanvas {
public:
    explicit TXcCanvasAdapter(TCanvas& canvas) : canvas_(canvas) {}
    TSize TextExtent(const String& text) override { return canvas_.TextExtent(text); }
    void TextRect(const TRect& rect, int x, int y, const String& text) override { canvas_.TextRect(rect, x, y, text); }

private:
    TCanvas& canvas_;
};
