#pragma once
// The text clipboard on the desktop: the application's QClipboard (never the
// primary selection). Setting text publishes it to other programs; reading
// asks the desktop for text.

#include "platform/win/controls/TextClipboard.h"

class TQtTextClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override;
    void SetText(const String& text) override;
    void Clear() override;
    void SetFlavours(const std::optional<String>& text, const std::vector<TTextFlavour>& flavours) override;
};
