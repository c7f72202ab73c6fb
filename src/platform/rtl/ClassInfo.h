#pragma once
// Class descriptions: name, parent, published properties, creation by name.
// ObjectModel.md in this folder is the guide, with a complete example.
//
// A class declares RTL_CLASS in its body (TObject.h) and lists its published
// properties in its .cpp file, in declaration order, each with a getter and an
// optional setter (member functions or a field):
//
//   RTL_PUBLISHED(TFoo, c) {
//       c.Property("Width", &TFoo::Width, &TFoo::SetWidth).Default(0);
//       c.Property("Caption", &TFoo::Caption, &TFoo::SetCaption);
//       c.Property("Created", &TFoo::Created, &TFoo::SetCreated).AsDateTime();
//       c.Property("Options", &TFoo::Options, &TFoo::SetOptions).Default(TFooOptions{foAuto});
//       c.Property("Hint", &TFoo::Hint, &TFoo::SetHint).Stored(&TFoo::IsHintStored);
//   }
//
// The kind comes from the C++ type: integers, int64_t, bool and enumerations
// (RTL_ENUM), char and char16_t, float and double, String and std::string,
// TSet<E>, pointers to TObject classes, std::function events, TIntfPtr
// interfaces and Variant. Ordinal properties have no default unless one is declared.
// Getters and setters taking an int first serve several properties, told
// apart by .Index(n). Declaring a property of the parent again replaces it in
// its place (to give it another default, say).

#include <any>
#include <bit>
#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <span>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/TObject.h"
#include "platform/rtl/TypeInfo.h"

class TComponent;
class TCollection;
class TCollectionItem;

// The no-default and no-index marker.
inline constexpr int32_t NoDefault = std::numeric_limits<int32_t>::min();

// How a property is read or written (a field at an offset in the object, or
// a member function), and whether its stored flag is a constant or a function.
enum class TPropAccessKind { pakNone, pakField, pakMethod, pakConstant };
using enum TPropAccessKind;
struct TPropAccessor {
    TPropAccessKind Kind = pakNone;
    // A field's offset from the start of the object.
    size_t Offset = 0;
};

RTL_DECLARE_EXCEPTION(EClassNotFound, EFilerError);

namespace rtl_detail {
class TPropAccess {
public:
    virtual ~TPropAccess() = default;
    // Value types by kind: int64_t for ordinals and Int64, double, String,
    // std::string (8-bit text), TSetBits, TObject*, std::any (events), TIntfPtr<IInterface>, Variant.
    virtual void Get(TObject& obj, int32_t index, void* out) const = 0;
    virtual void Set(TObject& obj, int32_t index, const void* in) const = 0;
};
struct TPropValues;
} // namespace rtl_detail

class TPropInfo {
public:
    const String& Name() const noexcept { return name_; }
    TTypeKind Kind() const noexcept { return kind_; }
    const TTypeInfo* PropType() const { return fixedType_ ? fixedType_ : typeOf_(); }
    int32_t Index() const noexcept { return index_; }
    bool HasIndex() const noexcept { return index_ != NoDefault; }
    // Ordinal default: the value, or for sets the mask of elements 0..31.
    int32_t Default() const noexcept { return default_; }
    bool HasDefault() const noexcept { return default_ != NoDefault; }
    // Position in the class's property list.
    int NameIndex() const noexcept { return nameIndex_; }
    bool HasReader() const noexcept { return reader_.Kind != pakNone; }
    bool HasWriter() const noexcept { return writer_.Kind != pakNone; }
    const TPropAccessor& Reader() const noexcept { return reader_; }
    const TPropAccessor& Writer() const noexcept { return writer_; }
    // Whether the stored flag is a constant rather than a function of the instance.
    bool IsStoredConstant() const noexcept { return !storedBy_; }
    TPropAccessKind StoredKind() const noexcept { return storedBy_ ? pakMethod : pakConstant; }
    // The constant stored flag.
    bool StoredConstantValue() const noexcept { return stored_; }
    bool IsStored(TObject& obj) const { return storedBy_ ? storedBy_(obj) : stored_; }

private:
    template <class C, class V>
    friend class TPropertyBuilder;
    template <class C>
    friend class TClassBuilder;
    friend class TClassInfo;
    friend struct rtl_detail::TPropValues;

