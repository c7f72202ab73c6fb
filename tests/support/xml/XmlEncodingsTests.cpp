#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/xml/XmlEncodings.h"
#include "support/xml/XmlErrors.h"
#include "XmlTestUtil.h"

namespace {

struct TEncodingSample {
    const char16_t* name;
    std::u16string text;
    std::string bytes;
};

// Text typical for each name an xml declaration may use, with its bytes in that encoding.
const TEncodingSample kSamples[] = {
    {u"shift-jis", u"日本語ｱ", Bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0xB1})},
    {u"utf-16", u"Aé中😀", Bytes({0x41, 0x00, 0xE9, 0x00, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE})},
    {u"windows-1250", u"Łódź", Bytes({0xA3, 0xF3, 0x64, 0x9F})},
    {u"windows-1251", u"Привет", Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2})},
    {u"windows-1252", u"€ café", Bytes({0x80, 0x20, 0x63, 0x61, 0x66, 0xE9})},
    {u"windows-1253", u"Ελλάδα", Bytes({0xC5, 0xEB, 0xEB, 0xDC, 0xE4, 0xE1})},
    {u"windows-1254", u"İzmir ğş", Bytes({0xDD, 0x7A, 0x6D, 0x69, 0x72, 0x20, 0xF0, 0xFE})},
    {u"windows-1255", u"שלום", Bytes({0xF9, 0xEC, 0xE5, 0xED})},
    {u"windows-1256", u"سلام", Bytes({0xD3, 0xE1, 0xC7, 0xE3})},
    {u"windows-1257", u"Rīga ž", Bytes({0x52, 0xEE, 0x67, 0x61, 0x20, 0xFE})},
    {u"windows-1258", u"Việt đơ", Bytes({0x56, 0x69, 0xEA, 0xF2, 0x74, 0x20, 0xF0, 0xF5})},
    {u"iso-8859-1", u"Ñandú", Bytes({0xD1, 0x61, 0x6E, 0x64, 0xFA})},
    {u"iso-8859-2", u"Łódź", Bytes({0xA3, 0xF3, 0x64, 0xBC})},
    {u"iso-8859-3", u"Ħaġar ż", Bytes({0xA1, 0x61, 0xF5, 0x61, 0x72, 0x20, 0xBF})},
    {u"iso-8859-4", u"ķēŗā", Bytes({0xF3, 0xBA, 0xB3, 0xE0})},
    {u"iso-8859-5", u"Привет", Bytes({0xBF, 0xE0, 0xD8, 0xD2, 0xD5, 0xE2})},
    {u"iso-8859-6", u"سلام", Bytes({0xD3, 0xE4, 0xC7, 0xE5})},
    {u"iso-8859-7", u"Ελλάδα", Bytes({0xC5, 0xEB, 0xEB, 0xDC, 0xE4, 0xE1})},
    {u"iso-8859-8", u"שלום", Bytes({0xF9, 0xEC, 0xE5, 0xED})},
    {u"iso-8859-9", u"İzmir ğş", Bytes({0xDD, 0x7A, 0x6D, 0x69, 0x72, 0x20, 0xF0, 0xFE})},
    {u"iso-2022-jp", u"日本", Bytes({0x1B, 0x24, 0x42, 0x46, 0x7C, 0x4B, 0x5C, 0x1B, 0x28, 0x42})},
    {u"euc-jp", u"日本ｱ丂", Bytes({0xC6, 0xFC, 0xCB, 0xDC, 0x8E, 0xB1, 0x8F, 0xB0, 0xA1})},
    {u"utf-8", u"中😀", Bytes({0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80})},
};

const TEncodingSample& SampleOf(const char16_t* name) {
    return *std::find_if(std::begin(kSamples), std::end(kSamples),
                         [&](const TEncodingSample& s) { return std::u16string_view(s.name) == name; });
}

TIntfPtr<IXMLDocument> DocumentDeclaring(const char16_t* name, const String& text) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->AppendChild(doc->CreateProcessingInstruction(u"xml", u"version=\"1.0\" encoding=\"" + String(name) + u"\""));
    TIntfPtr<IXMLElement> root = doc->CreateElement(u"r");
    doc->AppendChild(root);
    root->SetAttribute(u"a", text);
    root->SetTextContent(text);
    return doc;
}

}  // namespace

TEST(XmlEncodings, EveryDeclarableNameConvertsBothWays) {
    for (const TEncodingSample& sample : kSamples) {
        SCOPED_TRACE(String(sample.name).ToUtf8());
        const int codePage = CodePageOfName(sample.name);
        ASSERT_NE(codePage, 0);
        EXPECT_EQ(EncodeCodePage(sample.text, codePage), sample.bytes);
        EXPECT_EQ(DecodeCodePage(sample.bytes, codePage).Std(), sample.text);
    }
}

