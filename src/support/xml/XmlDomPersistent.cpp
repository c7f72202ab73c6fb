#include "support/xml/XmlDomPersistent.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/xml/XmlDom.h"
#include "support/xml/XmlDomUtils.h"

namespace {

const String kPropFormat = u"PropFormat";
const String kItem = u"o";
const String kCount = u"Count";
// A string list element stands for at most this many lines beyond the entries it holds.
constexpr int kMaxAbsentLines = 65536;

String LineName(int index) { return u"l" + String(std::to_string(index)); }

// The index named by a line entry: "l" and a decimal number without leading
// zeros; -1 for any other name.
int LineIndex(const String& name, bool ignoreCase) {
    if (name.size() < 2 || !(name[0] == u'l' || (ignoreCase && name[0] == u'L'))) return -1;
    if (name[1] == u'0' && name.size() > 2) return -1;
    int64_t index = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9') return -1;
        index = index * 10 + (name[i] - u'0');
        if (index > INT32_MAX) return -1;
    }
    return static_cast<int>(index);
}

TPersistent* PersistentOf(TObject* obj) { return dynamic_cast<TPersistent*>(obj); }

TPropFormat Resolved(TPropFormat format) { return format == pfAuto ? pfNode : format; }

// The first child element named Name, ignoring case; null when there is none.
TIntfPtr<IXMLElement> ChildElement(const TIntfPtr<IXMLElement>& parent, const String& name) {
    if (!parent) return nullptr;
    const TIntfPtr<IXMLNodeList> children = parent->ChildNodes();
    for (int i = 0, n = children->Length(); i < n; ++i) {
        const TIntfPtr<IXMLNode> child = children->Item(i);
        if (child->NodeType() == ELEMENT_NODE && SameText(child->NodeName(), name))
            return IntfCast<IXMLElement>(child);
    }
    return nullptr;
}

// The property's text; none when the value is not written.
std::optional<String> ValueText(TObject* obj, const TPropInfo& prop) {
    switch (prop.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
        if (IsDefaultOrdValue(obj, &prop)) return std::nullopt;
        if (prop.Kind() == tkSet) return GetSetProp(obj, &prop, true);
        const int64_t value = GetOrdProp(obj, &prop);
        if (prop.Kind() == tkInteger) return IntToXmlText(static_cast<int32_t>(value));
        if (prop.Kind() != tkEnumeration) return String(1, static_cast<char16_t>(value));
        return IsBooleanType(prop.PropType()) ? BoolToXmlText(value != 0) : GetEnumProp(obj, &prop);
    }
    case tkFloat: {
        const double value = GetFloatProp(obj, &prop);
        if (value == 0) return std::nullopt;
        return IsDateTimeType(prop.PropType()) ? DateTimeToXmlText(value) : RealToXmlText(value);
    }
    case tkInt64: {
        const int64_t value = GetInt64Prop(obj, &prop);
        if (value == 0) return std::nullopt;
        return Int64ToXmlText(value);
    }
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: {
        String value = GetStrProp(obj, &prop);
        if (value.empty()) return std::nullopt;
        return value;
    }
    default:
        return std::nullopt;
    }
}

class TObjectWriter {
public:
    TObjectWriter(IXMLDocument& document, TPropFormat format) : document_(document), format_(Resolved(format)) {
        document_.DocumentElement()->SetAttribute(kPropFormat, PropFormatText(format_));
    }

    void WriteProperties(TObject* obj, const TIntfPtr<IXMLElement>& element) const {
        for (const TPropInfo* prop : GetPropList(obj, tkProperties)) {
            if (!prop->HasReader() || !prop->IsStored(*obj)) continue;
            if (prop->Kind() == tkClass) {
                if (TPersistent* value = PersistentOf(GetObjectProp(obj, prop)))
                    WriteObject(value, prop->Name(), element);
            } else if (const std::optional<String> text = ValueText(obj, *prop)) {
                AddValue(element, prop->Name(), *text);
            }
        }
    }

    void WriteItems(const TCollection& collection, const TIntfPtr<IXMLElement>& element) const {
        if (GetPropList(collection.ItemClass(), tkProperties).empty()) return;
        for (int i = 0; i < collection.Count(); ++i) {
            TIntfPtr<IXMLElement> item = document_.CreateElement(kItem);
            WriteProperties(collection.Items(i), item);
            element->AppendChild(item);
        }
    }

    // Objects of its own are child elements in both layouts.
    bool IsEmpty(const TIntfPtr<IXMLElement>& element) const {
        return !element->HasChildNodes() && (format_ != pfAttr || element->Attributes()->Length() == 0);
    }

private:
    void WriteObject(TPersistent* value, const String& name, const TIntfPtr<IXMLElement>& parent) const {
        TIntfPtr<IXMLElement> element = document_.CreateElement(name);
        WriteProperties(value, element);
        bool keep;
        if (auto* collection = dynamic_cast<TCollection*>(value)) {
            WriteItems(*collection, element);
            keep = element->HasChildNodes();
        } else if (auto* strings = dynamic_cast<TStrings*>(value)) {
            SetNodeAttributeInt(element, kCount, strings->Count());
            for (int i = 0; i < strings->Count(); ++i)
                if (const String line = strings->Strings(i); !line.empty()) AddValue(element, LineName(i), line);
            keep = true;
        } else {
            keep = !IsEmpty(element);
        }
        if (keep) parent->AppendChild(element);
    }