    String name_;
    TTypeKind kind_ = tkUnknown;
    const TTypeInfo* (*typeOf_)() = nullptr;
    const TTypeInfo* fixedType_ = nullptr;
    int32_t index_ = NoDefault;
    int32_t default_ = NoDefault;
    int nameIndex_ = 0;
    TPropAccessor reader_;
    TPropAccessor writer_;
    bool indexed_ = false;
    bool stored_ = true;
    std::function<bool(TObject&)> storedBy_;
    std::unique_ptr<const rtl_detail::TPropAccess> access_;
};

using TPropList = std::vector<const TPropInfo*>;

class TClassInfo {
public:
    template <class C>
    TClassInfo(std::type_identity<C>, const char* name);
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const String& ClassName() const noexcept { return name_; }
    TClass ClassParent() const noexcept { return parent_; }
    const String& UnitName() const noexcept { return unitName_; }
    // The class as a property type (kind tkClass).
    const TTypeInfo* Type() const noexcept { return &type_; }
    const std::type_info& TypeId() const noexcept { return *typeId_; }
    bool InheritsFrom(TClass cls) const noexcept;

    // Published properties in declaration order, the parent's first.
    std::span<const TPropInfo* const> Properties() const noexcept { return all_; }
    // The properties this class declares itself (new ones and redeclared ones), in order.
    int OwnPropertyCount() const noexcept { return static_cast<int>(own_.size()); }
    const TPropInfo& OwnProperty(int index) const { return own_.at(static_cast<size_t>(index)); }
    // The interfaces this class adds to its parent's (TImplements), as interface types.
    std::span<const TTypeInfo* const> Interfaces() const noexcept { return interfaces_; }
    // Ignores case; null when there is none.
    const TPropInfo* FindProperty(const String& name) const;

    // Creation by class. Each raises EInvalidOperation when the class has no
    // public constructor of that shape. An owner or collection owns the result.
    std::unique_ptr<TObject> Create() const;
    TComponent* CreateComponent(TComponent* owner) const;
    TCollectionItem* CreateItem(TCollection* collection) const;

private:
    template <class C>
    friend class TClassBuilder;

    TClassInfo(const char* name, const std::type_info& typeId, TClass parent);
    void Finish();
    [[noreturn]] void CannotCreate() const;

    String name_;
    String unitName_;
    TClass parent_;
    const std::type_info* typeId_;
    TTypeInfo type_;
    std::deque<TPropInfo> own_;
    TPropList all_;
    std::vector<const TTypeInfo*> interfaces_;
    TObject* (*newObject_)() = nullptr;
    TComponent* (*newComponent_)(TComponent*) = nullptr;
    TCollectionItem* (*newItem_)(TCollection*) = nullptr;
};

// Class registry for creation by name.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// Null when no class of that name (ignoring case) is registered.
TClass GetClass(const String& name);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(const String& name);