TEST(XmlEncodings, DocumentIsWrittenAndReadInEveryDeclaredByteEncoding) {
    for (const TEncodingSample& sample : kSamples) {
        if (CodePageOfName(sample.name) == CP_UTF16) continue;
        SCOPED_TRACE(String(sample.name).ToUtf8());
        TIntfPtr<IXMLDocument> doc = DocumentDeclaring(sample.name, sample.text);
        const std::string saved = Saved(*doc, xofNone);
        EXPECT_EQ(saved, "<?xml version=\"1.0\" encoding=\"" + String(sample.name).ToUtf8() + "\"?><r a=\"" +
                             sample.bytes + "\">" + sample.bytes + "</r>");
        TIntfPtr<IXMLDocument> loaded = Parsed(saved);
        ASSERT_NE(loaded->DocumentElement(), nullptr) << loaded->LoadError().Reason.ToUtf8();
        EXPECT_EQ(loaded->DocumentElement()->TextContent().Std(), sample.text);
        EXPECT_EQ(loaded->DocumentElement()->GetAttribute(u"a").Std(), sample.text);
    }
}

// The reader takes the input in chunks; over a long text some character's bytes are
// split between two chunks whatever the chunk size, and for one of the paddings
// the split falls inside a multibyte sequence.
TEST(XmlEncodings, MultibyteCharactersSplitBetweenReadChunksComeBackWhole) {
    for (const char16_t* name : {u"shift-jis", u"euc-jp", u"iso-2022-jp"}) {
        String text;
        for (int i = 0; i < 1500; ++i) text += SampleOf(name).text + (i % 3 ? u"" : u"x");
        for (int padding = 0; padding < 3; ++padding) {
            SCOPED_TRACE(String(name).ToUtf8() + " padding " + std::to_string(padding));
            const String padded = String(static_cast<size_t>(padding), u'p') + text;
            const std::string saved = Saved(*DocumentDeclaring(name, padded), xofNone);
            TIntfPtr<IXMLDocument> loaded = Parsed(saved);
            ASSERT_NE(loaded->DocumentElement(), nullptr) << loaded->LoadError().Reason.ToUtf8();
            EXPECT_EQ(loaded->DocumentElement()->TextContent(), padded);
            EXPECT_EQ(loaded->DocumentElement()->GetAttribute(u"a"), padded);
        }
    }
}

TEST(XmlEncodings, Iso2022JpFollowsEveryEscapeSequence) {
    // JIS X 0208-1983, ASCII, JIS C 6226-1978, JIS X 0201 Roman, and back to ASCII.
    const std::string jis = "\x1B$BF|K\\\x1B(Bab\x1B$@8l\x1B(Jc\x1B(B";
    TIntfPtr<IXMLDocument> doc =
        Parsed("<?xml version=\"1.0\" encoding=\"iso-2022-jp\"?><r a=\"" + jis + "\">" + jis + "</r>");
    ASSERT_NE(doc->DocumentElement(), nullptr) << doc->LoadError().Reason.ToUtf8();
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"日本ab語c");
    EXPECT_EQ(doc->DocumentElement()->GetAttribute(u"a"), u"日本ab語c");
}

TEST(XmlEncodings, ErrorAfterMultibyteTextReportsCharactersNotBytes) {
    const std::string head =
        EncodeCodePage(u"<?xml version=\"1.0\" encoding=\"shift-jis\"?>\n<r a=\"日本\">語ｱ\n<b>日本</c>", 932);
    TIntfPtr<IXMLDocument> doc = Parsed(head + "</r>");
    const TXMLParseError& e = doc->LoadError();
    EXPECT_EQ(e.Code, xeEndTagMismatch);
    EXPECT_EQ(e.Line, 3);
    EXPECT_EQ(e.Column, 9);
    EXPECT_EQ(e.LineText, u"<b>日本</c>");
    EXPECT_EQ(e.FilePosition, static_cast<int64_t>(head.size()));
}

TEST(XmlEncodings, NameOutsideTheTableKeepsUtf8) {
    const std::string text = "<?xml version=\"1.0\" encoding=\"koi8-r\"?><r>\xC3\xA9</r>";
    TIntfPtr<IXMLDocument> doc = Parsed(text);
    ASSERT_NE(doc->DocumentElement(), nullptr);
    EXPECT_EQ(doc->DocumentElement()->TextContent(), u"\u00E9");
    EXPECT_EQ(Saved(*doc, xofNone), text);
}
