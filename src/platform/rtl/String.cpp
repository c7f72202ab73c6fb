#include "platform/rtl/String.h"

#include "platform/rtl/Exceptions.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <ostream>
#include <type_traits>
#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else if (cp < 0xD800 || (cp > 0xDFFF && cp < 0x10000)) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        out.push_back(static_cast<char16_t>(kReplacement));
    }
}

// Decodes one UTF-8 sequence at s[i], advancing i; malformed input yields U+FFFD
// and consumes the maximal invalid prefix (one byte at least).
char32_t NextUtf8(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int extra;
    char32_t cp;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) { extra = 1; cp = b0 & 0x1F; min = 0x80; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) { extra = 2; cp = b0 & 0x0F; min = 0x800; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { extra = 3; cp = b0 & 0x07; min = 0x10000; }
    else return kReplacement;
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size()) return kReplacement;
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return kReplacement;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
}

// Reads one code point from UTF-16 at s[i]; a lone surrogate gives U+FFFD.
char32_t NextUtf16(std::u16string_view s, size_t& i) {
    const char16_t c = s[i++];
    if (IsHighSurrogate(c)) {
        if (i < s.size() && IsLowSurrogate(s[i])) {
            const char16_t lo = s[i++];
            return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (lo - 0xDC00);
        }
        return kReplacement;
    }
    if (IsLowSurrogate(c)) return kReplacement;
    return c;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

locale_t UnicodeLocale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
    }();
    return loc;
}

template <class Fn>
String MapChars(const String& s, Fn fn) {
    String r(s);
    for (auto& c : r) c = fn(c);
    return r;
}

} // namespace

String::String(const char* utf8) : String(FromUtf8(utf8 ? std::string_view(utf8) : std::string_view())) {}
String::String(const std::string& utf8) : String(FromUtf8(utf8)) {}
String::String(std::string_view utf8) : String(FromUtf8(utf8)) {}

String String::FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) AppendCodePoint(out, NextUtf8(utf8, i));
    return String(std::move(out));
}

String String::FromUtf32(std::u32string_view utf32) {
    std::u16string out;
    out.reserve(utf32.size());
    for (char32_t cp : utf32) AppendCodePoint(out, cp);
    return String(std::move(out));
}

String String::FromWide(std::wstring_view wide) {
    static_assert(sizeof(wchar_t) == 4);
    std::u16string out;
    out.reserve(wide.size());
    for (wchar_t w : wide) AppendCodePoint(out, static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w)));
    return String(std::move(out));
}

std::string String::ToUtf8() const {
    std::string out;
    out.reserve(data_.size());
    for (size_t i = 0; i < data_.size();) AppendUtf8(out, NextUtf16(data_, i));
    return out;
}

std::u32string String::ToUtf32() const {
    std::u32string out;
    out.reserve(data_.size());
    for (size_t i = 0; i < data_.size();) out.push_back(NextUtf16(data_, i));
    return out;
}

std::wstring String::ToWide() const {
    const std::u32string u32 = ToUtf32();
    return std::wstring(u32.begin(), u32.end());
}

std::ostream& operator<<(std::ostream& os, const String& s) { return os << s.ToUtf8(); }

// --- 1-based helpers -------------------------------------------------------

