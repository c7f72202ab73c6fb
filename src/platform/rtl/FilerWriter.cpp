#include <bit>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Stream.h"

namespace {
// How a reference names the component: by its name when it is the root or
// belongs to it, else with its owner's name in front.
String ReferenceName(const TComponent* root, const TComponent* component) {
    const TComponent* owner = component->Owner();
    if (component == root || owner == root || !owner || owner->Name().empty()) return component->Name();
    return owner->Name() + "." + component->Name();
}
} // namespace

void TWriter::DefineProperty(const String& name, const TReaderProc&, const TWriterProc& writeData, bool hasData) {
    if (!hasData || !writeData) return;
    WritePropName(name);
    writeData(*this);
}

void TWriter::WriteBytes(const void* data, size_t count) { stream_.WriteBuffer(data, static_cast<int64_t>(count)); }

void TWriter::WriteValue(TValueType value) {
    const auto tag = static_cast<uint8_t>(value);
    WriteBytes(&tag, 1);
}

void TWriter::WriteStr(const String& name) {
    const std::string utf8 = name.ToUtf8();
    uint8_t count[10];
    size_t size = 0;
    uint64_t rest = utf8.size();
    do {
        count[size++] = static_cast<uint8_t>((rest & 0x7F) | (rest > 0x7F ? 0x80 : 0));
        rest >>= 7;
    } while (rest);
    WriteBytes(count, size);
    WriteBytes(utf8.data(), utf8.size());
}

void TWriter::WritePropName(const String& name) { WriteStr(propPath_ + name); }

void TWriter::WriteInteger(int64_t value) {
    TValueType tag = vaInt64;
    size_t size = 8;
    if (value >= INT8_MIN && value <= INT8_MAX) tag = vaInt8, size = 1;
    else if (value >= INT16_MIN && value <= INT16_MAX) tag = vaInt16, size = 2;
    else if (value >= INT32_MIN && value <= INT32_MAX) tag = vaInt32, size = 4;
    WriteValue(tag);
    uint8_t bytes[8];
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    WriteBytes(bytes, size);
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteFloat(double value) {
    WriteValue(vaDouble);
    const auto bits = std::bit_cast<uint64_t>(value);
    uint8_t bytes[8];
    for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    WriteBytes(bytes, 8);
}

void TWriter::WriteString(const String& value) {
    WriteValue(vaString);
    WriteStr(value);
}

void TWriter::WriteIdent(const String& ident) {
    WriteValue(vaIdent);
    WriteStr(ident);
}

void TWriter::WriteProperties(TPersistent* instance) {
    // A property graph that leads back to an object being written would not end.
    if (++depth_ > MaxNesting) throw EWriteError("Nesting too deep");
    for (const TPropInfo* prop : instance->ClassType()->Properties())
        if (prop->Kind() != tkMethod) WriteProperty(instance, *prop);
    DefinePropertiesOf(instance, *this);
    --depth_;
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo& prop) {
    if (!prop.HasReader() || !prop.IsStored(*instance)) return;
    if (prop.Kind() == tkClass) return WriteObjectProperty(instance, prop);
    if (!prop.HasWriter()) return;
    const TTypeInfo* type = prop.PropType();
    switch (prop.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration: {
        const int64_t value = GetOrdProp(instance, &prop);
        if (prop.HasDefault() && value == prop.Default()) return;
        WritePropName(prop.Name());
        String ident;
        if (prop.Kind() == tkChar || prop.Kind() == tkWChar) WriteString(String(1, static_cast<char16_t>(value)));
        else if (IsBooleanType(type)) WriteBoolean(value != 0);
        else if (prop.Kind() == tkEnumeration) WriteIdent(GetEnumName(type, value));
        else if (TIntToIdent toIdent = FindIntToIdent(type); toIdent && toIdent(static_cast<int32_t>(value), ident))
            WriteIdent(ident);
        else WriteInteger(value);
        return;
    }
    case tkSet: {
        if (IsDefaultOrdValue(instance, &prop)) return;
        const TSetBits bits = GetSetBits(instance, &prop);
        WritePropName(prop.Name());
        WriteValue(vaSet);
        for (int v = 0; v < TSetBits::Capacity; ++v)
            if (bits.Contains(v)) WriteStr(GetEnumName(type->CompType, v));
        WriteStr(String());
        return;
    }
    case tkInt64:
        if (const int64_t value = GetInt64Prop(instance, &prop); value != 0) {
            WritePropName(prop.Name());
            WriteInteger(value);
        }
        return;
    case tkFloat:
        if (const double value = GetFloatProp(instance, &prop); value != 0) {
            WritePropName(prop.Name());
            WriteFloat(value);
        }
        return;
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString:
        if (const String value = GetStrProp(instance, &prop); !value.empty()) {
            WritePropName(prop.Name());
            WriteString(value);
        }
        return;
    case tkInterface: {
        TIntfPtr<IInterfaceComponentReference> reference;
        if (Supports(GetInterfaceProp(instance, &prop), reference)) WriteReference(prop, reference->GetComponent());
        return;
    }
    case tkVariant: WriteVariant(prop, GetVariantProp(instance, &prop)); return;
    default: return;
    }
}

void TWriter::WriteVariant(const TPropInfo& prop, const Variant& value) {
    const TVarType type = VarType(value);
    if (type == varEmpty) return;
    WritePropName(prop.Name());
    switch (type) {
    case varNull: WriteValue(vaNil); break;
    case varBoolean: WriteBoolean(value.AsBoolean()); break;
    case varSingle:
    case varDouble:
    case varDate: WriteFloat(value.AsDouble()); break;
    case varUString:
    case varOleStr: WriteString(value.AsString()); break;
    default: WriteInteger(value.AsInt64()); break;
    }
}

void TWriter::WriteObjectProperty(TPersistent* instance, const TPropInfo& prop) {
    TObject* value = GetObjectProp(instance, &prop);
    if (auto* component = dynamic_cast<TComponent*>(value);
        component && !component->ComponentStyle().Contains(csSubComponent))
        return WriteReference(prop, component);
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
        if (collection->Count() == 0) return;
        WritePropName(prop.Name());
        WriteCollection(collection);
        return;
    }
    auto* nested = dynamic_cast<TPersistent*>(value);
    if (!nested) return;
    const String outer = propPath_;
    propPath_ += prop.Name() + ".";
    WriteProperties(nested);
    propPath_ = outer;
}

void TWriter::WriteReference(const TPropInfo& prop, TComponent* component) {
    if (!component || component->Name().empty()) return;
    WritePropName(prop.Name());
    WriteIdent(ReferenceName(root_, component));
}

void TWriter::WriteCollection(TCollection* collection) {
    WriteValue(vaCollection);
    const String outer = propPath_;
    for (int i = 0; i < collection->Count(); ++i) {
        WriteListBegin();
        propPath_.clear();
        WriteProperties(collection->Items(i));
        propPath_ = outer;
        WriteListEnd();
    }
    WriteListEnd();
}

void TWriter::WriteComponent(TComponent* component) {
    WriteStr(component->ClassName());
    WriteStr(component->Name());
    const String outer = propPath_;
    propPath_.clear();
    WriteProperties(component);
    WriteListEnd();
    for (int i = 0; i < component->ComponentCount(); ++i) {
        TComponent* child = component->Components(i);
        if (!child->ComponentStyle().Contains(csSubComponent)) WriteComponent(child);
    }
    WriteListEnd();
    propPath_ = outer;
}

void TWriter::WriteRootComponent(TComponent* root) {
    root_ = root;
    WriteBytes(Signature, sizeof Signature);
    WriteComponent(root);
}
