#pragma once
// The clipboard the edits cut, copy and paste text through. The window
// system starts with a clipboard of its own process; the desktop bridge
// registers one that reaches the desktop's clipboard.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/String.h"

// Another form of the clipboard's content for programs that read it, by MIME
// type ("text/html", "text/rtf", "text/csv", "text/uri-list").
struct TTextFlavour {
    std::string mimeType;
    std::string bytes;
};

class ITextClipboard {
public:
    virtual ~ITextClipboard() = default;
    // The text on the clipboard; nothing when it holds no text.
    virtual std::optional<String> GetText() = 0;
    virtual void SetText(const String& text) = 0;
    // Leaves the clipboard holding nothing (by default: an empty text).
    virtual void Clear() { SetText(String()); }
    // Text (if any) with other forms of it; a clipboard of plain text keeps
    // only the text.
    virtual void SetFlavours(const std::optional<String>& text, const std::vector<TTextFlavour>& flavours) {
        static_cast<void>(flavours);
        if (text)
            SetText(*text);
        else
            Clear();
    }
    // The bytes of another form the clipboard holds; nothing when it holds
    // none (a clipboard of plain text never does).
    virtual std::optional<std::string> GetFlavour(std::string_view mimeType) {
        static_cast<void>(mimeType);
        return std::nullopt;
    }
    // Changes whenever the content does, by this process or another program
    // (a clipboard that cannot tell answers 0 throughout).
    virtual uint64_t ChangeCount() { return 0; }
};

// The registered clipboard (the in-process one when none is).
ITextClipboard& TextClipboard();
// Registers Clipboard (null: the in-process one again) and returns the
// previous registration. Used on the GUI thread only.
ITextClipboard* SetTextClipboard(ITextClipboard* clipboard);

// Keeps Clipboard registered while in scope (tests, the bridge's lifetime).
class TTextClipboardScope {
public:
    explicit TTextClipboardScope(ITextClipboard& clipboard) : previous_(SetTextClipboard(&clipboard)) {}
    ~TTextClipboardScope() { SetTextClipboard(previous_); }
    TTextClipboardScope(const TTextClipboardScope&) = delete;
    TTextClipboardScope& operator=(const TTextClipboardScope&) = delete;

private:
    ITextClipboard* previous_;
};
