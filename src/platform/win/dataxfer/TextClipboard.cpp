#include "platform/win/dataxfer/TextClipboard.h"

namespace {

class TProcessClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override { return text_; }
    void SetText(const String& text) override { SetFlavours(text, {}); }
    void Clear() override { SetFlavours(std::nullopt, {}); }
    void SetFlavours(const std::optional<String>& text, const std::vector<TTextFlavour>& flavours) override {
        text_ = text;
        flavours_ = flavours;
        ++changes_;
    }
    std::optional<std::string> GetFlavour(std::string_view mimeType) override {
        for (const TTextFlavour& flavour : flavours_)
            if (flavour.mimeType == mimeType) return flavour.bytes;
        return std::nullopt;
    }
    uint64_t ChangeCount() override { return changes_; }

private:
    std::optional<String> text_;
    std::vector<TTextFlavour> flavours_;
    uint64_t changes_ = 0;
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
