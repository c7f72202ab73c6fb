#pragma once
// Descriptions of types handed out as interfaces (CreateTypeInfoObject): kind,
// name, ordinal range, enumeration names, set base type, float kind, string
// length, class properties, method signatures, interface identity, 64-bit
// ranges and dynamic-array elements; set values as text; and two renderings of
// every description written to an IScInfoWriter: a labelled listing (WriteTo)
// and a Pascal-style declaration (DeclarationTo). The descriptions wrap the
// object model's (TypeInfo.h, ClassInfo.h) and live as long as it does.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/ClassInfo.h"
#include "support/utils/ScBase.h"

class TStrings;

RTL_DECLARE_EXCEPTION(EScRTTIError, EScError);

inline constexpr TResStringRec SRTTIUnknownIdentifier{0xF820, u"Unknown identifier '%s'."};
inline constexpr TResStringRec SRTTIValueOutOfRange{0xF821, u"Value out of range (%s)."};

// Receives the renderings: Write continues the current line, WriteLine ends
// it; Indent and Outdent move the lines that follow.
class IScInfoWriter {
public:
    virtual ~IScInfoWriter() = default;
    virtual void Write(const String& text) = 0;
    virtual void WriteLine(const String& text = String()) = 0;
    virtual void Indent() = 0;
    virtual void Outdent() = 0;
};

// Adds the lines to a string list, two blanks per indentation level (empty
// lines stay empty).
class TScStringsInfoWriter final : public IScInfoWriter {
public:
    explicit TScStringsInfoWriter(TStrings& lines) : lines_(lines) {}
    void Write(const String& text) override;
    void WriteLine(const String& text = String()) override;
    void Indent() override { ++level_; }
    void Outdent() override;

private:
    TStrings& lines_;
    String current_;
    bool started_ = false;
    int level_ = 0;
};

class IScBaseInfo : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5E0B8C41-2F7A-4D1B-8E36-9A4C7D2B1F60}");
    virtual void WriteTo(IScInfoWriter& writer) = 0;
    virtual void DeclarationTo(IScInfoWriter& writer) = 0;
};

class IScTypeInfo : public IScBaseInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5220-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScBaseInfo;
    virtual String GetName() = 0;
    virtual const TTypeInfo* GetTypeInfo() = 0;
    virtual TTypeKind GetTypeKind() = 0;
};

class IScOrdinalTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5221-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScTypeInfo;
    virtual TOrdType GetOrdinalType() = 0;
};

class IScOrdinalRangeTypeInfo : public IScOrdinalTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5222-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScOrdinalTypeInfo;
    virtual int64_t GetMinValue() = 0;
    virtual int64_t GetMaxValue() = 0;
};

class IScEnumerationTypeInfo : public IScOrdinalRangeTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5223-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScOrdinalRangeTypeInfo;
    // The enumeration a subrange narrows; the type itself otherwise.
    virtual TIntfPtr<IScEnumerationTypeInfo> GetBaseType() = 0;
    // The Index-th name (from 0) of the base type.
    virtual String GetNames(int index) = 0;
    virtual String GetUnitName() = 0;
    // The ordinal whose name equals Name ignoring case; -1 when none.
    virtual int64_t IndexOfName(const String& name) = 0;
};

class IScSetTypeInfo : public IScOrdinalTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5224-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScOrdinalTypeInfo;
    virtual TIntfPtr<IScOrdinalTypeInfo> GetBaseType() = 0;
    // One line per element, or with WantRanges one line "first .. last" per
    // run of more than one element; enumeration elements by name, others as
    // decimal numbers.
    virtual void GetAsList(const TSetBits& value, bool wantRanges, TStrings& strings) = 0;
    // The reverse; blank lines are skipped, "low .. high" sets a run (none
    // when low is above high). An unknown name raises EScRTTIError, a bad
    // number EConvertError, an element outside the base type ERangeError;
    // Value is only changed on success.
    virtual void SetAsList(TSetBits& value, const TStrings& strings) = 0;
};

class IScFloatTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{5E0B8C42-2F7A-4D1B-8E36-9A4C7D2B1F60}");
    using Inherited = IScTypeInfo;
    virtual TFloatType GetFloatType() = 0;
};

class IScStringTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{5E0B8C43-2F7A-4D1B-8E36-9A4C7D2B1F60}");
    using Inherited = IScTypeInfo;
    virtual int GetMaxLength() = 0;
};

// How a property is read, written or told stored.
enum class TScPropSpecKind { pskNone, pskStaticMethod, pskVirtualMethod, pskField, pskConstant };
using enum TScPropSpecKind;

