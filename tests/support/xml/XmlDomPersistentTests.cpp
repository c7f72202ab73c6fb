#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/xml/XmlDomPersistent.h"
#include "support/xml/XmlTextStream.h"
#include "PersistentSamples.h"
#include "XmlTestUtil.h"

namespace {

// Stand-ins of the application's settings: same published properties, order and defaults.
class TPerformanceOptions : public TPersistent {
    RTL_CLASS(TPerformanceOptions, TPersistent);

public:
    int ThreadCount() const { return threadCount_; }
    void SetThreadCount(int value) { threadCount_ = value; }
    int ThreadPrority() const { return threadPrority_; }
    void SetThreadPrority(int value) { threadPrority_ = value; }

private:
    int threadCount_ = 0;
    int threadPrority_ = 2;
};
RTL_PUBLISHED(TPerformanceOptions, c) {
    c.Property("ThreadCount", &TPerformanceOptions::ThreadCount, &TPerformanceOptions::SetThreadCount).Default(0);
    c.Property("ThreadPrority", &TPerformanceOptions::ThreadPrority, &TPerformanceOptions::SetThreadPrority)
        .Default(2);
}

class TAVConfiguration : public TPersistent {
    RTL_CLASS(TAVConfiguration, TPersistent);

public:
    TPerformanceOptions* PerformanceOptions() const { return performance_.get(); }
    bool ShutdownWhenDone() const { return shutdownWhenDone_; }
    void SetShutdownWhenDone(bool value) { shutdownWhenDone_ = value; }
    const String& OutputFolder() const { return outputFolder_; }
    void SetOutputFolder(const String& value) { outputFolder_ = value; }
    bool ShowAlert() const { return showAlert_; }
    void SetShowAlert(bool value) { showAlert_ = value; }
    bool FirstRun() const { return firstRun_; }
    void SetFirstRun(bool value) { firstRun_ = value; }

private:
    std::unique_ptr<TPerformanceOptions> performance_ = std::make_unique<TPerformanceOptions>();
    bool shutdownWhenDone_ = false;
    String outputFolder_ = u"C:\\Conversion";
    bool showAlert_ = true;
    bool firstRun_ = true;
};
RTL_PUBLISHED(TAVConfiguration, c) {
    using T = TAVConfiguration;
    c.Property("PerformanceOptions", &T::PerformanceOptions);
    c.Property("ShutdownWhenDone", &T::ShutdownWhenDone, &T::SetShutdownWhenDone).Default(false);
    c.Property("OutputFolder", &T::OutputFolder, &T::SetOutputFolder);
    c.Property("ShowAlert", &T::ShowAlert, &T::SetShowAlert).Default(true);
    c.Property("FirstRun", &T::FirstRun, &T::SetFirstRun).Default(true);
}

void Fill(TSample& s) {
    s.Count = 7;
    s.Serial = -3;
    s.Letter = u'Z';
    s.Enabled = false;
    s.Verbose = true;
    s.Mood = mdAngry;
    s.Moods = TMoods{mdHappy, mdAngry};
    s.Flags = TMoods{mdCalm};
    s.Ratio = 2.5;
    s.Stamp = 41275 + (8 * 3600 + 5 * 60 + 3.25) / 86400;
    s.Size = int64_t{1} << 40;
    s.Title = u" a<b & \"c\" ";
    s.Utf8 = "\xC3\xBC\xF0\x9F\x8E\xAC";
    s.Hidden = u"secret";
    s.frame.Width = 640;
    s.lines.SetText(u"one\n\nthree");
    static_cast<TTrack*>(s.tracks.Add())->Name = u"x";
    static_cast<TTrack*>(s.tracks.Add())->Volume = 50;
    s.tags.Add();
}

const char* const kFilledNode =
    "<data PropFormat=\"node\"><TSample><Count>7</Count><Serial>-3</Serial><Letter>Z</Letter>"
    "<Enabled>0</Enabled><Verbose>1</Verbose><Mood>mdAngry</Mood><Moods>[mdHappy,mdAngry]</Moods>"
    "<Flags>[mdCalm]</Flags><Ratio>2.5</Ratio><Stamp>2013-01-01T08:05:03.250</Stamp>"
    "<Size>1099511627776</Size><Title> a&lt;b &amp; &quot;c&quot; </Title><Utf8>\xC3\xBC\xF0\x9F\x8E\xAC</Utf8>"
    "<Frame><Width>640</Width></Frame><Lines Count=\"3\"><l0>one</l0><l2>three</l2></Lines>"
    "<Tracks><o><Name>x</Name></o><o><Volume>50</Volume></o></Tracks></TSample></data>";

const char* const kFilledAttr =
    "<data PropFormat=\"attr\"><TSample Count=\"7\" Serial=\"-3\" Letter=\"Z\" Enabled=\"0\" Verbose=\"1\""
    " Mood=\"mdAngry\" Moods=\"[mdHappy,mdAngry]\" Flags=\"[mdCalm]\" Ratio=\"2.5\""
    " Stamp=\"2013-01-01T08:05:03.250\" Size=\"1099511627776\" Title=\" a&lt;b &amp; &quot;c&quot; \""
    " Utf8=\"\xC3\xBC\xF0\x9F\x8E\xAC\"><Frame Width=\"640\"/><Lines Count=\"3\" l0=\"one\" l2=\"three\"/>"
    "<Tracks><o Name=\"x\"/><o Volume=\"50\"/></Tracks></TSample></data>";

TEST(XmlDomPersistent, WritesEachKindByItsRule) {
    TSample fresh;
    EXPECT_EQ(TXmlDomWriter::SaveToString(&fresh),
              u"<data PropFormat=\"node\"><TSample><Serial>0</Serial><Verbose>0</Verbose><Flags>[]</Flags>"
              u"<Lines Count=\"0\"/></TSample></data>");
    TSample filled;
    Fill(filled);
    EXPECT_EQ(TXmlDomWriter::SaveToString(&filled, pfAuto), String(kFilledNode));
    EXPECT_EQ(TXmlDomWriter::SaveToString(&filled, pfNode), String(kFilledNode));
    EXPECT_EQ(TXmlDomWriter::SaveToString(&filled, pfAttr), String(kFilledAttr));
}

TEST(XmlDomPersistent, FilledObjectSurvivesBothLayouts) {
    for (TPropFormat format : {pfNode, pfAttr}) {
        SCOPED_TRACE(PropFormatText(format).ToUtf8());
        TSample source;
        Fill(source);
        const String xml = TXmlDomWriter::SaveToString(&source, format);
        TSample back;
        back.Hidden = u"kept";
        back.tracks.Add();
        back.tags.Add();
        TXmlDomReader::LoadFromString(&back, xml);
        EXPECT_EQ(TXmlDomWriter::SaveToString(&back, format), xml);
        EXPECT_EQ(back.Title, source.Title);
        EXPECT_EQ(back.Utf8, source.Utf8);
        EXPECT_EQ(back.lines.Count(), 3);
        EXPECT_EQ(back.lines[1], String());
        EXPECT_EQ(back.tracks.Count(), 2);
        EXPECT_EQ(back.Track(1)->Volume, 50);
        EXPECT_EQ(back.tags.Count(), 0);
        EXPECT_EQ(back.Hidden, u"kept");
        EXPECT_NEAR(back.Stamp, source.Stamp, 1e-8);
    }
}

TEST(XmlDomPersistent, AnObjectHoldingOnlyObjectsIsWrittenInBothLayouts) {
    for (TPropFormat format : {pfNode, pfAttr}) {
        SCOPED_TRACE(PropFormatText(format).ToUtf8());
        TNotebook source;
        source.notes.lines.SetText(u"one\ntwo");
        TNotebook back;
        TXmlDomReader::LoadFromString(&back, TXmlDomWriter::SaveToString(&source, format));
        EXPECT_EQ(back.notes.lines.Text(), source.notes.lines.Text());
    }
}

TEST(XmlDomPersistent, MissingValuesTakeDefaultsOrStay) {
    TSample s;
    Fill(s);
    TXmlDomReader::LoadFromString(&s, u"<data><TSample/></data>");
    EXPECT_EQ(s.Count, 5);
    EXPECT_EQ(s.Letter, u'a');
    EXPECT_TRUE(s.Enabled);
    EXPECT_EQ(s.Mood, mdCalm);
    EXPECT_EQ(s.Moods, TMoods{mdCalm});
    EXPECT_EQ(s.Ratio, 0);
    EXPECT_EQ(s.Stamp, 0);
    EXPECT_EQ(s.Title, String());
    EXPECT_EQ(s.Utf8, "");
    EXPECT_EQ(s.lines.Count(), 0);
    EXPECT_EQ(s.tracks.Count(), 0);
    // Without a declared default there is nothing to fall back to.
    EXPECT_EQ(s.Serial, -3);
    EXPECT_TRUE(s.Verbose);
    EXPECT_EQ(s.Flags, TMoods{mdCalm});
    EXPECT_EQ(s.Size, int64_t{1} << 40);
    // A missing sub-object element reads nothing into the object.
    EXPECT_EQ(s.frame.Width, 640);

    // No element of the instance's class: nothing is read.
    Fill(s);
    for (const char* xml : {"<data><Other/></data>", "", "<data/>"}) {
        TXmlDomReader::LoadFromString(&s, String(xml));
        EXPECT_EQ(s.Count, 7) << xml;
    }
}

TEST(XmlDomPersistent, NamesMatchIgnoringCaseButItemsOnlyAsO) {
    TSample s;
    TXmlDomReader::LoadFromString(&s, u"<DATA propformat=\"NODE\"><tsample><COUNT>9</COUNT><title>t</title>"
                                     u"<tracks><o/><O/><o><NAME>n</NAME></o></tracks></tsample></DATA>");
    EXPECT_EQ(s.Count, 9);
    EXPECT_EQ(s.Title, u"t");
    ASSERT_EQ(s.tracks.Count(), 2);
    EXPECT_EQ(s.Track(1)->Name, u"n");
}

TEST(XmlDomPersistent, LayoutComesFromTheRoot) {
    const struct {
        const char* root;
        int count;
    } cases[] = {
        {"<data PropFormat=\"attr\">", 1},
        {"<data PropFormat=\"Attr\">", 1},
        {"<data PropFormat=\"node\">", 2},
        {"<data>", 2},
        {"<data PropFormat=\"other\">", 2},
    };
    for (const auto& c : cases) {
        TSample s;
        TXmlDomReader::LoadFromString(&s, String(c.root) + u"<TSample Count=\"1\"><Count>2</Count></TSample></data>");
        EXPECT_EQ(s.Count, c.count) << c.root;
    }
    TSample s;
    try {
        TXmlDomReader::LoadFromString(&s, u"<data PropFormat=\"AUTO\"/>");
        ADD_FAILURE() << "no error";
    } catch (const EXmlDomPersistent& e) {
        EXPECT_EQ(e.Message(), "Auto PropFormat not allowed here.");
    }
}

TEST(XmlDomPersistent, BadValuesRaiseAndEndTheLoad) {
    const struct {
        const char* element;
        const char* message;
        bool property;
    } cases[] = {
        {"<Serial>1x</Serial>", "Invalid integer value (1x).", false},
        {"<Verbose>yes</Verbose>", "Invalid boolean value (yes).", false},
        {"<Size>9223372036854775808</Size>", "Invalid int64 value (9223372036854775808).", false},
        {"<Stamp>2013-13-01</Stamp>", "Error in datetime property Stamp", false},
        {"<Mood>mdSad</Mood>", "Invalid property element: mdSad", true},
        {"<Moods>[mdCalm,mdSad]</Moods>", "Invalid property element: mdSad", true},
    };
    for (const auto& c : cases) {
        TSample s;
        s.Title = u"old";
        const String xml = String("<data><TSample><Count>8</Count>") + c.element + "<Title>new</Title></TSample></data>";
        try {
            TXmlDomReader::LoadFromString(&s, xml);
            ADD_FAILURE() << "no error for " << c.element;
        } catch (const EXmlDomPersistent& e) {
            EXPECT_FALSE(c.property) << c.element;
            EXPECT_EQ(e.Message(), String(c.message));
        } catch (const EPropertyConvertError& e) {
            EXPECT_TRUE(c.property) << c.element;
            EXPECT_EQ(e.Message(), String(c.message));
        }
        EXPECT_EQ(s.Count, 8) << c.element;
        EXPECT_EQ(s.Title, u"old") << c.element;
    }
    // Bad real numbers read as 0 without an error.
    TSample s;
    s.Ratio = 1;
    TXmlDomReader::LoadFromString(&s, u"<data><TSample><Ratio>1,5</Ratio></TSample></data>");
    EXPECT_EQ(s.Ratio, 0);
}

TEST(XmlDomPersistent, StringListReadsCountLinesWithAbsentOnesEmpty) {
    const struct {
        const char* xml;
        const char16_t* text;
    } cases[] = {
        {"<data><TSample><Lines Count=\"5\"><l0>a</l0><l3>d</l3></Lines></TSample></data>", u"a\n\n\nd\n\n"},
        {"<data PropFormat=\"attr\"><TSample><Lines Count=\"5\" l0=\"a\" l3=\"d\"/></TSample></data>",
         u"a\n\n\nd\n\n"},
        // The first of two entries counts; entries past Count and other names are not lines.
        {"<data><TSample><Lines Count=\"3\"><L1>b</L1><l1>x</l1><l3>x</l3><l01>x</l01><l-1>x</l-1>"
         "<l>x</l></Lines></TSample></data>",
         u"\nb\n\n"},
        {"<data PropFormat=\"attr\"><TSample><Lines Count=\"2\" L1=\"x\" l2=\"x\" l00=\"x\" l1=\"b\"/>"
         "</TSample></data>",
         u"\nb\n"},
        {"<data><TSample><Lines Count=\"-4\"><l0>a</l0></Lines></TSample></data>", u""},
        {"<data><TSample><Lines Count=\"x\"><l0>a</l0></Lines></TSample></data>", u""},
    };
    for (const auto& c : cases) {
        TSample s;
        s.lines.SetText(u"old");
        TXmlDomReader::LoadFromString(&s, String(c.xml));
        EXPECT_EQ(s.lines.Text(), c.text) << c.xml;
    }
}

TEST(XmlDomPersistent, StringListCountFarBeyondItsEntriesIsAnError) {
    const struct {
        const char* count;
        int lines;  // -1: the count is refused
    } cases[] = {
        {"65538", 65538},
        {"65539", -1},
        {"200000", -1},
        {"2000000000", -1},
        {"2147483647", -1},
    };
    for (const auto& c : cases) {
        const String documents[] = {
            String("<data><TSample><Count>8</Count><Lines Count=\"") + c.count +
                "\"><l0>a</l0><l3>d</l3></Lines></TSample></data>",
            String("<data PropFormat=\"attr\"><TSample Count=\"8\"><Lines Count=\"") + c.count +
                "\" l0=\"a\" l3=\"d\"/></TSample></data>",
        };
        for (const String& xml : documents) {
            SCOPED_TRACE(xml.ToUtf8());
            TSample s;
            s.lines.SetText(u"old\nlines");
            s.tracks.Add();
            if (c.lines < 0) {
                try {
                    TXmlDomReader::LoadFromString(&s, xml);
                    ADD_FAILURE() << "no error";
                } catch (const EXmlDomPersistent& e) {
                    EXPECT_EQ(e.Message(), String("Invalid line count (") + c.count + ").");
                }
                ASSERT_EQ(s.lines.Count(), 2);
                EXPECT_EQ(s.lines[1], u"lines");
                EXPECT_EQ(s.tracks.Count(), 1);  // the load ended at the list
            } else {
                TXmlDomReader::LoadFromString(&s, xml);
                ASSERT_EQ(s.lines.Count(), c.lines);
                EXPECT_EQ(s.lines[0], u"a");
                EXPECT_EQ(s.lines[3], u"d");
                EXPECT_EQ(s.lines[c.lines - 1], u"");
                EXPECT_EQ(s.tracks.Count(), 0);
            }
            EXPECT_EQ(s.Count, 8);
        }
    }
}

TEST(XmlDomPersistent, CharacterPropertiesTakeTheFirstCharacter) {
    const struct {
        const char16_t* text;
        char16_t letter;
        char byte;  // Latin-1; a character beyond it reads as "?"
    } cases[] = {
        {u"q", u'q', 'q'},
        {u"xyz", u'x', 'x'},
        {u"\u00E9", u'\u00E9', '\xE9'},
        {u"\u4E2D", u'\u4E2D', '?'},
        {u"\uFFFD", u'\uFFFD', '?'},
        {u"\U0001F600", u'\xD83D', '?'},
    };
    for (const auto& c : cases) {
        TSample s;
        const String text(c.text);
        TXmlDomReader::LoadFromString(&s, u"<data PropFormat=\"attr\"><TSample Letter=\"" + text + u"\" Byte=\"" + text +
                                              u"\"/></data>");
        EXPECT_EQ(s.Letter, c.letter) << text.ToUtf8();
        EXPECT_EQ(s.Byte, c.byte) << text.ToUtf8();
        TSample back;
        TXmlDomReader::LoadFromString(&back, TXmlDomWriter::SaveToString(&s));
        EXPECT_EQ(back.Letter, s.Letter) << text.ToUtf8();
        EXPECT_EQ(back.Byte, s.Byte) << text.ToUtf8();
    }
}

TEST(XmlDomPersistent, CollectionInstanceIsTheRoot) {
    TOwnedCollection tracks(nullptr, TTrack::StaticClass());
    static_cast<TTrack*>(tracks.Add())->Name = u"a";
    tracks.Add();
    const String xml = TXmlDomWriter::SaveToString(&tracks);
    EXPECT_EQ(xml, u"<TOwnedCollection PropFormat=\"node\"><o><Name>a</Name></o><o/></TOwnedCollection>");
    TOwnedCollection back(nullptr, TTrack::StaticClass());
    back.Add();
    back.Add();
    back.Add();
    TXmlDomReader::LoadFromString(&back, xml);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(static_cast<TTrack*>(back.Items(0))->Name, u"a");
}

class XmlDomPersistentFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("xmlpersist-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Bytes() const {
        std::ifstream in(Path().ToUtf8(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    String Path() const { return String((dir_ / "Config.Xml").string()); }

    std::filesystem::path dir_;
};

TEST_F(XmlDomPersistentFile, DefaultConfigurationBytes) {
    TAVConfiguration config;
    TXmlDomWriter::SaveToFile(&config, Path(), pfNode, xofIndent);
    const std::string expected =
        "<data PropFormat=\"node\">\r\n"
        "  <TAVConfiguration>\r\n"
        "    <OutputFolder>C:\\Conversion</OutputFolder>\r\n"
        "  </TAVConfiguration>\r\n"
        "</data>";
    EXPECT_EQ(Bytes(), expected);
    TXmlDomWriter::SaveToFile(&config, Path(), pfNode, xofIndent);
    EXPECT_EQ(Bytes(), expected);

    config.SetOutputFolder(String());
    EXPECT_EQ(TXmlDomWriter::SaveToString(&config), u"<data PropFormat=\"node\"/>");
}

TEST_F(XmlDomPersistentFile, ChangedConfigurationReadsBack) {
    TAVConfiguration config;
    config.PerformanceOptions()->SetThreadPrority(4);
    config.SetShowAlert(false);
    config.SetOutputFolder(u"/home/\u7528\u6237/out");
    TXmlDomWriter::SaveToFile(&config, Path(), pfNode, xofIndent);
    EXPECT_EQ(Bytes(),
              "<data PropFormat=\"node\">\r\n"
              "  <TAVConfiguration>\r\n"
              "    <PerformanceOptions>\r\n"
              "      <ThreadPrority>4</ThreadPrority>\r\n"
              "    </PerformanceOptions>\r\n"
              "    <OutputFolder>/home/\xE7\x94\xA8\xE6\x88\xB7/out</OutputFolder>\r\n"
              "    <ShowAlert>0</ShowAlert>\r\n"
              "  </TAVConfiguration>\r\n"
              "</data>");
    TAVConfiguration back;
    back.SetFirstRun(false);
    TXmlDomReader::LoadFromFile(&back, Path());
    EXPECT_EQ(back.PerformanceOptions()->ThreadPrority(), 4);
    EXPECT_FALSE(back.ShowAlert());
    EXPECT_TRUE(back.FirstRun());
    EXPECT_EQ(back.OutputFolder(), config.OutputFolder());
}

TEST_F(XmlDomPersistentFile, ACutFileIsReportedAndReadsNothing) {
    TAVConfiguration config;
    config.PerformanceOptions()->SetThreadPrority(4);
    config.SetShowAlert(false);
    config.SetOutputFolder(u"/home/\u7528\u6237/out");
    TXmlDomWriter::SaveToFile(&config, Path(), pfNode, xofIndent);
    const std::string whole = Bytes();
    for (const size_t size : {whole.size() / 3, whole.size() * 2 / 3, whole.size() - 1, size_t{0}}) {
        SCOPED_TRACE(size);
        std::ofstream(Path().ToUtf8(), std::ios::binary | std::ios::trunc) << whole.substr(0, size);
        TAVConfiguration back;
        try {
            TXmlDomReader::LoadFromFile(&back, Path());
            ADD_FAILURE() << "no error";
        } catch (const EXmlDomPersistent& e) {
            EXPECT_TRUE(e.Message().starts_with(u"File \"" + Path() + u"\" is not a well-formed XML document: "))
                << e.Message().ToUtf8();
            EXPECT_TRUE(e.Message().ends_with(u").")) << e.Message().ToUtf8();
        }
        // Nothing of the part before the cut was taken.
        EXPECT_EQ(back.PerformanceOptions()->ThreadPrority(), 2);
        EXPECT_TRUE(back.ShowAlert());
        EXPECT_EQ(back.OutputFolder(), u"C:\\Conversion");
        EXPECT_EQ(Bytes(), whole.substr(0, size));
    }
}

TEST_F(XmlDomPersistentFile, FailedSaveRaisesAndKeepsTheOldFile) {
    TAVConfiguration config;
    TXmlDomWriter::SaveToFile(&config, Path(), pfNode, xofIndent);
    const std::string old = Bytes();
    config.SetOutputFolder(String(std::string(1000, 'x')));
    const auto save = [&] { TXmlDomWriter::SaveToFile(&config, Path(), pfNode, xofIndent); };
    EXPECT_TRUE(RaisesWithFileSizeLimit<EWriteError>(512, save));
    EXPECT_EQ(Bytes(), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);

    for (const char* folder : {"missing", "Config.Xml"})
        EXPECT_THROW(TXmlDomWriter::SaveToFile(&config, String((dir_ / folder / "Config.Xml").string()), pfNode,
                                               xofIndent),
                     EFCreateError)
            << folder;
    EXPECT_EQ(Bytes(), old);
    EXPECT_THROW(TXmlDomReader::LoadFromFile(&config, String((dir_ / "none.xml").string())), EFOpenError);
}

}  // namespace
