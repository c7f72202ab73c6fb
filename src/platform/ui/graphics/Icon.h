#pragma once
// TIcon: a picture in an icon of the window system, read from and written to
// ICO files, and always drawn transparent (by its mask or its alpha).

#include "platform/ui/graphics/Graphic.h"

class TIcon : public TGraphic {
    RTL_CLASS(TIcon, TGraphic);

public:
    TIcon() = default;
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    // An icon (a copy of its handle) or null (empties the icon).
    void Assign(TPersistent* source) override;

    bool Empty() const override { return handle_ == nullptr; }
    // The icon's size; before one is loaded, the size wanted of the next
    // load (0: the file's first image). Raises EInvalidGraphicOperation
    // "Cannot change the size of an icon" once there is one.
    int Width() const override { return width_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    int Height() const override { return height_; }
    void SetHeight(int value) override { SetSize(width_, value); }
    void SetSize(int width, int height) override;
    bool Transparent() const override { return true; }
    void SetTransparent(bool) override {}

    // Owned by the icon; setting hands an icon over, ReleaseHandle hands it back.
    HICON Handle() const noexcept { return handle_; }
    void SetHandle(HICON value);
    HICON ReleaseHandle();

    void Draw(TCanvas* canvas, const TRect& rect) override;
    // An ICO file; raises EInvalidGraphic "Icon image is not valid" for anything else.
    void LoadFromStream(TStream& stream) override;
    // An ICO file of one 32-bit image; nothing when empty.
    void SaveToStream(TStream& stream) override;

private:
    void Take(HICON handle);

    HICON handle_ = nullptr;
    int width_ = 0, height_ = 0;
};