class IScPropInfo : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5227-46EA-11D5-B0C0-4854E825F345}");
    virtual const TPropInfo* GetPropInfo() = 0;
    virtual TIntfPtr<IScTypeInfo> GetPropType() = 0;
    virtual int32_t GetIndex() = 0;
    virtual int32_t GetDefault() = 0;
    virtual int GetNameIndex() = 0;
    virtual String GetName() = 0;
    virtual TScPropSpecKind GetReaderType() = 0;
    virtual TScPropSpecKind GetWriterType() = 0;
    virtual TScPropSpecKind GetStoredType() = 0;
    // A field's offset, 0 for a method; the stored constant as 1 or 0.
    virtual size_t GetReaderValue() = 0;
    virtual size_t GetWriterValue() = 0;
    virtual size_t GetStoredValue() = 0;
    virtual bool IsStored(TObject& instance) = 0;
    virtual bool HasDefault() = 0;
    virtual bool HasIndex() = 0;
};

class IScClassTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5228-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScTypeInfo;
    virtual TClass GetClassRef() = 0;
    // Null for a class without a parent.
    virtual TIntfPtr<IScClassTypeInfo> GetParent() = 0;
    virtual int GetTotalPropertyCount() = 0;
    // The properties the class declares itself.
    virtual int GetPropertyCount() = 0;
    // An own property, or past the own ones the parent's at the remaining
    // index; null past every property.
    virtual TIntfPtr<IScPropInfo> GetProperties(int index) = 0;
    // Null when the class publishes no property of that name.
    virtual TIntfPtr<IScPropInfo> GetPropNames(const String& name) = 0;
    virtual String GetUnitName() = 0;
};

class IScEventParamInfo : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD5229-46EA-11D5-B0C0-4854E825F345}");
    virtual TParamFlags GetFlags() = 0;
    virtual String GetName() = 0;
    virtual String GetTypeName() = 0;
    virtual const TMethodParam& GetParam() = 0;
};

class IScEventTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{5E0B8C44-2F7A-4D1B-8E36-9A4C7D2B1F60}");
    using Inherited = IScTypeInfo;
    virtual TMethodKind GetMethodKind() = 0;
    virtual int GetParameterCount() = 0;
    virtual TIntfPtr<IScEventParamInfo> GetParameters(int index) = 0;
    // Empty for a procedure.
    virtual String GetResultTypeName() = 0;
};

class IScInterfaceTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{7DAD522B-46EA-11D5-B0C0-4854E825F345}");
    using Inherited = IScTypeInfo;
    // Null for the root interface.
    virtual TIntfPtr<IScInterfaceTypeInfo> GetParent() = 0;
    virtual TIntfFlags GetFlags() = 0;
    // The all-zero identifier without ifHasGuid.
    virtual TGUID GetGUID() = 0;
    virtual int GetPropertyCount() = 0;
    virtual String GetUnitName() = 0;
};

class IScInt64TypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{5E0B8C45-2F7A-4D1B-8E36-9A4C7D2B1F60}");
    using Inherited = IScTypeInfo;
    virtual int64_t GetMinValue() = 0;
    virtual int64_t GetMaxValue() = 0;
};

class IScDynArrayTypeInfo : public IScTypeInfo {
public:
    static constexpr TGUID IID = TGUID::Parse("{5E0B8C46-2F7A-4D1B-8E36-9A4C7D2B1F60}");
    using Inherited = IScTypeInfo;
    virtual int GetElementSize() = 0;
    // Null when the element type has no description.
    virtual TIntfPtr<IScTypeInfo> GetElementType() = 0;
    virtual bool GetElementsNeedCleanup() = 0;
    virtual int GetVarType() = 0;
    virtual String GetUnitName() = 0;
};

// The description of TypeInfo by its kind; null for null.
TIntfPtr<IScTypeInfo> CreateTypeInfoObject(const TTypeInfo* typeInfo);

// The name of an ordinal of an enumeration (integer types: its number),
// Value read as the type's ordinal type; "Value out of range (ordinal=N)."
// outside the type's range.
String OrdinalToName(const TTypeInfo* typeInfo, int64_t value);
// The elements of a set joined with ", ", with WantRanges runs as "first .. last",
// with WantBrackets inside "[" and "]".
String SetToText(const TTypeInfo* setType, const TSetBits& value, bool wantBrackets = false, bool wantRanges = false);
// Reads SetToText's form, with or without brackets; see IScSetTypeInfo::SetAsList.
void TextToSet(const TTypeInfo* setType, TSetBits& value, const String& text);

void StartScRTTI();
void FinishScRTTI();