namespace rtl_detail {

template <class F>
struct MemberFunction;
#define RTL_MEMBER_FUNCTION(Qualifiers)                      \
    template <class R, class K, class... A>                  \
    struct MemberFunction<R (K::*)(A...) Qualifiers> {       \
        using Last = std::tuple_element_t<sizeof...(A) - 1, std::tuple<A...>>; \
    }
RTL_MEMBER_FUNCTION();
RTL_MEMBER_FUNCTION(const);
RTL_MEMBER_FUNCTION(noexcept);
RTL_MEMBER_FUNCTION(const noexcept);
#undef RTL_MEMBER_FUNCTION

template <class M>
struct FieldType;
template <class M, class K>
struct FieldType<M K::*> {
    using type = M;
};

// The property's value type, from the getter or else from the setter.
template <class C, class G, class S>
auto ValueOf() {
    if constexpr (!std::is_null_pointer_v<G>) {
        if constexpr (std::is_member_object_pointer_v<G>)
            return std::type_identity<std::remove_cv_t<typename FieldType<G>::type>>();
        else if constexpr (std::is_invocable_v<G, C&, int32_t>)
            return std::type_identity<std::remove_cvref_t<std::invoke_result_t<G, C&, int32_t>>>();
        else
            return std::type_identity<std::remove_cvref_t<std::invoke_result_t<G, C&>>>();
    } else if constexpr (std::is_member_object_pointer_v<S>)
        return std::type_identity<std::remove_cv_t<typename FieldType<S>::type>>();
    else
        return std::type_identity<std::remove_cvref_t<typename MemberFunction<S>::Last>>();
}

template <class V>
auto CarrierOf() {
    constexpr TTypeKind kind = KindOf<V>();
    if constexpr (kind == tkFloat) return double{};
    else if constexpr (kind == tkUString) return String{};
    else if constexpr (kind == tkLString) return std::string{};
    else if constexpr (kind == tkSet) return TSetBits{};
    else if constexpr (kind == tkClass) return static_cast<TObject*>(nullptr);
    else if constexpr (kind == tkMethod) return std::any{};
    else if constexpr (kind == tkInterface) return TIntfPtr<IInterface>{};
    else if constexpr (kind == tkVariant) return Variant{};
    else return int64_t{};
}
template <class V>
using Carrier = decltype(CarrierOf<V>());

// An ordinal's number: char counts 0..255 like its type's range.
template <class V>
int64_t OrdinalOf(V v) {
    return OrdinalNumber(v);
}

template <class C, class M>
TPropAccessor AccessorOf(M member) {
    if constexpr (std::is_null_pointer_v<M>) return {};
    else if constexpr (std::is_member_object_pointer_v<M>) {
        // As a member of C, so that a field of a base class counts from C's start.
        const typename FieldType<M>::type C::* field = member;
        static_assert(sizeof(field) == sizeof(std::ptrdiff_t), "a field pointer is an offset");
        return {pakField, static_cast<size_t>(std::bit_cast<std::ptrdiff_t>(field))};
    } else return {pakMethod, 0};
}

template <class... I>
void AddInterfaces(std::vector<const TTypeInfo*>& out, TTypeList<I...>) {
    (out.push_back(TypeInfo<TIntfPtr<I>>()), ...);
}

// The interfaces T implements through TImplements that Parent does not.
template <class T, class Parent>
void CollectOwnInterfaces(std::vector<const TTypeInfo*>& out) {
    if constexpr (requires { typename T::RtlImplementation; }) {
        using Impl = typename T::RtlImplementation;
        if constexpr (!std::is_base_of_v<Impl, Parent>) {
            CollectOwnInterfaces<typename Impl::RtlImplementedBase, Parent>(out);
            AddInterfaces(out, typename Impl::RtlImplementedInterfaces());
        }
    }
}

template <class V>
Carrier<V> ToCarrier(const V& v) {
    if constexpr (IsTSet<V>::value) return v.Bits();
    else if constexpr (IsFunction<V>::value) return v ? std::any(v) : std::any();
    else if constexpr (std::is_same_v<Carrier<V>, int64_t>) return OrdinalOf(v);
    else return v;
}

[[noreturn]] void InvalidPropertyValue();

template <class V>
V FromCarrier(const Carrier<V>& c) {
    if constexpr (IsTSet<V>::value) return V::FromBits(c);
    else if constexpr (std::is_same_v<V, bool>) return c != 0;
    else if constexpr (IsObjectPointer<V>) {
        if (!c) return nullptr;
        if (auto* p = dynamic_cast<V>(c)) return p;
        InvalidPropertyValue();
    } else if constexpr (IsFunction<V>::value) {
        if (!c.has_value()) return V();
        if (const V* f = std::any_cast<V>(&c)) return *f;
        InvalidPropertyValue();
    } else if constexpr (IsIntfPtr<V>::value) {
        if (!c) return V();
        return IntfCast<std::remove_pointer_t<decltype(V().get())>>(c);
    } else return static_cast<V>(c);
}

template <class C, class V, class G, class S>
class TPropAccessOf final : public TPropAccess {
public:
    TPropAccessOf(G getter, S setter) : getter_(getter), setter_(setter) {}

