#pragma once
// The clipboard the edits cut, copy and paste text through. The window
// system starts with a clipboard of its own process; the desktop bridge
// registers one that reaches the desktop's clipboard.

#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/String.h"

// Another form of the same text for programs that read it, by MIME type
// ("text/html", "text/rtf", "text/csv").
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
