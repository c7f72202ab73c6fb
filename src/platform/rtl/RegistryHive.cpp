#include "platform/rtl/RegistryHive.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

namespace {

constexpr std::string_view Header = "OSTREL-REGISTRY 2";
// Hives of the first version have no end line: only a cut inside a line shows.
constexpr std::string_view FirstVersionHeader = "OSTREL-REGISTRY 1";
constexpr std::string_view EndLine = "END\n";
constexpr uint32_t RegSz = 1, RegExpandSz = 2, RegDword = 4;

// Positions of the units that stand alone in a surrogate pair's place.
std::vector<bool> LoneSurrogates(std::u16string_view s) {
    std::vector<bool> lone(s.size(), false);
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(s[i]) || IsLowSurrogate(s[i])) {
            lone[i] = true;
        }
    }
    return lone;
}

bool MustEscape(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == u'%' || c == u'"' || c == u'[' || c == u']';
}

void AppendHex(std::string& out, uint32_t value, int digits, bool upper) {
    const char* d = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    for (int i = digits - 1; i >= 0; --i) out += d[(value >> (4 * i)) & 0xF];
}

std::string Escape(std::u16string_view s) {
    const std::vector<bool> lone = LoneSurrogates(s);
    std::string out;
    size_t plainStart = 0;
    auto flush = [&](size_t end) {
        out += String(std::u16string(s.substr(plainStart, end - plainStart))).ToUtf8();
    };
    for (size_t i = 0; i < s.size(); ++i) {
        if (!lone[i] && !MustEscape(s[i])) continue;
        flush(i);
        out += "%u";
        AppendHex(out, s[i], 4, true);
        plainStart = i + 1;
    }
    flush(s.size());
    return out;
}

[[noreturn]] void Damaged(const char* what) { throw EReadError(String(u"Damaged registry hive: ") + String(what)); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes an escaped text; every character that must be escaped has to be.
String Unescape(std::string_view text) {
    const String decoded = String::FromUtf8(text);
    if (decoded.ToUtf8() != text) Damaged("invalid UTF-8");
    std::u16string out;
    const std::u16string& s = decoded.Std();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != u'%') {
            if (MustEscape(s[i])) Damaged("unescaped character");
            out += s[i];
            continue;
        }
        if (i + 6 > s.size() || s[i + 1] != u'u') Damaged("bad escape");
        uint32_t value = 0;
        for (size_t k = i + 2; k < i + 6; ++k) {
            const int d = s[k] < 0x80 ? HexDigit(static_cast<char>(s[k])) : -1;
            if (d < 0) Damaged("bad escape");
            value = value * 16 + static_cast<uint32_t>(d);
        }
        out += static_cast<char16_t>(value);
        i += 5;
    }
    return String(std::move(out));
}

bool IsPlainText(const std::string& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    std::u16string units(data.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<uint8_t>(data[2 * i]) | static_cast<uint8_t>(data[2 * i + 1]) << 8);
    if (units.back() != 0 || units.find(u'\0') != units.size() - 1) return false;
    const std::vector<bool> lone = LoneSurrogates(units);
    return std::find(lone.begin(), lone.end(), true) == lone.end();
}

std::u16string TextOf(const std::string& data) {
    std::u16string units(data.size() / 2 - 1, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<uint8_t>(data[2 * i]) | static_cast<uint8_t>(data[2 * i + 1]) << 8);
    return units;
}

std::string BytesOf(const String& text) {
    std::string data;
    data.reserve((text.size() + 1) * 2);
    for (char16_t c : text.Std()) {
        data += static_cast<char>(c & 0xFF);
        data += static_cast<char>(c >> 8);
    }
    data.append(2, '\0');
    return data;
}

