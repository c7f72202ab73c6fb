#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ResourceLimit.h"
#include "XmlTestUtil.h"

namespace {

TIntfPtr<IXMLDocument> ConfigDocument() {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> root = doc->CreateElement(u"data");
    doc->SetDocumentElement(root);
    root->SetAttribute(u"PropFormat", u"node");
    TIntfPtr<IXMLElement> config = doc->CreateElement(u"TAVConfiguration");
    root->AppendChild(config);
    TIntfPtr<IXMLElement> threads = doc->CreateElement(u"ThreadCount");
    threads->SetTextContent(u"2");
    config->AppendChild(threads);
    TIntfPtr<IXMLElement> folder = doc->CreateElement(u"OutputFolder");
    folder->SetTextContent(u"C:\\Conversion");
    config->AppendChild(folder);
    return doc;
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* line : lines) s += (s.empty() ? "" : "\r\n") + std::string(line);
    return s;
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::filesystem::path TestFolder(const char* name) {
    const auto dir = std::filesystem::path(std::getenv("OSTREL_HOME")) / name;
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(XmlWriter, SmallDocumentInEachFormat) {
    TIntfPtr<IXMLDocument> doc = ConfigDocument();
    EXPECT_EQ(Saved(*doc, xofIndent), Lines({"<data PropFormat=\"node\">", "  <TAVConfiguration>",
                                             "    <ThreadCount>2</ThreadCount>",
                                             "    <OutputFolder>C:\\Conversion</OutputFolder>",
                                             "  </TAVConfiguration>", "</data>"}));
    EXPECT_EQ(Saved(*doc, xofFlat),
              Lines({"<data PropFormat=\"node\">", "<TAVConfiguration>", "<ThreadCount>2</ThreadCount>",
                     "<OutputFolder>C:\\Conversion</OutputFolder>", "</TAVConfiguration>", "</data>"}));
    const char* oneLine =
        "<data PropFormat=\"node\"><TAVConfiguration><ThreadCount>2</ThreadCount>"
        "<OutputFolder>C:\\Conversion</OutputFolder></TAVConfiguration></data>";
    EXPECT_EQ(Saved(*doc, xofNone), oneLine);
    EXPECT_EQ(doc->XmlText(), String(oneLine));
}

TEST(XmlWriter, EmptyElementsEscapesAndLineEnds) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> a = doc->CreateElement(u"a");
    doc->AppendChild(a);
    EXPECT_EQ(Saved(*doc, xofIndent), "<a />");
    EXPECT_EQ(Saved(*doc, xofFlat), "<a/>");
    EXPECT_EQ(Saved(*doc, xofNone), "<a/>");
    a->SetAttribute(u"v", u"a<b&c'd\"e>");
    a->SetTextContent(u"a<b&c'd\"e>\nz");
    EXPECT_EQ(Saved(*doc, xofNone),
              "<a v=\"a&lt;b&amp;c&apos;d&quot;e&gt;\">a&lt;b&amp;c&apos;d&quot;e&gt;\r\nz</a>");
    TIntfPtr<IXMLDocument> back = Parsed(Saved(*doc, xofNone));
    EXPECT_EQ(back->DocumentElement()->TextContent(), u"a<b&c'd\"e>\nz");
    EXPECT_EQ(back->DocumentElement()->GetAttribute(u"v"), u"a<b&c'd\"e>");

    TIntfPtr<IXMLElement> e = doc->CreateElement(u"e");
    e->SetAttribute(u"a", u"1");
    EXPECT_EQ(e->XmlText(), u"<e a=\"1\"/>");
    EXPECT_EQ(doc->CreateTextNode(u"x<y")->XmlText(), u"x&lt;y");
}

TEST(XmlWriter, CommentsAndCDataStartNewLines) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->AppendChild(doc->CreateComment(u"c\nd"));
    TIntfPtr<IXMLElement> root = doc->CreateElement(u"r");
    doc->AppendChild(root);
    root->AppendChild(doc->CreateCDATASection(u"x<y"));
    root->AppendChild(doc->CreateProcessingInstruction(u"pi", u""));
    EXPECT_EQ(Saved(*doc, xofIndent),
              "\r\n" + Lines({"<!--c", "d-->", "<r>", "  <![CDATA[x<y]]>", "  <?pi ?>", "</r>"}));
    EXPECT_EQ(Saved(*doc, xofNone), "<!--c\r\nd--><r><![CDATA[x<y]]><?pi ?></r>");
}

