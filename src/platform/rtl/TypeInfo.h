#pragma once
// Run-time descriptions of the types published properties can have: kind,
// name, ordinal range, enumeration names, set element type, float kind,
// method signature, interface identity and parent, dynamic-array element.
// TypeInfo<T>() gives the description of a C++ type; enumerations register
// their names once, next to their declaration:
//
//   enum class TAlign { alNone, alTop, alBottom };
//   using enum TAlign;
//   RTL_ENUM(TAlign, alNone, alTop, alBottom);
//
// The names must list every value in order from 0 (checked at compile time
// for the values they name). Qualified names (TFoo::alNone) are allowed. The
// registration goes in the enumeration's namespace, where lookup finds it.
// RTL_ANONYMOUS_ENUM does the same for a type that has no name of its own:
// its description is named with a leading "." (".TAlign").
//
// Named subranges of an integer, character or enumeration type are
// enumerations without enumerators over a type wide enough for the bounds;
// the type of the bounds decides the kind:
//
//   enum class TPercent : uint8_t {};
//   RTL_SUBRANGE(TPercent, 0, 100);              // tkInteger 0..100
//   enum class TLetter : char {};
//   RTL_SUBRANGE(TLetter, 'a', 'z');             // tkChar
//   enum class TMiddle : uint8_t {};
//   RTL_SUBRANGE(TMiddle, alTop, alBottom);      // a subrange of TAlign
//
// They serve as property types and, within 0..255, as set elements
// (TSet<TLetter>), whose set texts write the elements as decimal numbers.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <limits>
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

// The ordinal as a type of that size and signedness stores it.
constexpr int64_t NarrowOrdinal(TOrdType type, int64_t value) noexcept {
    switch (type) {
    case otSByte: return static_cast<int8_t>(value);
    case otUByte: return static_cast<uint8_t>(value);
    case otSWord: return static_cast<int16_t>(value);
    case otUWord: return static_cast<uint16_t>(value);
    case otSLong: return static_cast<int32_t>(value);
    case otULong: return static_cast<uint32_t>(value);
    }
    return value;
}
enum class TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
using enum TFloatType;
enum class TMethodKind { mkProcedure, mkFunction };
using enum TMethodKind;
// How a method parameter is passed: var for a non-const reference, const for
// a const reference, nothing for a value.
enum class TParamFlag { pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut };
using enum TParamFlag;
using TParamFlags = TSet<TParamFlag>;
enum class TIntfFlag { ifHasGuid, ifDispInterface, ifDispatch };
using enum TIntfFlag;
using TIntfFlags = TSet<TIntfFlag>;

struct TMethodParam {
    TParamFlags Flags;
    // Empty unless the event type names its parameters (NamedMethodType).
    String Name;
    String TypeName;
};

RTL_DECLARE_EXCEPTION(EPropertyError, Exception);
RTL_DECLARE_EXCEPTION(EPropertyConvertError, Exception);

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    String Name;
    // Ordinal kinds and Int64.
    TOrdType OrdType = otSLong;
    int64_t MinValue = 0;
    int64_t MaxValue = 0;
    // Enumerations: the names of MinValue..MaxValue, and for a subrange the
    // enumeration it narrows (null for an enumeration of its own).
    std::vector<String> Names;
    const TTypeInfo* BaseType = nullptr;
    String UnitName;
    // Sets: the element type.
    const TTypeInfo* CompType = nullptr;
    TFloatType FloatType = ftDouble;
    // Short strings.
    int MaxLength = 0;
    // Classes.
    TClass ClassType = nullptr;
    // Methods (events).
    TMethodKind MethodKind = mkProcedure;
    std::vector<TMethodParam> Params;
    String ResultType;
    // Interfaces: the parent (null for IInterface itself).
    TGUID Guid;
    const TTypeInfo* IntfParent = nullptr;
    TIntfFlags IntfFlags;
    // Dynamic arrays: the element's size and description (null when it has
    // none), whether elements need clean-up, and the element's variant type (-1: none).
    int ElementSize = 0;
    const TTypeInfo* ElementType = nullptr;
    bool ElementsNeedCleanup = false;
    int VarType = -1;
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

// A short string (string[MaxLength]) of that name.
const TTypeInfo* ShortStringTypeInfo(const String& name, int maxLength);

