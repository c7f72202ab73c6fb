#include "support/xml/XmlDomUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

String Ascii(std::string_view s) { return String(s); }

template <class T>
bool TryParseInteger(const String& text, T& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    std::string digits;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) digits += static_cast<char>(text[i++]);
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        digits += static_cast<char>(text[i]);
    }
    const char* first = digits.data() + (digits[0] == '+' ? 1 : 0);
    T parsed;
    const auto [end, ec] = std::from_chars(first, digits.data() + digits.size(), parsed);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    value = parsed;
    return true;
}

int ParseIntOrRaise(const String& text) {
    int32_t v;
    if (!TryXmlTextToInt(Trim(text), v)) throw EConvertError("'" + text + "' is not a valid integer value");
    return v;
}

// Days from 0001-01-01 style civil date to the TDateTime day count.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kEpochOffset = 25569;  // TDateTime of 1970-01-01

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

TDateTime EncodeDate(int y, int m, int d) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1] + (m == 2 && IsLeap(y)))
        throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(DaysFromCivil(y, m, d) + kEpochOffset);
}

TDateTime EncodeTime(int h, int n, int s, int ms) {
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999)
        throw EConvertError("Invalid argument to time encode");
    return (h * 3600000.0 + n * 60000.0 + s * 1000.0 + ms) / 86400000.0;
}

// Milliseconds of the day of Value, rounded, and the day count.
void SplitDateTime(TDateTime value, int64_t& days, int64_t& ms) {
    const int64_t total = std::llround(value * 86400000.0);
    // Before the epoch the fraction still counts forward from midnight.
    days = static_cast<int64_t>(std::trunc(value));
    ms = std::llabs(total - days * 86400000LL);
    if (ms >= 86400000LL) {
        days += value < 0 ? -1 : 1;
        ms -= 86400000LL;
    }
}

String Pad(int64_t v, int width) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(v));
    return Ascii(buf);
}

}  // namespace

String IntToXmlText(int32_t value) { return Ascii(std::to_string(value)); }
String Int64ToXmlText(int64_t value) { return Ascii(std::to_string(value)); }
String BoolToXmlText(bool value) { return value ? u"1" : u"0"; }

String RealToXmlText(double value) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
    if (value == 0) return u"0";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string sci(buf, res.ptr);
    const size_t e = sci.find('e');
    const int exponent = std::stoi(sci.substr(e + 1));
    std::string mantissa = sci.substr(0, e);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits = mantissa.substr(0, 1) + mantissa.substr(2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
        out += digits + std::string(static_cast<size_t>(exponent + 1) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<size_t>(exponent) + 1) + "." + digits.substr(static_cast<size_t>(exponent) + 1);
    }
    return Ascii(out);
}

String DateToXmlText(TDateTime value) {
    int64_t days, ms;
    SplitDateTime(value, days, ms);
    int y, m, d;
    CivilFromDays(days - kEpochOffset, y, m, d);
    return Pad(y, 4) + u"-" + Pad(m, 2) + u"-" + Pad(d, 2);
}

String TimeToXmlText(TDateTime value) {
    int64_t days, ms;
    SplitDateTime(value, days, ms);
    return Pad(ms / 3600000, 2) + u":" + Pad(ms / 60000 % 60, 2) + u":" + Pad(ms / 1000 % 60, 2) + u"." +
           Pad(ms % 1000, 3);
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

bool TryXmlTextToInt(const String& text, int32_t& value) { return TryParseInteger(text, value); }

int32_t XmlTextToIntDef(const String& text, int32_t def) {
    int32_t v;
    return TryXmlTextToInt(text, v) ? v : def;
}

bool TryXmlTextToInt64(const String& text, int64_t& value) { return TryParseInteger(text, value); }

bool TryXmlTextToBool(const String& text, bool& value) {
    if (text == u"1" || text == u"0") {
        value = text == u"1";
        return true;
    }
    return false;
}

bool TryXmlTextToReal(const String& text, double& value) {
    const std::string s = Trim(text).ToUtf8();
    if (s.empty()) return false;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double parsed;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), parsed);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    value = parsed;
    return true;
}

double XmlTextToRealDef(const String& text, double def) {
    double v;
    return TryXmlTextToReal(text, v) ? v : def;
}

TDateTime XmlTextToTime(const String& text) {
    String rest = Trim(text);
    if (rest.empty()) return 0;
    const size_t c1 = rest.find(u':');
    if (c1 == String::npos) throw EConvertError("'" + text + "' is not a valid time");
    const int hours = ParseIntOrRaise(rest.substr(0, c1));
    rest.erase(0, c1 + 1);
    const size_t c2 = rest.find(u':');
    if (c2 == String::npos) throw EConvertError("'" + text + "' is not a valid time");
    const int minutes = ParseIntOrRaise(rest.substr(0, c2));
    rest.erase(0, c2 + 1);
    int ms = 0;
    if (const size_t dot = rest.find(u'.'); dot != String::npos) {
        ms = ParseIntOrRaise(rest.substr(dot + 1));
        rest.erase(dot);
    }
    return EncodeTime(hours, minutes, ParseIntOrRaise(rest), ms);
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
        result = EncodeDate(ParseIntOrRaise(date.substr(0, d1)), ParseIntOrRaise(date.substr(d1 + 1, d2 - d1 - 1)),
                            ParseIntOrRaise(date.substr(d2 + 1)));
    }
    return result + XmlTextToTime(time);
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
