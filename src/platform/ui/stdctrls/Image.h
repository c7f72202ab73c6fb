#pragma once
// TImage: a picture painted on the parent (no window of its own): at its own
// size in the top-left corner, centred, or stretched to the control's size,
// keeping its proportions when asked. With AutoSize the control takes the
// picture's size.

#include <memory>

#include "platform/ui/CustomControl.h"
#include "platform/ui/graphics/Picture.h"

class TImage : public TGraphicControl {
    RTL_CLASS(TImage, TGraphicControl);

public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture* Picture() const noexcept { return picture_.get(); }
    void SetPicture(TPicture* value) { picture_->Assign(value); }
    bool Center() const noexcept { return center_; }
    void SetCenter(bool value) { Set(center_, value); }
    bool Stretch() const noexcept { return stretch_; }
    void SetStretch(bool value) { Set(stretch_, value); }
    // Scales a picture larger than the control (or any, with Stretch) keeping its aspect.
    bool Proportional() const noexcept { return proportional_; }
    void SetProportional(bool value) { Set(proportional_, value); }
    // Passed on to the graphic (icons are always transparent).
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool value) { Set(transparent_, value); }
    // Where the picture is drawn in the client area.
    TRect DestRect();

protected:
    void Paint() override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;

private:
    void Set(bool& field, bool value);
    void PictureChanged();

    std::unique_ptr<TPicture> picture_;
    bool center_ = false;
    bool stretch_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
};
