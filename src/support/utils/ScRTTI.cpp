#include "support/utils/ScRTTI.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/StringList.h"
#include "support/utils/SupportUnit.h"

namespace {

inline constexpr TResStringRec SRTTIName{0xF822, u"Name: "};
inline constexpr TResStringRec SRTTITypeKind{0xF823, u"Type kind: "};
inline constexpr TResStringRec SRTTITypeInfoAt{0xF824, u"Type info: %p"};
inline constexpr TResStringRec SRTTIOrdinalType{0xF825, u"Ordinal type: "};
inline constexpr TResStringRec SRTTIMinValue{0xF826, u"Min value: "};
inline constexpr TResStringRec SRTTIMaxValue{0xF827, u"Max value: "};
inline constexpr TResStringRec SRTTIUnitName{0xF828, u"Unit name: "};
inline constexpr TResStringRec SRTTINames{0xF829, u"Names: "};
inline constexpr TResStringRec SRTTIBasedOn{0xF82A, u"Based on: "};
inline constexpr TResStringRec SRTTIFloatType{0xF82B, u"Float type: "};
inline constexpr TResStringRec SRTTIMaxLen{0xF82C, u"Max length: "};
inline constexpr TResStringRec SRTTIClassName{0xF82D, u"Class name: "};
inline constexpr TResStringRec SRTTIParent{0xF82E, u"Parent: "};
inline constexpr TResStringRec SRTTIPropCount{0xF82F, u"Property count: "};
inline constexpr TResStringRec SRTTIIndex{0xF830, u"index"};
inline constexpr TResStringRec SRTTIDefault{0xF831, u"default"};
inline constexpr TResStringRec SRTTIRead{0xF832, u"read"};
inline constexpr TResStringRec SRTTIWrite{0xF833, u"write"};
inline constexpr TResStringRec SRTTIStored{0xF834, u"stored"};
inline constexpr TResStringRec SRTTIStaticMethod{0xF835, u"static method"};
inline constexpr TResStringRec SRTTIVirtualMethod{0xF836, u"virtual method"};
inline constexpr TResStringRec SRTTIField{0xF837, u"field"};
inline constexpr TResStringRec SRTTITrue{0xF838, u"True"};
inline constexpr TResStringRec SRTTIFalse{0xF839, u"False"};
inline constexpr TResStringRec SRTTINumberFormat{0xF83A, u"[%s %d]"};
inline constexpr TResStringRec SRTTIAccessorFormat{0xF83B, u"[%s %s $%p]"};
inline constexpr TResStringRec SRTTIStoredConstantFormat{0xF83C, u"[%s=%s]"};
inline constexpr TResStringRec SRTTIStoredAccessorFormat{0xF83D, u"[%s=%s $%p]"};
inline constexpr TResStringRec SRTTIMethodKind{0xF83E, u"Method kind: "};
inline constexpr TResStringRec SRTTIParamCount{0xF83F, u"Parameter count: "};
inline constexpr TResStringRec SRTTIType{0xF840, u"Type: "};
inline constexpr TResStringRec SRTTIFlags{0xF841, u"Flags: "};
inline constexpr TResStringRec SRTTIReturnType{0xF842, u"Return type: "};
inline constexpr TResStringRec SRTTIGUID{0xF843, u"GUID: "};
inline constexpr TResStringRec SRTTIElSize{0xF844, u"Element size: "};
inline constexpr TResStringRec SRTTIElType{0xF845, u"Element type: "};
inline constexpr TResStringRec SRTTIElNeedCleanup{0xF846, u"Elements need clean up: "};
inline constexpr TResStringRec SRTTIVarType{0xF847, u"Variant type: "};
inline constexpr TResStringRec SRTTINoDeclaration{0xF848, u"// Declaration for '%s' not supported."};

constexpr const TResStringRec* kResStrings[] = {
    &SRTTIUnknownIdentifier, &SRTTIValueOutOfRange, &SRTTIName, &SRTTITypeKind, &SRTTITypeInfoAt,
    &SRTTIOrdinalType, &SRTTIMinValue, &SRTTIMaxValue, &SRTTIUnitName, &SRTTINames, &SRTTIBasedOn,
    &SRTTIFloatType, &SRTTIMaxLen, &SRTTIClassName, &SRTTIParent, &SRTTIPropCount, &SRTTIIndex,
    &SRTTIDefault, &SRTTIRead, &SRTTIWrite, &SRTTIStored, &SRTTIStaticMethod, &SRTTIVirtualMethod,
    &SRTTIField, &SRTTITrue, &SRTTIFalse, &SRTTINumberFormat, &SRTTIAccessorFormat,
    &SRTTIStoredConstantFormat, &SRTTIStoredAccessorFormat, &SRTTIMethodKind, &SRTTIParamCount, &SRTTIType,
    &SRTTIFlags, &SRTTIReturnType, &SRTTIGUID, &SRTTIElSize, &SRTTIElType, &SRTTIElNeedCleanup,
    &SRTTIVarType, &SRTTINoDeclaration};

String Res(const TResStringRec& rec) { return LoadResString(rec); }

String Number(int64_t value) { return IntToStr(value); }

String BoolText(bool value) { return Res(value ? SRTTITrue : SRTTIFalse); }

bool IsAnonymous(const TTypeInfo* type) { return type->Name.starts_with(u'.'); }

String Joined(const std::vector<String>& parts, const String& separator) {
    String result;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += separator;
        result += parts[i];
    }
    return result;
}

