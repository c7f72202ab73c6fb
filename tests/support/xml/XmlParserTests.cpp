#include <gtest/gtest.h>

#include "XmlTestUtil.h"

namespace {

std::string Utf16(const std::u16string& s, bool bigEndian, bool mark) {
    std::string out = mark ? (bigEndian ? Bytes({0xFE, 0xFF}) : Bytes({0xFF, 0xFE})) : std::string();
    for (char16_t c : s) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

std::string Utf32(const std::u32string& s, bool bigEndian) {
    std::string out = bigEndian ? Bytes({0, 0, 0xFE, 0xFF}) : Bytes({0xFF, 0xFE, 0, 0});
    for (char32_t c : s)
        for (int k = 0; k < 4; ++k) out += static_cast<char>((c >> (8 * (bigEndian ? 3 - k : k))) & 0xFF);
    return out;
}

TEST(XmlParser, ReadsEveryEncodingWithAndWithoutMark) {
    const std::u16string text16 = u"<r a=\"\u00E9\">\u4E2D\U0001F600</r>";
    const std::u32string text32 = U"<r a=\"\u00E9\">\u4E2D\U0001F600</r>";
    const std::string utf8 = String(text16).ToUtf8();
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"utf-8", utf8},
        {"utf-8 mark", Bytes({0xEF, 0xBB, 0xBF}) + utf8},
        {"utf-16le mark", Utf16(text16, false, true)},
        {"utf-16be mark", Utf16(text16, true, true)},
        {"utf-32le mark", Utf32(text32, false)},
        {"utf-32be mark", Utf32(text32, true)},
    };
    for (const auto& c : cases) {
        TIntfPtr<IXMLDocument> doc = Parsed(c.bytes);
        ASSERT_EQ(doc->LoadError().Reason, u"") << c.name;
        EXPECT_EQ(doc->DocumentElement()->TextContent(), u"\u4E2D\U0001F600") << c.name;
        EXPECT_EQ(doc->DocumentElement()->GetAttribute(u"a"), u"\u00E9") << c.name;
    }
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    ASSERT_TRUE(doc->LoadText(String(text16)));
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"\u4E2D\U0001F600");
}

TEST(XmlParser, EncodingDeclarationSwitchesOnlyByteEncodings) {
    // UTF-8 with mark, declared windows-1252: bytes after the declaration are code page 1252.
    TIntfPtr<IXMLDocument> doc =
        Parsed(Bytes({0xEF, 0xBB, 0xBF}) + "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + "<r>" +
               Bytes({0xE9}) + "</r>");
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"\u00E9");
    // UTF-16 text keeps its decoding whatever it declares.
    ASSERT_TRUE(doc->LoadText(u"<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\u4E2D</r>"));
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"\u4E2D");
    doc = Parsed(Utf16(u"<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\u4E2D</r>", true, true));
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"\u4E2D");
}

TEST(XmlParser, ReferencesAndSpecialSections) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    ASSERT_TRUE(doc->LoadText(u"<a>x &amp; &#65; &#x42; &eacute; &#128512;</a>"));
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"x & A B \u00E9 \U0001F600");
    ASSERT_TRUE(doc->LoadText(u"<r><!-- a -- b --><![CDATA[x]]y]]]><!DOCTYPE r [<!ENTITY e \">\">]></r>"));
    const TIntfPtr<IXMLNodeList>& kids = doc->DocumentElement()->ChildNodes();
    ASSERT_EQ(kids->Length(), 3);
    EXPECT_EQ(kids->Item(0)->NodeValue(), u" a ");
    EXPECT_EQ(kids->Item(1)->NodeValue(), u"x]]y]");
    EXPECT_EQ(kids->Item(2)->NodeValue(), u"r [<!ENTITY e \">\">]");
    ASSERT_TRUE(doc->LoadText(u"<a x='1' x='2'/>"));
    EXPECT_EQ(doc->DocumentElement()->Attributes()->Length(), 2);
    EXPECT_EQ(doc->DocumentElement()->GetAttribute(u"x"), u"1");
}

