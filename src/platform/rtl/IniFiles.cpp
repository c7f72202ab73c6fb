#include "platform/rtl/IniFiles.h"

#include <optional>
#include <string>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringList.h"

namespace {

String Fold(const String& name) { return AnsiLowerCase(name); }

bool HasLineBreak(const String& s) { return s.find_first_of(u"\r\n") != String::npos; }

void CheckNames(const String& section, const String& ident) {
    const String key = Trim(ident);
    const bool badSection = Trim(section).empty() || HasLineBreak(section) || section.find(u']') != String::npos;
    const bool badKey = key.empty() || HasLineBreak(ident) || ident.find(u'=') != String::npos ||
                        key[0] == u';' || key[0] == u'#' || key[0] == u'[';
    if (badSection) throw EIniFileException("Invalid section name \"" + section + "\"");
    if (badKey) throw EIniFileException("Invalid key name \"" + ident + "\"");
}

bool IsQuoted(const String& s) { return s.size() >= 2 && s.front() == u'"' && s.back() == u'"'; }

String DecodeValue(const String& raw) {
    String value = Trim(raw);
    return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

String EncodeValue(const String& value) {
    if (HasLineBreak(value)) throw EIniFileException("Invalid value \"" + value + "\"");
    return (Trim(value).size() != value.size() || IsQuoted(value)) ? u'"' + value + u'"' : value;
}

// Parses a decimal or "$"/"0x" hexadecimal integer of Bits bits; hexadecimal
// covers the unsigned range and wraps into the signed one.
std::optional<int64_t> ParseInteger(const String& text, int bits) {
    const String s = Trim(text);
    size_t p = 0;
    const bool negative = p < s.size() && s[p] == u'-';
    if (p < s.size() && (s[p] == u'-' || s[p] == u'+')) ++p;
    unsigned base = 10;
    if (p < s.size() && s[p] == u'$') {
        base = 16;
        ++p;
    } else if (p + 1 < s.size() && s[p] == u'0' && (s[p + 1] == u'x' || s[p + 1] == u'X')) {
        base = 16;
        p += 2;
    }
    if (p == s.size()) return std::nullopt;
    const uint64_t unsignedMax = bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
    const uint64_t limit = base == 16 ? unsignedMax : (unsignedMax >> 1) + (negative ? 1 : 0);
    uint64_t value = 0;
    for (; p < s.size(); ++p) {
        const char16_t c = s[p];
        unsigned digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        if (value > (limit - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    if (base == 16 && bits < 64 && value > (unsignedMax >> 1)) value -= uint64_t{1} << bits; // wraps to negative
    if (bits < 64) return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return static_cast<int64_t>(negative ? 0 - value : value);
}

} // namespace

// --- TCustomIniFile --------------------------------------------------------

int TCustomIniFile::ReadInteger(const String& section, const String& ident, int defaultValue) const {
    const auto value = ParseInteger(ReadString(section, ident, String()), 32);
    return value ? static_cast<int>(*value) : defaultValue;
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident, int value) {
    WriteString(section, ident, String(std::to_string(value)));
}

int64_t TCustomIniFile::ReadInt64(const String& section, const String& ident, int64_t defaultValue) const {
    return ParseInteger(ReadString(section, ident, String()), 64).value_or(defaultValue);
}

void TCustomIniFile::WriteInt64(const String& section, const String& ident, int64_t value) {
    WriteString(section, ident, String(std::to_string(value)));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident, bool defaultValue) const {
    const String text = Trim(ReadString(section, ident, String()));
    if (SameText(text, "true")) return true;
    if (SameText(text, "false")) return false;
    const auto value = ParseInteger(text, 64);
    return value ? *value != 0 : defaultValue;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const String& section, const String& ident, double defaultValue) const {
    return StrToFloatDef(Trim(ReadString(section, ident, String())), defaultValue, TFormatSettings::Invariant());
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident, double value) {
    WriteString(section, ident, FloatToStr(value, TFormatSettings::Invariant()));
}

namespace {

using TryStrToDateTimeFn = bool (*)(const String&, TDateTime&, const TFormatSettings&);

TDateTime ParseDateTime(const String& text, TDateTime defaultValue, TryStrToDateTimeFn parse) {
    TDateTime value = 0;
    return parse(Trim(text), value, TFormatSettings::Invariant()) ? value : defaultValue;
}

} // namespace

TDateTime TCustomIniFile::ReadDateTime(const String& section, const String& ident, TDateTime defaultValue) const {
    return ParseDateTime(ReadString(section, ident, String()), defaultValue, TryStrToDateTime);
}

void TCustomIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value) {
    WriteString(section, ident, DateTimeToStr(value, TFormatSettings::Invariant()));
}

TDateTime TCustomIniFile::ReadDate(const String& section, const String& ident, TDateTime defaultValue) const {
    return ParseDateTime(ReadString(section, ident, String()), defaultValue, TryStrToDate);
}

void TCustomIniFile::WriteDate(const String& section, const String& ident, TDateTime value) {
    WriteString(section, ident, DateToStr(value, TFormatSettings::Invariant()));
}

TDateTime TCustomIniFile::ReadTime(const String& section, const String& ident, TDateTime defaultValue) const {
    return ParseDateTime(ReadString(section, ident, String()), defaultValue, TryStrToTime);
}

void TCustomIniFile::WriteTime(const String& section, const String& ident, TDateTime value) {
    WriteString(section, ident, TimeToStr(value, TFormatSettings::Invariant()));
}

// --- TMemIniFile -----------------------------------------------------------

// A line as read; Folded is empty for anything but a key line.
struct TMemIniFile::Line {
    String raw;
    String key;
    String folded;
    String value;

    bool IsKey() const noexcept { return !folded.empty(); }
    bool IsBlank() const { return Trim(raw).empty(); }
};

struct TMemIniFile::Section {
    String name;
    String header;
    std::vector<Line> lines;

    const Line* FindKey(const String& folded) const {
        for (const Line& line : lines)
            if (line.folded == folded) return &line;
        return nullptr;
    }
    Line* FindKey(const String& folded) {
        return const_cast<Line*>(static_cast<const Section*>(this)->FindKey(folded));
    }
    // Visits the first occurrence of every key.
    template <class Visit>
    void ForEachKey(Visit&& visit) const {
        for (const Line& line : lines)
            if (line.IsKey() && FindKey(line.folded) == &line) visit(line);
    }
};

// Where new lines go: after the last non-blank line, so that a blank separator stays last.
size_t TMemIniFile::EndOfContent(const std::vector<Line>& lines) {
    size_t end = lines.size();
    while (end > 0 && lines[end - 1].IsBlank()) --end;
    return end;
}

TMemIniFile::TMemIniFile(const String& fileName) : TCustomIniFile(fileName) {
    if (fileName.empty() || ::access(fileName.ToUtf8().c_str(), F_OK) != 0) return;
    TStringList lines;
    lines.LoadFromFile(fileName);
    Parse(lines);
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Parse(const TStrings& lines) {
    Clear();
    std::vector<Line>* target = &preamble_;
    size_t insertAt = 0; // lines of a repeated section go before the trailing blank lines of the first
    for (int i = 0, n = lines.Count(); i < n; ++i) {
        String raw = lines[i];
        const String text = Trim(raw);
        if (text.starts_with(u'[')) {
            const auto close = text.find(u']');
            const String name = Trim(text.substr(1, close == String::npos ? String::npos : close - 1));
            Section* section = FindSection(name);
            if (!section) {
                section = &AddSection(name);
                section->header = std::move(raw);
            }
            target = &section->lines;
            insertAt = EndOfContent(*target);
            continue;
        }
        Line line{std::move(raw), {}, {}, {}};
        const auto eq = text.find(u'=');
        if (target != &preamble_ && eq != String::npos && !text.starts_with(u';') && !text.starts_with(u'#')) {
            line.key = Trim(text.substr(0, eq));
            line.folded = Fold(line.key);
            line.value = DecodeValue(text.substr(eq + 1));
        }
        target->insert(target->begin() + static_cast<std::ptrdiff_t>(insertAt++), std::move(line));
    }
}

void TMemIniFile::Clear() {
    preamble_.clear();
    sections_.clear();
    byName_.clear();
}

TMemIniFile::Section* TMemIniFile::FindSection(const String& name) const {
    const auto it = byName_.find(Fold(name));
    return it == byName_.end() ? nullptr : it->second;
}

TMemIniFile::Section& TMemIniFile::AddSection(const String& name) {
    auto section = std::make_unique<Section>();
    section->name = name;
    section->header = u'[' + name + u']';
    Section& added = *section;
    sections_.push_back(std::move(section));
    byName_.emplace(Fold(name), &added);
    return added;
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& defaultValue) const {
    const Section* s = FindSection(section);
    const Line* line = s ? s->FindKey(Fold(ident)) : nullptr;
    return line ? line->value : defaultValue;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value) {
    CheckNames(section, ident);
    const String raw = Trim(ident) + u'=' + EncodeValue(value);
    Section* s = FindSection(section);
    if (!s) {
        // Separate the new section from what comes before it by a blank line.
        std::vector<Line>& previous = sections_.empty() ? preamble_ : sections_.back()->lines;
        if (!previous.empty() && !previous.back().IsBlank()) previous.push_back(Line{});
        s = &AddSection(Trim(section));
    }
    if (Line* line = s->FindKey(Fold(ident))) {
        line->raw = raw;
        line->value = value;
        return;
    }
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(EndOfContent(s->lines)),
                    Line{raw, Trim(ident), Fold(ident), value});
}

void TMemIniFile::ReadSection(const String& section, TStrings& strings) const {
    const Section* s = FindSection(section);
    strings.Updating([&] {
        strings.Clear();
        if (s) s->ForEachKey([&](const Line& line) { strings.Add(line.key); });
    });
}

void TMemIniFile::ReadSections(TStrings& strings) const {
    strings.Updating([&] {
        strings.Clear();
        for (const auto& s : sections_) strings.Add(s->name);
    });
}

void TMemIniFile::ReadSectionValues(const String& section, TStrings& strings) const {
    const Section* s = FindSection(section);
    strings.Updating([&] {
        strings.Clear();
        if (s) s->ForEachKey([&](const Line& line) { strings.Add(line.key + u'=' + line.value); });
    });
}

bool TMemIniFile::SectionExists(const String& section) const { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(const String& section, const String& ident) const {
    const Section* s = FindSection(section);
    return s && s->FindKey(Fold(ident));
}

void TMemIniFile::EraseSection(const String& section) {
    const Section* s = FindSection(section);
    if (!s) return;
    byName_.erase(Fold(section));
    std::erase_if(sections_, [&](const auto& p) { return p.get() == s; });
}

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
    if (Section* s = FindSection(section)) {
        const String folded = Fold(ident);
        std::erase_if(s->lines, [&](const Line& line) { return line.folded == folded; });
    }
}

void TMemIniFile::GetStrings(TStrings& strings) const {
    strings.Updating([&] {
        strings.Clear();
        for (const Line& line : preamble_) strings.Add(line.raw);
        for (const auto& s : sections_) {
            strings.Add(s->header);
            for (const Line& line : s->lines) strings.Add(line.raw);
        }
    });
}

void TMemIniFile::SetStrings(const TStrings& strings) { Parse(strings); }

void TMemIniFile::UpdateFile() {
    if (FileName().empty()) return;
    TStringList lines;
    GetStrings(lines);
    if (const auto failure = TryWriteFileAtomically(FileName(), lines.Text().ToUtf8()))
        throw EIniFileException("Cannot write file \"" + FileName() + "\". " + SysErrorMessage(failure->error));
}

// --- TIniFile --------------------------------------------------------------

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
    if (ValueExists(section, ident) && ReadString(section, ident, String()) == value) return;
    TMemIniFile::WriteString(section, ident, value);
    UpdateFile();
}

void TIniFile::EraseSection(const String& section) {
    TMemIniFile::EraseSection(section);
    UpdateFile();
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
    TMemIniFile::DeleteKey(section, ident);
    UpdateFile();
}
