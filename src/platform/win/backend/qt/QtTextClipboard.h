#pragma once
// The text clipboard on the desktop: the application's QClipboard (never the
// primary selection). Setting text publishes it to other programs; reading
// asks the desktop for text.

#include <QObject>

#include "platform/win/dataxfer/TextClipboard.h"

class TQtTextClipboard final : public ITextClipboard {
public:
    TQtTextClipboard();

    std::optional<String> GetText() override;
    void SetText(const String& text) override;
    void Clear() override;
    void SetFlavours(const std::optional<String>& text, const std::vector<TTextFlavour>& flavours) override;
    std::optional<std::string> GetFlavour(std::string_view mimeType) override;
    uint64_t ChangeCount() override { return changes_; }

private:
    uint64_t changes_ = 0;
    QObject context_; // of the connection counting changes
};
