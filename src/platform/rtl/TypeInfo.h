#pragma once
// Run-time descriptions of the types published properties can have: kind,
// name, ordinal range, enumeration names, set element type, float kind,
// interface identity. TypeInfo<T>() gives the description of a C++ type;
// enumerations register their names once, next to their declaration:
//
//   enum class TAlign { alNone, alTop, alBottom };
//   using enum TAlign;
//   RTL_ENUM(TAlign, alNone, alTop, alBottom);
//
// The names must list every value in order from 0 (checked at compile time
// for the values they name). Qualified names (TFoo::alNone) are allowed. The
// registration goes in the enumeration's namespace, where lookup finds it.

#include <cstdint>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Variant.h"

class TClassInfo;
using TClass = const TClassInfo*;

enum class TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkWChar,
    tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray, tkUString,
    tkClassRef, tkPointer, tkProcedure
};
using enum TTypeKind;
using TTypeKinds = TSet<TTypeKind>;

inline constexpr TTypeKinds tkOrdinal{tkInteger, tkChar, tkEnumeration, tkWChar, tkSet};
inline constexpr TTypeKinds tkStrings{tkString, tkLString, tkWString, tkUString};
inline constexpr TTypeKinds tkAny{tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
                                  tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord,
                                  tkInterface, tkInt64, tkDynArray, tkUString, tkClassRef, tkPointer, tkProcedure};
inline constexpr TTypeKinds tkProperties = tkAny - TTypeKinds{tkMethod, tkUnknown};

enum class TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
using enum TOrdType;
enum class TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
using enum TFloatType;

RTL_DECLARE_EXCEPTION(EPropertyError, Exception);
RTL_DECLARE_EXCEPTION(EPropertyConvertError, Exception);

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    String Name;
    // Ordinal kinds and Int64.
    TOrdType OrdType = otSLong;
    int64_t MinValue = 0;
    int64_t MaxValue = 0;
    // Enumerations: the names of MinValue..MaxValue.
    std::vector<String> Names;
    String UnitName;
    // Sets: the element type.
    const TTypeInfo* CompType = nullptr;
    TFloatType FloatType = ftDouble;
    // Classes.
    TClass ClassType = nullptr;
    // Interfaces.
    TGUID Guid;
};

// The same description under another name, for types that share a C++ type
// (TDateTime and double, TColor and int32_t). The result lives as long as the program.
const TTypeInfo* NamedTypeInfo(const TTypeInfo* base, const String& name);

// Date-time properties are doubles marked with these types.
const TTypeInfo* DateTimeTypeInfo();
const TTypeInfo* DateTypeInfo();
const TTypeInfo* TimeTypeInfo();
bool IsDateTimeType(const TTypeInfo* type) noexcept;
bool IsBooleanType(const TTypeInfo* type) noexcept;

// The value's name for enumerations, its decimal text for integer kinds, and
// empty for a value outside an enumeration's range.
String GetEnumName(const TTypeInfo* type, int64_t value);
// The value of a name, ignoring case; -1 when unknown. Integer kinds take decimal text.
int64_t GetEnumValue(const TTypeInfo* type, const String& name);
// Element names joined by ",", inside "[" and "]" when asked.
String SetToString(const TTypeInfo* setType, const TSetBits& value, bool brackets = false);
// Names separated by ",", blanks and enclosing brackets allowed. An unknown
// name raises EPropertyConvertError "Invalid property element: %s".
TSetBits StringToSet(const TTypeInfo* setType, const String& text);

// Integer identifier maps (colour names and the like), registered per integer type.
struct TIdentMapEntry {
    int32_t Value;
    const char* Name;
};
using TIdentToInt = bool (*)(const String& ident, int32_t& value);
using TIntToIdent = bool (*)(int32_t value, String& ident);
bool IdentToInt(const String& ident, int32_t& value, std::span<const TIdentMapEntry> map);
bool IntToIdent(int32_t value, String& ident, std::span<const TIdentMapEntry> map);
void RegisterIntegerConsts(const TTypeInfo* integerType, TIdentToInt identToInt, TIntToIdent intToIdent);
TIdentToInt FindIdentToInt(const TTypeInfo* integerType);
TIntToIdent FindIntToIdent(const TTypeInfo* integerType);

namespace rtl_detail {
const TTypeInfo* BuiltinType(int id);
TTypeInfo MakeEnumType(const char* name, const char* names, size_t count);
TTypeInfo MakeSetType(const TTypeInfo* element);
TTypeInfo MakeInterfaceType(const std::type_info& type, const TGUID& guid);
const TTypeInfo* ClassTypeInfo(TClass cls);
const TTypeInfo* MethodType();
// A C++ type's name without namespaces.
String ShortTypeName(const std::type_info& type);

template <class E, size_t N>
constexpr bool ListsValuesInOrder(const E (&values)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (static_cast<size_t>(values[i]) != i) return false;
    return true;
}

template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};
template <class T>
struct IsFunction : std::false_type {};
template <class F>
struct IsFunction<std::function<F>> : std::true_type {};
template <class T>
struct IsIntfPtr : std::false_type {};
template <class I>
struct IsIntfPtr<TIntfPtr<I>> : std::true_type {};

