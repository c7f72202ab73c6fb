#pragma once
// The component stream: components and persistent objects written to and read
// from a byte stream through their published properties, in a binary format
// of tagged values.
//
// A value is a one-byte TValueType tag followed by its data (integers and
// floats little-endian):
//   vaNull        end of a list
//   vaList        a list of values or properties up to its vaNull
//   vaInt8 .. vaInt64, vaDouble
//   vaString, vaIdent   a text
//   vaFalse, vaTrue, vaNil
//   vaSet         element names (each as a name, below), an empty name last
//   vaCollection  items, each a vaList of properties, up to its vaNull
// A text is its UTF-8 byte count as a base-128 number (seven bits a byte,
// low bits first, the high bit set while more bytes follow) and the bytes. A
// name (of a property, class or component) is a text without a tag: only the
// empty name starts with a zero byte, so none is taken for vaNull. A property
// is its name and its value.
//
// A component is its class name, its name, its properties, vaNull, the
// components it owns (each a component), vaNull. WriteComponent puts the
// signature "OSC1" first. Published properties are written when they are
// stored and differ from their default (ordinals with a declared default;
// empty strings, zero numbers and nil objects are not written); events are not
// written. An object property is written according to its value:
//   - a collection: vaCollection with its items (none: not written);
//   - a component (not a sub-component): a reference, vaIdent with its name
//     ("Owner.Name" for a component that neither is the root nor belongs to it);
//   - any other persistent object: its own properties, each named with the
//     property path "Property." in front.
// An interface property whose value is a component is a reference too.
// References are resolved when the root has been read, among the root, the
// components it owns and those of its owner; one that names nothing leaves the
// property as it is.
//
// A class adds data of its own by overriding TPersistent::DefineProperties:
//   void TFoo::DefineProperties(TFiler* filer) {
//       TBase::DefineProperties(filer);
//       filer->DefineProperty("Lines", [this](TReader& r) { ReadLines(r); },
//                             [this](TWriter& w) { WriteLines(w); }, !lines_.empty());
//   }
//
// Reading raises EReadError for damaged input ("Invalid stream format",
// "Invalid property value", "Property %s does not exist", "Class %s not found",
// "Invalid class type", "Stream read error"); it never reads past the data.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TObject.h"

class TStream;
class TPersistent;
class TComponent;
class TCollection;
class TPropInfo;
class TReader;
class TWriter;
class Variant;

enum class TValueType : uint8_t {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaInt64, vaDouble, vaString, vaIdent, vaFalse, vaTrue, vaSet, vaNil,
    vaCollection
};
using enum TValueType;

namespace rtl_detail {
// Called by every persistent object's destructor: readers of this thread drop
// the references they still have to set on it.
void ForgetPendingReferences(const TPersistent* instance) noexcept;
} // namespace rtl_detail

using TReaderProc = std::function<void(TReader& reader)>;
using TWriterProc = std::function<void(TWriter& writer)>;

class TFiler : public TObject {
public:
    explicit TFiler(TStream& stream) : stream_(stream) {}

    TStream& Stream() const noexcept { return stream_; }
    // The component being written or read at the top.
    TComponent* Root() const noexcept { return root_; }
    // Forms are never streamed, so there is no ancestor to compare with.
    TPersistent* Ancestor() const noexcept { return nullptr; }

    // Writing: when HasData, writes Name (after the property path) and lets
    // WriteData write the value. Reading: when Name is the property being read
    // (ignoring case), lets ReadData read its value.
    virtual void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                                bool hasData) = 0;

protected:
    // How deep collections, components and nested objects may go.
    static constexpr int MaxNesting = 256;
    static constexpr char Signature[4] = {'O', 'S', 'C', '1'};

    static void DefinePropertiesOf(TPersistent* instance, TFiler& filer);

    TStream& stream_;
    TComponent* root_ = nullptr;
};

