#include "controls/dragdrop/TextFormats.h"

#include <cstdio>
#include <cstring>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DragDropComponent.h"
#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TCustomAnsiTextClipboardFormat);
RTL_PUBLISHED_NONE(TCustomUnicodeTextClipboardFormat);
RTL_PUBLISHED_NONE(TAnsiTextClipboardFormat);
RTL_PUBLISHED_NONE(TUnicodeTextClipboardFormat);
RTL_PUBLISHED_NONE(TOEMTextClipboardFormat);
RTL_PUBLISHED_NONE(TRichTextClipboardFormat);
RTL_PUBLISHED_NONE(TCSVClipboardFormat);
RTL_PUBLISHED_NONE(TLocaleClipboardFormat);
RTL_PUBLISHED_NONE(TTextDataFormat);

namespace {

constexpr DWORD kChineseSimplifiedLocale = 0x0804;
constexpr char kRichTextHeader[] = "{\\rtf1\\ansi {\\*\\generator ostrel dragdrop}";

std::string EncodeText(const String& text, DWORD locale) { return EncodeCodePage(text, CodePageOfLocale(locale)); }
String DecodeText(const std::string& text, DWORD locale) { return DecodeCodePage(text, CodePageOfLocale(locale)); }

} // namespace

DWORD GetThreadLocale() noexcept { return kChineseSimplifiedLocale; }
int CodePageOfLocale(DWORD) noexcept { return CP_UTF8; }

TCustomAnsiTextClipboardFormat::TCustomAnsiTextClipboardFormat(CLIPFORMAT format)
    : TCustomAnsiStringClipboardFormat(format) {
    SetTrimZeroes(true);
}

size_t TCustomAnsiTextClipboardFormat::BlockSize() const {
    const std::string& text = Text();
    return !text.empty() && text.back() == '\0' ? text.size() : text.size() + 1;
}

bool TCustomUnicodeTextClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    text_ = String(std::move(units));
    return true;
}

bool TCustomUnicodeTextClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    if (size > (text_.size() + 1) * 2) return false;
    std::memcpy(buffer, text_.c_str(), size);
    return true;
}

size_t TCustomUnicodeTextClipboardFormat::BlockSize() const {
    const bool terminated = !text_.empty() && text_.Std().back() == u'\0';
    return 2 * (text_.size() + (terminated ? 0 : 1));
}

void TTextDataFormat::DeclareConversions() {
    AddConversion<TTextDataFormat, TAnsiTextClipboardFormat>(0);
    AddConversion<TTextDataFormat, TLocaleClipboardFormat>(0);
    AddConversion<TTextDataFormat, TUnicodeTextClipboardFormat>(-1);
    AddConversion<TTextDataFormat, TOEMTextClipboardFormat>(0);
    AddConversion<TTextDataFormat, TRichTextClipboardFormat>(0);
}

bool TTextDataFormat::Designing() const {
    return Owner() && Owner()->ComponentState().Contains(csDesigning);
}

std::string TTextDataFormat::AnsiText() {
    if (ansiNeeded_ && !unicodeNeeded_) ansiText_ = EncodeText(unicodeText_, Locale());
    return ansiText_;
}

void TTextDataFormat::SetAnsiText(const std::string& value) {
    NotifyChanging();
    ansiText_ = value;
    unicodeText_ = String();
    ansiNeeded_ = false;
    unicodeNeeded_ = true;
    if (locale_ == 0 && !Designing()) locale_ = GetThreadLocale();
}

String TTextDataFormat::UnicodeText() {
    if (unicodeNeeded_ && !ansiNeeded_) unicodeText_ = DecodeText(ansiText_, Locale());
    return unicodeText_;
}

void TTextDataFormat::SetUnicodeText(const String& value) {
    NotifyChanging();
    unicodeText_ = value;
    ansiText_.clear();
    unicodeNeeded_ = false;
    ansiNeeded_ = true;
}

