#include "platform/rtl/Format.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"

const TFormatSettings& TFormatSettings::Invariant() {
    static const TFormatSettings invariant = [] {
        TFormatSettings s;
        s.DateSeparator = u'-';
        s.ShortDateFormat = u"yyyy-mm-dd";
        s.LongDateFormat = u"yyyy-mm-dd";
        s.ShortTimeFormat = u"hh:nn";
        s.LongTimeFormat = u"hh:nn:ss";
        s.CurrencyString = u"\u00A4";
        return s;
    }();
    return invariant;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

namespace {

// Widths and precisions above it would only ask for huge paddings.
constexpr int kMaxPadding = 1 << 20;

class TFormatter {
public:
    TFormatter(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings)
        : fmt_(fmt), args_(args), settings_(settings) {}

    String Run() {
        String out;
        out.reserve(fmt_.size() + 16 * args_.size());
        size_t i = 0;
        while (i < fmt_.size()) {
            const size_t percent = fmt_.find(u'%', i);
            if (percent == String::npos) {
                out.append(std::u16string_view(fmt_).substr(i));
                break;
            }
            out.append(std::u16string_view(fmt_).substr(i, percent - i));
            pos_ = percent + 1;
            Directive(out);
            i = pos_;
        }
        return out;
    }

private:
    [[noreturn]] void Invalid() const {
        throw EConvertError(u"Format '" + fmt_ + u"' invalid or incompatible with argument");
    }

    char16_t Peek() const { return pos_ < fmt_.size() ? fmt_[pos_] : u'\0'; }

    const TVarRec& NextArg() {
        if (next_ >= args_.size())
            throw EConvertError(u"No argument for format '" + fmt_ + u"'");
        return args_.begin()[next_++];
    }

    // Digits or "*" (an integer argument); -1 when neither is present.
    int Number() {
        if (Peek() == u'*') {
            ++pos_;
            const TVarRec& a = NextArg();
            if (a.VType() != TVarRec::vtInteger) Invalid();
            return a.AsInt64() < 0 ? -1 : static_cast<int>(a.AsInt64());
        }
        if (Peek() < u'0' || Peek() > u'9') return -1;
        int value = 0;
        for (; Peek() >= u'0' && Peek() <= u'9'; ++pos_) {
            if (value > (std::numeric_limits<int>::max() - 9) / 10) Invalid();
            value = value * 10 + (Peek() - u'0');
        }
        return value;
    }

    void Directive(String& out) {
        if (Peek() == u'%') {
            ++pos_;
            out.push_back(u'%');
            return;
        }
        int width = Number();
        if (Peek() == u':') {
            if (width < 0) Invalid();
            next_ = static_cast<size_t>(width);
            ++pos_;
            width = -1;
        }
        bool left = false;
        if (width < 0) {
            if (Peek() == u'-') {
                left = true;
                ++pos_;
            }
            width = Number();
        }
        int precision = -1;
        if (Peek() == u'.') {
            ++pos_;
            precision = std::max(Number(), 0);
        }
        const char16_t type = UpCase(Peek());
        if (type == u'\0' || width > kMaxPadding || precision > kMaxPadding) Invalid();
        ++pos_;
        field_.clear();
        Convert(type, precision, NextArg());
        const auto pad = static_cast<String::size_type>(std::max(width - field_.Length(), 0));
        if (!left) out.append(pad, u' ');
        out += field_;
        if (left) out.append(pad, u' ');
    }

    void AppendAscii(std::string_view ascii) {
        for (char c : ascii) field_.push_back(static_cast<char16_t>(c));
    }

    // Digits of Magnitude in Base, at least Precision of them.
    void AppendDigits(uint64_t magnitude, int base, int precision) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, base);
        const int len = static_cast<int>(r.ptr - buf);
        if (precision > len) field_.append(static_cast<String::size_type>(precision - len), u'0');
        for (const char* p = buf; p != r.ptr; ++p) field_.push_back(static_cast<char16_t>(*p >= 'a' ? *p - 32 : *p));
    }

    void Convert(char16_t type, int precision, const TVarRec& a) {
        const auto kind = a.VType();
        const bool integer = kind == TVarRec::vtInteger || kind == TVarRec::vtInt64 || kind == TVarRec::vtUInt64;
        switch (type) {
        case u'D':
            if (!integer) Invalid();
            if (kind != TVarRec::vtUInt64 && a.AsInt64() < 0) {
                field_.push_back(u'-');
                AppendDigits(uint64_t(0) - static_cast<uint64_t>(a.AsInt64()), 10, precision);
            } else {
                AppendDigits(Bits(a), 10, precision);
            }
            break;
        case u'U':
        case u'X':
            if (!integer) Invalid();
            AppendDigits(Bits(a), type == u'U' ? 10 : 16, precision);
            break;
        case u'E':
            Float(a, ffExponent, precision < 0 ? 15 : precision, 3);
            break;
        case u'G':
            Float(a, ffGeneral, precision < 0 ? 15 : precision, 0);
            break;
        case u'F':
            Float(a, ffFixed, 18, precision < 0 ? 2 : precision);
            break;
        case u'N':
            Float(a, ffNumber, 18, precision < 0 ? 2 : precision);
            break;
        case u'M':
            Float(a, ffCurrency, 18, precision < 0 ? settings_.CurrencyDecimals : precision);
            break;
        case u'P': {
            if (kind != TVarRec::vtPointer) Invalid();
            const auto address = reinterpret_cast<uintptr_t>(a.AsPointer());
            AppendDigits(address, 16, address > 0xFFFFFFFFu ? 16 : 8);
            break;
        }
        case u'S':
            Text(a, precision);
            break;
        default:
            Invalid();
        }
    }

    // Integer arguments as unsigned bits of their own width.
    static uint64_t Bits(const TVarRec& a) {
        switch (a.VType()) {
        case TVarRec::vtInteger: return static_cast<uint32_t>(a.AsInt64());
        case TVarRec::vtInt64: return static_cast<uint64_t>(a.AsInt64());
        default: return a.AsUInt64();
        }
    }

    void Float(const TVarRec& a, TFloatFormat format, int precision, int digits) {
        if (a.VType() != TVarRec::vtExtended) Invalid();
        field_ += FloatToStrF(a.AsExtended(), format, precision, digits, settings_);
    }

    void Text(const TVarRec& a, int precision) {
        switch (a.VType()) {
        case TVarRec::vtUnicodeString: field_.append(a.AsText()); break;
        case TVarRec::vtPChar: field_ += String(a.AsPChar()); break;
        case TVarRec::vtWideChar: field_.push_back(a.AsWideChar()); break;
        default: Invalid();
        }
        if (precision >= 0 && precision < field_.Length()) {
            // Never keep half of a surrogate pair.
            const bool split = precision > 0 && IsHighSurrogate(field_[precision - 1]);
            field_.resize(static_cast<String::size_type>(split ? precision - 1 : precision));
        }
    }

    const String& fmt_;
    std::initializer_list<TVarRec> args_;
    const TFormatSettings& settings_;
    size_t pos_ = 0;
    size_t next_ = 0;
    String field_;
};

} // namespace

String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
    return TFormatter(fmt, args, settings).Run();
}

String Format(const String& fmt, std::initializer_list<TVarRec> args) {
    return Format(fmt, args, FormatSettings());
}