template <class T>
constexpr bool IsObjectPointer = std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>;

enum BuiltinId { biBoolean, biShortInt, biByte, biSmallInt, biWord, biInteger, biCardinal, biInt64, biChar,
                 biWideChar, biSingle, biDouble, biString, biAnsiString, biVariant };

template <class T>
constexpr int IntegerId() {
    if constexpr (std::is_signed_v<T>)
        return sizeof(T) == 1 ? biShortInt : sizeof(T) == 2 ? biSmallInt : biInteger;
    else
        return sizeof(T) == 1 ? biByte : sizeof(T) == 2 ? biWord : biCardinal;
}
} // namespace rtl_detail

#define RTL_ENUM(Enum, ...)                                                                             \
    inline const TTypeInfo* RtlTypeInfo(Enum*) {                                                        \
        static constexpr Enum values[] = {__VA_ARGS__};                                                 \
        static_assert(::rtl_detail::ListsValuesInOrder(values), "names of " #Enum " out of order");     \
        static const TTypeInfo info = ::rtl_detail::MakeEnumType(#Enum, #__VA_ARGS__, std::size(values)); \
        return &info;                                                                                   \
    }                                                                                                   \
    static_assert(true)

// The kind a C++ type has as a property type.
template <class T>
constexpr TTypeKind KindOf() {
    using namespace rtl_detail;
    if constexpr (std::is_same_v<T, bool> || std::is_enum_v<T>) return tkEnumeration;
    else if constexpr (std::is_same_v<T, char16_t>) return tkWChar;
    else if constexpr (std::is_same_v<T, char>) return tkChar;
    else if constexpr (std::is_same_v<T, int64_t>) return tkInt64;
    else if constexpr (std::is_integral_v<T> && sizeof(T) <= 4) return tkInteger;
    else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) return tkFloat;
    else if constexpr (std::is_same_v<T, String>) return tkUString;
    else if constexpr (std::is_same_v<T, std::string>) return tkLString;
    else if constexpr (std::is_same_v<T, Variant>) return tkVariant;
    else if constexpr (IsTSet<T>::value) return tkSet;
    else if constexpr (IsObjectPointer<T>) return tkClass;
    else if constexpr (IsFunction<T>::value) return tkMethod;
    else if constexpr (IsIntfPtr<T>::value) return tkInterface;
    else return tkUnknown;
}

template <class T>
const TTypeInfo* TypeInfo() {
    using namespace rtl_detail;
    if constexpr (std::is_same_v<T, bool>) return BuiltinType(biBoolean);
    else if constexpr (std::is_enum_v<T>) return RtlTypeInfo(static_cast<T*>(nullptr));
    else if constexpr (std::is_same_v<T, char16_t>) return BuiltinType(biWideChar);
    else if constexpr (std::is_same_v<T, char>) return BuiltinType(biChar);
    else if constexpr (std::is_same_v<T, int64_t>) return BuiltinType(biInt64);
    else if constexpr (std::is_integral_v<T> && sizeof(T) <= 4) return BuiltinType(IntegerId<T>());
    else if constexpr (std::is_same_v<T, float>) return BuiltinType(biSingle);
    else if constexpr (std::is_same_v<T, double>) return BuiltinType(biDouble);
    else if constexpr (std::is_same_v<T, String>) return BuiltinType(biString);
    else if constexpr (std::is_same_v<T, std::string>) return BuiltinType(biAnsiString);
    else if constexpr (std::is_same_v<T, Variant>) return BuiltinType(biVariant);
    else if constexpr (IsTSet<T>::value) {
        static const TTypeInfo info = MakeSetType(TypeInfo<typename T::value_type>());
        return &info;
    } else if constexpr (IsObjectPointer<T>) return ClassTypeInfo(std::remove_pointer_t<T>::StaticClass());
    else if constexpr (IsFunction<T>::value) return MethodType();
    else if constexpr (IsIntfPtr<T>::value) {
        using I = std::remove_pointer_t<decltype(T().get())>;
        static const TTypeInfo info = MakeInterfaceType(typeid(I), I::IID);
        return &info;
    } else static_assert(KindOf<T>() != tkUnknown, "no type information for this type");
}

template <class E>
String EnumName(E value) {
    return GetEnumName(TypeInfo<E>(), static_cast<int64_t>(value));
}