// The value's name for enumerations, its decimal text for integer and
// character kinds, and empty for a value outside an enumeration's range.
String GetEnumName(const TTypeInfo* type, int64_t value);
// The value of a name, ignoring case; -1 when unknown. Integer and character
// kinds take decimal text.
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
TTypeInfo MakeEnumType(const char* name, const char* names, size_t count, bool anonymous);
TTypeInfo MakeEnumSubrange(const char* name, const TTypeInfo* base, int64_t min, int64_t max);
TTypeInfo MakeOrdinalSubrange(const char* name, TTypeKind kind, int64_t min, int64_t max);
TTypeInfo MakeSetType(const TTypeInfo* element);
TTypeInfo MakeInterfaceType(const std::type_info& type, const TGUID& guid, const TTypeInfo* parent);
TTypeInfo MakeMethodType();
TTypeInfo MakeDynArrayType(const TTypeInfo* element, const String& elementName, int elementSize, bool needsCleanup);
const TTypeInfo* ClassTypeInfo(TClass cls);
// Keeps a description made at run time for the rest of the program.
const TTypeInfo* KeepType(TTypeInfo type);
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
struct IsFunction<std::function<F>> : std::true_type {
    using Signature = F;
};
template <class T>
struct IsIntfPtr : std::false_type {};
template <class I>
struct IsIntfPtr<TIntfPtr<I>> : std::true_type {};

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

template <class T>
constexpr bool IsObjectPointer = std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>;

template <class B>
constexpr TTypeKind SubrangeKind() {
    if constexpr (std::is_enum_v<B>) return tkEnumeration;
    else if constexpr (std::is_same_v<B, char>) return tkChar;
    else if constexpr (std::is_same_v<B, char16_t>) return tkWChar;
    else return tkInteger;
}

// Whether the bounds are in order and the subrange type can hold them.
template <class T, class B>
constexpr bool SubrangeFits(B low, B high) {
    using U = std::underlying_type_t<T>;
    constexpr int64_t lowest = std::is_same_v<U, char> ? 0 : static_cast<int64_t>(std::numeric_limits<U>::min());
    constexpr int64_t highest = std::is_same_v<U, char> ? 255 : static_cast<int64_t>(std::numeric_limits<U>::max());
    const int64_t lo = OrdinalNumber(low), hi = OrdinalNumber(high);
    return lo <= hi && lo >= lowest && hi <= highest;
}

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