TEST(XmlParser, InternalSubsetMarkupEndsNothing) {
    const struct {
        const char16_t* text;
        const char16_t* docType;
    } cases[] = {
        {u"<!DOCTYPE a [ <!-- it's --> ]><a/>", u"a [ <!-- it's --> ]"},
        {u"<!DOCTYPE a [ <!-- ] > \" --> ]><a/>", u"a [ <!-- ] > \" --> ]"},
        {u"<!DOCTYPE a [ <?pi it's ] > ?> ]><a/>", u"a [ <?pi it's ] > ?> ]"},
        {u"<!DOCTYPE a [ <!ENTITY e \"]>'\"> <!ENTITY f '\"[>'> ]><a/>",
         u"a [ <!ENTITY e \"]>'\"> <!ENTITY f '\"[>'> ]"},
        {u"<!DOCTYPE a SYSTEM \"it's.dtd\"><a/>", u"a SYSTEM \"it's.dtd\""},
        {u"<!DOCTYPE a [<!---->]><a/>", u"a [<!---->]"},
    };
    for (const auto& c : cases) {
        TIntfPtr<IXMLDocument> doc = NewXMLDocument();
        ASSERT_TRUE(doc->LoadText(c.text)) << String(c.text);
        ASSERT_NE(doc->DocType(), nullptr) << String(c.text);
        EXPECT_EQ(doc->DocType()->NodeValue(), c.docType);
        ASSERT_NE(doc->DocumentElement(), nullptr) << String(c.text);
        EXPECT_EQ(doc->DocumentElement()->NodeName(), u"a");
    }
}

TEST(XmlParser, InputEndingInsideADocumentTypeIsAnError) {
    for (const char16_t* text : {u"<!DOCTYPE a", u"<!DOCTYPE a [ <!ENTITY e \"x\">", u"<!DOCTYPE a [ <!-- it's",
                                 u"<!DOCTYPE a [ <!-- x -->", u"<!DOCTYPE a [ <?pi x ?", u"<!DOCTYPE a SYSTEM 'x>",
                                 u"<!DOCTYPE a [ <!-- x --> ]"}) {
        TIntfPtr<IXMLDocument> doc = NewXMLDocument();
        EXPECT_FALSE(doc->LoadText(text)) << String(text);
        EXPECT_EQ(doc->LoadError().Code, xeExpectingGreaterThan) << String(text);
        EXPECT_EQ(doc->LoadError().Reason, u"The character \">\" was expected.") << String(text);
    }
}

TEST(XmlParser, WhitespaceBetweenElements) {
    const std::string text = "<r>\n  <a/>\n</r>";
    EXPECT_EQ(Parsed(text, true)->DocumentElement()->ChildNodes()->Length(), 3);
    EXPECT_EQ(Parsed(text, true)->DocumentElement()->FirstChild()->NodeValue(), u"\n  ");
    EXPECT_EQ(Parsed(text, false)->DocumentElement()->ChildNodes()->Length(), 1);
    // White space alone loads: one empty text node and no element.
    TIntfPtr<IXMLDocument> blank = NewXMLDocument();
    EXPECT_TRUE(blank->LoadText(u"  \n "));
    EXPECT_EQ(blank->ChildNodes()->Length(), 1);
    EXPECT_EQ(blank->DocumentElement(), nullptr);
}

