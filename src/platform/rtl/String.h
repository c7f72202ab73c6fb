#pragma once
// String: the program's text type. UTF-16 code units, so lengths and positions
// count what the stored formats count. Conversions to UTF-8 happen at the edges
// (file system, FFmpeg, SQLite). The free functions below follow the run-time
// library idiom: positions are 1-based where the name says so (Pos, Copy,
// Delete, Insert), 0 meaning "not found".

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class String {
public:
    using value_type = char16_t;
    using size_type = std::u16string::size_type;
    using iterator = std::u16string::iterator;
    using const_iterator = std::u16string::const_iterator;
    static constexpr size_type npos = std::u16string::npos;

    String() = default;
    String(const char16_t* s) : data_(s ? s : u"") {}
    String(const char16_t* s, size_type n) : data_(s, n) {}
    String(std::u16string s) : data_(std::move(s)) {}
    String(std::u16string_view s) : data_(s) {}
    String(size_type count, char16_t c) : data_(count, c) {}
    // Text given as char is UTF-8 (source literals, file names, library texts).
    String(const char* utf8);
    String(const std::string& utf8);
    String(std::string_view utf8);
    template <class It>
    String(It first, It last) : data_(first, last) {}

    static String FromUtf8(std::string_view utf8);
    static String FromUtf32(std::u32string_view utf32);
    static String FromWide(std::wstring_view wide);
    std::string ToUtf8() const;
    std::u32string ToUtf32() const;
    std::wstring ToWide() const;

    // std::u16string access for everything not forwarded here.
    const std::u16string& Std() const noexcept { return data_; }
    std::u16string& Std() noexcept { return data_; }
    operator std::u16string_view() const noexcept { return data_; }

    int Length() const noexcept { return static_cast<int>(data_.size()); }
    size_type size() const noexcept { return data_.size(); }
    size_type length() const noexcept { return data_.size(); }
    bool empty() const noexcept { return data_.empty(); }
    bool IsEmpty() const noexcept { return data_.empty(); }
    void clear() noexcept { data_.clear(); }
    void reserve(size_type n) { data_.reserve(n); }
    void resize(size_type n, char16_t c = 0) { data_.resize(n, c); }
    const char16_t* c_str() const noexcept { return data_.c_str(); }
    const char16_t* data() const noexcept { return data_.data(); }
    char16_t* data() noexcept { return data_.data(); }

    char16_t& operator[](size_type i) { return data_[i]; }
    const char16_t& operator[](size_type i) const { return data_[i]; }
    char16_t& front() { return data_.front(); }
    char16_t& back() { return data_.back(); }
    char16_t front() const { return data_.front(); }
    char16_t back() const { return data_.back(); }

    iterator begin() noexcept { return data_.begin(); }
    iterator end() noexcept { return data_.end(); }
    const_iterator begin() const noexcept { return data_.begin(); }
    const_iterator end() const noexcept { return data_.end(); }

    String substr(size_type pos, size_type count = npos) const { return String(data_.substr(pos, count)); }
    size_type find(std::u16string_view s, size_type pos = 0) const noexcept { return data_.find(s, pos); }
    size_type find(char16_t c, size_type pos = 0) const noexcept { return data_.find(c, pos); }
    size_type rfind(std::u16string_view s, size_type pos = npos) const noexcept { return data_.rfind(s, pos); }
    size_type rfind(char16_t c, size_type pos = npos) const noexcept { return data_.rfind(c, pos); }
    size_type find_first_of(std::u16string_view s, size_type pos = 0) const noexcept { return data_.find_first_of(s, pos); }
    size_type find_last_of(std::u16string_view s, size_type pos = npos) const noexcept { return data_.find_last_of(s, pos); }
    bool starts_with(std::u16string_view s) const noexcept { return data_.starts_with(s); }
    bool ends_with(std::u16string_view s) const noexcept { return data_.ends_with(s); }
    bool starts_with(char16_t c) const noexcept { return data_.starts_with(c); }
    bool ends_with(char16_t c) const noexcept { return data_.ends_with(c); }

    String& append(std::u16string_view s) { data_.append(s); return *this; }
    String& append(size_type n, char16_t c) { data_.append(n, c); return *this; }
    String& insert(size_type pos, std::u16string_view s) { data_.insert(pos, s); return *this; }
    String& erase(size_type pos = 0, size_type count = npos) { data_.erase(pos, count); return *this; }
    String& replace(size_type pos, size_type count, std::u16string_view s) { data_.replace(pos, count, s); return *this; }
    void push_back(char16_t c) { data_.push_back(c); }
    void pop_back() { data_.pop_back(); }

    String& operator+=(const String& s) { data_ += s.data_; return *this; }
    String& operator+=(const char16_t* s) { data_ += s; return *this; }
    String& operator+=(char16_t c) { data_ += c; return *this; }
    String& operator+=(const char* utf8) { return *this += String(utf8); }

    friend String operator+(String a, const String& b) { a += b; return a; }
    friend String operator+(String a, const char16_t* b) { a += b; return a; }
    friend String operator+(String a, const char* b) { a += b; return a; }
    friend String operator+(String a, char16_t c) { a += c; return a; }
    friend String operator+(const char16_t* a, const String& b) { return String(a) + b; }
    friend String operator+(const char* a, const String& b) { return String(a) + b; }
    friend String operator+(char16_t c, const String& b) { return String(1, c) + b; }

    friend bool operator==(const String& a, const String& b) noexcept { return a.data_ == b.data_; }
    friend bool operator==(const String& a, const char16_t* b) noexcept { return a.data_ == b; }
    friend bool operator==(const String& a, const char* b) { return a == String(b); }
    friend std::strong_ordering operator<=>(const String& a, const String& b) noexcept {
        return a.data_ <=> b.data_;
    }

private:
    std::u16string data_;
};

