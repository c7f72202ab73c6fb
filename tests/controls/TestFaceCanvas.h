#pragma once
// A canvas on a memory device context with the built-in test face 16 pixels
// high: every character 8 pixels wide, East Asian wide ones 16.

#include <memory>

#include "platform/ui/Canvas.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/FontEngine.h"

class TTestFaceCanvas {
public:
    TTestFaceCanvas() : dc_(CreateCompatibleDC(nullptr)) {
        canvas_.SetHandle(dc_);
        canvas_.Font()->SetName(kTestFaceName);
        canvas_.Font()->SetHeight(-16);
    }
    ~TTestFaceCanvas() {
        canvas_.SetHandle(nullptr);
        DeleteDC(dc_);
    }
    TTestFaceCanvas(const TTestFaceCanvas&) = delete;
    TTestFaceCanvas& operator=(const TTestFaceCanvas&) = delete;

    TCanvas* operator->() noexcept { return &canvas_; }
    TCanvas* get() noexcept { return &canvas_; }

private:
    HDC dc_;
    TCanvas canvas_;
};
