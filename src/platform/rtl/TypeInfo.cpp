#include "platform/rtl/TypeInfo.h"

#include <cxxabi.h>

#include <charconv>
#include <cstdlib>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>

namespace {

TTypeInfo Ordinal(TTypeKind kind, const char* name, TOrdType ordType, int64_t min, int64_t max) {
    TTypeInfo t;
    t.Kind = kind;
    t.Name = name;
    t.OrdType = ordType;
    t.MinValue = min;
    t.MaxValue = max;
    return t;
}

TTypeInfo Other(TTypeKind kind, const char* name) {
    TTypeInfo t;
    t.Kind = kind;
    t.Name = name;
    return t;
}

TTypeInfo Float(const char* name, TFloatType floatType) {
    TTypeInfo t = Other(tkFloat, name);
    t.FloatType = floatType;
    return t;
}

std::vector<TTypeInfo> MakeBuiltins() {
    using L = std::numeric_limits<int64_t>;
    std::vector<TTypeInfo> all{
        Ordinal(tkEnumeration, "Boolean", otUByte, 0, 1),
        Ordinal(tkInteger, "ShortInt", otSByte, -128, 127),
        Ordinal(tkInteger, "Byte", otUByte, 0, 255),
        Ordinal(tkInteger, "SmallInt", otSWord, -32768, 32767),
        Ordinal(tkInteger, "Word", otUWord, 0, 65535),
        Ordinal(tkInteger, "Integer", otSLong, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()),
        Ordinal(tkInteger, "Cardinal", otULong, 0, std::numeric_limits<uint32_t>::max()),
        Ordinal(tkInt64, "Int64", otSLong, L::min(), L::max()),
        Ordinal(tkChar, "AnsiChar", otUByte, 0, 255),
        Ordinal(tkWChar, "WideChar", otUWord, 0, 65535),
        Float("Single", ftSingle),
        Float("Double", ftDouble),
        Other(tkUString, "string"),
        Other(tkLString, "AnsiString"),
        Other(tkVariant, "Variant"),
    };
    all[rtl_detail::biBoolean].Names = {"False", "True"};
    return all;
}

// Descriptions made while the program runs; a deque keeps their addresses.
struct TMadeTypes {
    std::mutex lock;
    std::deque<TTypeInfo> types;
};
TMadeTypes& MadeTypes() {
    static TMadeTypes made;
    return made;
}

struct TIntConsts {
    const TTypeInfo* type;
    TIdentToInt identToInt;
    TIntToIdent intToIdent;
};
struct TIntConstsRegistry {
    std::mutex lock;
    std::vector<TIntConsts> entries;
};
TIntConstsRegistry& IntConsts() {
    static TIntConstsRegistry registry;
    return registry;
}

String AfterQualifier(std::string_view name) {
    const auto colon = name.rfind("::");
    return String(colon == std::string_view::npos ? name : name.substr(colon + 2));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

} // namespace

namespace rtl_detail {

const TTypeInfo* BuiltinType(int id) {
    static const std::vector<TTypeInfo> builtins = MakeBuiltins();
    return &builtins[id];
}

TTypeInfo MakeEnumType(const char* name, const char* names, size_t count) {
    TTypeInfo t = Ordinal(tkEnumeration, "", count <= 256 ? otUByte : otUWord, 0, static_cast<int64_t>(count) - 1);
    t.Name = AfterQualifier(name);
    std::string_view rest = names;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        t.Names.push_back(AfterQualifier(TrimView(rest.substr(0, comma))));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return t;
}

TTypeInfo MakeSetType(const TTypeInfo* element) {
    TTypeInfo t = Other(tkSet, "");
    t.Name = "TSet<" + element->Name + ">";
    t.CompType = element;
    return t;
}

TTypeInfo MakeInterfaceType(const std::type_info& type, const TGUID& guid) {
    TTypeInfo t = Other(tkInterface, "");
    t.Name = ShortTypeName(type);
    t.Guid = guid;
    return t;
}

const TTypeInfo* MethodType() {
    static const TTypeInfo info = Other(tkMethod, "TMethod");
    return &info;
}

String ShortTypeName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                          &std::free);
    const std::string_view name = status == 0 ? demangled.get() : type.name();
    return name.find('<') == std::string_view::npos ? AfterQualifier(name) : String(name);
}

} // namespace rtl_detail

