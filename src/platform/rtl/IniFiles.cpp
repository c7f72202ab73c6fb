#include "platform/rtl/IniFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/LegacyText.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

// Text without what Trim cuts off either end, without copying it.
std::u16string_view Trimmed(std::u16string_view s) {
    while (!s.empty() && s.front() <= u' ') s.remove_prefix(1);
    while (!s.empty() && s.back() <= u' ') s.remove_suffix(1);
    return s;
}

bool HasLineBreak(const String& s) { return s.find_first_of(u"\r\n") != String::npos; }

void CheckNames(const String& section, const String& ident) {
    const String key = Trim(ident);
    const bool badSection = Trim(section).empty() || HasLineBreak(section) || section.find(u']') != String::npos;
    const bool badKey = key.empty() || HasLineBreak(ident) || ident.find(u'=') != String::npos ||
                        key[0] == u';' || key[0] == u'#' || key[0] == u'[';
    if (badSection) throw EIniFileException("Invalid section name \"" + section + "\"");
    if (badKey) throw EIniFileException("Invalid key name \"" + ident + "\"");
}

bool IsQuoted(std::u16string_view s) { return s.size() >= 2 && s.front() == u'"' && s.back() == u'"'; }

std::u16string_view DecodedValue(std::u16string_view raw) {
    const std::u16string_view value = Trimmed(raw);
    return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

String EncodeValue(const String& value) {
    if (HasLineBreak(value)) throw EIniFileException("Invalid value \"" + value + "\"");
    return (Trim(value).size() != value.size() || IsQuoted(value)) ? u'"' + value + u'"' : value;
}

// Parses a decimal or "$"/"0x" hexadecimal integer of Bits bits; hexadecimal
// covers the unsigned range and wraps into the signed one.
std::optional<int64_t> ParseInteger(const String& text, int bits) {
    const std::u16string_view s = Trimmed(text);
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

size_t TMemIniFile::NameHash::operator()(std::u16string_view name) const noexcept {
    if (caseSensitive) return std::hash<std::u16string_view>()(name);
    size_t hash = 14695981039346656037ull; // FNV-1a over the lowered characters
    for (char16_t c : name) hash = (hash ^ CharLower(c)) * 1099511628211ull;
    return hash;
}

bool TMemIniFile::NameEqual::operator()(std::u16string_view a, std::u16string_view b) const noexcept {
    if (caseSensitive || a.size() != b.size()) return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && CharLower(a[i]) != CharLower(b[i])) return false;
    return true;
}

// A line as read; a key line knows where its name and its value (without
// quotes) lie in Raw, any other line has an empty key.
struct TMemIniFile::Line {
    String raw;
    size_t keyAt = 0;
    size_t keyLength = 0;
    size_t valueAt = 0;
    size_t valueLength = 0;

    // Raw as a line of a section: a key line when it has a name before "=" and is no comment.
    static Line InSection(String raw) {
        Line line{std::move(raw)};
        const std::u16string_view all = line.raw;
        const std::u16string_view text = Trimmed(all);
        const auto eq = text.find(u'=');
        if (eq == std::u16string_view::npos || text.starts_with(u';') || text.starts_with(u'#')) return line;
        const std::u16string_view key = Trimmed(text.substr(0, eq));
        const std::u16string_view value = DecodedValue(text.substr(eq + 1));
        line.keyAt = static_cast<size_t>(key.data() - all.data());
        line.keyLength = key.size();
        line.valueAt = static_cast<size_t>(value.data() - all.data());
        line.valueLength = value.size();
        return line;
    }

    std::u16string_view Key() const noexcept { return std::u16string_view(raw).substr(keyAt, keyLength); }
    std::u16string_view Value() const noexcept { return std::u16string_view(raw).substr(valueAt, valueLength); }
    bool IsKey() const noexcept { return keyLength > 0; }
    bool IsBlank() const { return Trimmed(raw).empty(); }
};

struct TMemIniFile::Section {
    explicit Section(bool caseSensitive) : keys(0, NameHash{caseSensitive}, NameEqual{caseSensitive}) {}

    String name;
    String header;
    std::list<Line> lines;
    // The first occurrence of every key, by its name in the line.
    NameIndex<Line*> keys;

    Line* FindKey(std::u16string_view name) const {
        const auto it = keys.find(Trimmed(name));
        return it == keys.end() ? nullptr : it->second;
    }
    void Insert(std::list<Line>::iterator at, Line line) {
        Line& inserted = *lines.insert(at, std::move(line));
        if (inserted.IsKey()) keys.try_emplace(inserted.Key(), &inserted);
    }
    // Replaces the first occurrence of a key by a line of the same name.
    void Rewrite(Line& line, String raw) {
        keys.erase(line.Key());
        line = Line::InSection(std::move(raw));
        keys.try_emplace(line.Key(), &line);
    }
    // Visits the first occurrence of every key.
    template <class Visit>
    void ForEachKey(Visit&& visit) const {
        for (const Line& line : lines)
            if (line.IsKey() && FindKey(line.Key()) == &line) visit(line);
    }
};

std::list<TMemIniFile::Line>::iterator TMemIniFile::EndOfContent(std::list<Line>& lines) {
    auto end = lines.end();
    while (end != lines.begin() && std::prev(end)->IsBlank()) --end;
    return end;
}

TMemIniFile::TMemIniFile(const String& fileName, bool caseSensitive)
    : TCustomIniFile(fileName),
      caseSensitive_(caseSensitive),
      byName_(0, NameHash{caseSensitive}, NameEqual{caseSensitive}) {
    if (fileName.empty() || ::access(fileName.ToUtf8().c_str(), F_OK) != 0) return;
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    std::string bytes(static_cast<size_t>(file.Size()), '\0');
    file.ReadBuffer(bytes.data(), file.Size());
    const TDecodedText decoded = DecodeLegacyText(bytes);
    codePage_ = decoded.CodePage;
    keepDamagedCopy_ = !decoded.Exact;
    TStringList lines;
    lines.SetText(decoded.Text);
    Parse(lines);
}

TMemIniFile::~TMemIniFile() = default;

// Every line is kept as its one copy; names and values are views of it.
void TMemIniFile::Parse(const TStrings& lines) {
    Clear();
    Section* section = nullptr; // none yet: the preamble
    std::list<Line>::iterator insertAt; // lines of a repeated section go before the trailing blank lines of the first
    for (int i = 0, n = lines.Count(); i < n; ++i) {
        String raw = lines[i];
        const std::u16string_view text = Trimmed(raw);
        if (text.starts_with(u'[')) {
            const auto close = text.find(u']');
            const std::u16string_view name = Trimmed(text.substr(1, close == std::u16string_view::npos ? close : close - 1));
            section = FindSection(name);
            if (!section) {
                section = &AddSection(name);
                section->header = std::move(raw);
            }
            insertAt = EndOfContent(section->lines);
        } else if (!section) {
            preamble_.push_back(Line{std::move(raw)});
        } else {
            section->Insert(insertAt, Line::InSection(std::move(raw)));
        }
    }
}

void TMemIniFile::Clear() {
    preamble_.clear();
    byName_.clear();
    sections_.clear();
}

TMemIniFile::Section* TMemIniFile::FindSection(std::u16string_view name) const {
    const auto it = byName_.find(Trimmed(name));
    return it == byName_.end() ? nullptr : it->second;
}

TMemIniFile::Section& TMemIniFile::AddSection(const String& name) {
    auto section = std::make_unique<Section>(caseSensitive_);
    section->name = name;
    section->header = u'[' + name + u']';
    Section& added = *section;
    sections_.push_back(std::move(section));
    byName_.emplace(added.name, &added);
    return added;
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& defaultValue) const {
    const Section* s = FindSection(section);
    const Line* line = s ? s->FindKey(ident) : nullptr;
    return line ? String(line->Value()) : defaultValue;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value) {
    CheckNames(section, ident);
    String raw = Trim(ident) + u'=' + EncodeValue(value);
    Section* s = FindSection(section);
    if (!s) {
        // Separate the new section from what comes before it by a blank line.
        std::list<Line>& previous = sections_.empty() ? preamble_ : sections_.back()->lines;
        if (!previous.empty() && !previous.back().IsBlank()) previous.push_back(Line{});
        s = &AddSection(Trim(section));
    }
    if (Line* line = s->FindKey(ident))
        s->Rewrite(*line, std::move(raw));
    else
        s->Insert(EndOfContent(s->lines), Line::InSection(std::move(raw)));
}

void TMemIniFile::ReadSection(const String& section, TStrings& strings) const {
    const Section* s = FindSection(section);
    strings.Updating([&] {
        strings.Clear();
        if (!s) return;
        strings.SetCapacity(static_cast<int>(s->keys.size()));
        s->ForEachKey([&](const Line& line) { strings.Add(String(line.Key())); });
    });
}

void TMemIniFile::ReadSections(TStrings& strings) const {
    strings.Updating([&] {
        strings.Clear();
        strings.SetCapacity(static_cast<int>(sections_.size()));
        for (const auto& s : sections_) strings.Add(s->name);
    });
}

void TMemIniFile::ReadSectionValues(const String& section, TStrings& strings) const {
    const Section* s = FindSection(section);
    strings.Updating([&] {
        strings.Clear();
        if (!s) return;
        strings.SetCapacity(static_cast<int>(s->keys.size()));
        s->ForEachKey([&](const Line& line) {
            String text;
            text.reserve(line.keyLength + 1 + line.valueLength);
            text.Std().append(line.Key()).append(1, u'=').append(line.Value());
            strings.Add(text);
        });
    });
}

bool TMemIniFile::SectionExists(const String& section) const { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(const String& section, const String& ident) const {
    const Section* s = FindSection(section);
    return s && s->FindKey(ident);
}

void TMemIniFile::EraseSection(const String& section) {
    const Section* s = FindSection(section);
    if (!s) return;
    byName_.erase(s->name);
    std::erase_if(sections_, [&](const auto& p) { return p.get() == s; });
}

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
    if (Section* s = FindSection(section)) {
        const std::u16string_view name = Trimmed(ident);
        s->keys.erase(name);
        std::erase_if(s->lines, [&](const Line& line) { return s->keys.key_eq()(line.Key(), name); });
    }
}

void TMemIniFile::GetStrings(TStrings& strings) const {
    strings.Updating([&] {
        strings.Clear();
        size_t count = preamble_.size() + sections_.size();
        for (const auto& s : sections_) count += s->lines.size();
        strings.SetCapacity(static_cast<int>(count));
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
    const auto fail = [&](int error) {
        throw EIniFileException("Cannot write file \"" + FileName() + "\". " + SysErrorMessage(error));
    };
    if (keepDamagedCopy_ && !KeepDamagedCopy(FileName())) fail(errno);
    TStringList lines;
    GetStrings(lines);
    if (const auto failure = TryWriteFileAtomically(FileName(), EncodeLegacyText(lines.Text(), codePage_)))
        fail(failure->error);
    keepDamagedCopy_ = false;
}

// --- TIniFile --------------------------------------------------------------

namespace {

// Tells whether a file was replaced or changed since it was last seen.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};

    static FileStamp Of(const String& fileName) {
        struct stat st {};
        if (::stat(fileName.ToUtf8().c_str(), &st) != 0) return {};
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    }
    bool operator==(const FileStamp& other) const noexcept {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

// The sharing key: the absolute path with links resolved as far as the path exists.
std::string ResolvedPath(const String& fileName) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path absolute = fs::absolute(fs::path(fileName.ToUtf8()), error);
    fs::path resolved = fs::weakly_canonical(absolute, error);
    return (error ? absolute.lexically_normal() : resolved).string();
}

} // namespace

// The copy of one file that every TIniFile open on it uses.
struct TIniFile::Shared {
    std::string path; // the registry key; empty for an unnamed file
    std::mutex mutex;
    std::unique_ptr<TMemIniFile> ini;
    FileStamp stamp;
    bool pending = false;

    template <class Use>
    auto Read(Use&& use) {
        std::lock_guard lock(mutex);
        return use(static_cast<const TMemIniFile&>(*ini));
    }
    // Use returns whether it changed anything.
    template <class Use>
    void Change(Use&& use) {
        std::lock_guard lock(mutex);
        if (use(*ini)) pending = true;
    }
    void Write(const String& fileName) {
        std::lock_guard lock(mutex);
        if (!pending || fileName.empty()) return;
        ini->UpdateFile();
        stamp = FileStamp::Of(fileName);
        pending = false;
    }

    static std::shared_ptr<Shared> Open(const String& fileName) {
        if (fileName.empty()) {
            auto unnamed = std::make_shared<Shared>();
            unnamed->ini = std::make_unique<TMemIniFile>(fileName);
            return unnamed;
        }
        const std::string path = ResolvedPath(fileName);
        Registry& registry = Files();
        std::lock_guard lock(registry.mutex);
        const auto it = registry.byPath.find(path);
        std::shared_ptr<Shared> shared = it == registry.byPath.end() ? nullptr : it->second.lock();
        if (!shared) {
            shared = std::make_shared<Shared>();
            shared->path = path;
        }
        {
            std::lock_guard fileLock(shared->mutex);
            const FileStamp stamp = FileStamp::Of(fileName); // taken first: a change while reading reloads later
            if (!shared->ini || (!shared->pending && !(shared->stamp == stamp))) {
                shared->ini = std::make_unique<TMemIniFile>(fileName);
                shared->stamp = stamp;
            }
        }
        registry.byPath[path] = shared;
        return shared;
    }
    static void Release(std::shared_ptr<Shared>& shared) {
        if (shared->path.empty()) return;
        Registry& registry = Files();
        std::lock_guard lock(registry.mutex);
        const std::string path = shared->path;
        shared.reset();
        const auto it = registry.byPath.find(path);
        if (it != registry.byPath.end() && it->second.expired()) registry.byPath.erase(it);
    }

private:
    struct Registry {
        std::mutex mutex;
        std::unordered_map<std::string, std::weak_ptr<Shared>> byPath;
    };
    // Never destroyed, so that TIniFile objects of static lifetime can go at any time.
    static Registry& Files() {
        static Registry* registry = new Registry;
        return *registry;
    }
};

TIniFile::TIniFile(const String& fileName) : TCustomIniFile(fileName), shared_(Shared::Open(fileName)) {}

TIniFile::~TIniFile() {
    try {
        UpdateFile();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    Shared::Release(shared_);
}

void TIniFile::UpdateFile() { shared_->Write(FileName()); }

String TIniFile::ReadString(const String& section, const String& ident, const String& defaultValue) const {
    return shared_->Read([&](const TMemIniFile& ini) { return ini.ReadString(section, ident, defaultValue); });
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
    shared_->Change([&](TMemIniFile& ini) {
        if (ini.ValueExists(section, ident) && ini.ReadString(section, ident, String()) == value) return false;
        ini.WriteString(section, ident, value);
        return true;
    });
}

void TIniFile::ReadSection(const String& section, TStrings& strings) const {
    shared_->Read([&](const TMemIniFile& ini) { ini.ReadSection(section, strings); });
}

void TIniFile::ReadSections(TStrings& strings) const {
    shared_->Read([&](const TMemIniFile& ini) { ini.ReadSections(strings); });
}

void TIniFile::ReadSectionValues(const String& section, TStrings& strings) const {
    shared_->Read([&](const TMemIniFile& ini) { ini.ReadSectionValues(section, strings); });
}

bool TIniFile::SectionExists(const String& section) const {
    return shared_->Read([&](const TMemIniFile& ini) { return ini.SectionExists(section); });
}

bool TIniFile::ValueExists(const String& section, const String& ident) const {
    return shared_->Read([&](const TMemIniFile& ini) { return ini.ValueExists(section, ident); });
}

void TIniFile::EraseSection(const String& section) {
    shared_->Change([&](TMemIniFile& ini) {
        if (!ini.SectionExists(section)) return false;
        ini.EraseSection(section);
        return true;
    });
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
    shared_->Change([&](TMemIniFile& ini) {
        if (!ini.ValueExists(section, ident)) return false;
        ini.DeleteKey(section, ident);
        return true;
    });
}
