#include "support/xml/XmlDomUtils.h"

#include <cmath>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/DateTime.h"

namespace {

String Pad(int value, int width) {
    String s = IntToStr(value);
    return s.Length() < width ? String(static_cast<size_t>(width - s.Length()), u'0') + s : s;
}

int PartOf(const String& text) { return StrToInt(Trim(text)); }

}  // namespace

String IntToXmlText(int32_t value) { return IntToStr(value); }
String Int64ToXmlText(int64_t value) { return IntToStr(value); }
String BoolToXmlText(bool value) { return value ? u"1" : u"0"; }
String RealToXmlText(double value) { return FloatToStr(value, TFormatSettings::Invariant()); }

String DateToXmlText(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return Pad(y, 4) + u"-" + Pad(m, 2) + u"-" + Pad(d, 2);
}

String TimeToXmlText(TDateTime value) {
    int h, n, s, ms;
    DecodeTime(value, h, n, s, ms);
    return Pad(h, 2) + u":" + Pad(n, 2) + u":" + Pad(s, 2) + u"." + Pad(ms, 3);
}

String DateTimeToXmlTextFull(TDateTime value) {
    const String time = u"T" + TimeToXmlText(value);
    return std::trunc(value) != 0 ? DateToXmlText(value) + time : time;
}

String DateTimeToXmlText(TDateTime value) {
    if (std::trunc(value) == 0) return TimeToXmlText(value);
    if (value != std::trunc(value)) return DateTimeToXmlTextFull(value);
    return DateToXmlText(value);
}

bool TryXmlTextToInt(const String& text, int32_t& value) { return TryStrToInt(text, value); }

int32_t XmlTextToIntDef(const String& text, int32_t def) { return StrToIntDef(text, def); }

bool TryXmlTextToInt64(const String& text, int64_t& value) { return TryStrToInt64(text, value); }

bool TryXmlTextToBool(const String& text, bool& value) {
    if (text == u"1" || text == u"0") {
        value = text == u"1";
        return true;
    }
    return false;
}

bool TryXmlTextToReal(const String& text, double& value) { return TryStrToFloat(text, value, TFormatSettings::Invariant()); }

double XmlTextToRealDef(const String& text, double def) { return StrToFloatDef(text, def, TFormatSettings::Invariant()); }

TDateTime XmlTextToTime(const String& text) {
    String rest = Trim(text);
    if (rest.empty()) return 0;
    const size_t c1 = rest.find(u':');
    if (c1 == String::npos) throw EConvertError("'" + text + "' is not a valid time");
    const int hours = PartOf(rest.substr(0, c1));
    rest.erase(0, c1 + 1);
    const size_t c2 = rest.find(u':');
    if (c2 == String::npos) throw EConvertError("'" + text + "' is not a valid time");
    const int minutes = PartOf(rest.substr(0, c2));
    rest.erase(0, c2 + 1);
    int ms = 0;
    if (const size_t dot = rest.find(u'.'); dot != String::npos) {
        ms = PartOf(rest.substr(dot + 1));
        rest.erase(dot);
    }
    return EncodeTime(hours, minutes, PartOf(rest), ms);
}

TDateTime XmlTextToDateTime(const String& text) {
    String date, time;
    if (const size_t t = text.find(u'T'); t != String::npos) {
        date = text.substr(0, t);
        time = text.substr(t + 1);
    } else if (text.find(u'-') != String::npos) {
        date = text;
    } else {
        time = text;
    }
    date = Trim(date);
    TDateTime result = 0;
    if (!date.empty()) {
        const size_t d1 = date.find(u'-');
        const size_t d2 = d1 == String::npos ? String::npos : date.find(u'-', d1 + 1);
        if (d2 == String::npos) throw EConvertError("'" + text + "' is not a valid date");
        result = EncodeDate(PartOf(date.substr(0, d1)), PartOf(date.substr(d1 + 1, d2 - d1 - 1)),
                            PartOf(date.substr(d2 + 1)));
    }
    // Before 1899-12-30 the time of day counts forward from midnight on a negative day number.
    const TDateTime timeOfDay = XmlTextToTime(time);
    return result < 0 ? result - timeOfDay : result + timeOfDay;
}

bool TryXmlTextToDateTime(const String& text, TDateTime& value) {
    try {
        value = XmlTextToDateTime(text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool IsDocumentNode(const TIntfPtr<IXMLNode>& node) { return Supports(node, IXMLDocument::IID); }

TIntfPtr<IXMLDocument> OwnerDocumentOf(const TIntfPtr<IXMLNode>& node) {
    TIntfPtr<IXMLDocument> doc;
    return Supports(node, doc) ? doc : node->OwnerDocument();
}

TIntfPtr<IXMLElement> DocumentElementOf(const TIntfPtr<IXMLNode>& node) {
    const TIntfPtr<IXMLDocument> doc = OwnerDocumentOf(node);
    return doc ? doc->DocumentElement() : nullptr;
}

bool GetNodeAttribute(const TIntfPtr<IXMLNode>& node, const String& name, String& value) {
    RTL_ASSERT(node != nullptr);
    TIntfPtr<IXMLNode> target = node;
    if (IsDocumentNode(node))
        if (TIntfPtr<IXMLElement> root = DocumentElementOf(node)) target = root;
    const TIntfPtr<IXMLNode> attr = target->Attributes()->GetNamedItem(name);
    if (!attr) return false;
    value = attr->NodeValue();
    return true;
}

int32_t GetNodeAttributeInt(const TIntfPtr<IXMLNode>& node, const String& name, int32_t def) {
    String text;
    return GetNodeAttribute(node, name, text) ? XmlTextToIntDef(text, def) : def;
}

void SetNodeAttribute(const TIntfPtr<IXMLNode>& node, const String& name, const String& value) {
    const TIntfPtr<IXMLDocument> doc = OwnerDocumentOf(node);
    RTL_ASSERT(doc != nullptr, "XmlDomUtils: node outlived its document");
    const TIntfPtr<IXMLAttribute> attr = doc->CreateAttribute(name);
    attr->SetNodeValue(value);
    node->Attributes()->SetNamedItem(attr);
}

void SetNodeAttributeInt(const TIntfPtr<IXMLNode>& node, const String& name, int32_t value) {
    SetNodeAttribute(node, name, IntToXmlText(value));
}