String SetText(const TTypeInfo* setType, const TSetBits& value) { return SetToText(setType, value, true); }

// ---------------------------------------------------------------------------

template <class I>
class TScTypeInfoImpl : public TImplements<TInterfacedObject, I> {
public:
    explicit TScTypeInfoImpl(const TTypeInfo* type) : type_(type) {}

    String GetName() override { return type_->Name; }
    const TTypeInfo* GetTypeInfo() override { return type_; }
    TTypeKind GetTypeKind() override { return type_->Kind; }

    void WriteTo(IScInfoWriter& writer) override {
        writer.WriteLine(Res(SRTTIName) + type_->Name);
        writer.WriteLine(Res(SRTTITypeKind) + GetEnumName(TypeInfo<TTypeKind>(), static_cast<int64_t>(type_->Kind)));
        writer.WriteLine(Format(Res(SRTTITypeInfoAt), {static_cast<const void*>(type_)}));
    }
    void DeclarationTo(IScInfoWriter& writer) override { writer.Write(Format(Res(SRTTINoDeclaration), {type_->Name})); }

protected:
    const TTypeInfo* type_;
};

template <class I>
class TScOrdinalImpl : public TScTypeInfoImpl<I> {
public:
    using TScTypeInfoImpl<I>::TScTypeInfoImpl;
    TOrdType GetOrdinalType() override { return this->type_->OrdType; }
    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl<I>::WriteTo(writer);
        writer.WriteLine(Res(SRTTIOrdinalType) + OrdTypeName());
    }

protected:
    String OrdTypeName() const { return GetEnumName(TypeInfo<TOrdType>(), static_cast<int64_t>(this->type_->OrdType)); }
};

template <class I>
class TScOrdinalRangeImpl : public TScOrdinalImpl<I> {
public:
    using TScOrdinalImpl<I>::TScOrdinalImpl;
    int64_t GetMinValue() override { return this->type_->MinValue; }
    int64_t GetMaxValue() override { return this->type_->MaxValue; }
    void WriteTo(IScInfoWriter& writer) override {
        TScOrdinalImpl<I>::WriteTo(writer);
        writer.WriteLine(Res(SRTTIMinValue) + Number(GetMinValue()));
        writer.WriteLine(Res(SRTTIMaxValue) + Number(GetMaxValue()));
    }
    void DeclarationTo(IScInfoWriter& writer) override {
        writer.Write(this->type_->Name + u" = " + Bound(GetMinValue()) + u".." + Bound(GetMaxValue()));
        writer.WriteLine(u"; // " + this->OrdTypeName());
    }

private:
    String Bound(int64_t value) const {
        if (this->type_->Kind == tkInteger) return Number(value);
        if (value >= 32 && value <= 126) return u"'" + String(1, static_cast<char16_t>(value)) + u"'";
        return u"#" + Number(value);
    }
};

