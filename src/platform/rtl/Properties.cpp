#include "platform/rtl/Properties.h"

namespace rtl_detail {
struct TPropValues {
    template <class Carrier>
    static Carrier Get(TObject* obj, const TPropInfo& prop, TTypeKinds kinds) {
        CheckKind(prop, kinds);
        if (!prop.HasReader()) throw EPropertyError("Property is write-only");
        Carrier value{};
        prop.access_->Get(*obj, prop.index_, &value);
        return value;
    }

    template <class Carrier>
    static void Set(TObject* obj, const TPropInfo& prop, TTypeKinds kinds, const Carrier& value) {
        CheckKind(prop, kinds);
        if (!prop.HasWriter()) throw EPropertyError("Property is read-only");
        prop.access_->Set(*obj, prop.index_, &value);
    }

    static void CheckKind(const TPropInfo& prop, TTypeKinds kinds) {
        if (!kinds.Contains(prop.Kind())) throw EPropertyError("Invalid property type: " + prop.PropType()->Name);
    }
};
} // namespace rtl_detail

using rtl_detail::TPropValues;

namespace {
constexpr TTypeKinds kOrdinals{tkInteger, tkChar, tkWChar, tkEnumeration};
constexpr TTypeKinds kIntegers{tkInteger, tkChar, tkWChar, tkEnumeration, tkInt64};

TSetBits SetOfNumber(int64_t number) {
    TSetBits bits;
    bits.Words[0] = static_cast<uint64_t>(number);
    return bits;
}

void CheckRange(const TPropInfo& prop, int64_t value) {
    const TTypeInfo* type = prop.PropType();
    if (value < type->MinValue || value > type->MaxValue) throw ERangeError("Range check error");
}
} // namespace

const TPropInfo& TPropRef::Resolve(const TObject& obj) const {
    if (prop_) return *prop_;
    if (const TPropInfo* prop = obj.ClassType()->FindProperty(name_)) return *prop;
    throw EPropertyError("Property " + name_ + " does not exist");
}

const TPropInfo* GetPropInfo(TClass cls, const String& name) { return cls->FindProperty(name); }

const TPropInfo* GetPropInfo(const TObject* obj, const String& name) { return GetPropInfo(obj->ClassType(), name); }

TPropList GetPropList(TClass cls, TTypeKinds kinds) {
    TPropList list;
    for (const TPropInfo* prop : cls->Properties())
        if (kinds.Contains(prop->Kind())) list.push_back(prop);
    return list;
}

TPropList GetPropList(const TObject* obj, TTypeKinds kinds) { return GetPropList(obj->ClassType(), kinds); }

bool IsPublishedProp(const TObject* obj, const String& name) { return GetPropInfo(obj, name) != nullptr; }

bool IsStoredProp(TObject* obj, TPropRef prop) { return prop.Resolve(*obj).IsStored(*obj); }

int64_t GetOrdProp(TObject* obj, TPropRef prop) { return TPropValues::Get<int64_t>(obj, prop.Resolve(*obj), kOrdinals); }

void SetOrdProp(TObject* obj, TPropRef prop, int64_t value) {
    const TPropInfo& p = prop.Resolve(*obj);
    TPropValues::CheckKind(p, kOrdinals);
    CheckRange(p, value);
    TPropValues::Set(obj, p, kOrdinals, value);
}

bool IsDefaultOrdValue(TObject* obj, TPropRef prop) {
    const TPropInfo& p = prop.Resolve(*obj);
    if (!p.HasDefault()) return false;
    if (p.Kind() == tkSet) {
        TSetBits mask;
        mask.Words[0] = static_cast<uint32_t>(p.Default());
        return GetSetBits(obj, &p) == mask;
    }
    return GetOrdProp(obj, &p) == p.Default();
}

String GetEnumProp(TObject* obj, TPropRef prop) {
    const TPropInfo& p = prop.Resolve(*obj);
    return GetEnumName(p.PropType(), TPropValues::Get<int64_t>(obj, p, {tkEnumeration}));
}

void SetEnumProp(TObject* obj, TPropRef prop, const String& name) {
    const TPropInfo& p = prop.Resolve(*obj);
    TPropValues::CheckKind(p, {tkEnumeration});
    const int64_t value = GetEnumValue(p.PropType(), name);
    if (value < 0) throw EPropertyConvertError("Invalid property element: " + name);
    TPropValues::Set(obj, p, {tkEnumeration}, value);
}

TSetBits GetSetBits(TObject* obj, TPropRef prop) { return TPropValues::Get<TSetBits>(obj, prop.Resolve(*obj), {tkSet}); }

void SetSetBits(TObject* obj, TPropRef prop, const TSetBits& value) {
    const TPropInfo& p = prop.Resolve(*obj);
    TPropValues::CheckKind(p, {tkSet});
    const TTypeInfo* element = p.PropType()->CompType;
    for (int v = 0; v < TSetBits::Capacity; ++v)
        if (value.Contains(v) && (v < element->MinValue || v > element->MaxValue)) throw ERangeError("Range check error");
    TPropValues::Set(obj, p, {tkSet}, value);
}

String GetSetProp(TObject* obj, TPropRef prop, bool brackets) {
    const TPropInfo& p = prop.Resolve(*obj);
    return SetToString(p.PropType(), GetSetBits(obj, &p), brackets);
}

void SetSetProp(TObject* obj, TPropRef prop, const String& text) {
    const TPropInfo& p = prop.Resolve(*obj);
    TPropValues::CheckKind(p, {tkSet});
    SetSetBits(obj, &p, StringToSet(p.PropType(), text));
}

