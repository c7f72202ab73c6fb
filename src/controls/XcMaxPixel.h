#pragma once
// A text limit in pixels for an edit: LimitText cuts the text, whole
// characters from its end, until it is no wider than Length on a canvas of
// the owning control, in the control's font (UseControlFont) or in Font.

#include <memory>

#include "platform/rtl/Persistent.h"
#include "platform/ui/Events.h"

class TControl;
class TFont;

class TXcMaxPixel : public TPersistent {
    RTL_CLASS(TXcMaxPixel, TPersistent);

public:
    explicit TXcMaxPixel(TControl* owner);
    ~TXcMaxPixel() override;

    bool UseControlFont() const noexcept { return useControlFont_; }
    void SetUseControlFont(bool value);
    // Pixels; 0 sets no limit.
    int Length() const noexcept { return length_; }
    void SetLength(int value);
    TFont* Font() const noexcept { return font_.get(); }
    // Copies Value (nothing for the font itself).
    void SetFont(TFont* value);
    TControl* Control() const noexcept { return control_; }

    // Shortens Text in place to the limit, measured in ControlFont or Font.
    void LimitText(String& text, TFont* controlFont) const;

    // Length, UseControlFont or the font changed.
    TNotifyEvent OnChanged;

private:
    bool IsFontStored() const { return !useControlFont_; }
    void Changed();

    bool useControlFont_ = true;
    int length_ = 0;
    std::unique_ptr<TFont> font_;
    TControl* control_;
};
