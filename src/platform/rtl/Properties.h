#pragma once
// Reading and writing published properties by description or by name.
// Each function accepts the kinds named at it and raises EPropertyError
// "Invalid property type: %s" for others, "Property is write-only" or
// "Property is read-only" for a missing accessor, and "Property %s does not
// exist" for an unknown name.

#include <any>
#include <string>

#include "platform/rtl/ClassInfo.h"

class TPropRef {
public:
    TPropRef(const TPropInfo* prop) noexcept : prop_(prop) {}
    TPropRef(const String& name) : name_(name) {}
    TPropRef(const char* name) : name_(name) {}
    const TPropInfo& Resolve(const TObject& obj) const;

private:
    const TPropInfo* prop_ = nullptr;
    String name_;
};

const TPropInfo* GetPropInfo(TClass cls, const String& name);
const TPropInfo* GetPropInfo(const TObject* obj, const String& name);
// Published properties of the given kinds in declaration order, the parent's first.
TPropList GetPropList(TClass cls, TTypeKinds kinds = tkAny);
TPropList GetPropList(const TObject* obj, TTypeKinds kinds = tkAny);
bool IsPublishedProp(const TObject* obj, const String& name);
bool IsStoredProp(TObject* obj, TPropRef prop);

// Integer, character and enumeration kinds; values outside the type's range raise ERangeError.
int64_t GetOrdProp(TObject* obj, TPropRef prop);
void SetOrdProp(TObject* obj, TPropRef prop, int64_t value);
// Whether an ordinal or set property has a declared default and holds it.
bool IsDefaultOrdValue(TObject* obj, TPropRef prop);
// Enumerations by value name; an unknown name raises EPropertyConvertError "Invalid property element: %s".
String GetEnumProp(TObject* obj, TPropRef prop);
void SetEnumProp(TObject* obj, TPropRef prop, const String& name);
// Sets, as bits or as the text of SetToString and StringToSet.
TSetBits GetSetBits(TObject* obj, TPropRef prop);
void SetSetBits(TObject* obj, TPropRef prop, const TSetBits& value);
String GetSetProp(TObject* obj, TPropRef prop, bool brackets = false);
void SetSetProp(TObject* obj, TPropRef prop, const String& text);
double GetFloatProp(TObject* obj, TPropRef prop);
void SetFloatProp(TObject* obj, TPropRef prop, double value);
// String kinds (an std::string property holds UTF-8: bytes that are no UTF-8
// read as U+FFFD).
String GetStrProp(TObject* obj, TPropRef prop);
void SetStrProp(TObject* obj, TPropRef prop, const String& value);
// The bytes of an 8-bit string (std::string) property as they are.
std::string GetAnsiStrProp(TObject* obj, TPropRef prop);
void SetAnsiStrProp(TObject* obj, TPropRef prop, const std::string& value);
// Int64 and the integer, character and enumeration kinds.
int64_t GetInt64Prop(TObject* obj, TPropRef prop);
void SetInt64Prop(TObject* obj, TPropRef prop, int64_t value);
// Class kind; an object of another class raises EPropertyError "Invalid property value".
TObject* GetObjectProp(TObject* obj, TPropRef prop);
void SetObjectProp(TObject* obj, TPropRef prop, TObject* value);
// Events: the std::function the property holds, empty when unassigned.
std::any GetMethodProp(TObject* obj, TPropRef prop);
void SetMethodProp(TObject* obj, TPropRef prop, const std::any& value);
TIntfPtr<IInterface> GetInterfaceProp(TObject* obj, TPropRef prop);
void SetInterfaceProp(TObject* obj, TPropRef prop, const TIntfPtr<IInterface>& value);
Variant GetVariantProp(TObject* obj, TPropRef prop);
void SetVariantProp(TObject* obj, TPropRef prop, const Variant& value);

// Any property of a simple kind as a Variant: enumerations (but Booleans) and
// sets as their names when preferStrings, else as numbers (element v of a set
// is bit v; a set of more than 64 possible elements stays text); date-time types as dates.
Variant GetPropValue(TObject* obj, TPropRef prop, bool preferStrings = true);
// The reverse: text goes to enumerations and sets by name, numbers by value.
void SetPropValue(TObject* obj, TPropRef prop, const Variant& value);
