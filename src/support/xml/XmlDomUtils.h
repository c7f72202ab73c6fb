#pragma once
// Locale-independent texts of property values in XML, and attribute helpers
// over the DOM. Dates are TDateTime values: days since 1899-12-30 with the
// time of day as fraction.

#include <cstdint>

#include "platform/rtl/DateTime.h"
#include "support/xml/XmlDom.h"

String IntToXmlText(int32_t value);
String Int64ToXmlText(int64_t value);
String BoolToXmlText(bool value);
String RealToXmlText(double value);
String DateToXmlText(TDateTime value);
String TimeToXmlText(TDateTime value);
String DateTimeToXmlTextFull(TDateTime value);
String DateTimeToXmlText(TDateTime value);

// The run-time library's integer reading; Value is written only on success.
bool TryXmlTextToInt(const String& text, int32_t& value);
int32_t XmlTextToIntDef(const String& text, int32_t def);
bool TryXmlTextToInt64(const String& text, int64_t& value);
bool TryXmlTextToBool(const String& text, bool& value);
bool TryXmlTextToReal(const String& text, double& value);
double XmlTextToRealDef(const String& text, double def);
bool TryXmlTextToDateTime(const String& text, TDateTime& value);
// Raise EConvertError on malformed or out-of-range parts.
TDateTime XmlTextToDateTime(const String& text);
TDateTime XmlTextToTime(const String& text);

bool IsDocumentNode(const TIntfPtr<IXMLNode>& node);
TIntfPtr<IXMLDocument> OwnerDocumentOf(const TIntfPtr<IXMLNode>& node);
TIntfPtr<IXMLElement> DocumentElementOf(const TIntfPtr<IXMLNode>& node);
// A document stands for its root element.
bool GetNodeAttribute(const TIntfPtr<IXMLNode>& node, const String& name, String& value);
int32_t GetNodeAttributeInt(const TIntfPtr<IXMLNode>& node, const String& name, int32_t def);
void SetNodeAttribute(const TIntfPtr<IXMLNode>& node, const String& name, const String& value);
void SetNodeAttributeInt(const TIntfPtr<IXMLNode>& node, const String& name, int32_t value);
