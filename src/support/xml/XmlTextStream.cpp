#include "support/xml/XmlTextStream.h"

#include <algorithm>

#include "support/xml/XmlErrors.h"

namespace {

// The code units written text collects before it goes to the byte stream.
constexpr size_t kFlushUnits = 8192;

}  // namespace

TXMLTextStream::TXMLTextStream(TStream& stream, int codePage, TXmlStreamMode mode)
    : text_(stream, codePage, 0, mode == TXmlStreamMode::Read ? TXtAccess::Read : TXtAccess::Write) {
    held_.reserve(256);
}

void TXMLTextStream::LevelUp() noexcept {
    if (level_ == kLevelMarker) level_ = 0;
    ++level_;
}

void TXMLTextStream::LevelDown() noexcept {
    level_ = level_ == 1 ? kLevelMarker : level_ - 1;
}

void TXMLTextStream::BreakLine(bool force) {
    if (outputFormat_ == xofNone) return;
    if (force || level_ > 0) Write(u"\r\n");
    if (outputFormat_ != xofIndent || level_ <= 0 || level_ == kLevelMarker) return;
    // Indentation from a constant run of spaces: a line break allocates nothing.
    constexpr std::u16string_view kIndentSpaces = u"                                                                ";
    for (size_t left = static_cast<size_t>(level_) * 2; left > 0;) {
        const size_t n = std::min(left, kIndentSpaces.size());
        Write(kIndentSpaces.substr(0, n));
        left -= n;
    }
}

bool TXMLTextStream::NextChar(char16_t& c) {
    if (pushedBack_) {
        if (!canPushBack_)
            throw EXMLException(DOM_INVALID_CHARACTER_ERR, xeInternalError, {u"Only one undo level is supported"});
        pushedBack_ = false;
        canPushBack_ = false;
        c = previous_;
        return true;
    }
    if (text_.Read(&c, 1) != 1) return false;
    canPushBack_ = true;
    previous_ = c;
    hasPrevious_ = true;
    if (c == u'\n') {
        ++line_;
        column_ = 0;
        lineText_.clear();
    } else {
        ++column_;
        lineText_ += c;
    }
    return true;
}

bool TXMLTextStream::ReadChars(String& s, int count) {
    s.clear();
    char16_t c;
    for (int i = 0; i < count; ++i) {
        if (!NextChar(c)) return false;
        s += c;
    }
    return true;
}

// The held text keeps its room for the next text; the result is an exact copy.
String TXMLTextStream::TakeHeld() {
    previousHeld_ = held_;
    String result = held_;
    held_.clear();
    return result;
}

void TXMLTextStream::SetCodepage(int codePage) {
    Flush();
    text_.SetCodepage(codePage);
}

void TXMLTextStream::Write(std::u16string_view s) {
    unflushed_.append(s);
    if (unflushed_.size() >= kFlushUnits) Flush();
}

void TXMLTextStream::Flush() {
    if (unflushed_.empty()) return;
    const bool written = text_.WriteWide(unflushed_);
    unflushed_.clear();
    if (!written) throw EWriteError("Stream write error");
}

void TXMLTextStream::WriteText(std::u16string_view s, bool escape, bool crLf) {
    size_t run = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        std::u16string_view replacement;
        switch (s[i]) {
        case u'\n': replacement = u"\r\n"; break;
        case u'"': replacement = u"&quot;"; break;
        case u'&': replacement = u"&amp;"; break;
        case u'\'': replacement = u"&apos;"; break;
        case u'<': replacement = u"&lt;"; break;
        case u'>': replacement = u"&gt;"; break;
        default: continue;
        }
        if (s[i] == u'\n' ? !crLf : !escape) continue;
        if (i > run) Write(s.substr(run, i - run));
        Write(replacement);
        run = i + 1;
    }
    if (run < s.size()) Write(s.substr(run));
}

bool TXMLTextStream::PreviousChar(char16_t& c) const noexcept {
    if (!hasPrevious_) return false;
    c = previous_;
    return true;
}
