#include "support/xml/XtTextStream.h"

#include "platform/rtl/String.h"

namespace {

constexpr size_t kChunk = 4096;
constexpr char16_t kReplacement = 0xFFFD;

bool IsUnicodePage(int cp) { return cp == CP_UTF16 || cp == CP_UTF32 || cp == CP_UTF8; }

// Writes the UTF-8 bytes of Cp at Out (room for four) and returns the end.
char* PutUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Code point at Text[i], advancing i past it; a lone surrogate gives U+FFFD.
char32_t NextCodePoint(std::u16string_view text, size_t& i) {
    const char16_t c = text[i++];
    if (IsHighSurrogate(c) && i < text.size() && IsLowSurrogate(text[i]))
        return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i++] - 0xDC00);
    return IsHighSurrogate(c) || IsLowSurrogate(c) ? kReplacement : c;
}

}  // namespace

TXtTextStream::TXtTextStream(TStream& stream, int codePage, uint8_t flags, TXtAccess access)
    : stream_(stream), codePage_(codePage), flags_(flags) {
    if ((flags_ & xtfUnicode) && codePage_ != CP_UTF8 && codePage_ != CP_UTF32) codePage_ = CP_UTF16;
    if (access == TXtAccess::Read) {
        DetectMark();
    } else {
        if (IsUnicodePage(codePage_)) flags_ |= xtfUnicode;
        if ((flags_ & xtfUnicode) && (flags_ & xtfReversed))
            throw EXtTextStream("TXtTextStream:Cannot write to reversed Unicode stream.", 3004);
        stream_.SetSize(0);
        WriteMark();
    }
    SetCodepage(codePage_);
}

void TXtTextStream::SetCodepage(int codePage) {
    if (codePage == 0) codePage = CP_UTF8;  // the system code page is UTF-8 here
    codePage_ = codePage;
    // Bytes taken so far belong to the old code page: a letter its converter
    // holds back comes out before anything decoded in the new one.
    if (decoder_ && !decoderDone_) decoder_->Decode({}, true, pending_);
    decoder_.reset();
    decoderDone_ = false;
    encoder_.reset();
    if (IsUnicodePage(codePage))
        flags_ |= xtfUnicode;
    else
        flags_ &= ~xtfUnicode;
}

void TXtTextStream::DetectMark() {
    flags_ = 0;
    PeekBytes(4);
    const std::string_view head(in_);
    auto starts = [&](std::string_view mark) { return head.starts_with(mark); };
    using namespace std::string_view_literals;
    if (head.size() > 3 && starts("\xFF\xFE\0\0"sv)) {
        flags_ = xtfUnicode, codePage_ = CP_UTF32, inPos_ = 4;
    } else if (head.size() > 3 && starts("\0\0\xFE\xFF"sv)) {
        flags_ = xtfUnicode | xtfReversed, codePage_ = CP_UTF32, inPos_ = 4;
    } else if (head.size() > 1 && starts("\xFF\xFE"sv)) {
        flags_ = xtfUnicode, codePage_ = CP_UTF16, inPos_ = 2;
    } else if (head.size() > 1 && starts("\xFE\xFF"sv)) {
        flags_ = xtfUnicode | xtfReversed, codePage_ = CP_UTF16, inPos_ = 2;
    } else if (head.size() > 2 && starts("\xEF\xBB\xBF"sv)) {
        flags_ = xtfUnicode, codePage_ = CP_UTF8, inPos_ = 3;
    } else if (IsUnicodePage(codePage_)) {
        flags_ = xtfUnicode;
    }
}

void TXtTextStream::WriteMark() {
    if (!(flags_ & xtfUnicode)) return;
    std::string_view mark;
    using namespace std::string_view_literals;
    if (codePage_ == CP_UTF32) mark = "\xFF\xFE\0\0"sv;
    if (codePage_ == CP_UTF16) mark = "\xFF\xFE"sv;
    if (codePage_ == CP_UTF8 && (flags_ & xtfUtf8Mark)) mark = "\xEF\xBB\xBF"sv;
    stream_.WriteBuffer(mark.data(), static_cast<int64_t>(mark.size()));
}

int64_t TXtTextStream::Position() {
    return stream_.Position() - static_cast<int64_t>(in_.size() - inPos_);
}

bool TXtTextStream::PeekBytes(size_t count) {
    if (in_.size() - inPos_ >= count) return true;
    in_.erase(0, inPos_);
    inPos_ = 0;
    // A byte stream may hand out fewer bytes than asked before its end.
    while (in_.size() < count) {
        const size_t have = in_.size();
        in_.resize(have + std::max(kChunk, count - have));
        const int64_t got = stream_.Read(in_.data() + have, static_cast<int64_t>(in_.size() - have));
        in_.resize(have + static_cast<size_t>(std::max<int64_t>(got, 0)));
        if (got <= 0) break;
    }
    return in_.size() >= count;
}

