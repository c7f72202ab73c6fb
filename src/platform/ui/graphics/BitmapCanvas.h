#pragma once
// The canvas of a bitmap: a memory DC with the bitmap selected, made when
// drawing first needs it and let go whenever the bitmap replaces its handle.
// Internal to the bitmap class.

#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext() {
        if (!dc_) return;
        SetHandle(nullptr);
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }

protected:
    void CreateHandle() override {
        const HBITMAP bitmap = bitmap_.HandleNeeded();
        dc_ = CreateCompatibleDC(nullptr);
        oldBitmap_ = bitmap ? SelectObject(dc_, ToGdiObject(bitmap)) : GetCurrentObject(dc_, OBJ_BITMAP);
        SetHandle(dc_);
    }

private:
    TBitmap& bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};