using TScTypeInfo = TScTypeInfoImpl<IScTypeInfo>;
using TScOrdinalRangeTypeInfo = TScOrdinalRangeImpl<IScOrdinalRangeTypeInfo>;

class TScEnumerationTypeInfo final : public TScOrdinalRangeImpl<IScEnumerationTypeInfo> {
public:
    using TScOrdinalRangeImpl::TScOrdinalRangeImpl;

    TIntfPtr<IScEnumerationTypeInfo> GetBaseType() override {
        if (!type_->BaseType) return TIntfPtr<IScEnumerationTypeInfo>(this);
        return IntfCast<IScEnumerationTypeInfo>(CreateTypeInfoObject(type_->BaseType));
    }
    String GetNames(int index) override {
        const TTypeInfo* base = type_->BaseType ? type_->BaseType : type_;
        return base->Names.at(static_cast<size_t>(index));
    }
    String GetUnitName() override { return type_->UnitName; }
    int64_t IndexOfName(const String& name) override {
        for (int64_t v = type_->MaxValue; v >= type_->MinValue; --v)
            if (AnsiSameText(GetEnumName(type_, v), name)) return v;
        return -1;
    }

    void WriteTo(IScInfoWriter& writer) override {
        TScOrdinalRangeImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIUnitName) + GetUnitName());
        writer.WriteLine(Res(SRTTINames) + u"(" + Joined(type_->Names, u", ") + u")");
    }
    void DeclarationTo(IScInfoWriter& writer) override {
        const bool anonymous = IsAnonymous(type_);
        if (!anonymous) writer.Write(type_->Name + u" = ");
        if (type_->BaseType)
            writer.Write(type_->Names.front() + u" .. " + type_->Names.back());
        else
            writer.Write(u"(" + Joined(type_->Names, u", ") + u")");
        if (!anonymous) writer.WriteLine(u"; // " + OrdTypeName());
    }
};

class TScSetTypeInfo final : public TScOrdinalImpl<IScSetTypeInfo> {
public:
    using TScOrdinalImpl::TScOrdinalImpl;

    TIntfPtr<IScOrdinalTypeInfo> GetBaseType() override {
        return IntfCast<IScOrdinalTypeInfo>(CreateTypeInfoObject(type_->CompType));
    }

    void GetAsList(const TSetBits& value, bool wantRanges, TStrings& strings) override {
        const TTypeInfo* base = type_->CompType;
        strings.Updating([&] {
            int64_t v = base->MinValue;
            while (v <= base->MaxValue) {
                if (!value.Contains(static_cast<int>(v))) {
                    ++v;
                    continue;
                }
                int64_t last = v;
                while (last < base->MaxValue && value.Contains(static_cast<int>(last + 1))) ++last;
                if (wantRanges && last > v)
                    strings.Add(GetEnumName(base, v) + u" .. " + GetEnumName(base, last));
                else
                    for (int64_t e = v; e <= last; ++e) strings.Add(GetEnumName(base, e));
                v = last + 1;
            }
        });
    }

    void SetAsList(TSetBits& value, const TStrings& strings) override {
        TSetBits result;
        for (int i = 0; i < strings.Count(); ++i) {
            const String line = Trim(strings[i]);
            if (line.empty()) continue;
            const auto dots = line.find(u"..");
            const String low = Trim(dots == String::npos ? line : line.substr(0, dots));
            const String high = Trim(dots == String::npos ? line : line.substr(dots + 2));
            const int64_t from = Element(low), to = Element(high);
            if (from > to) continue;
            if (from < type_->CompType->MinValue || to > type_->CompType->MaxValue)
                throw ERangeError("Range check error");
            for (int64_t e = from; e <= to; ++e) result.Include(static_cast<int>(e));
        }
        value = result;
    }