    void Get(TObject& obj, int32_t index, void* out) const override {
        if constexpr (!std::is_null_pointer_v<G>) {
            C& self = static_cast<C&>(obj);
            auto& value = *static_cast<Carrier<V>*>(out);
            if constexpr (std::is_member_object_pointer_v<G>) value = ToCarrier<V>(self.*getter_);
            else if constexpr (std::is_invocable_v<G, C&, int32_t>) value = ToCarrier<V>(std::invoke(getter_, self, index));
            else value = ToCarrier<V>(std::invoke(getter_, self));
        }
    }

    void Set(TObject& obj, int32_t index, const void* in) const override {
        if constexpr (!std::is_null_pointer_v<S>) {
            C& self = static_cast<C&>(obj);
            V value = FromCarrier<V>(*static_cast<const Carrier<V>*>(in));
            if constexpr (std::is_member_object_pointer_v<S>) self.*setter_ = std::move(value);
            else if constexpr (std::is_invocable_v<S, C&, int32_t, V>) std::invoke(setter_, self, index, std::move(value));
            else std::invoke(setter_, self, std::move(value));
        }
    }

private:
    G getter_;
    S setter_;
};

template <class V>
constexpr bool IsOrdinalValue = KindOf<V>() == tkInteger || KindOf<V>() == tkChar || KindOf<V>() == tkWChar ||
                                KindOf<V>() == tkEnumeration || KindOf<V>() == tkSet;

int32_t SetDefaultMask(const TSetBits& bits);
} // namespace rtl_detail

template <class C, class V>
class TPropertyBuilder {
public:
    explicit TPropertyBuilder(TPropInfo& prop) : prop_(prop) {}

    TPropertyBuilder& Default(const V& value)
        requires rtl_detail::IsOrdinalValue<V>
    {
        if constexpr (KindOf<V>() == tkSet)
            prop_.default_ = rtl_detail::SetDefaultMask(value.Bits());
        else {
            const int64_t ordinal = rtl_detail::OrdinalOf(value);
            RTL_ASSERT(ordinal > ::NoDefault && ordinal <= INT32_MAX, "Default out of range");
            prop_.default_ = static_cast<int32_t>(ordinal);
        }
        return *this;
    }
    TPropertyBuilder& NoDefault() {
        prop_.default_ = ::NoDefault;
        return *this;
    }
    TPropertyBuilder& Stored(bool stored) {
        prop_.stored_ = stored;
        prop_.storedBy_ = nullptr;
        return *this;
    }
    TPropertyBuilder& Stored(bool (C::*isStored)() const) {
        prop_.storedBy_ = [isStored](TObject& obj) { return (static_cast<C&>(obj).*isStored)(); };
        return *this;
    }
    TPropertyBuilder& Index(int32_t index) {
        prop_.index_ = index;
        return *this;
    }
    TPropertyBuilder& AsDateTime()
        requires std::is_same_v<V, double>
    {
        prop_.fixedType_ = DateTimeTypeInfo();
        return *this;
    }
    TPropertyBuilder& AsDate()
        requires std::is_same_v<V, double>
    {
        prop_.fixedType_ = DateTypeInfo();
        return *this;
    }
    TPropertyBuilder& AsTime()
        requires std::is_same_v<V, double>
    {
        prop_.fixedType_ = TimeTypeInfo();
        return *this;
    }
    // A named type of the same kind (NamedTypeInfo), such as TColor for an int32_t.
    TPropertyBuilder& OfType(const TTypeInfo* type) {
        RTL_ASSERT(type->Kind == prop_.kind_, "Property type of another kind");
        prop_.fixedType_ = type;
        return *this;
    }

private:
    TPropInfo& prop_;
};