class TWriter : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;

    // Written before the names of properties (nested objects: "Font.").
    const String& PropPath() const noexcept { return propPath_; }
    void SetPropPath(const String& value) { propPath_ = value; }

    void WriteValue(TValueType value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // A name without a tag.
    void WriteStr(const String& name);
    // The property path followed by Name.
    void WritePropName(const String& name);
    // In the smallest integer tag that holds it.
    void WriteInteger(int64_t value);
    void WriteBoolean(bool value);
    void WriteFloat(double value);
    void WriteString(const String& value);
    void WriteIdent(const String& ident);
    // Bytes as they stand.
    void WriteBytes(const void* data, size_t count);

    // The published properties that differ from their defaults, then the defined ones.
    void WriteProperties(TPersistent* instance);
    void WriteCollection(TCollection* collection);
    void WriteComponent(TComponent* component);
    // Root becomes the root; the signature comes first.
    void WriteRootComponent(TComponent* root);

private:
    void WriteProperty(TPersistent* instance, const TPropInfo& prop);
    void WriteObjectProperty(TPersistent* instance, const TPropInfo& prop);
    void WriteReference(const TPropInfo& prop, TComponent* component);
    void WriteVariant(const TPropInfo& prop, const Variant& value);

    String propPath_;
    int depth_ = 0;
};

class TReader : public TFiler {
public:
    explicit TReader(TStream& stream);
    ~TReader() override;

    void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;

    // The name of the property being read (the last part of a path).
    const String& PropName() const noexcept { return propName_; }

    // The tag at the position, without moving.
    TValueType NextValue();
    TValueType ReadValue();
    // Raises "Invalid property value" unless the next tag is Value, and takes it.
    void CheckValue(TValueType value);
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    bool EndOfList() { return PeekByte() == 0; }
    String ReadStr();
    int64_t ReadInt64();
    // Raises "Invalid property value" for a number beyond 32 bits.
    int ReadInteger();
    bool ReadBoolean();
    // Integers read as floats too.
    double ReadFloat();
    String ReadString();
    String ReadIdent();
    // Count bytes as they stand; "Stream read error" when fewer are left.
    void ReadBytes(void* buffer, size_t count);

    // Reads one property (name and value) into Instance.
    void ReadProperty(TPersistent* instance);
    // Replaces the items of Collection with those in the stream.
    void ReadCollection(TCollection* collection);
    // Reads a component owned by Owner: one of that name it owns already, or a
    // new one of the class the stream names.
    TComponent* ReadComponent(TComponent* owner);
    // Reads the stream's root into Root, or into a new component of the
    // stream's class owned by Owner (or the caller) when Root is null, inside
    // a loading bracket; references are resolved before the bracket ends. A
    // new root is freed again when reading fails.
    TComponent* ReadRootComponent(TComponent* root, TComponent* owner = nullptr);

    // A destroyed object takes back its unresolved references.
    void ForgetReferences(const TPersistent* instance);

private:
    friend void rtl_detail::ForgetPendingReferences(const TPersistent* instance) noexcept;

    struct TReference {
        TPersistent* Instance; // null once the object is gone
        const TPropInfo* Prop;
        String Name;
    };

    // A byte count that the rest of the stream can hold.
    uint32_t ReadCount();
    uint8_t PeekByte();
    void Nest(int levels);
    TValueType ReadTag();
    void ReadPropValue(TPersistent* instance, const TPropInfo& prop);
    void ReadOrdValue(TPersistent* instance, const TPropInfo& prop);
    void ReadSetValue(TPersistent* instance, const TPropInfo& prop);
    void ReadObjectValue(TPersistent* instance, const TPropInfo& prop);
    void ReadReference(TPersistent* instance, const TPropInfo& prop);
    Variant ReadVariant();
    void ReadComponentBody(TComponent* component);
    TComponent* FindReferenced(const String& name) const;
    void ResolveReferences();
    [[noreturn]] static void InvalidValue();
    [[noreturn]] static void PropertyError(const String& name);

    String propName_;
    // Whether a defined property took the property being read.
    bool matched_ = true;
    std::vector<TReference> references_;
    // Lists, collections and components open around the position.
    int depth_ = 0;
    TReader* outer_;
};

// The component and what it owns, with the signature first.
void WriteComponent(TStream& stream, TComponent* component);
// Reads into Instance or, when it is null, into a new component of the
// stream's class owned by Owner (by the caller when Owner is null too).
TComponent* ReadComponent(TStream& stream, TComponent* instance, TComponent* owner = nullptr);