TEST(XmlWriter, DeclaredEncodingChoosesTheCodePage) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    doc->AppendChild(doc->CreateProcessingInstruction(u"xml", u"version=\"1.0\" encoding=\"utf-16\""));
    TIntfPtr<IXMLElement> root = doc->CreateElement(u"r");
    doc->AppendChild(root);
    root->SetTextContent(u"\u0416");
    std::string expected = Bytes({0xFF, 0xFE});
    for (char16_t c : std::u16string(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<r>\u0416</r>"))
        expected += static_cast<char>(c & 0xFF), expected += static_cast<char>(c >> 8);
    EXPECT_EQ(Saved(*doc, xofIndent), expected);

    doc->FirstChild()->CloneNode(false);  // clones are not in the document
    IntfCast<IXMLProcessingInstruction>(doc->FirstChild())
        ->SetData(u"version=\"1.0\" encoding=\"windows-1251\"");
    EXPECT_EQ(Saved(*doc, xofNone), "<?xml version=\"1.0\" encoding=\"windows-1251\"?><r>" + Bytes({0xC6}) + "</r>");
    // Reading it back switches to the declared code page after the declaration.
    EXPECT_EQ(Parsed(Saved(*doc, xofNone))->DocumentElement()->TextContent(), u"\u0416");
}

TEST(XmlWriter, ShortWriteRaises) {
    struct TFullStream : TBytesStream {
        int64_t Write(const void* buffer, int64_t count) override {
            return TBytesStream::Write(buffer, std::min<int64_t>(count, 20 - Size()));
        }
    } stream;
    EXPECT_THROW(ConfigDocument()->SaveStream(stream, xofIndent), EWriteError);
}

TEST(XmlSaveFile, SavingTwiceGivesIdenticalBytesAndNoLeftovers) {
    const auto dir = TestFolder("save-twice");
    const auto path = dir / "Config.Xml";
    TIntfPtr<IXMLDocument> doc = ConfigDocument();
    doc->SaveFile(String(path.string()), xofIndent);
    const std::string first = FileBytes(path);
    doc->SaveFile(String(path.string()), xofIndent);
    EXPECT_EQ(FileBytes(path), first);
    EXPECT_EQ(first, Saved(*doc, xofIndent));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    TIntfPtr<IXMLDocument> back = NewXMLDocument();
    back->SetKeepWhitespace(false);
    ASSERT_TRUE(back->LoadFile(String(path.string())));
    EXPECT_EQ(Saved(*back, xofIndent), first);
}

TEST(XmlSaveFile, FailedSaveRaisesAndKeepsTheOldFile) {
    const auto dir = TestFolder("save-fail");
    const auto path = dir / "Config.Xml";
    TIntfPtr<IXMLDocument> doc = ConfigDocument();
    doc->SaveFile(String(path.string()), xofIndent);
    const std::string old = FileBytes(path);

    // A full disk: the file size limit makes the write fail part-way.
    TIntfPtr<IXMLElement> big = doc->CreateElement(u"Big");
    big->SetTextContent(String(std::string(200000, 'x')));
    doc->DocumentElement()->AppendChild(big);
    const auto save = [&] { doc->SaveFile(String(path.string()), xofIndent); };
    EXPECT_TRUE(RaisesWithFileSizeLimit<EWriteError>(65536, save));
    EXPECT_EQ(FileBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    EXPECT_THROW(doc->SaveFile(String((dir / "missing" / "Config.Xml").string()), xofIndent), EFCreateError);
    EXPECT_THROW(doc->SaveFile(String((path / "Config.Xml").string()), xofIndent), EFCreateError);
    EXPECT_THROW(NewXMLDocument()->LoadFile(String((dir / "missing.xml").string())), EFOpenError);

    {  // no temporary file can be created next to the old file (no descriptor left)
        const TScopedResourceLimit limit(RLIMIT_NOFILE, TScopedResourceLimit::NoFileLeft());
        EXPECT_THROW(doc->SaveFile(String(path.string()), xofIndent), EFCreateError);
    }
    EXPECT_EQ(FileBytes(path), old);
}

}  // namespace