int Pos(const String& sub, const String& s, int offset) {
    if (sub.empty() || offset < 1 || offset > s.Length()) return 0;
    const auto p = s.find(sub, static_cast<size_t>(offset - 1));
    return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

int PosEx(const String& sub, const String& s, int offset) { return Pos(sub, s, offset); }

String Copy(const String& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || index > s.Length()) return String();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

String Copy(const String& s, int index) { return Copy(s, index, s.Length()); }

void Delete(String& s, int index, int count) {
    if (index < 1 || index > s.Length() || count <= 0) return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const String& sub, String& s, int index) {
    index = std::clamp(index, 1, s.Length() + 1);
    s.insert(static_cast<size_t>(index - 1), sub);
}

void SetLength(String& s, int length) { s.resize(static_cast<size_t>(std::max(length, 0))); }

String StringOfChar(char16_t c, int count) { return String(static_cast<size_t>(std::max(count, 0)), c); }

int LastDelimiter(const String& delimiters, const String& s) {
    const auto p = s.find_last_of(delimiters);
    return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

bool IsDelimiter(const String& delimiters, const String& s, int index) {
    if (index < 1 || index > s.Length()) return false;
    return delimiters.find(s[static_cast<size_t>(index - 1)]) != String::npos;
}

// --- Comparison -----------------------------------------------------------

int CompareStr(const String& a, const String& b) noexcept {
    const auto r = a.Std().compare(b.Std());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool SameStr(const String& a, const String& b) noexcept { return a == b; }

char16_t UpCase(char16_t c) noexcept { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }
char16_t LoCase(char16_t c) noexcept { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

namespace {
template <class Fold>
int CompareFolded(const String& a, const String& b, Fold fold) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = fold(a[i]);
        const char16_t y = fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
} // namespace

int CompareText(const String& a, const String& b) noexcept { return CompareFolded(a, b, UpCase); }
bool SameText(const String& a, const String& b) noexcept { return a.size() == b.size() && CompareText(a, b) == 0; }
int AnsiCompareText(const String& a, const String& b) { return CompareFolded(a, b, CharLower); }
bool AnsiSameText(const String& a, const String& b) { return a.size() == b.size() && AnsiCompareText(a, b) == 0; }
int AnsiCompareStr(const String& a, const String& b) noexcept { return CompareStr(a, b); }

bool StartsStr(const String& prefix, const String& s) noexcept { return s.starts_with(prefix); }
bool EndsStr(const String& suffix, const String& s) noexcept { return s.ends_with(suffix); }
bool StartsText(const String& prefix, const String& s) {
    return prefix.size() <= s.size() && AnsiSameText(prefix, s.substr(0, prefix.size()));
}
bool EndsText(const String& suffix, const String& s) {
    return suffix.size() <= s.size() && AnsiSameText(suffix, s.substr(s.size() - suffix.size()));
}
bool ContainsText(const String& s, const String& sub) {
    return AnsiUpperCase(s).find(AnsiUpperCase(sub)) != String::npos;
}

// --- Case mapping ---------------------------------------------------------

char16_t CharUpper(char16_t c) noexcept {
    if (c < 0x80) return UpCase(c);
    if (IsHighSurrogate(c) || IsLowSurrogate(c)) return c;
    const wint_t u = towupper_l(c, UnicodeLocale());
    return u <= 0xFFFF ? static_cast<char16_t>(u) : c;
}

char16_t CharLower(char16_t c) noexcept {
    if (c < 0x80) return LoCase(c);
    if (IsHighSurrogate(c) || IsLowSurrogate(c)) return c;
    const wint_t u = towlower_l(c, UnicodeLocale());
    return u <= 0xFFFF ? static_cast<char16_t>(u) : c;
}

String UpperCase(const String& s) { return MapChars(s, UpCase); }
String LowerCase(const String& s) { return MapChars(s, LoCase); }
String AnsiUpperCase(const String& s) { return MapChars(s, CharUpper); }
String AnsiLowerCase(const String& s) { return MapChars(s, CharLower); }

// --- Trimming and editing -------------------------------------------------

String Trim(const String& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && s[b] <= u' ') ++b;
    while (e > b && s[e - 1] <= u' ') --e;
    return s.substr(b, e - b);
}

String TrimLeft(const String& s) {
    size_t b = 0;
    while (b < s.size() && s[b] <= u' ') ++b;
    return s.substr(b);
}

String TrimRight(const String& s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] <= u' ') --e;
    return s.substr(0, e);
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags) {
    if (oldPattern.empty()) return s;
    const String hay = flags.IgnoreCase ? AnsiUpperCase(s) : s;
    const String needle = flags.IgnoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
    String out;
    size_t from = 0;
    for (;;) {
        const size_t p = hay.find(needle, from);
        if (p == String::npos) break;
        out.append(std::u16string_view(s).substr(from, p - from));
        out.append(newPattern);
        from = p + needle.size();
        if (!flags.ReplaceAll) break;
    }
    out.append(std::u16string_view(s).substr(from));
    return out;
}

String QuotedStr(const String& s) { return AnsiQuotedStr(s, u'\''); }

String AnsiQuotedStr(const String& s, char16_t quote) {
    String out;
    out.reserve(s.size() + 2);
    out.push_back(quote);
    for (char16_t c : s) {
        if (c == quote) out.push_back(quote);
        out.push_back(c);
    }
    out.push_back(quote);
    return out;
}

String AnsiExtractQuotedStr(const String& s, size_t& pos, char16_t quote) {
    if (pos >= s.size() || s[pos] != quote) return String();
    String out;
    ++pos;
    while (pos < s.size()) {
        if (s[pos] == quote) {
            if (pos + 1 < s.size() && s[pos + 1] == quote) {
                out.push_back(quote);
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        out.push_back(s[pos++]);
    }
    return out;
}

String AnsiDequotedStr(const String& s, char16_t quote) {
    size_t pos = 0;
    if (s.empty() || s[0] != quote) return s;
    String out = AnsiExtractQuotedStr(s, pos, quote);
    return (pos == s.size() && s.size() >= 2 && s.back() == quote) ? out : s;
}

String AdjustLineBreaks(const String& s) {
    String out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\r') {
            if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
            out += sLineBreak;
        } else if (s[i] == u'\n') {
            out += sLineBreak;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// --- Code pages -----------------------------------------------------------

namespace {

struct TCharset {
    int codePage;
    const char* name;        // as iconv knows it
    size_t unitSize;         // bytes an undecodable unit covers
    bool composes = false;   // the decoder holds a letter back to join a combining mark that follows
};

constexpr TCharset kCharsets[] = {
    {874, "CP874", 1},   {932, "CP932", 1},   {936, "CP936", 1},   {949, "CP949", 1},   {950, "CP950", 1},
    {1250, "CP1250", 1}, {1251, "CP1251", 1}, {1252, "CP1252", 1}, {1253, "CP1253", 1}, {1254, "CP1254", 1},
    {1255, "CP1255", 1, true}, {1256, "CP1256", 1}, {1257, "CP1257", 1}, {1258, "CP1258", 1, true},
    {1200, "UTF-16LE", 2}, {1201, "UTF-16BE", 2}, {12000, "UTF-32LE", 4}, {12001, "UTF-32BE", 4},
    {20127, "ASCII", 1}, {20936, "CP936", 1}, {54936, "GB18030", 1},
    {28591, "ISO-8859-1", 1}, {28592, "ISO-8859-2", 1}, {28593, "ISO-8859-3", 1},
    {28594, "ISO-8859-4", 1}, {28595, "ISO-8859-5", 1}, {28596, "ISO-8859-6", 1},
    {28597, "ISO-8859-7", 1}, {28598, "ISO-8859-8", 1}, {28599, "ISO-8859-9", 1},
    {50220, "ISO-2022-JP", 1}, {51932, "EUC-JP", 1},
};

const TCharset& CharsetOfCodePage(int codePage) {
    for (const TCharset& row : kCharsets)
        if (row.codePage == codePage) return row;
    throw EEncodingError("Code page " + String(std::to_string(codePage)) + " is not supported");
}

enum class TDirection { Decode, Encode };

// Decodes to UTF-16LE, encodes from UTF-8.
iconv_t OpenIconv(const TCharset& charset, TDirection direction) {
    return direction == TDirection::Decode ? iconv_open("UTF-16LE", charset.name) : iconv_open(charset.name, "UTF-8");
}

// The converters of this thread that are not in use, by code page and
// direction. Opening a converter loads its charset's module and closing the
// last one unloads it again, which costs far more than a conversion of a
// document or a line; kept open, the module stays.
class TIconvPool {
public:
    ~TIconvPool() {
        for (auto& [key, descriptors] : free_)
            for (iconv_t cd : descriptors) iconv_close(cd);
        gone = true;
    }
    iconv_t Take(const TCharset& charset, TDirection direction) {
        std::vector<iconv_t>& descriptors = free_[{charset.codePage, direction}];
        if (descriptors.empty()) return OpenIconv(charset, direction);
        const iconv_t cd = descriptors.back();
        descriptors.pop_back();
        return cd;
    }
    // Back in the initial shift state.
    void Give(const TCharset& charset, TDirection direction, iconv_t cd) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        free_[{charset.codePage, direction}].push_back(cd);
    }

    // Set once the thread's pool was destroyed: converters of objects that
    // outlive it open and close on their own.
    static thread_local bool gone;

private:
    std::map<std::pair<int, TDirection>, std::vector<iconv_t>> free_;
};
thread_local bool TIconvPool::gone = false;

TIconvPool& IconvPool() {
    thread_local TIconvPool pool;
    return pool;
}

// A converter of the thread's pool for as long as it lives.
class TIconv {
public:
    TIconv(const TCharset& charset, TDirection direction)
        : charset_(charset), direction_(direction),
          cd_(TIconvPool::gone ? OpenIconv(charset, direction) : IconvPool().Take(charset, direction)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw EEncodingError("No converter for code page " + String(std::to_string(charset.codePage)) + " (" +
                                 charset.name + ") is installed");
    }
    ~TIconv() {
        if (TIconvPool::gone)
            iconv_close(cd_);
        else
            IconvPool().Give(charset_, direction_, cd_);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts In onto Out up to its end (0) or up to a unit the converter rejects
    // (EILSEQ) or finds cut by the end of In (EINVAL), leaving In at that unit.
    int Run(std::string_view& in, std::string& out) {
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        int error = 0;
        while (left > 0 && error == 0) {
            char buf[4096];
            char* dst = buf;
            size_t room = sizeof buf;
            const size_t r = iconv(cd_, &src, &left, &dst, &room);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) error = errno;
            out.append(buf, static_cast<size_t>(dst - buf));
        }
        in = std::string_view(src, left);
        return left > 0 ? error : 0;
    }

    // Writes out what the converter still holds (a letter waiting for a combining
    // mark, the sequence back to the initial shift state) and returns to that state.
    void Flush(std::string& out) {
        char buf[16];
        char* dst = buf;
        size_t room = sizeof buf;
        iconv(cd_, nullptr, nullptr, &dst, &room);
        out.append(buf, static_cast<size_t>(dst - buf));
    }

private:
    const TCharset& charset_;
    TDirection direction_;
    iconv_t cd_;
};

size_t Utf8SequenceLength(std::string_view s) {
    size_t n = 1;
    while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
    return n;
}

} // namespace

class TCodePageDecoder::TConverter : public TIconv {
public:
    explicit TConverter(const TCharset& charset) : TIconv(charset, TDirection::Decode), charset(charset) {}
    const TCharset& charset;
    std::string utf16le;  // output of one Decode, reused
};

TCodePageDecoder::TCodePageDecoder(int codePage)
    : converter_(std::make_unique<TConverter>(CharsetOfCodePage(codePage))) {}

TCodePageDecoder::~TCodePageDecoder() = default;

size_t TCodePageDecoder::Decode(std::string_view bytes, bool last, std::u16string& out) {
    TConverter& cd = *converter_;
    const size_t size = bytes.size();
    std::string& units = cd.utf16le;
    units.clear();
    // The converter keeps its shift state across a rejected unit.
    for (int error; (error = cd.Run(bytes, units)) != 0;) {
        if (error == EINVAL && !last) break;
        // A letter held back for a combining mark comes before the replacement.
        if (cd.charset.composes) cd.Flush(units);
        units += "\xFD\xFF";
        bytes.remove_prefix(std::min(cd.charset.unitSize, bytes.size()));
    }
    if (last) cd.Flush(units);
    for (size_t i = 0; i + 1 < units.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<uint8_t>(units[i]) | static_cast<uint8_t>(units[i + 1]) << 8));
    return size - bytes.size();
}

String DecodeCodePage(std::string_view bytes, int codePage) {
    if (codePage == CP_ACP || codePage == CP_UTF8) return String::FromUtf8(bytes);
    std::u16string out;
    TCodePageDecoder(codePage).Decode(bytes, true, out);
    return String(std::move(out));
}

class TCodePageEncoder::TConverter : public TIconv {
public:
    explicit TConverter(const TCharset& charset) : TIconv(charset, TDirection::Encode) {}
};

TCodePageEncoder::TCodePageEncoder(int codePage)
    : converter_(std::make_unique<TConverter>(CharsetOfCodePage(codePage))) {}

TCodePageEncoder::~TCodePageEncoder() = default;

std::string TCodePageEncoder::Encode(const String& s) {
    TConverter& cd = *converter_;
    const std::string utf8 = s.ToUtf8();
    std::string_view rest = utf8;
    std::string out;
    while (cd.Run(rest, out) != 0) {
        cd.Flush(out);
        out += '?';
        rest.remove_prefix(Utf8SequenceLength(rest));
    }
    cd.Flush(out);
    return out;
}

std::string EncodeCodePage(const String& s, int codePage) {
    if (codePage == CP_ACP || codePage == CP_UTF8) return s.ToUtf8();
    return TCodePageEncoder(codePage).Encode(s);
}