    void WriteTo(IScInfoWriter& writer) override {
        TScOrdinalImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIBasedOn));
        writer.Indent();
        CreateTypeInfoObject(type_->CompType)->WriteTo(writer);
        writer.Outdent();
    }
    void DeclarationTo(IScInfoWriter& writer) override {
        const bool anonymous = IsAnonymous(type_);
        const TTypeInfo* base = type_->CompType;
        if (!anonymous) writer.Write(type_->Name + u" = set of ");
        if (!IsAnonymous(base))
            writer.Write(base->Name);
        else if (base->Kind == tkEnumeration)
            CreateTypeInfoObject(base)->DeclarationTo(writer);
        else
            writer.Write(u"???");
        if (!anonymous) writer.WriteLine(u"; // " + OrdTypeName());
    }

private:
    int64_t Element(const String& text) const {
        const TTypeInfo* base = type_->CompType;
        if (base->Kind != tkEnumeration) return StrToInt(text);
        const int64_t v = IntfCast<IScEnumerationTypeInfo>(CreateTypeInfoObject(base))->IndexOfName(text);
        if (v < 0) throw EScRTTIError(Format(Res(SRTTIUnknownIdentifier), {text}));
        return v;
    }
};

class TScFloatTypeInfo final : public TScTypeInfoImpl<IScFloatTypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;
    TFloatType GetFloatType() override { return type_->FloatType; }
    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIFloatType) + FloatTypeName());
    }
    void DeclarationTo(IScInfoWriter& writer) override {
        writer.WriteLine(type_->Name + u" = type " + FloatTypeName().substr(2) + u";");
    }

private:
    String FloatTypeName() const { return GetEnumName(TypeInfo<TFloatType>(), static_cast<int64_t>(type_->FloatType)); }
};

class TScStringTypeInfo final : public TScTypeInfoImpl<IScStringTypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;
    int GetMaxLength() override { return type_->MaxLength; }
    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIMaxLen) + Number(GetMaxLength()));
    }
    void DeclarationTo(IScInfoWriter& writer) override {
        writer.WriteLine(type_->Name + u" = string[" + Number(GetMaxLength()) + u"];");
    }
};

TScPropSpecKind SpecKind(TPropAccessKind kind) {
    switch (kind) {
    case pakField: return pskField;
    case pakMethod: return pskStaticMethod;
    case pakConstant: return pskConstant;
    case pakNone: break;
    }
    return pskNone;
}

class TScPropInfo final : public TImplements<TInterfacedObject, IScPropInfo> {
public:
    explicit TScPropInfo(const TPropInfo* prop) : prop_(prop) {}

    const TPropInfo* GetPropInfo() override { return prop_; }
    TIntfPtr<IScTypeInfo> GetPropType() override { return CreateTypeInfoObject(prop_->PropType()); }
    int32_t GetIndex() override { return prop_->Index(); }
    int32_t GetDefault() override { return prop_->Default(); }
    int GetNameIndex() override { return prop_->NameIndex(); }
    String GetName() override { return prop_->Name(); }
    TScPropSpecKind GetReaderType() override { return SpecKind(prop_->Reader().Kind); }
    TScPropSpecKind GetWriterType() override { return SpecKind(prop_->Writer().Kind); }
    TScPropSpecKind GetStoredType() override { return SpecKind(prop_->StoredKind()); }
    size_t GetReaderValue() override { return prop_->Reader().Offset; }
    size_t GetWriterValue() override { return prop_->Writer().Offset; }
    size_t GetStoredValue() override {
        return prop_->IsStoredConstant() ? static_cast<size_t>(prop_->StoredConstantValue()) : 0;
    }
    bool IsStored(TObject& instance) override { return prop_->IsStored(instance); }
    bool HasDefault() override { return prop_->HasDefault(); }
    bool HasIndex() override { return prop_->HasIndex(); }

private:
    const TPropInfo* prop_;
};

String SpecKindText(TScPropSpecKind kind) {
    switch (kind) {
    case pskStaticMethod: return Res(SRTTIStaticMethod);
    case pskVirtualMethod: return Res(SRTTIVirtualMethod);
    case pskField: return Res(SRTTIField);
    default: return String();
    }
}

const void* AsPointer(size_t value) { return reinterpret_cast<const void*>(value); }