template <>
struct std::hash<String> {
    size_t operator()(const String& s) const noexcept { return std::hash<std::u16string>()(s.Std()); }
};

// Prints as UTF-8 (used by test failure messages).
std::ostream& operator<<(std::ostream& os, const String& s);

// --- 1-based helpers -------------------------------------------------------
inline int Length(const String& s) noexcept { return s.Length(); }
// Position of Sub in S from Offset (1-based), 0 when absent or Offset is out of range.
int Pos(const String& sub, const String& s, int offset = 1);
int PosEx(const String& sub, const String& s, int offset = 1);
// Count characters from Index (1-based), clipped to the string.
String Copy(const String& s, int index, int count);
String Copy(const String& s, int index);
void Delete(String& s, int index, int count);
void Insert(const String& sub, String& s, int index);
void SetLength(String& s, int length);
String StringOfChar(char16_t c, int count);
// Last position of any character of Delimiters in S, 0 when none.
int LastDelimiter(const String& delimiters, const String& s);
bool IsDelimiter(const String& delimiters, const String& s, int index);

// --- Comparison -----------------------------------------------------------
// Ordinal comparisons: negative, zero or positive.
int CompareStr(const String& a, const String& b) noexcept;
bool SameStr(const String& a, const String& b) noexcept;
// ASCII-only case folding, as the classic CompareText.
int CompareText(const String& a, const String& b) noexcept;
bool SameText(const String& a, const String& b) noexcept;
// Full Unicode case folding.
int AnsiCompareText(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);
int AnsiCompareStr(const String& a, const String& b) noexcept;
bool StartsText(const String& prefix, const String& s);
bool EndsText(const String& suffix, const String& s);
bool StartsStr(const String& prefix, const String& s) noexcept;
bool EndsStr(const String& suffix, const String& s) noexcept;
bool ContainsText(const String& s, const String& sub);

