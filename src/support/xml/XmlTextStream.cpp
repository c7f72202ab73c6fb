#include "support/xml/XmlTextStream.h"

#include "support/xml/XmlErrors.h"

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
    if (outputFormat_ == xofIndent && level_ > 0 && level_ != kLevelMarker)
        Write(std::u16string(static_cast<size_t>(level_) * 2, u' '));
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

String TXMLTextStream::TakeHeld() {
    previousHeld_ = held_;
    String result = std::move(held_);
    held_.clear();
    return result;
}

void TXMLTextStream::Write(std::u16string_view s) {
    if (!text_.WriteWide(s)) throw EWriteError("Stream write error");
}

bool TXMLTextStream::PreviousChar(char16_t& c) const noexcept {
    if (!hasPrevious_) return false;
    c = previous_;
    return true;
}