#define RTL_ENUM_DESCRIPTION(Enum, anonymous, ...)                                                     \
    constexpr TTypeKind RtlTypeKind(Enum*) { return tkEnumeration; }                                      \
    inline const TTypeInfo* RtlTypeInfo(Enum*) {                                                          \
        static constexpr Enum values[] = {__VA_ARGS__};                                                   \
        static_assert(::rtl_detail::ListsValuesInOrder(values), "names of " #Enum " out of order");       \
        static const TTypeInfo info =                                                                     \
            ::rtl_detail::MakeEnumType(#Enum, #__VA_ARGS__, std::size(values), anonymous);                \
        return &info;                                                                                     \
    }                                                                                                     \
    static_assert(true)
#define RTL_ENUM(Enum, ...) RTL_ENUM_DESCRIPTION(Enum, false, __VA_ARGS__)
#define RTL_ANONYMOUS_ENUM(Enum, ...) RTL_ENUM_DESCRIPTION(Enum, true, __VA_ARGS__)

#define RTL_SUBRANGE(Type, Low, High)                                                                     \
    static_assert(std::is_enum_v<Type>, #Type " must be an enumeration without enumerators");           \
    static_assert(::rtl_detail::SubrangeFits<Type>(Low, High), "bounds out of order or beyond " #Type);   \
    constexpr TTypeKind RtlTypeKind(Type*) { return ::rtl_detail::SubrangeKind<decltype(Low)>(); }        \
    inline const TTypeInfo* RtlTypeInfo(Type*) {                                                          \
        static const TTypeInfo info = ::rtl_detail::MakeSubrange(#Type, Low, High);                       \
        return &info;                                                                                     \
    }                                                                                                     \
    static_assert(true)

RTL_ENUM(TTypeKind, tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
         tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray, tkUString,
         tkClassRef, tkPointer, tkProcedure);
RTL_ENUM(TOrdType, otSByte, otUByte, otSWord, otUWord, otSLong, otULong);
RTL_ENUM(TFloatType, ftSingle, ftDouble, ftExtended, ftComp, ftCurr);
RTL_ENUM(TMethodKind, mkProcedure, mkFunction);
RTL_ENUM(TParamFlag, pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut);
RTL_ENUM(TIntfFlag, ifHasGuid, ifDispInterface, ifDispatch);

// The kind a C++ type has as a property type.
template <class T>
constexpr TTypeKind KindOf() {
    using namespace rtl_detail;
    if constexpr (std::is_same_v<T, bool>) return tkEnumeration;
    else if constexpr (std::is_enum_v<T>) return RtlTypeKind(static_cast<T*>(nullptr));
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
    else if constexpr (IsVector<T>::value) return tkDynArray;
    else return tkUnknown;
}

namespace rtl_detail {
// Whether T has a description (enumerations only with their registration).
template <class T>
constexpr bool HasTypeInfo() {
    if constexpr (std::is_enum_v<T>) return requires { RtlTypeInfo(static_cast<T*>(nullptr)); };
    else return KindOf<T>() != tkUnknown;
}
template <class T>
String TypeNameOf();
template <class F>
struct MethodOf;
template <class R, class... A>
struct MethodOf<R(A...)> {
    template <class P>
    static TParamFlags Flags() {
        if constexpr (std::is_lvalue_reference_v<P> && std::is_const_v<std::remove_reference_t<P>>) return {pfConst};
        else if constexpr (std::is_lvalue_reference_v<P>) return {pfVar};
        else return {};
    }
    static TTypeInfo Make() {
        TTypeInfo t = MakeMethodType();
        (t.Params.push_back({Flags<A>(), String(), TypeNameOf<std::remove_cvref_t<A>>()}), ...);
        if constexpr (!std::is_void_v<R>) {
            t.MethodKind = mkFunction;
            t.ResultType = TypeNameOf<std::remove_cvref_t<R>>();
        }
        return t;
    }
};
} // namespace rtl_detail

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
    else if constexpr (IsFunction<T>::value) {
        static const TTypeInfo info = MethodOf<typename IsFunction<T>::Signature>::Make();
        return &info;
    } else if constexpr (IsIntfPtr<T>::value) {
        using I = std::remove_pointer_t<decltype(T().get())>;
        static const TTypeInfo info = MakeInterfaceType(typeid(I), I::IID, [] {
            if constexpr (requires { typename I::Inherited; }) return TypeInfo<TIntfPtr<typename I::Inherited>>();
            else if constexpr (!std::is_same_v<I, IInterface>) return TypeInfo<TIntfPtr<IInterface>>();
            else return static_cast<const TTypeInfo*>(nullptr);
        }());
        return &info;
    } else if constexpr (IsVector<T>::value) {
        using E = typename T::value_type;
        static const TTypeInfo info = [] {
            if constexpr (HasTypeInfo<E>()) return MakeDynArrayType(TypeInfo<E>(), TypeInfo<E>()->Name, sizeof(E), !std::is_trivially_destructible_v<E>);
            else return MakeDynArrayType(nullptr, ShortTypeName(typeid(E)), sizeof(E), !std::is_trivially_destructible_v<E>);
        }();
        return &info;
    } else static_assert(KindOf<T>() != tkUnknown, "no type information for this type");
}

namespace rtl_detail {
template <class T>
String TypeNameOf() {
    if constexpr (HasTypeInfo<T>()) return TypeInfo<T>()->Name;
    else return ShortTypeName(typeid(T));
}

template <class B>
TTypeInfo MakeSubrange(const char* name, B low, B high) {
    if constexpr (std::is_enum_v<B>)
        return MakeEnumSubrange(name, TypeInfo<B>(), OrdinalNumber(low), OrdinalNumber(high));
    else
        return MakeOrdinalSubrange(name, SubrangeKind<B>(), OrdinalNumber(low), OrdinalNumber(high));
}
} // namespace rtl_detail

// An event type's description under its own name, with the names of its
// parameters; declare it once next to the event type and give it to the
// property with OfType:
//   using TProgressEvent = std::function<void(TObject* sender, int percent)>;
//   inline const TTypeInfo* ProgressEventType() {
//       static const TTypeInfo* type = NamedMethodType<TProgressEvent>("TProgressEvent", {"Sender", "Percent"});
//       return type;
//   }
template <class Event>
const TTypeInfo* NamedMethodType(const String& name, std::initializer_list<const char*> paramNames) {
    TTypeInfo type = *TypeInfo<Event>();
    RTL_ASSERT(paramNames.size() == type.Params.size(), "Parameter names do not match the event");
    type.Name = name;
    auto param = type.Params.begin();
    for (const char* paramName : paramNames) (param++)->Name = String(paramName);
    return rtl_detail::KeepType(std::move(type));
}

template <class E>
String EnumName(E value) {
    return GetEnumName(TypeInfo<E>(), static_cast<int64_t>(value));
}