class TScClassTypeInfo final : public TScTypeInfoImpl<IScClassTypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;

    TClass GetClassRef() override { return type_->ClassType; }
    TIntfPtr<IScClassTypeInfo> GetParent() override {
        const TClass parent = GetClassRef()->ClassParent();
        return parent ? IntfCast<IScClassTypeInfo>(CreateTypeInfoObject(parent->Type())) : nullptr;
    }
    int GetTotalPropertyCount() override { return static_cast<int>(GetClassRef()->Properties().size()); }
    int GetPropertyCount() override { return GetClassRef()->OwnPropertyCount(); }
    TIntfPtr<IScPropInfo> GetProperties(int index) override {
        if (index < 0) return nullptr;
        if (index < GetPropertyCount()) return MakeIntf<TScPropInfo>(&GetClassRef()->OwnProperty(index));
        const TIntfPtr<IScClassTypeInfo> parent = GetParent();
        return parent ? parent->GetProperties(index - GetPropertyCount()) : nullptr;
    }
    TIntfPtr<IScPropInfo> GetPropNames(const String& name) override {
        const TPropInfo* prop = GetClassRef()->FindProperty(name);
        return prop ? MakeIntf<TScPropInfo>(prop) : nullptr;
    }
    String GetUnitName() override { return GetClassRef()->UnitName(); }

    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        const TClass parent = GetClassRef()->ClassParent();
        writer.WriteLine(Res(SRTTIClassName) + type_->Name);
        writer.WriteLine(Res(SRTTIParent) + (parent ? parent->ClassName() : String()));
        writer.WriteLine(Res(SRTTIUnitName) + GetUnitName());
        writer.WriteLine(Res(SRTTIPropCount) + Number(GetPropertyCount()) + u" (" + Number(GetTotalPropertyCount()) +
                         u")");
        writer.Indent();
        for (int i = 0; i < GetPropertyCount(); ++i) {
            const TIntfPtr<IScPropInfo> prop = GetProperties(i);
            writer.WriteLine(prop->GetName() + u": " + prop->GetPropInfo()->PropType()->Name);
            writer.Indent();
            if (prop->HasIndex()) writer.WriteLine(Format(Res(SRTTINumberFormat), {Res(SRTTIIndex), prop->GetIndex()}));
            if (prop->HasDefault())
                writer.WriteLine(Format(Res(SRTTINumberFormat), {Res(SRTTIDefault), prop->GetDefault()}));
            WriteAccessor(writer, SRTTIRead, prop->GetReaderType(), prop->GetReaderValue());
            WriteAccessor(writer, SRTTIWrite, prop->GetWriterType(), prop->GetWriterValue());
            if (prop->GetStoredType() == pskConstant)
                writer.WriteLine(
                    Format(Res(SRTTIStoredConstantFormat), {Res(SRTTIStored), BoolText(prop->GetStoredValue() != 0)}));
            else
                writer.WriteLine(Format(Res(SRTTIStoredAccessorFormat), {Res(SRTTIStored),
                                                                          SpecKindText(prop->GetStoredType()),
                                                                          AsPointer(prop->GetStoredValue())}));
            writer.Outdent();
        }
        writer.Outdent();
    }

    void DeclarationTo(IScInfoWriter& writer) override {
        const TClass parent = GetClassRef()->ClassParent();
        if (!parent || parent->ClassName() == u"TObject") {
            writer.WriteLine(type_->Name + u" = class // unit " + GetUnitName());
        } else {
            String header = type_->Name + u" = class(" + parent->ClassName();
            for (const TTypeInfo* intf : GetClassRef()->Interfaces()) header += u", ['" + GUIDToString(intf->Guid) + u"']";
            writer.WriteLine(header + u") // unit " + GetUnitName());
        }
        if (GetPropertyCount() > 0) {
            writer.WriteLine(u"published");
            writer.Indent();
            for (int i = 0; i < GetPropertyCount(); ++i) writer.WriteLine(PropertyDeclaration(*GetProperties(i)));
            writer.Outdent();
        }
        writer.WriteLine(u"end;");
    }

