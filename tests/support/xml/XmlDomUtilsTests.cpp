#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "support/xml/XmlDomUtils.h"

namespace {

TEST(XmlValues, IntegersAndBooleans) {
    EXPECT_EQ(IntToXmlText(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(Int64ToXmlText(INT64_MIN), u"-9223372036854775808");
    int32_t i = 7;
    EXPECT_TRUE(TryXmlTextToInt(u" -12", i));
    EXPECT_EQ(i, -12);
    for (const char16_t* bad : {u"", u"x", u"1 ", u"2147483648", u"1.5", u"-"}) {
        EXPECT_FALSE(TryXmlTextToInt(bad, i)) << String(bad);
        EXPECT_EQ(XmlTextToIntDef(bad, 99), 99);
    }
    EXPECT_EQ(i, -12);
    int64_t l;
    EXPECT_TRUE(TryXmlTextToInt64(u"9223372036854775807", l));
    EXPECT_EQ(l, INT64_MAX);

    bool b = false;
    for (bool v : {true, false}) {
        ASSERT_TRUE(TryXmlTextToBool(BoolToXmlText(v), b));
        EXPECT_EQ(b, v);
    }
    for (const char16_t* bad : {u"true", u"True", u" 1", u""}) EXPECT_FALSE(TryXmlTextToBool(bad, b));
}

TEST(XmlValues, RealsIgnoreTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // a comma as decimal separator where installed
    const struct {
        double value;
        const char16_t* text;
    } cases[] = {
        {0.5, u"0.5"},        {-1.25, u"-1.25"},    {0, u"0"},
        {1e15, u"1E15"},      {123456789012345, u"123456789012345"},
        {0.0001, u"0.0001"},  {0.00001, u"1E-5"},   {1.0 / 3, u"0.333333333333333"},
        {2.5e-10, u"2.5E-10"},
    };
    for (const auto& c : cases) EXPECT_EQ(RealToXmlText(c.value), c.text);
    double d = 0;
    ASSERT_TRUE(TryXmlTextToReal(u"0.5", d));
    EXPECT_EQ(d, 0.5);
    ASSERT_TRUE(TryXmlTextToReal(u"1E-5", d));
    EXPECT_EQ(d, 1e-5);
    EXPECT_FALSE(TryXmlTextToReal(u"0,5", d));
    EXPECT_EQ(XmlTextToRealDef(u"x", 2.5), 2.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(XmlValues, DatesAndTimes) {
    const TDateTime day = 41275;  // 2013-01-01
    const TDateTime time = (8 * 3600 + 5 * 60 + 3.25) / 86400;
    EXPECT_EQ(DateTimeToXmlText(day + time), u"2013-01-01T08:05:03.250");
    EXPECT_EQ(DateTimeToXmlText(day), u"2013-01-01");
    EXPECT_EQ(DateTimeToXmlText(time), u"08:05:03.250");
    EXPECT_EQ(DateTimeToXmlTextFull(time), u"T08:05:03.250");
    EXPECT_EQ(DateToXmlText(2), u"1900-01-01");

    EXPECT_NEAR(XmlTextToDateTime(u"2013-01-01T08:05:03.250"), day + time, 1e-9);
    EXPECT_EQ(XmlTextToDateTime(u"2013-01-01"), day);
    EXPECT_NEAR(XmlTextToDateTime(u"08:05:03.250"), time, 1e-9);
    EXPECT_EQ(XmlTextToDateTime(u"1899-12-29T06:00:00.000"), -1.25);
    EXPECT_EQ(DateTimeToXmlText(-1.25), u"1899-12-29T06:00:00.000");
    EXPECT_NEAR(XmlTextToTime(u" 00:00:01.5 "), 1.005 / 86400, 1e-12);  // the digits are milliseconds
    EXPECT_EQ(XmlTextToTime(u""), 0);
    TDateTime v = 5;
    for (const char16_t* bad : {u"2013-13-01", u"2013-02-29", u"25:00:00", u"a:b:c", u"2013-01", u"12"}) {
        EXPECT_FALSE(TryXmlTextToDateTime(bad, v)) << String(bad);
        EXPECT_THROW(XmlTextToDateTime(bad), EConvertError) << String(bad);
    }
    EXPECT_EQ(v, 5);
    // Round trip of a whole range of values, to the millisecond.
    for (double t = -693000.0; t < 2958000; t += 12345.678901) {
        const double ms = std::round(t * 86400000) / 86400000;
        EXPECT_NEAR(XmlTextToDateTime(DateTimeToXmlText(ms)), ms, 1e-8) << t;
    }
}

TEST(XmlValues, AttributeRoutines) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> root = doc->CreateElement(u"data");
    doc->SetDocumentElement(root);
    EXPECT_TRUE(IsDocumentNode(doc));
    EXPECT_FALSE(IsDocumentNode(root));
    EXPECT_EQ(OwnerDocumentOf(root), doc);
    EXPECT_EQ(DocumentElementOf(root), root);
    SetNodeAttributeInt(root, u"n", 42);
    SetNodeAttribute(root, u"s", u"x");
    String s;
    EXPECT_TRUE(GetNodeAttribute(doc, u"s", s));  // a document reads its root's attributes
    EXPECT_EQ(s, u"x");
    EXPECT_FALSE(GetNodeAttribute(root, u"missing", s));
    EXPECT_EQ(GetNodeAttributeInt(root, u"n", -1), 42);
    EXPECT_EQ(GetNodeAttributeInt(root, u"s", -1), -1);
    EXPECT_EQ(GetNodeAttributeInt(root, u"missing", -1), -1);
    SetNodeAttributeInt(root, u"n", 7);
    EXPECT_EQ(root->Attributes()->Length(), 2);
    EXPECT_EQ(root->GetAttribute(u"n"), u"7");
}

}  // namespace