TEST(XmlParser, MalformedInputReportsRowLineAndColumn) {
    const struct {
        const char16_t* text;
        int code;
        const char16_t* reason;
        int line;
        int column;
    } cases[] = {
        {u"", 46, u"XML document must have a top level element.", 1, 0},
        {u"<a><b></a>", 67, u"End tag a does not match the start tag b.", 1, 10},
        {u"<a><b>", 41, u"The following tags were not closed: a, b.", 1, 6},
        {u"<a></a >", 67, u"End tag a  does not match the start tag a.", 1, 8},
        {u"<a>&Amp;</a>", 92, u"Reference to undefined entity Amp.", 1, 8},
        {u"<a>&#X41;</a>", 19, u"An invalid character was found inside an entity reference.", 1, 6},
        {u"<a>&#1x;</a>", 34, u"Invalid character for decimal digit.", 1, 7},
        {u"<a>&#1;</a>", 36, u"Invalid Unicode character value for this platform.", 1, 7},
        {u"<a>&#x1;</a>", 36, u"Invalid Unicode character value for this platform.", 1, 8},
        {u"<a>&#1114112;</a>", 36, u"Invalid Unicode character value for this platform.", 1, 12},
        {u"<a>&# 1;</a>", 24, u"Whitespace is not allowed at this location.", 1, 6},
        {u"<a>&am p;</a>", 18, u"A semi colon character was expected.", 1, 7},
        {u"<1/>", 9, u"A name started with an invalid character.", 1, 2},
        {u"<a%/>", 10, u"A name contained an invalid character.", 1, 3},
        {u"<a x/>", 10, u"A name contained an invalid character.", 1, 5},
        {u"<a x />", 4, u"Missing equals sign between attribute and attribute value.", 1, 6},
        {u"<a x=1/>", 7, u"A string literal was expected, but no opening quote character was found.", 1, 6},
        {u"<a x='<'/>", 11, u"The character \"<\" cannot be used in an attribute value.", 1, 7},
        {u"<a / >", 24, u"Whitespace is not allowed at this location.", 1, 5},
        {u"<a /x>", 15, u"The character \">\" was expected.", 1, 5},
        {u"<a x='1'", 52, u"Element was not closed.", 1, 8},
        {u"<a><?xml x?></a>", 45, u"Invalid XML declaration.", 1, 9},
        {u"<r>\n  <a>\n  </b>", 67, u"End tag b does not match the start tag a.", 3, 6},
    };
    for (const auto& c : cases) {
        TIntfPtr<IXMLDocument> doc = NewXMLDocument();
        EXPECT_FALSE(doc->LoadText(c.text)) << String(c.text);
        const TXMLParseError& e = doc->LoadError();
        EXPECT_EQ(e.Code, c.code) << String(c.text);
        EXPECT_EQ(e.Reason, c.reason) << String(c.text);
        EXPECT_EQ(e.Line, c.line) << String(c.text);
        EXPECT_EQ(e.Column, c.column) << String(c.text);
    }
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    EXPECT_FALSE(doc->LoadText(u"<r>\n  <a>\n  </b>"));
    EXPECT_EQ(doc->LoadError().LineText, u"  </b>");
    EXPECT_THROW(doc->LoadText(u"<a><!-x--></a>"), Exception);
}

TEST(XmlParser, DeepNestingIsAnErrorNotACrash) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    TIntfPtr<IXMLDocument> doc = Parsed(deep);
    EXPECT_EQ(doc->LoadError().Code, xeNestedTooDeep);
    EXPECT_EQ(doc->LoadError().Reason, u"Elements are nested more than 256 levels deep.");
    std::string fine;
    for (int i = 0; i < 200; ++i) fine += "<a>";
    for (int i = 0; i < 200; ++i) fine += "</a>";
    EXPECT_EQ(Parsed(fine)->LoadError().Reason, u"");
}

TEST(XmlParser, LoadFileReportsTheFileName) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    const std::string path = std::string(std::getenv("OSTREL_HOME")) + "/bad.xml";
    {
        FILE* f = fopen(path.c_str(), "wb");
        fputs("<a>\n<b></a>", f);
        fclose(f);
    }
    EXPECT_FALSE(doc->LoadFile(String(path)));
    EXPECT_EQ(doc->LoadError().FileName, String(path));
    EXPECT_EQ(doc->LoadError().Line, 2);
    EXPECT_TRUE(doc->LoadText(u"<a/>"));
    EXPECT_EQ(doc->LoadError().FileName, u"");
}

}  // namespace