private:
    static void WriteAccessor(IScInfoWriter& writer, const TResStringRec& label, TScPropSpecKind kind, size_t value) {
        if (kind == pskNone) return;
        writer.WriteLine(Format(Res(SRTTIAccessorFormat), {Res(label), SpecKindText(kind), AsPointer(value)}));
    }

    static String AccessorText(TScPropSpecKind kind, size_t value) {
        return Format(u"[%s $%p]", {SpecKindText(kind), AsPointer(value)});
    }

    static String PropertyDeclaration(IScPropInfo& prop) {
        String text = u"property " + prop.GetName() + u": " + prop.GetPropInfo()->PropType()->Name;
        if (prop.HasIndex()) text += Format(u" index %d", {prop.GetIndex()});
        if (prop.GetReaderType() != pskNone) text += u" read " + AccessorText(prop.GetReaderType(), prop.GetReaderValue());
        if (prop.GetWriterType() != pskNone) text += u" write " + AccessorText(prop.GetWriterType(), prop.GetWriterValue());
        if (prop.GetStoredType() == pskConstant)
            text += u" stored = " + String(prop.GetStoredValue() ? u"True" : u"False");
        else
            text += u" stored = " + AccessorText(prop.GetStoredType(), prop.GetStoredValue());
        if (prop.HasDefault()) text += u" default " + Number(prop.GetDefault());
        return text + u";";
    }
};

class TScEventParamInfo final : public TImplements<TInterfacedObject, IScEventParamInfo> {
public:
    explicit TScEventParamInfo(const TMethodParam* param) : param_(param) {}
    TParamFlags GetFlags() override { return param_->Flags; }
    String GetName() override { return param_->Name; }
    String GetTypeName() override { return param_->TypeName; }
    const TMethodParam& GetParam() override { return *param_; }

private:
    const TMethodParam* param_;
};

class TScEventTypeInfo final : public TScTypeInfoImpl<IScEventTypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;
    TMethodKind GetMethodKind() override { return type_->MethodKind; }
    int GetParameterCount() override { return static_cast<int>(type_->Params.size()); }
    TIntfPtr<IScEventParamInfo> GetParameters(int index) override {
        return MakeIntf<TScEventParamInfo>(&type_->Params.at(static_cast<size_t>(index)));
    }
    String GetResultTypeName() override { return type_->MethodKind == mkFunction ? type_->ResultType : String(); }

    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIMethodKind) + GetEnumName(TypeInfo<TMethodKind>(), static_cast<int64_t>(GetMethodKind())));
        writer.WriteLine(Res(SRTTIParamCount) + Number(GetParameterCount()));
        writer.Indent();
        for (size_t i = 0; i < type_->Params.size(); ++i) {
            const TMethodParam& param = type_->Params[i];
            if (i > 0) writer.WriteLine();
            writer.WriteLine(Res(SRTTIName) + param.Name);
            writer.WriteLine(Res(SRTTIType) + param.TypeName);
            writer.WriteLine(Res(SRTTIFlags) + SetText(TypeInfo<TParamFlags>(), param.Flags.Bits()));
        }
        writer.Outdent();
        if (GetMethodKind() == mkFunction) writer.WriteLine(Res(SRTTIReturnType) + GetResultTypeName());
    }

    void DeclarationTo(IScInfoWriter& writer) override {
        String text = type_->Name + u" = " + (GetMethodKind() == mkFunction ? u"function" : u"procedure");
        std::vector<String> params;
        for (const TMethodParam& param : type_->Params) params.push_back(ParamDeclaration(param));
        if (!params.empty()) text += u"(" + Joined(params, u"; ") + u")";
        if (GetMethodKind() == mkFunction) text += u": " + GetResultTypeName();
        writer.WriteLine(text + u" of object;");
    }

private:
    static String ParamDeclaration(const TMethodParam& param) {
        String text;
        if (param.Flags.Contains(pfVar)) text += u"var ";
        else if (param.Flags.Contains(pfConst)) text += u"const ";
        else if (param.Flags.Contains(pfOut)) text += u"out ";
        text += param.Name;
        if (param.TypeName.empty()) return text;
        text += u": ";
        if (param.Flags.Contains(pfArray))
            return text + u"array of " + (param.TypeName == u"TVarRec" ? String(u"const") : param.TypeName);
        return text + param.TypeName;
    }
};

