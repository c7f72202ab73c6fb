#include "platform/win/controls/TextClipboard.h"

namespace {

class TProcessClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override { return text_; }
    void SetText(const String& text) override { text_ = text; }
    void Clear() override { text_.reset(); }

private:
    std::optional<String> text_;
};

TProcessClipboard& ProcessClipboard() {
    static TProcessClipboard clipboard;
    return clipboard;
}

ITextClipboard* registered = nullptr;

} // namespace

ITextClipboard& TextClipboard() { return registered ? *registered : ProcessClipboard(); }

ITextClipboard* SetTextClipboard(ITextClipboard* clipboard) {
    ITextClipboard* previous = registered;
    registered = clipboard;
    return previous;
}