template <class C>
class TClassBuilder {
public:
    explicit TClassBuilder(TClassInfo& info) : info_(info) {}

    // Pass nullptr as the getter of a write-only property; leave out the setter of a read-only one.
    template <class G, class S = std::nullptr_t>
    auto Property(const char* name, G getter, S setter = nullptr) {
        static_assert(!std::is_null_pointer_v<G> || !std::is_null_pointer_v<S>, "a property needs a getter or a setter");
        using V = typename decltype(rtl_detail::ValueOf<C, G, S>())::type;
        static_assert(KindOf<V>() != tkUnknown, "type without type information");
        static_assert(KindOf<V>() != tkDynArray, "dynamic arrays are not published");
        TPropInfo& prop = info_.own_.emplace_back();
        prop.name_ = String(name);
        prop.kind_ = KindOf<V>();
        prop.typeOf_ = &TypeInfo<V>;
        prop.reader_ = rtl_detail::AccessorOf<C>(getter);
        prop.writer_ = rtl_detail::AccessorOf<C>(setter);
        prop.indexed_ = std::is_invocable_v<G, C&, int32_t> || std::is_invocable_v<S, C&, int32_t, V>;
        prop.access_ = std::make_unique<rtl_detail::TPropAccessOf<C, V, G, S>>(getter, setter);
        return TPropertyBuilder<C, V>(prop);
    }

    TClassBuilder& UnitName(const String& unitName) {
        info_.unitName_ = unitName;
        return *this;
    }

private:
    TClassInfo& info_;
};

template <class C>
TClassInfo::TClassInfo(std::type_identity<C>, const char* name)
    : TClassInfo(name, typeid(C), [] {
          if constexpr (std::is_same_v<C, TObject>) return TClass(nullptr);
          else {
              static_assert(std::is_base_of_v<typename C::RtlParentClass, C>, "RTL_CLASS names a class that is no base");
              return C::RtlParentClass::StaticClass();
          }
      }()) {
    TClassBuilder<C> builder(*this);
    C::DescribeClass(builder);
    if constexpr (!std::is_same_v<C, TObject>) rtl_detail::CollectOwnInterfaces<C, typename C::RtlParentClass>(interfaces_);
    if constexpr (!std::is_abstract_v<C>) {
        if constexpr (requires { new C(); }) newObject_ = []() -> TObject* { return new C(); };
        if constexpr (std::is_base_of_v<TComponent, C> && requires { new C(static_cast<TComponent*>(nullptr)); })
            newComponent_ = [](TComponent* owner) -> TComponent* { return new C(owner); };
        if constexpr (std::is_base_of_v<TCollectionItem, C> && requires { new C(static_cast<TCollection*>(nullptr)); })
            newItem_ = [](TCollection* collection) -> TCollectionItem* { return new C(collection); };
    }
    Finish();
}

#define RTL_PUBLISHED(Class, builder)                                        \
    TClass Class::StaticClass() {                                            \
        static const TClassInfo info(std::type_identity<Class>(), #Class);   \
        return &info;                                                        \
    }                                                                        \
    void Class::DescribeClass([[maybe_unused]] TClassBuilder<Class>& builder)

// For a class that publishes no properties of its own.
#define RTL_PUBLISHED_NONE(Class) \
    RTL_PUBLISHED(Class, ) {}     \
    static_assert(true)