class TScInterfaceTypeInfo final : public TScTypeInfoImpl<IScInterfaceTypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;
    TIntfPtr<IScInterfaceTypeInfo> GetParent() override {
        return type_->IntfParent ? IntfCast<IScInterfaceTypeInfo>(CreateTypeInfoObject(type_->IntfParent)) : nullptr;
    }
    TIntfFlags GetFlags() override { return type_->IntfFlags; }
    TGUID GetGUID() override { return GetFlags().Contains(ifHasGuid) ? type_->Guid : GUID_NULL; }
    int GetPropertyCount() override { return 0; }
    String GetUnitName() override { return type_->UnitName; }

    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        if (GetFlags().Contains(ifHasGuid)) writer.WriteLine(Res(SRTTIGUID) + GUIDToString(GetGUID()));
        writer.WriteLine(Res(SRTTIFlags) + SetText(TypeInfo<TIntfFlags>(), GetFlags().Bits()));
        writer.WriteLine(Res(SRTTIUnitName) + GetUnitName());
        if (type_->IntfParent) writer.WriteLine(Res(SRTTIParent) + type_->IntfParent->Name);
        writer.WriteLine(Res(SRTTIPropCount) + Number(GetPropertyCount()));
    }

    void DeclarationTo(IScInfoWriter& writer) override {
        const bool dispatch = GetFlags().Contains(ifDispInterface);
        String text = type_->Name + u" = " + (dispatch ? u"dispinterface" : u"interface");
        // IInterface is this type system's IUnknown.
        const TTypeInfo* parent = type_->IntfParent;
        if (parent && !dispatch && parent->Name != u"IUnknown" && parent->Name != u"IInterface")
            text += u"(" + parent->Name + u")";
        writer.WriteLine(text + u" // unit " + GetUnitName());
        writer.Indent();
        if (GetFlags().Contains(ifHasGuid)) writer.WriteLine(u"['" + GUIDToString(GetGUID()) + u"']");
        writer.Outdent();
        writer.WriteLine(u"end;");
    }
};

class TScInt64TypeInfo final : public TScTypeInfoImpl<IScInt64TypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;
    int64_t GetMinValue() override { return type_->MinValue; }
    int64_t GetMaxValue() override { return type_->MaxValue; }
    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIMinValue) + Number(GetMinValue()));
        writer.WriteLine(Res(SRTTIMaxValue) + Number(GetMaxValue()));
    }
    void DeclarationTo(IScInfoWriter& writer) override {
        writer.WriteLine(type_->Name + u" = " + Number(GetMinValue()) + u" .. " + Number(GetMaxValue()) + u";");
    }
};

class TScDynArrayTypeInfo final : public TScTypeInfoImpl<IScDynArrayTypeInfo> {
public:
    using TScTypeInfoImpl::TScTypeInfoImpl;
    int GetElementSize() override { return type_->ElementSize; }
    TIntfPtr<IScTypeInfo> GetElementType() override { return CreateTypeInfoObject(type_->ElementType); }
    bool GetElementsNeedCleanup() override { return type_->ElementsNeedCleanup; }
    int GetVarType() override { return type_->VarType; }
    String GetUnitName() override { return type_->UnitName; }

    void WriteTo(IScInfoWriter& writer) override {
        TScTypeInfoImpl::WriteTo(writer);
        writer.WriteLine(Res(SRTTIElSize) + Number(GetElementSize()));
        const TTypeInfo* element = type_->ElementType;
        writer.WriteLine(Res(SRTTIElType) + (element ? element->Name : String(u"???")));
        if (element && IsAnonymous(element)) {
            writer.Indent();
            GetElementType()->WriteTo(writer);
            writer.Outdent();
        }
        writer.WriteLine(Res(SRTTIElNeedCleanup) + BoolText(GetElementsNeedCleanup()));
        writer.WriteLine(Res(SRTTIVarType) + Number(GetVarType()));
        writer.WriteLine(Res(SRTTIUnitName) + GetUnitName());
    }