DWORD TTextDataFormat::Locale() const { return locale_ == 0 && !Designing() ? GetThreadLocale() : locale_; }

void TTextDataFormat::SetLocale(DWORD value) {
    NotifyChanging();
    locale_ = value;
}

bool TTextDataFormat::Assign(TClipboardFormat& source) {
    if (auto* ansi = dynamic_cast<TAnsiTextClipboardFormat*>(&source)) {
        ansiText_ = ansi->Text();
        ansiNeeded_ = false;
        unicodeNeeded_ = unicodeNeeded_ || (!ansiText_.empty() && unicodeText_.empty());
        return true;
    }
    if (auto* unicode = dynamic_cast<TUnicodeTextClipboardFormat*>(&source)) {
        unicodeText_ = unicode->Text();
        unicodeNeeded_ = false;
        ansiNeeded_ = ansiNeeded_ || (!unicodeText_.empty() && ansiText_.empty());
        return true;
    }
    if (auto* locale = dynamic_cast<TLocaleClipboardFormat*>(&source)) {
        locale_ = locale->Locale();
        return true;
    }
    return TCustomDataFormat::Assign(source);
}

bool TTextDataFormat::AssignTo(TClipboardFormat& dest) {
    if (auto* ansi = dynamic_cast<TAnsiTextClipboardFormat*>(&dest)) {
        ansi->SetText(AnsiText());
    } else if (auto* rich = dynamic_cast<TRichTextClipboardFormat*>(&dest)) {
        rich->SetText(RichTextOf(Text()));
    } else if (auto* unicode = dynamic_cast<TUnicodeTextClipboardFormat*>(&dest)) {
        unicode->SetText(UnicodeText());
    } else if (auto* oem = dynamic_cast<TOEMTextClipboardFormat*>(&dest)) {
        oem->SetText(HasData() ? EncodeText(Text(), Locale()) : std::string());
    } else if (auto* locale = dynamic_cast<TLocaleClipboardFormat*>(&dest)) {
        locale->SetValue(Locale());
    } else {
        return TCustomDataFormat::AssignTo(dest);
    }
    return true;
}

void TTextDataFormat::Clear() {
    NotifyChanging();
    ansiText_.clear();
    unicodeText_ = String();
    ansiNeeded_ = unicodeNeeded_ = true;
}

bool TTextDataFormat::HasData() const {
    return (!ansiNeeded_ && !ansiText_.empty()) || (!unicodeNeeded_ && !unicodeText_.empty());
}

bool TTextDataFormat::NeedsData() const {
    return (ansiNeeded_ && ansiText_.empty()) || (unicodeNeeded_ && unicodeText_.empty());
}

std::string RichTextOf(const String& text) {
    const std::u16string& s = text.Std();
    if (s.size() >= 5) {
        std::u16string start = s.substr(0, 5);
        for (char16_t& c : start)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (start == u"{\\rtf") return text.ToUtf8();
    }
    std::string rtf = kRichTextHeader;
    char escape[16];
    for (const char16_t u : s) {
        if (u == 0) break;
        const auto c = static_cast<unsigned char>(u & 0xFF);
        if (u <= 0x7F) {
            if (c == '\\' || c == '{' || c == '}') {
                rtf += '\\';
                rtf += static_cast<char>(c);
            } else if (c == 9) {
                rtf += "\\tab ";
            } else if (c == 13) {
                rtf += "\\par ";
            } else if (c >= 0x20 && c < 0x7F) {
                rtf += static_cast<char>(c);
            } else {
                std::snprintf(escape, sizeof escape, "\\'%.2x", unsigned(u));
                rtf += escape;
            }
        } else {
            const bool plain = c >= 0x20 && !(c >= '0' && c <= '9') && c != '\\' && c != '{' && c != '}';
            std::snprintf(escape, sizeof escape, "\\u%d", int(static_cast<int16_t>(u)));
            rtf += escape;
            rtf += plain ? static_cast<char>(c) : '?';
        }
    }
    rtf += '}';
    return rtf;
}