    void AddValue(const TIntfPtr<IXMLElement>& element, const String& name, const String& text) const {
        if (format_ == pfAttr) return element->SetAttribute(name, text);
        TIntfPtr<IXMLElement> child = document_.CreateElement(name);
        child->SetTextContent(text);
        element->AppendChild(child);
    }

    IXMLDocument& document_;
    TPropFormat format_;
};

TIntfPtr<IXMLDocument> BuildDocument(TPersistent* instance, TPropFormat propFormat) {
    TIntfPtr<IXMLDocument> document = NewXMLDocument();
    auto* collection = dynamic_cast<TCollection*>(instance);
    TIntfPtr<IXMLElement> root = document->CreateElement(collection ? instance->ClassName() : String(u"data"));
    document->SetDocumentElement(root);
    const TObjectWriter writer(*document, propFormat);
    if (collection) {
        writer.WriteItems(*collection, root);
    } else {
        TIntfPtr<IXMLElement> element = document->CreateElement(instance->ClassName());
        writer.WriteProperties(instance, element);
        if (!writer.IsEmpty(element)) root->AppendChild(element);
    }
    return document;
}

class TObjectReader {
public:
    explicit TObjectReader(TPropFormat format) : format_(format) {
        if (format == pfAuto) throw EXmlDomPersistent("Auto PropFormat not allowed here.");
    }

    void ReadProperties(TObject* obj, const TIntfPtr<IXMLElement>& element) const {
        for (const TPropInfo* prop : GetPropList(obj, tkProperties)) {
            if (!prop->HasReader() || !(prop->HasWriter() || prop->Kind() == tkClass) || !prop->IsStored(*obj))
                continue;
            if (prop->Kind() == tkClass) {
                if (TPersistent* value = PersistentOf(GetObjectProp(obj, prop)))
                    ReadObject(value, ChildElement(element, prop->Name()));
            } else {
                ReadValue(obj, *prop, Lookup(element, prop->Name()));
            }
        }
    }

    void ReadItems(TCollection& collection, const TIntfPtr<IXMLElement>& element) const {
        collection.Clear();
        if (!element) return;
        const TIntfPtr<IXMLNodeList> children = element->ChildNodes();
        for (int i = 0, n = children->Length(); i < n; ++i) {
            const TIntfPtr<IXMLNode> child = children->Item(i);
            if (child->NodeType() == ELEMENT_NODE && child->NodeName() == kItem)
                ReadProperties(collection.Add(), IntfCast<IXMLElement>(child));
        }
    }

private:
    void ReadObject(TPersistent* value, const TIntfPtr<IXMLElement>& element) const {
        auto* strings = dynamic_cast<TStrings*>(value);
        const std::vector<String> lines = strings && element ? ReadLines(element) : std::vector<String>();
        if (element) ReadProperties(value, element);
        if (auto* collection = dynamic_cast<TCollection*>(value)) {
            ReadItems(*collection, element);
        } else if (strings) {
            strings->Updating([&] {
                strings->Clear();
                for (const String& line : lines) strings->Add(line);
            });
        }
    }

    // "Count" lines, line i the text of the first entry "l<i>", empty when there is none.
    std::vector<String> ReadLines(const TIntfPtr<IXMLElement>& element) const {
        const int count = GetNodeAttributeInt(element, kCount, 0);
        std::map<int, String> present;
        const TIntfPtr<IXMLCustomList> entries =
            format_ == pfAttr ? TIntfPtr<IXMLCustomList>(element->Attributes()) : element->ChildNodes();
        for (int i = 0, n = entries->Length(); i < n; ++i) {
            const TIntfPtr<IXMLNode> entry = entries->Item(i);
            if (format_ == pfNode && entry->NodeType() != ELEMENT_NODE) continue;
            const int index = LineIndex(entry->NodeName(), format_ == pfNode);
            if (index >= 0 && index < count && !present.contains(index))
                present.emplace(index, format_ == pfAttr ? entry->NodeValue() : entry->TextContent());
        }
        if (count - static_cast<int64_t>(present.size()) > kMaxAbsentLines)
            throw EXmlDomPersistent("Invalid line count (" + IntToXmlText(count) + ").");
        std::vector<String> lines(static_cast<size_t>(std::max(count, 0)));
        for (auto& [index, text] : present) lines[static_cast<size_t>(index)] = std::move(text);
        return lines;
    }

    std::optional<String> Lookup(const TIntfPtr<IXMLElement>& element, const String& name) const {
        if (format_ == pfAttr) {
            if (const TIntfPtr<IXMLNode> attr = element->Attributes()->GetNamedItem(name)) return attr->NodeValue();
        } else if (const TIntfPtr<IXMLElement> child = ChildElement(element, name)) {
            return child->TextContent();
        }
        return std::nullopt;
    }