const TTypeInfo* NamedTypeInfo(const TTypeInfo* base, const String& name) {
    auto& made = MadeTypes();
    std::lock_guard guard(made.lock);
    TTypeInfo& t = made.types.emplace_back(*base);
    t.Name = name;
    return &t;
}

const TTypeInfo* DateTimeTypeInfo() {
    static const TTypeInfo* info = NamedTypeInfo(TypeInfo<double>(), "TDateTime");
    return info;
}

const TTypeInfo* DateTypeInfo() {
    static const TTypeInfo* info = NamedTypeInfo(TypeInfo<double>(), "TDate");
    return info;
}

const TTypeInfo* TimeTypeInfo() {
    static const TTypeInfo* info = NamedTypeInfo(TypeInfo<double>(), "TTime");
    return info;
}

bool IsDateTimeType(const TTypeInfo* type) noexcept {
    return type == DateTimeTypeInfo() || type == DateTypeInfo() || type == TimeTypeInfo();
}

bool IsBooleanType(const TTypeInfo* type) noexcept { return type == TypeInfo<bool>(); }

String GetEnumName(const TTypeInfo* type, int64_t value) {
    if (type->Kind == tkInteger || type->Kind == tkInt64) return String(std::to_string(value));
    if (type->Kind != tkEnumeration || value < type->MinValue || value > type->MaxValue) return String();
    return type->Names[static_cast<size_t>(value - type->MinValue)];
}

int64_t GetEnumValue(const TTypeInfo* type, const String& name) {
    if (type->Kind == tkInteger || type->Kind == tkInt64) {
        const std::string text = Trim(name).ToUtf8();
        int64_t value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        return ec == std::errc() && end == text.data() + text.size() && !text.empty() ? value : -1;
    }
    if (type->Kind != tkEnumeration) return -1;
    for (size_t i = 0; i < type->Names.size(); ++i)
        if (SameText(type->Names[i], name)) return type->MinValue + static_cast<int64_t>(i);
    return -1;
}

String SetToString(const TTypeInfo* setType, const TSetBits& value, bool brackets) {
    const TTypeInfo* element = setType->CompType;
    String result;
    for (int64_t v = element->MinValue; v <= element->MaxValue; ++v) {
        if (!value.Contains(static_cast<int>(v))) continue;
        if (!result.empty()) result += u',';
        result += GetEnumName(element, v);
    }
    return brackets ? "[" + result + "]" : result;
}

TSetBits StringToSet(const TTypeInfo* setType, const String& text) {
    String body = Trim(text);
    if (body.starts_with(u'[')) body.erase(0, 1);
    if (body.ends_with(u']')) body.pop_back();
    TSetBits result;
    String::size_type start = 0;
    while (start <= body.size()) {
        auto comma = body.Std().find(u',', start);
        if (comma == String::npos) comma = body.size();
        const String name = Trim(body.substr(start, comma - start));
        start = comma + 1;
        if (name.empty()) continue;
        const int64_t v = GetEnumValue(setType->CompType, name);
        if (v < 0 || v >= TSetBits::Capacity) throw EPropertyConvertError("Invalid property element: " + name);
        result.Include(static_cast<int>(v));
    }
    return result;
}

bool IdentToInt(const String& ident, int32_t& value, std::span<const TIdentMapEntry> map) {
    for (const auto& entry : map)
        if (SameText(String(entry.Name), ident)) {
            value = entry.Value;
            return true;
        }
    return false;
}

bool IntToIdent(int32_t value, String& ident, std::span<const TIdentMapEntry> map) {
    for (const auto& entry : map)
        if (entry.Value == value) {
            ident = String(entry.Name);
            return true;
        }
    return false;
}

void RegisterIntegerConsts(const TTypeInfo* integerType, TIdentToInt identToInt, TIntToIdent intToIdent) {
    auto& registry = IntConsts();
    std::lock_guard guard(registry.lock);
    registry.entries.push_back({integerType, identToInt, intToIdent});
}

TIdentToInt FindIdentToInt(const TTypeInfo* integerType) {
    auto& registry = IntConsts();
    std::lock_guard guard(registry.lock);
    for (const auto& e : registry.entries)
        if (e.type == integerType) return e.identToInt;
    return nullptr;
}

TIntToIdent FindIntToIdent(const TTypeInfo* integerType) {
    auto& registry = IntConsts();
    std::lock_guard guard(registry.lock);
    for (const auto& e : registry.entries)
        if (e.type == integerType) return e.intToIdent;
    return nullptr;
}
