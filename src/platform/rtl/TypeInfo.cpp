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

bool IsNumbered(const TTypeInfo* type) {
    return type->Kind == tkInteger || type->Kind == tkInt64 || type->Kind == tkChar || type->Kind == tkWChar;
}

constexpr TVarType kVarVariant = 0x000C;

// The variant type holding values of Type; -1 when none does.
int VarTypeOf(const TTypeInfo& type) {
    switch (type.Kind) {
    case tkInteger:
        switch (type.OrdType) {
        case otSByte: return varShortInt;
        case otUByte: return varByte;
        case otSWord: return varSmallint;
        case otUWord: return varWord;
        case otSLong: return varInteger;
        case otULong: return varLongWord;
        }
        return -1;
    case tkEnumeration: return IsBooleanType(&type) ? varBoolean : -1;
    case tkInt64: return varInt64;
    case tkFloat: return IsDateTimeType(&type) ? varDate : type.FloatType == ftSingle ? varSingle : varDouble;
    case tkUString: return varUString;
    case tkVariant: return kVarVariant;
    default: return -1;
    }
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

TTypeInfo MakeEnumType(const char* name, const char* names, size_t count, bool anonymous) {
    TTypeInfo t = Ordinal(tkEnumeration, "", count <= 256 ? otUByte : otUWord, 0, static_cast<int64_t>(count) - 1);
    t.Name = (anonymous ? "." : "") + AfterQualifier(name);
    std::string_view rest = names;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        t.Names.push_back(AfterQualifier(TrimView(rest.substr(0, comma))));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return t;
}

TTypeInfo MakeEnumSubrange(const char* name, const TTypeInfo* base, int64_t min, int64_t max) {
    TTypeInfo t = Ordinal(tkEnumeration, "", base->OrdType, min, max);
    t.Name = AfterQualifier(name);
    t.BaseType = base->BaseType ? base->BaseType : base;
    for (int64_t v = min; v <= max; ++v) t.Names.push_back(GetEnumName(base, v));
    return t;
}

TTypeInfo MakeOrdinalSubrange(const char* name, TTypeKind kind, int64_t min, int64_t max) {
    TOrdType ordType;
    if (kind == tkChar) ordType = otUByte;
    else if (kind == tkWChar) ordType = otUWord;
    else if (min >= 0) ordType = max <= 0xFF ? otUByte : max <= 0xFFFF ? otUWord : otULong;
    else ordType = min >= -0x80 && max <= 0x7F ? otSByte : min >= -0x8000 && max <= 0x7FFF ? otSWord : otSLong;
    TTypeInfo t = Ordinal(kind, "", ordType, min, max);
    t.Name = AfterQualifier(name);
    return t;
}

TTypeInfo MakeSetType(const TTypeInfo* element) {
    RTL_ASSERT(element->MinValue >= 0 && element->MaxValue < TSetBits::Capacity, "Set elements beyond 0..255");
    TTypeInfo t = Other(tkSet, "");
    t.Name = "TSet<" + element->Name + ">";
    t.CompType = element;
    // By the bytes the set's elements span.
    const int64_t bytes = (element->MaxValue - element->MinValue + 1 + element->MinValue % 8 + 7) / 8;
    t.OrdType = bytes <= 1 ? otUByte : bytes <= 2 ? otUWord : otULong;
    return t;
}

TTypeInfo MakeInterfaceType(const std::type_info& type, const TGUID& guid, const TTypeInfo* parent) {
    TTypeInfo t = Other(tkInterface, "");
    t.Name = ShortTypeName(type);
    t.Guid = guid;
    t.IntfParent = parent;
    t.IntfFlags = {ifHasGuid};
    return t;
}

TTypeInfo MakeMethodType() { return Other(tkMethod, "TMethod"); }

TTypeInfo MakeDynArrayType(const TTypeInfo* element, const String& elementName, int elementSize, bool needsCleanup) {
    TTypeInfo t = Other(tkDynArray, "");
    t.Name = "TArray<" + elementName + ">";
    t.ElementSize = elementSize;
    t.ElementType = element;
    t.ElementsNeedCleanup = needsCleanup;
    t.VarType = element ? VarTypeOf(*element) : -1;
    return t;
}

const TTypeInfo* KeepType(TTypeInfo type) {
    auto& made = MadeTypes();
    std::lock_guard guard(made.lock);
    return &made.types.emplace_back(std::move(type));
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
    TTypeInfo t = *base;
    t.Name = name;
    return rtl_detail::KeepType(std::move(t));
}

const TTypeInfo* ShortStringTypeInfo(const String& name, int maxLength) {
    TTypeInfo t = Other(tkString, "");
    t.Name = name;
    t.MaxLength = maxLength;
    return rtl_detail::KeepType(std::move(t));
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
    if (IsNumbered(type)) return String(std::to_string(value));
    if (type->Kind != tkEnumeration || value < type->MinValue || value > type->MaxValue) return String();
    return type->Names[static_cast<size_t>(value - type->MinValue)];
}

int64_t GetEnumValue(const TTypeInfo* type, const String& name) {
    if (IsNumbered(type)) {
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