void WriteValue(std::string& out, const TRegValue& v) {
    out += '"';
    out += Escape(v.Name.Std());
    out += "\"=";
    if (v.Type == RegDword && v.Data.size() == 4) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<uint8_t>(v.Data[i]);
        out += "dword:";
        AppendHex(out, n, 8, false);
    } else if ((v.Type == RegSz || v.Type == RegExpandSz) && IsPlainText(v.Data)) {
        if (v.Type == RegExpandSz) out += "expand:";
        out += '"';
        out += Escape(TextOf(v.Data));
        out += '"';
    } else {
        out += "hex(" + std::to_string(v.Type) + "):";
        for (size_t i = 0; i < v.Data.size(); ++i) {
            if (i) out += ',';
            AppendHex(out, static_cast<uint8_t>(v.Data[i]), 2, false);
        }
    }
    out += '\n';
}

void WriteKey(std::string& out, const TRegKey& key, const std::string& path) {
    if (!path.empty()) out += "[" + path + "]\n";
    for (const TRegValue& v : key.Values()) WriteValue(out, v);
    for (const auto& sub : key.SubKeys()) {
        const std::string name = Escape(sub->Name().Std());
        WriteKey(out, *sub, path.empty() ? name : path + "\\" + name);
    }
}

uint32_t ParseNumber(std::string_view s, int base, size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) Damaged("bad number");
    uint64_t n = 0;
    for (char c : s) {
        const int d = HexDigit(c);
        if (d < 0 || d >= base || (base == 16 && c >= 'A' && c <= 'F')) Damaged("bad number");
        n = n * base + d;
    }
    if (n > UINT32_MAX || (base == 10 && s.size() > 1 && s[0] == '0')) Damaged("bad number");
    return static_cast<uint32_t>(n);
}

// The quoted text at the start of Rest (without the quotes); Rest moves past it.
std::string_view TakeQuoted(std::string_view& rest) {
    if (rest.empty() || rest[0] != '"') Damaged("quote expected");
    const size_t end = rest.find('"', 1);
    if (end == std::string_view::npos) Damaged("unterminated text");
    const std::string_view inner = rest.substr(1, end - 1);
    rest.remove_prefix(end + 1);
    return inner;
}

void ReadValue(TRegKey& key, std::string_view line) {
    const String name = Unescape(TakeQuoted(line));
    if (name.Length() > RegMaxValueNameLength) Damaged("value name too long");
    if (key.FindValue(name)) Damaged("duplicate value");
    if (line.empty() || line[0] != '=') Damaged("'=' expected");
    line.remove_prefix(1);
    uint32_t type = 0;
    std::string data;
    if (line.starts_with("dword:")) {
        const uint32_t n = ParseNumber(line.substr(6), 16, 8);
        if (line.size() != 14) Damaged("bad dword");
        type = RegDword;
        for (int i = 0; i < 4; ++i) data += static_cast<char>(n >> (8 * i) & 0xFF);
    } else if (line.starts_with("hex(")) {
        const size_t close = line.find("):");
        if (close == std::string_view::npos) Damaged("bad hex type");
        type = ParseNumber(line.substr(4, close - 4), 10, 10);
        std::string_view bytes = line.substr(close + 2);
        while (!bytes.empty()) {
            if (bytes.size() < 2 || HexDigit(bytes[0]) < 0 || HexDigit(bytes[1]) < 0 || (bytes[0] >= 'A' && bytes[0] <= 'F') ||
                (bytes[1] >= 'A' && bytes[1] <= 'F'))
                Damaged("bad byte");
            data += static_cast<char>(HexDigit(bytes[0]) * 16 + HexDigit(bytes[1]));
            bytes.remove_prefix(2);
            if (bytes.empty()) break;
            if (bytes[0] != ',' || bytes.size() == 1) Damaged("bad byte list");
            bytes.remove_prefix(1);
        }
    } else {
        type = RegSz;
        if (line.starts_with("expand:")) {
            type = RegExpandSz;
            line.remove_prefix(7);
        }
        data = BytesOf(Unescape(TakeQuoted(line)));
        if (!line.empty()) Damaged("text after value");
        if (!IsPlainText(data)) Damaged("text with NUL");
    }
    key.SetValue(name, type, std::move(data));
}