double GetFloatProp(TObject* obj, TPropRef prop) { return TPropValues::Get<double>(obj, prop.Resolve(*obj), {tkFloat}); }

void SetFloatProp(TObject* obj, TPropRef prop, double value) {
    TPropValues::Set(obj, prop.Resolve(*obj), {tkFloat}, value);
}

String GetStrProp(TObject* obj, TPropRef prop) {
    const TPropInfo& p = prop.Resolve(*obj);
    if (p.Kind() == tkLString) return String::FromUtf8(GetAnsiStrProp(obj, &p));
    return TPropValues::Get<String>(obj, p, tkStrings);
}

void SetStrProp(TObject* obj, TPropRef prop, const String& value) {
    const TPropInfo& p = prop.Resolve(*obj);
    if (p.Kind() == tkLString) return SetAnsiStrProp(obj, &p, value.ToUtf8());
    TPropValues::Set(obj, p, tkStrings, value);
}

std::string GetAnsiStrProp(TObject* obj, TPropRef prop) {
    return TPropValues::Get<std::string>(obj, prop.Resolve(*obj), {tkLString});
}

void SetAnsiStrProp(TObject* obj, TPropRef prop, const std::string& value) {
    TPropValues::Set(obj, prop.Resolve(*obj), {tkLString}, value);
}

int64_t GetInt64Prop(TObject* obj, TPropRef prop) { return TPropValues::Get<int64_t>(obj, prop.Resolve(*obj), kIntegers); }

void SetInt64Prop(TObject* obj, TPropRef prop, int64_t value) {
    const TPropInfo& p = prop.Resolve(*obj);
    TPropValues::CheckKind(p, kIntegers);
    CheckRange(p, value);
    TPropValues::Set(obj, p, kIntegers, value);
}

TObject* GetObjectProp(TObject* obj, TPropRef prop) { return TPropValues::Get<TObject*>(obj, prop.Resolve(*obj), {tkClass}); }

void SetObjectProp(TObject* obj, TPropRef prop, TObject* value) {
    TPropValues::Set(obj, prop.Resolve(*obj), {tkClass}, value);
}

std::any GetMethodProp(TObject* obj, TPropRef prop) { return TPropValues::Get<std::any>(obj, prop.Resolve(*obj), {tkMethod}); }

void SetMethodProp(TObject* obj, TPropRef prop, const std::any& value) {
    TPropValues::Set(obj, prop.Resolve(*obj), {tkMethod}, value);
}

TIntfPtr<IInterface> GetInterfaceProp(TObject* obj, TPropRef prop) {
    return TPropValues::Get<TIntfPtr<IInterface>>(obj, prop.Resolve(*obj), {tkInterface});
}

void SetInterfaceProp(TObject* obj, TPropRef prop, const TIntfPtr<IInterface>& value) {
    TPropValues::Set(obj, prop.Resolve(*obj), {tkInterface}, value);
}

Variant GetVariantProp(TObject* obj, TPropRef prop) { return TPropValues::Get<Variant>(obj, prop.Resolve(*obj), {tkVariant}); }

void SetVariantProp(TObject* obj, TPropRef prop, const Variant& value) {
    TPropValues::Set(obj, prop.Resolve(*obj), {tkVariant}, value);
}

Variant GetPropValue(TObject* obj, TPropRef prop, bool preferStrings) {
    const TPropInfo& p = prop.Resolve(*obj);
    switch (p.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
        return Variant(GetOrdProp(obj, &p));
    case tkEnumeration:
        if (IsBooleanType(p.PropType())) return Variant(GetOrdProp(obj, &p) != 0);
        return preferStrings ? Variant(GetEnumProp(obj, &p)) : Variant(GetOrdProp(obj, &p));
    case tkSet:
        if (preferStrings || p.PropType()->CompType->MaxValue >= 64) return Variant(GetSetProp(obj, &p));
        return Variant(static_cast<int64_t>(GetSetBits(obj, &p).Words[0]));
    case tkFloat:
        if (IsDateTimeType(p.PropType())) return VarFromDateTime(GetFloatProp(obj, &p));
        return Variant(GetFloatProp(obj, &p));
    case tkUString:
    case tkLString:
        return Variant(GetStrProp(obj, &p));
    case tkInt64:
        return Variant(GetInt64Prop(obj, &p));
    case tkVariant:
        return GetVariantProp(obj, &p);
    default:
        TPropValues::CheckKind(p, {});
        return Variant();
    }
}

void SetPropValue(TObject* obj, TPropRef prop, const Variant& value) {
    const TPropInfo& p = prop.Resolve(*obj);
    const bool text = value.VarType() == varUString || value.VarType() == varOleStr;
    switch (p.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
        return SetOrdProp(obj, &p, value.AsInt64());
    case tkEnumeration:
        if (IsBooleanType(p.PropType())) return SetOrdProp(obj, &p, value.AsBoolean() ? 1 : 0);
        if (text) return SetEnumProp(obj, &p, value.AsString());
        return SetOrdProp(obj, &p, value.AsInt64());
    case tkSet:
        if (text) return SetSetProp(obj, &p, value.AsString());
        return SetSetBits(obj, &p, SetOfNumber(value.AsInt64()));
    case tkFloat:
        return SetFloatProp(obj, &p, IsDateTimeType(p.PropType()) ? value.AsDateTime() : value.AsDouble());
    case tkUString:
    case tkLString:
        return SetStrProp(obj, &p, value.AsString());
    case tkInt64:
        return SetInt64Prop(obj, &p, value.AsInt64());
    case tkVariant:
        return SetVariantProp(obj, &p, value);
    default:
        TPropValues::CheckKind(p, {});
    }
}