int TXtTextStream::NextByte() {
    if (!PeekBytes(1)) return -1;
    return static_cast<uint8_t>(in_[inPos_++]);
}

char16_t TXtTextStream::DecodeUtf8(uint8_t lead) {
    int extra;
    char32_t cp, min;
    if (lead < 0x80) return lead;
    if (lead >= 0xC2 && lead <= 0xDF) extra = 1, cp = lead & 0x1F, min = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) extra = 2, cp = lead & 0x0F, min = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) extra = 3, cp = lead & 0x07, min = 0x10000;
    else return kReplacement;
    for (int i = 0; i < extra; ++i) {
        // A byte that does not continue the sequence is left for the next character.
        if (!PeekBytes(1)) return kReplacement;
        const uint8_t b = static_cast<uint8_t>(in_[inPos_]);
        if ((b & 0xC0) != 0x80) return kReplacement;
        ++inPos_;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    if (cp < 0x10000) return static_cast<char16_t>(cp);
    pending_.assign(1, static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    pendingPos_ = 0;
    return static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
}

// One code unit of UTF-16 (Size 2) or UTF-32 (Size 4), in the stream's byte order.
char32_t TXtTextStream::DecodeUnits(int size) {
    char32_t v = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(in_.data() + inPos_);
    for (int i = 0; i < size; ++i) {
        const int shift = (flags_ & xtfReversed) ? 8 * (size - 1 - i) : 8 * i;
        v |= char32_t(p[i]) << shift;
    }
    inPos_ += size;
    return v;
}

// Decodes the fewest bytes that give characters, so that Position stays at the
// end of what was handed out. False at the end of the input.
bool TXtTextStream::DecodeCodePageStep() {
    pending_.clear();
    pendingPos_ = 0;
    if (!decoder_) decoder_ = std::make_unique<TCodePageDecoder>(codePage_);
    size_t window = 1;
    while (pending_.empty() && !decoderDone_) {
        if (PeekBytes(window)) {
            const size_t taken = decoder_->Decode(std::string_view(in_).substr(inPos_, window), false, pending_);
            inPos_ += taken;
            // Nothing taken: the window cuts a sequence. Taken without characters: an
            // escape sequence, or a letter held back for a combining mark.
            window = taken > 0 ? 1 : window + 1;
        } else {
            inPos_ += decoder_->Decode(std::string_view(in_).substr(inPos_), true, pending_);
            decoderDone_ = true;
        }
    }
    return !pending_.empty();
}

int TXtTextStream::Read(char16_t* buffer, int count) {
    char16_t* out = buffer;
    char16_t* const end = buffer + count;
    while (out < end) {
        if (pendingPos_ < pending_.size()) {
            *out++ = pending_[pendingPos_++];
            continue;
        }
        if (codePage_ == CP_UTF16) {
            if (!PeekBytes(2)) break;
            *out++ = static_cast<char16_t>(DecodeUnits(2));
        } else if (codePage_ == CP_UTF32) {
            if (!PeekBytes(4)) break;
            const char32_t cp = DecodeUnits(4);
            if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                *out++ = kReplacement;
            } else if (cp >= 0x10000) {
                *out++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                pending_.assign(1, static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
                pendingPos_ = 0;
            } else {
                *out++ = static_cast<char16_t>(cp);
            }
        } else if (codePage_ == CP_UTF8) {
            const int b = NextByte();
            if (b < 0) break;
            *out++ = DecodeUtf8(static_cast<uint8_t>(b));
        } else if (!DecodeCodePageStep()) {
            break;
        }
    }
    return static_cast<int>(out - buffer);
}

bool TXtTextStream::WriteWide(std::u16string_view text) {
    std::string& bytes = encoded_;
    if (IsUnicodePage(codePage_)) {
        // At most four bytes for each code unit of UTF-16 and UTF-32, and three for
        // UTF-8 (a surrogate pair takes two units and gives four bytes).
        bytes.resize(text.size() * (codePage_ == CP_UTF8 ? 3 : 4));
        char* out = bytes.data();
        for (size_t i = 0; i < text.size();) {
            if (codePage_ == CP_UTF16) {
                const char16_t c = text[i++];
                *out++ = static_cast<char>(c & 0xFF);
                *out++ = static_cast<char>(c >> 8);
            } else if (codePage_ == CP_UTF32) {
                const char32_t cp = NextCodePoint(text, i);
                for (int k = 0; k < 4; ++k) *out++ = static_cast<char>((cp >> (8 * k)) & 0xFF);
            } else {
                out = PutUtf8(out, NextCodePoint(text, i));
            }
        }
        bytes.resize(static_cast<size_t>(out - bytes.data()));
    } else {
        if (!encoder_) encoder_ = std::make_unique<TCodePageEncoder>(codePage_);
        bytes = encoder_->Encode(String(text));
    }
    return stream_.Write(bytes.data(), static_cast<int64_t>(bytes.size())) == static_cast<int64_t>(bytes.size());
}