TRegKey& ReadKeyLine(TRegKey& root, std::string_view line) {
    if (line.size() < 3 || line.back() != ']') Damaged("bad key line");
    std::string_view path = line.substr(1, line.size() - 2);
    TRegKey* key = &root;
    for (int depth = 1;; ++depth) {
        const size_t end = path.find('\\');
        const String name = Unescape(path.substr(0, end));
        if (name.empty() || name.Length() > RegMaxKeyNameLength || name.find(u'\\') != String::npos) Damaged("bad key name");
        if (depth > RegMaxKeyDepth) Damaged("keys nested too deep");
        if (end == std::string_view::npos) {
            bool created = false;
            TRegKey& result = key->AddSubKey(name, &created);
            if (!created) Damaged("duplicate key");
            return result;
        }
        key = key->FindSubKey(name);
        if (!key) Damaged("key before its parent");
        path.remove_prefix(end + 1);
    }
}

auto NameLess = [](const std::unique_ptr<TRegKey>& k, const String& name) { return CompareRegNames(k->Name(), name) < 0; };

} // namespace

int CompareRegNames(const String& a, const String& b) noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = CharUpper(a[i]), y = CharUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

TRegKey* TRegKey::FindSubKey(const String& name) const {
    auto it = std::lower_bound(subKeys_.begin(), subKeys_.end(), name, NameLess);
    return it != subKeys_.end() && CompareRegNames((*it)->Name(), name) == 0 ? it->get() : nullptr;
}

TRegKey& TRegKey::AddSubKey(const String& name, bool* created) {
    auto it = std::lower_bound(subKeys_.begin(), subKeys_.end(), name, NameLess);
    const bool found = it != subKeys_.end() && CompareRegNames((*it)->Name(), name) == 0;
    if (created) *created = !found;
    if (found) return **it;
    return **subKeys_.insert(it, std::make_unique<TRegKey>(name));
}

bool TRegKey::RemoveSubKey(const String& name) {
    auto it = std::lower_bound(subKeys_.begin(), subKeys_.end(), name, NameLess);
    if (it == subKeys_.end() || CompareRegNames((*it)->Name(), name) != 0) return false;
    subKeys_.erase(it);
    return true;
}

const TRegValue* TRegKey::FindValue(const String& name) const {
    for (const TRegValue& v : values_)
        if (CompareRegNames(v.Name, name) == 0) return &v;
    return nullptr;
}

void TRegKey::SetValue(const String& name, uint32_t type, std::string data) {
    for (TRegValue& v : values_) {
        if (CompareRegNames(v.Name, name) == 0) {
            v.Type = type;
            v.Data = std::move(data);
            return;
        }
    }
    values_.push_back({name, type, std::move(data)});
}

bool TRegKey::RemoveValue(const String& name) {
    for (auto it = values_.begin(); it != values_.end(); ++it) {
        if (CompareRegNames(it->Name, name) == 0) {
            values_.erase(it);
            return true;
        }
    }
    return false;
}

std::string WriteRegistryHive(const TRegKey& root) {
    std::string out(Header);
    out += '\n';
    WriteKey(out, root, {});
    out += EndLine;
    return out;
}

std::unique_ptr<TRegKey> ReadRegistryHive(std::string_view text) {
    auto root = std::make_unique<TRegKey>();
    if (!text.ends_with('\n')) Damaged("incomplete last line");
    const std::string_view header = text.substr(0, text.find('\n'));
    text.remove_prefix(header.size() + 1);
    if (header == Header) {
        const bool whole = text == EndLine || (text.ends_with(EndLine) && text[text.size() - EndLine.size() - 1] == '\n');
        if (!whole) Damaged("cut short (no end line)");
        text.remove_suffix(EndLine.size());
    } else if (header != FirstVersionHeader) {
        Damaged("not a registry hive");
    }
    TRegKey* key = root.get();
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.starts_with('['))
            key = &ReadKeyLine(*root, line);
        else
            ReadValue(*key, line);
    }
    return root;
}