    static void ReadValue(TObject* obj, const TPropInfo& prop, const std::optional<String>& text) {
        switch (prop.Kind()) {
        case tkInteger:
        case tkChar:
        case tkWChar:
        case tkEnumeration:
        case tkSet:
            return text ? ReadOrdinal(obj, prop, *text) : SetDeclaredDefault(obj, prop);
        case tkFloat:
            if (!IsDateTimeType(prop.PropType())) return SetFloatProp(obj, &prop, text ? XmlTextToRealDef(*text, 0) : 0);
            if (TDateTime value = 0; !text || TryXmlTextToDateTime(*text, value))
                return SetFloatProp(obj, &prop, value);
            throw EXmlDomPersistent("Error in datetime property " + prop.Name());
        case tkInt64:
            if (!text) return;
            if (int64_t value; TryXmlTextToInt64(*text, value)) return SetInt64Prop(obj, &prop, value);
            throw EXmlDomPersistent("Invalid int64 value (" + *text + ").");
        case tkString:
        case tkLString:
        case tkWString:
        case tkUString:
            return SetStrProp(obj, &prop, text ? *text : String());
        default:
            return;
        }
    }

    static void ReadOrdinal(TObject* obj, const TPropInfo& prop, const String& text) {
        switch (prop.Kind()) {
        case tkInteger:
            if (int32_t value; TryXmlTextToInt(text, value)) return SetOrdProp(obj, &prop, value);
            throw EXmlDomPersistent("Invalid integer value (" + text + ").");
        case tkEnumeration:
            if (!IsBooleanType(prop.PropType())) return SetEnumProp(obj, &prop, text);
            if (bool value; TryXmlTextToBool(text, value)) return SetOrdProp(obj, &prop, value);
            throw EXmlDomPersistent("Invalid boolean value (" + text + ").");
        case tkSet:
            return SetSetProp(obj, &prop, text);
        default:
            if (text.empty()) return SetDeclaredDefault(obj, prop);
            return SetOrdProp(obj, &prop, prop.Kind() == tkChar && text[0] > 0xFF ? u'?' : text[0]);
        }
    }

    // Without a declared default the property keeps its value.
    static void SetDeclaredDefault(TObject* obj, const TPropInfo& prop) {
        if (!prop.HasDefault()) return;
        if (prop.Kind() != tkSet) return SetOrdProp(obj, &prop, prop.Default());
        TSetBits bits;
        bits.Words[0] = static_cast<uint32_t>(prop.Default());
        SetSetBits(obj, &prop, bits);
    }

    TPropFormat format_;
};

TPropFormat DocumentFormat(const TIntfPtr<IXMLElement>& root) {
    if (root)
        for (TPropFormat format : {pfAuto, pfAttr, pfNode})
            if (SameText(root->GetAttribute(kPropFormat), PropFormatText(format))) return format;
    return pfNode;
}

void ReadDocument(TPersistent* instance, IXMLDocument& document) {
    const TIntfPtr<IXMLElement> root = document.DocumentElement();
    const TObjectReader reader(DocumentFormat(root));
    if (auto* collection = dynamic_cast<TCollection*>(instance))
        reader.ReadItems(*collection, root);
    else if (const TIntfPtr<IXMLElement> element = ChildElement(root, instance->ClassName()))
        reader.ReadProperties(instance, element);
}

TIntfPtr<IXMLDocument> NewReadingDocument() {
    TIntfPtr<IXMLDocument> document = NewXMLDocument();
    document->SetKeepWhitespace(true);
    return document;
}

} // namespace

String PropFormatText(TPropFormat format) {
    static const String texts[] = {u"auto", u"attr", u"node"};
    return texts[static_cast<int>(format)];
}

void TXmlDomWriter::SaveToFile(TPersistent* instance, const String& fileName, TPropFormat propFormat,
                               uint8_t outputFormat) {
    BuildDocument(instance, propFormat)->SaveFile(fileName, outputFormat);
}

String TXmlDomWriter::SaveToString(TPersistent* instance, TPropFormat propFormat) {
    return BuildDocument(instance, propFormat)->XmlText();
}

void TXmlDomReader::LoadFromFile(TPersistent* instance, const String& fileName) {
    const TIntfPtr<IXMLDocument> document = NewReadingDocument();
    if (!document->LoadFile(fileName)) {
        const TXMLParseError& error = document->LoadError();
        throw EXmlDomPersistent(Format(u"File \"%s\" is not a well-formed XML document: %s (line %d, column %d).",
                                       {fileName, error.Reason, error.Line, error.Column}));
    }
    ReadDocument(instance, *document);
}

void TXmlDomReader::LoadFromString(TPersistent* instance, const String& xml) {
    const TIntfPtr<IXMLDocument> document = NewReadingDocument();
    document->LoadText(xml);
    ReadDocument(instance, *document);
}
