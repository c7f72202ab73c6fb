#include "controls/XcMaxPixel.h"

#include <vector>

#include "controls/XcTextFitting.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Font.h"

RTL_PUBLISHED(TXcMaxPixel, c) {
    c.Property("UseControlFont", &TXcMaxPixel::UseControlFont, &TXcMaxPixel::SetUseControlFont).Default(true);
    c.Property("Length", &TXcMaxPixel::Length, &TXcMaxPixel::SetLength).Default(0);
    c.Property("Font", &TXcMaxPixel::Font, &TXcMaxPixel::SetFont).Stored(&TXcMaxPixel::IsFontStored);
}

TXcMaxPixel::TXcMaxPixel(TControl* owner) : font_(std::make_unique<TFont>()), control_(owner) {
    font_->OnChange = [this](TObject*) { Changed(); };
}

TXcMaxPixel::~TXcMaxPixel() = default;

void TXcMaxPixel::SetUseControlFont(bool value) {
    if (value == useControlFont_) return;
    useControlFont_ = value;
    Changed();
}

void TXcMaxPixel::SetLength(int value) {
    if (value == length_) return;
    length_ = value;
    Changed();
}

void TXcMaxPixel::SetFont(TFont* value) {
    if (value != font_.get()) font_->Assign(value);
}

void TXcMaxPixel::Changed() {
    if (OnChanged) OnChanged(this);
}

void TXcMaxPixel::LimitText(String& text, TFont* controlFont) const {
    if (length_ == 0 || text.empty()) return;
    TControlCanvas canvas;
    canvas.SetControl(control_);
    canvas.SetFont(useControlFont_ && controlFont ? controlFont : font_.get());
    if (canvas.TextWidth(text) <= length_) return;
    // What removing one character at a time from the end leaves, found by
    // halving over whole characters: a prefix is never narrower than a
    // shorter one, so the longest prefix that fits is where fitting stops.
    const std::vector<size_t> ends = CharacterBoundaries(text);
    const auto fits = [&](size_t characters) { return canvas.TextWidth(text.substr(0, ends[characters])) <= length_; };
    size_t low = 0, high = ends.size() - 1; // fits(low) holds once low > 0; high does not fit
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    text.resize(ends[low]);
}