// --- Case mapping ---------------------------------------------------------
char16_t UpCase(char16_t c) noexcept;    // ASCII a-z only
char16_t LoCase(char16_t c) noexcept;    // ASCII A-Z only
String UpperCase(const String& s);       // ASCII only
String LowerCase(const String& s);       // ASCII only
char16_t CharUpper(char16_t c) noexcept; // Unicode (BMP, single-unit mappings)
char16_t CharLower(char16_t c) noexcept;
String AnsiUpperCase(const String& s);   // Unicode
String AnsiLowerCase(const String& s);

// --- Trimming and editing -------------------------------------------------
// Trim removes characters up to and including space (control characters too).
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

struct TReplaceFlags {
    bool ReplaceAll = false;
    bool IgnoreCase = false;
};
constexpr TReplaceFlags rfReplaceAll{true, false};
constexpr TReplaceFlags rfIgnoreCase{false, true};
constexpr TReplaceFlags operator|(TReplaceFlags a, TReplaceFlags b) {
    return {a.ReplaceAll || b.ReplaceAll, a.IgnoreCase || b.IgnoreCase};
}
String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags);

String QuotedStr(const String& s);                      // 'it''s'
String AnsiQuotedStr(const String& s, char16_t quote);  // doubles the quote inside
// Removes the quotes AnsiQuotedStr adds; text that does not start with the quote comes back unchanged.
String AnsiDequotedStr(const String& s, char16_t quote);
// Reads a quoted token at Pos (0-based index into S), advancing Pos past it.
String AnsiExtractQuotedStr(const String& s, size_t& pos, char16_t quote);
String AdjustLineBreaks(const String& s); // every CR, LF or CR LF becomes sLineBreak
inline const String sLineBreak = u"\n";

// --- Code pages -----------------------------------------------------------
// Windows-style code page numbers map to iconv charsets (936 -> CP936, 28592 -> ISO-8859-2,
// 1200/1201 -> UTF-16LE/BE, 0 -> the system code page, which is UTF-8 here). A code page
// without a converter raises EEncodingError. Undecodable input becomes U+FFFD, one per
// byte (per code unit for UTF-16 and UTF-32); unencodable characters become '?'.
constexpr int CP_ACP = 0;
constexpr int CP_UTF8 = 65001;
String DecodeCodePage(std::string_view bytes, int codePage);
std::string EncodeCodePage(const String& s, int codePage);

// Decodes the bytes of one code page piece by piece, as DecodeCodePage decodes them
// whole: a sequence cut by the end of a piece, the shift state and a letter held
// back for a combining mark carry over to the next piece. UTF-8 and CP_ACP have
// no converter here (String::FromUtf8 decodes them).
class TCodePageDecoder {
public:
    explicit TCodePageDecoder(int codePage);
    ~TCodePageDecoder();
    TCodePageDecoder(const TCodePageDecoder&) = delete;
    TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;

    // Appends the UTF-16 code units of Bytes to Out and returns the number of bytes
    // taken. A sequence cut by the end of Bytes stays untaken, unless Last tells that
    // the input ends there: then it becomes U+FFFD and a held letter is written.
    size_t Decode(std::string_view bytes, bool last, std::u16string& out);

private:
    class TConverter;
    std::unique_ptr<TConverter> converter_;
};

// Encodes text into one code page call by call with one converter, each call as
// EncodeCodePage encodes it (so its bytes end in the initial shift state). UTF-8
// and CP_ACP have no converter here (String::ToUtf8 encodes them).
class TCodePageEncoder {
public:
    explicit TCodePageEncoder(int codePage);
    ~TCodePageEncoder();
    TCodePageEncoder(const TCodePageEncoder&) = delete;
    TCodePageEncoder& operator=(const TCodePageEncoder&) = delete;

    std::string Encode(const String& s);

private:
    class TConverter;
    std::unique_ptr<TConverter> converter_;
};

// UTF-16 helpers.
inline bool IsHighSurrogate(char16_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }
