#include <bit>
#include <cstring>
#include <memory>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Stream.h"

namespace {
// The readers of this thread, innermost first through outer_.
thread_local TReader* activeReader = nullptr;

bool IsInteger(TValueType value) { return value >= vaInt8 && value <= vaInt64; }
} // namespace

namespace rtl_detail {
void ForgetPendingReferences(const TPersistent* instance) noexcept {
    for (TReader* reader = activeReader; reader; reader = reader->outer_) reader->ForgetReferences(instance);
}
} // namespace rtl_detail

TReader::TReader(TStream& stream) : TFiler(stream), outer_(activeReader) { activeReader = this; }

TReader::~TReader() { activeReader = outer_; }

void TReader::InvalidValue() { throw EReadError("Invalid property value"); }

void TReader::PropertyError(const String& name) { throw EReadError("Property " + name + " does not exist"); }

void TReader::DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc&, bool) {
    if (matched_ || !readData || !SameText(name, propName_)) return;
    matched_ = true;
    readData(*this);
}

void TReader::ReadBytes(void* buffer, size_t count) { stream_.ReadBuffer(buffer, static_cast<int64_t>(count)); }

uint32_t TReader::ReadCount() {
    uint64_t count = 0;
    for (int shift = 0;; shift += 7) {
        uint8_t byte;
        ReadBytes(&byte, 1);
        count |= uint64_t(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
        if (shift >= 28) throw EReadError("Invalid stream format");
    }
    if (count > static_cast<uint64_t>(stream_.Size() - stream_.Position())) throw EReadError("Stream read error");
    return static_cast<uint32_t>(count);
}

uint8_t TReader::PeekByte() {
    uint8_t byte;
    ReadBytes(&byte, 1);
    stream_.Seek(-1, soCurrent);
    return byte;
}

void TReader::Nest(int levels) {
    depth_ += levels;
    if (depth_ > MaxNesting) throw EReadError("Nesting too deep");
}

TValueType TReader::ReadTag() {
    uint8_t tag;
    ReadBytes(&tag, 1);
    if (tag > static_cast<uint8_t>(vaCollection)) throw EReadError("Invalid stream format");
    return static_cast<TValueType>(tag);
}

TValueType TReader::NextValue() {
    const TValueType value = ReadTag();
    stream_.Seek(-1, soCurrent);
    return value;
}

TValueType TReader::ReadValue() {
    const TValueType value = ReadTag();
    if (value == vaList || value == vaCollection) Nest(1);
    else if (value == vaNull && depth_ > 0) --depth_;
    return value;
}

void TReader::CheckValue(TValueType value) {
    if (NextValue() != value) InvalidValue();
    ReadValue();
}

String TReader::ReadStr() {
    const uint32_t count = ReadCount();
    std::string utf8(count, '\0');
    ReadBytes(utf8.data(), count);
    return String::FromUtf8(utf8);
}

int64_t TReader::ReadInt64() {
    const TValueType value = ReadValue();
    if (!IsInteger(value)) InvalidValue();
    const size_t size = value == vaInt8 ? 1 : value == vaInt16 ? 2 : value == vaInt32 ? 4 : 8;
    uint8_t bytes[8];
    ReadBytes(bytes, size);
    uint64_t bits = 0;
    for (size_t i = 0; i < size; ++i) bits |= uint64_t(bytes[i]) << (8 * i);
    const int unused = static_cast<int>(64 - 8 * size);
    return static_cast<int64_t>(bits << unused) >> unused; // sign-extended
}

int TReader::ReadInteger() {
    const int64_t value = ReadInt64();
    if (value < INT32_MIN || value > INT32_MAX) InvalidValue();
    return static_cast<int>(value);
}

bool TReader::ReadBoolean() {
    const TValueType value = ReadValue();
    if (value != vaFalse && value != vaTrue) InvalidValue();
    return value == vaTrue;
}

double TReader::ReadFloat() {
    if (IsInteger(NextValue())) return static_cast<double>(ReadInt64());
    CheckValue(vaDouble);
    uint8_t bytes[8];
    ReadBytes(bytes, 8);
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i) bits |= uint64_t(bytes[i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

String TReader::ReadString() {
    CheckValue(vaString);
    return ReadStr();
}

String TReader::ReadIdent() {
    CheckValue(vaIdent);
    return ReadStr();
}

void TReader::ReadProperty(TPersistent* instance) {
    const String path = ReadStr();
    TPersistent* object = instance;
    size_t start = 0;
    for (size_t dot; (dot = path.find(u'.', start)) != String::npos; start = dot + 1) {
        const String part = path.substr(start, dot - start);
        const TPropInfo* prop = object->ClassType()->FindProperty(part);
        if (!prop || prop->Kind() != tkClass || !prop->HasReader()) PropertyError(part);
        object = dynamic_cast<TPersistent*>(GetObjectProp(object, prop));
        if (!object) PropertyError(part);
    }
    propName_ = path.substr(start);
    if (const TPropInfo* prop = object->ClassType()->FindProperty(propName_); prop && prop->Kind() != tkMethod)
        return ReadPropValue(object, *prop);
    const String name = propName_;
    matched_ = false;
    DefinePropertiesOf(object, *this);
    const bool found = matched_;
    matched_ = true;
    if (!found) PropertyError(name);
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& prop) {
    if (prop.Kind() == tkClass) return ReadObjectValue(instance, prop);
    if (!prop.HasWriter()) InvalidValue();
    switch (prop.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration: return ReadOrdValue(instance, prop);
    case tkSet: return ReadSetValue(instance, prop);
    case tkInt64: return SetInt64Prop(instance, &prop, ReadInt64());
    case tkFloat: return SetFloatProp(instance, &prop, ReadFloat());
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: return SetStrProp(instance, &prop, ReadString());
    case tkInterface:
        if (NextValue() == vaIdent) return ReadReference(instance, prop);
        CheckValue(vaNil);
        return SetInterfaceProp(instance, &prop, nullptr);
    case tkVariant: return SetVariantProp(instance, &prop, ReadVariant());
    default: InvalidValue();
    }
}

void TReader::ReadOrdValue(TPersistent* instance, const TPropInfo& prop) {
    const TTypeInfo* type = prop.PropType();
    int64_t value;
    if (prop.Kind() == tkChar || prop.Kind() == tkWChar) {
        const String text = ReadString();
        if (text.size() != 1) InvalidValue();
        value = text[0];
    } else if (IsBooleanType(type)) {
        value = ReadBoolean();
    } else if (prop.Kind() == tkEnumeration) {
        value = GetEnumValue(type, ReadIdent());
    } else if (NextValue() == vaIdent) {
        int32_t mapped;
        const TIdentToInt identToInt = FindIdentToInt(type);
        if (!identToInt || !identToInt(ReadIdent(), mapped)) InvalidValue();
        value = mapped;
    } else {
        value = ReadInt64();
    }
    if (value < type->MinValue || value > type->MaxValue) InvalidValue();
    SetOrdProp(instance, &prop, value);
}

void TReader::ReadSetValue(TPersistent* instance, const TPropInfo& prop) {
    const TTypeInfo* element = prop.PropType()->CompType;
    CheckValue(vaSet);
    TSetBits bits;
    for (String name; !(name = ReadStr()).empty();) {
        const int64_t value = GetEnumValue(element, name);
        if (value < element->MinValue || value > element->MaxValue || value < 0 || value >= TSetBits::Capacity)
            InvalidValue();
        bits.Include(static_cast<int>(value));
    }
    SetSetBits(instance, &prop, bits);
}

void TReader::ReadObjectValue(TPersistent* instance, const TPropInfo& prop) {
    switch (NextValue()) {
    case vaCollection:
        if (auto* collection = dynamic_cast<TCollection*>(GetObjectProp(instance, &prop))) return ReadCollection(collection);
        InvalidValue();
    case vaIdent:
        if (!prop.HasWriter()) InvalidValue();
        return ReadReference(instance, prop);
    case vaNil:
        if (!prop.HasWriter()) InvalidValue();
        ReadValue();
        return SetObjectProp(instance, &prop, nullptr);
    default: InvalidValue();
    }
}

void TReader::ReadReference(TPersistent* instance, const TPropInfo& prop) {
    references_.push_back({instance, &prop, ReadIdent()});
}

Variant TReader::ReadVariant() {
    const TValueType value = NextValue();
    if (IsInteger(value)) return Variant(ReadInt64());
    switch (value) {
    case vaDouble: return Variant(ReadFloat());
    case vaString: return Variant(ReadString());
    case vaFalse:
    case vaTrue: return Variant(ReadBoolean());
    case vaNil: ReadValue(); return Null();
    default: InvalidValue();
    }
}

void TReader::ReadCollection(TCollection* collection) {
    CheckValue(vaCollection);
    collection->BeginUpdate();
    try {
        collection->Clear();
        while (!EndOfList()) {
            ReadListBegin();
            TCollectionItem* item = collection->Add();
            while (!EndOfList()) ReadProperty(item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
}

TComponent* TReader::ReadComponent(TComponent* owner) {
    Nest(2); // its properties and its components, each ending in vaNull
    const String className = ReadStr();
    const String name = ReadStr();
    TComponent* component = owner->FindComponent(name);
    if (component) {
        if (!SameText(component->ClassName(), className)) throw EReadError("Invalid class type");
        component->BeginLoading();
    } else {
        const TClass cls = GetClass(className);
        if (!cls) throw EReadError("Class " + className + " not found");
        if (!cls->InheritsFrom(TComponent::StaticClass())) throw EReadError("Invalid class type");
        std::unique_ptr<TComponent> created(cls->CreateComponent(owner));
        created->SetName(name);
        component = created.release();
    }
    ReadComponentBody(component);
    return component;
}

void TReader::ReadComponentBody(TComponent* component) {
    while (!EndOfList()) ReadProperty(component);
    ReadListEnd();
    while (!EndOfList()) ReadComponent(component);
    ReadListEnd();
}

TComponent* TReader::ReadRootComponent(TComponent* root, TComponent* owner) {
    char signature[sizeof Signature];
    ReadBytes(signature, sizeof signature);
    if (std::memcmp(signature, Signature, sizeof signature) != 0) throw EReadError("Invalid stream format");
    Nest(2);
    const String className = ReadStr();
    const String name = ReadStr();
    std::unique_ptr<TComponent> created;
    if (!root) {
        const TClass cls = GetClass(className);
        if (!cls) throw EReadError("Class " + className + " not found");
        if (!cls->InheritsFrom(TComponent::StaticClass())) throw EReadError("Invalid class type");
        created.reset(cls->CreateComponent(owner));
        root = created.get();
    } else if (!SameText(root->ClassName(), className)) {
        throw EReadError("Invalid class type");
    }
    root_ = root;
    root->BeginLoading();
    try {
        root->SetName(name);
        ReadComponentBody(root);
        ResolveReferences();
    } catch (...) {
        references_.clear();
        if (!created) {
            try {
                root->EndLoading();
            } catch (...) {
                // the reading error is the one to report
            }
        }
        throw;
    }
    root->EndLoading();
    created.release();
    return root;
}

void TReader::ForgetReferences(const TPersistent* instance) {
    for (TReference& reference : references_)
        if (reference.Instance == instance) reference.Instance = nullptr;
}

TComponent* TReader::FindReferenced(const String& name) const {
    TComponent* outer = root_->Owner();
    const auto find = [&](const String& n) -> TComponent* {
        if (!n.empty() && SameText(root_->Name(), n)) return root_;
        if (TComponent* found = root_->FindComponent(n)) return found;
        if (outer && !n.empty() && SameText(outer->Name(), n)) return outer;
        return outer ? outer->FindComponent(n) : nullptr;
    };
    const size_t dot = name.find(u'.');
    if (dot == String::npos) return find(name);
    TComponent* scope = find(name.substr(0, dot));
    return scope ? scope->FindComponent(name.substr(dot + 1)) : nullptr;
}

// A setter may free objects that wait for a reference; they blank their entries.
void TReader::ResolveReferences() {
    for (size_t i = 0; i < references_.size(); ++i) {
        const TReference reference = references_[i];
        if (!reference.Instance) continue;
        TComponent* component = FindReferenced(reference.Name);
        if (!component) continue;
        const TTypeInfo* type = reference.Prop->PropType();
        if (reference.Prop->Kind() == tkClass) {
            if (!component->InheritsFrom(type->ClassType)) InvalidValue();
            SetObjectProp(reference.Instance, reference.Prop, component);
        } else {
            if (!Supports(component, type->Guid)) InvalidValue();
            SetInterfaceProp(reference.Instance, reference.Prop, TIntfPtr<IInterface>(static_cast<IInterface*>(component)));
        }
    }
    references_.clear();
}