    void DeclarationTo(IScInfoWriter& writer) override {
        const bool anonymous = IsAnonymous(type_);
        const TTypeInfo* element = type_->ElementType;
        if (!anonymous) writer.Write(type_->Name + u" = ");
        writer.Write(u"array of ");
        if (!element)
            writer.Write(u"???");
        else if (IsAnonymous(element))
            GetElementType()->DeclarationTo(writer);
        else
            writer.Write(element->Name);
        if (!anonymous) writer.WriteLine(u"; // Unit " + GetUnitName());
    }
};

TIntfPtr<IScSetTypeInfo> SetDescription(const TTypeInfo* setType) {
    return IntfCast<IScSetTypeInfo>(CreateTypeInfoObject(setType));
}

} // namespace

void TScStringsInfoWriter::Write(const String& text) {
    if (text.empty()) return;
    if (!started_) current_ = String(static_cast<size_t>(2 * level_), u' ');
    started_ = true;
    current_ += text;
}

void TScStringsInfoWriter::WriteLine(const String& text) {
    Write(text);
    lines_.Add(current_);
    current_.clear();
    started_ = false;
}

void TScStringsInfoWriter::Outdent() {
    if (level_ > 0) --level_;
}

TIntfPtr<IScTypeInfo> CreateTypeInfoObject(const TTypeInfo* typeInfo) {
    if (!typeInfo) return nullptr;
    switch (typeInfo->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar: return MakeIntf<TScOrdinalRangeTypeInfo>(typeInfo);
    case tkEnumeration: return MakeIntf<TScEnumerationTypeInfo>(typeInfo);
    case tkFloat: return MakeIntf<TScFloatTypeInfo>(typeInfo);
    case tkString: return MakeIntf<TScStringTypeInfo>(typeInfo);
    case tkSet: return MakeIntf<TScSetTypeInfo>(typeInfo);
    case tkClass: return MakeIntf<TScClassTypeInfo>(typeInfo);
    case tkMethod: return MakeIntf<TScEventTypeInfo>(typeInfo);
    case tkInterface: return MakeIntf<TScInterfaceTypeInfo>(typeInfo);
    case tkInt64: return MakeIntf<TScInt64TypeInfo>(typeInfo);
    case tkDynArray: return MakeIntf<TScDynArrayTypeInfo>(typeInfo);
    default: return MakeIntf<TScTypeInfo>(typeInfo);
    }
}

String OrdinalToName(const TTypeInfo* typeInfo, int64_t value) {
    const int64_t ordinal = NarrowOrdinal(typeInfo->OrdType, value);
    if (ordinal >= typeInfo->MinValue && ordinal <= typeInfo->MaxValue) return GetEnumName(typeInfo, ordinal);
    return Format(Res(SRTTIValueOutOfRange), {u"ordinal=" + Number(ordinal)});
}

String SetToText(const TTypeInfo* setType, const TSetBits& value, bool wantBrackets, bool wantRanges) {
    TStringList elements;
    SetDescription(setType)->GetAsList(value, wantRanges, elements);
    std::vector<String> parts;
    for (int i = 0; i < elements.Count(); ++i) parts.push_back(elements[i]);
    const String text = Joined(parts, u", ");
    return wantBrackets ? u"[" + text + u"]" : text;
}

void TextToSet(const TTypeInfo* setType, TSetBits& value, const String& text) {
    TStringList pieces;
    for (size_t start = 0;;) {
        const auto comma = text.find(u',', start);
        pieces.Add(text.substr(start, comma == String::npos ? String::npos : comma - start));
        if (comma == String::npos) break;
        start = comma + 1;
    }
    if (pieces[0].starts_with(u'[')) {
        pieces.SetStrings(0, pieces[0].substr(1));
        const int last = pieces.Count() - 1;
        const String tail = pieces[last];
        pieces.SetStrings(last, tail.substr(0, tail.empty() ? 0 : tail.size() - 1));
    }
    SetDescription(setType)->SetAsList(value, pieces);
}

void StartScRTTI() { RegisterResStrings(kResStrings); }

void FinishScRTTI() { UnregisterResStrings(kResStrings); }

extern const TSupportUnit ScRTTIUnit{u"ScRTTI", SC_UNIT_VERSION("src/support/utils/ScRTTI.cpp"), {}, StartScRTTI, FinishScRTTI};
