#pragma once
// Text across drag and drop and the clipboard: 8-bit text (UTF-8, the
// process code page; "OEM" text too), UTF-16 text, rich text, CSV lines and
// the text's locale, gathered by TTextDataFormat.

#include "controls/dragdrop/BlockFormats.h"
#include "controls/dragdrop/DataFormat.h"

// The locale of this process's threads; every locale's code page is UTF-8.
DWORD GetThreadLocale() noexcept;
int CodePageOfLocale(DWORD locale) noexcept;

// 8-bit text up to its first NUL.
class TCustomAnsiTextClipboardFormat : public TCustomAnsiStringClipboardFormat {
    RTL_CLASS(TCustomAnsiTextClipboardFormat, TCustomAnsiStringClipboardFormat);

public:
    explicit TCustomAnsiTextClipboardFormat(CLIPFORMAT format);
    const std::string& Text() const noexcept { return Data(); }
    void SetText(std::string value) { SetData(std::move(value)); }
    // With a terminator unless the text ends with one.
    size_t BlockSize() const override;
};

// UTF-16 text: the block's code units as they are, terminators included.
class TCustomUnicodeTextClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TCustomUnicodeTextClipboardFormat, TCustomSimpleClipboardFormat);

public:
    using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;
    const String& Text() const noexcept { return text_; }
    void SetText(const String& value) { text_ = value; }

    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    // With a terminator unless the text ends with one.
    size_t BlockSize() const override;
    void Clear() override { text_ = String(); }
    bool HasData() const override { return !text_.empty(); }

protected:
    String text_;
};

#define DRAGDROP_TEXT_FORMAT(Class, Base, format)                          \
    class Class : public Base {                                            \
        RTL_CLASS(Class, Base);                                            \
                                                                           \
    public:                                                                \
        Class() : Base(ClassClipboardFormat()) {}                          \
        static CLIPFORMAT ClassClipboardFormat() { return format; }        \
    }

DRAGDROP_TEXT_FORMAT(TAnsiTextClipboardFormat, TCustomAnsiTextClipboardFormat, CF_TEXT);
DRAGDROP_TEXT_FORMAT(TUnicodeTextClipboardFormat, TCustomUnicodeTextClipboardFormat, CF_UNICODETEXT);
DRAGDROP_TEXT_FORMAT(TOEMTextClipboardFormat, TCustomAnsiTextClipboardFormat, CF_OEMTEXT);
DRAGDROP_TEXT_FORMAT(TRichTextClipboardFormat, TCustomAnsiTextClipboardFormat,
                     DRAGDROP_REGISTERED_FORMAT(u"Rich Text Format"));
DRAGDROP_TEXT_FORMAT(TCSVClipboardFormat, TCustomStringListClipboardFormat, DRAGDROP_REGISTERED_FORMAT(u"CSV"));

class TLocaleClipboardFormat : public TCustomDWORDClipboardFormat {
    RTL_CLASS(TLocaleClipboardFormat, TCustomDWORDClipboardFormat);

public:
    TLocaleClipboardFormat() : TCustomDWORDClipboardFormat(CF_LOCALE) {}
    DWORD Locale() const noexcept { return Value(); }
    bool HasData() const override { return Value() != 0; }
};

// A text in 8-bit and UTF-16 form, each made from the other on demand.
class TTextDataFormat : public TCustomDataFormat {
    RTL_CLASS(TTextDataFormat, TCustomDataFormat);

public:
    using TCustomDataFormat::TCustomDataFormat;
    static void DeclareConversions();

    std::string AnsiText();
    void SetAnsiText(const std::string& value);
    String UnicodeText();
    void SetUnicodeText(const String& value);
    String Text() { return UnicodeText(); }
    void SetText(const String& value) { SetUnicodeText(value); }
    // The stored locale, or the thread's when none is stored.
    DWORD Locale() const;
    void SetLocale(DWORD value);

    bool Assign(TClipboardFormat& source) override;
    bool AssignTo(TClipboardFormat& dest) override;
    void Clear() override;
    bool HasData() const override;
    bool NeedsData() const override;

private:
    bool Designing() const;

    std::string ansiText_;
    String unicodeText_;
    DWORD locale_ = 0;
    bool ansiNeeded_ = true;
    bool unicodeNeeded_ = true;
};

// The text as a rich-text document: unchanged when it already is one, else a
// minimal document with one escaped character per UTF-16 code unit.
std::string RichTextOf(const String& text);
