#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

enum class TShade { shLight, shMedium, shDark };
using enum TShade;
RTL_ENUM(TShade, shLight, shMedium, shDark);
using TShades = TSet<TShade>;

class IProbeTarget : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{6D0E2A55-3F1B-4C7E-9A21-8B3C5D7E9F10}");
};

// A nested object with a defined property of its own, which records the
// writer's property path while it writes.
class TFrame : public TPersistent {
    RTL_CLASS(TFrame, TPersistent);

public:
    int Width() const { return width_; }
    void SetWidth(int value) { width_ = value; }
    std::vector<int> marks;
    String pathWhileWriting;

protected:
    void DefineProperties(TFiler* filer) override {
        TPersistent::DefineProperties(filer);
        filer->DefineProperty(
            u"Marks",
            [this](TReader& reader) {
                marks.clear();
                reader.ReadListBegin();
                while (!reader.EndOfList()) marks.push_back(reader.ReadInteger());
                reader.ReadListEnd();
            },
            [this](TWriter& writer) {
                pathWhileWriting = writer.PropPath();
                writer.WriteListBegin();
                for (int mark : marks) writer.WriteInteger(mark);
                writer.WriteListEnd();
            },
            !marks.empty());
    }

private:
    int width_ = 0;
};

RTL_PUBLISHED(TFrame, c) { c.Property("Width", &TFrame::Width, &TFrame::SetWidth).Default(0); }

class TEntry : public TCollectionItem {
    RTL_CLASS(TEntry, TCollectionItem);

public:
    explicit TEntry(TCollection* collection) : TCollectionItem(collection) {}
    const String& Caption() const { return caption_; }
    void SetCaption(const String& value) { caption_ = value; }
    TComponent* Link() const { return link_; }
    void SetLink(TComponent* value) { link_ = value; }

private:
    String caption_;
    TComponent* link_ = nullptr;
};

RTL_PUBLISHED(TEntry, c) {
    c.Property("Caption", &TEntry::Caption, &TEntry::SetCaption);
    c.Property("Link", &TEntry::Link, &TEntry::SetLink);
}

class TSample : public TImplements<TComponent, IProbeTarget> {
    RTL_CLASS(TSample, TComponent);

public:
    explicit TSample(TComponent* owner) : TImplements(owner) {}

    int Count() const { return count_; }
    void SetCount(int value) { count_ = value; }
    TShade Shade() const { return shade_; }
    void SetShade(TShade value) { shade_ = value; }
    TShades Shades() const { return shades_; }
    void SetShades(TShades value) { shades_ = value; }
    bool Flag() const { return flag_; }
    void SetFlag(bool value) { flag_ = value; }
    char16_t Letter() const { return letter_; }
    void SetLetter(char16_t value) { letter_ = value; }
    const String& Title() const { return title_; }
    void SetTitle(const String& value) { title_ = value; }
    double Ratio() const { return ratio_; }
    void SetRatio(double value) { ratio_ = value; }
    int64_t Big() const { return big_; }
    void SetBig(int64_t value) { big_ = value; }
    Variant Extra() const { return extra_; }
    void SetExtra(Variant value) { extra_ = value; }
    TFrame* Frame() const { return frame_.get(); }
    TOwnedCollection* Entries() const { return entries_.get(); }
    TStringList* Lines() const { return lines_.get(); }
    void SetLines(TStringList* value) { lines_->Assign(value); }
    TComponent* Buddy() const { return buddy_; }
    void SetBuddy(TComponent* value) { buddy_ = value; }
    TIntfPtr<IProbeTarget> Partner() const { return partner_; }
    void SetPartner(TIntfPtr<IProbeTarget> value) { partner_ = value; }
    int loadedCalls = 0;

protected:
    void Loaded() override {
        TComponent::Loaded();
        ++loadedCalls;
    }

private:
    int count_ = 3;
    TShade shade_ = shLight;
    TShades shades_;
    bool flag_ = true;
    char16_t letter_ = u'a';
    String title_;
    double ratio_ = 0;
    int64_t big_ = 0;
    Variant extra_;
    std::unique_ptr<TFrame> frame_ = std::make_unique<TFrame>();
    std::unique_ptr<TOwnedCollection> entries_ = std::make_unique<TOwnedCollection>(this, TEntry::StaticClass());
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
    TComponent* buddy_ = nullptr;
    TIntfPtr<IProbeTarget> partner_;
};

RTL_PUBLISHED(TSample, c) {
    c.Property("Count", &TSample::Count, &TSample::SetCount).Default(3);
    c.Property("Shade", &TSample::Shade, &TSample::SetShade).Default(shLight);
    c.Property("Shades", &TSample::Shades, &TSample::SetShades).Default(TShades{});
    c.Property("Flag", &TSample::Flag, &TSample::SetFlag).Default(true);
    c.Property("Letter", &TSample::Letter, &TSample::SetLetter).Default(u'a');
    c.Property("Title", &TSample::Title, &TSample::SetTitle);
    c.Property("Ratio", &TSample::Ratio, &TSample::SetRatio);
    c.Property("Big", &TSample::Big, &TSample::SetBig);
    c.Property("Extra", &TSample::Extra, &TSample::SetExtra);
    c.Property("Frame", &TSample::Frame);
    c.Property("Entries", &TSample::Entries);
    c.Property("Lines", &TSample::Lines, &TSample::SetLines);
    c.Property("Buddy", &TSample::Buddy, &TSample::SetBuddy);
    c.Property("Partner", &TSample::Partner, &TSample::SetPartner);
}

// A class that is no component.
class TLoose : public TPersistent {
    RTL_CLASS(TLoose, TPersistent);

public:
    TLoose() = default;
};

RTL_PUBLISHED_NONE(TLoose);

class FilerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterClasses({TSample::StaticClass(), TLoose::StaticClass()}); }

    static TBytes Written(TComponent* root) {
        TBytesStream stream;
        WriteComponent(stream, root);
        return stream.Bytes();
    }
    static std::unique_ptr<TSample> ReadBack(const TBytes& bytes) {
        TBytesStream stream(bytes);
        return std::unique_ptr<TSample>(dynamic_cast<TSample*>(ReadComponent(stream, nullptr)));
    }
    static bool Contains(const TBytes& bytes, const std::string& text) {
        return std::string(bytes.begin(), bytes.end()).find(text) != std::string::npos;
    }
};

TEST_F(FilerTest, EveryKindOfPropertyComesBackEqual) {
    TSample source(nullptr);
    source.SetName(u"Root");
    auto* child = new TSample(&source);
    const String longName = u"Child" + String(300, u'x'); // a count of two bytes
    child->SetName(longName);
    child->SetTitle(u"子");
    source.SetCount(-70000);
    source.SetShade(shDark);
    source.SetShades({shLight, shDark});
    source.SetFlag(false);
    source.SetLetter(u'字');
    source.SetTitle(u"标题 with \"quotes\"");
    source.SetRatio(-2.5e-7);
    source.SetBig(-5000000000);
    source.SetExtra(Variant(String(u"variant")));
    source.Frame()->SetWidth(640);
    source.Frame()->marks = {1, -300, 70000};
    static_cast<TEntry*>(source.Entries()->Add())->SetCaption(u"one");
    auto* second = static_cast<TEntry*>(source.Entries()->Add());
    second->SetCaption(u"two");
    second->SetLink(child);
    source.Lines()->Add(u"first");
    source.Lines()->Add(String());
    source.SetBuddy(child);
    source.SetPartner(TIntfPtr<IProbeTarget>(child));

    const std::unique_ptr<TSample> copy = ReadBack(Written(&source));
    EXPECT_EQ(copy->Name(), u"Root");
    EXPECT_EQ(copy->Count(), -70000);
    EXPECT_EQ(copy->Shade(), shDark);
    EXPECT_EQ(copy->Shades(), (TShades{shLight, shDark}));
    EXPECT_FALSE(copy->Flag());
    EXPECT_EQ(copy->Letter(), u'字');
    EXPECT_EQ(copy->Title(), source.Title());
    EXPECT_EQ(copy->Ratio(), -2.5e-7);
    EXPECT_EQ(copy->Big(), -5000000000);
    EXPECT_EQ(copy->Extra().AsString(), u"variant");
    EXPECT_EQ(copy->Frame()->Width(), 640);
    EXPECT_EQ(copy->Frame()->marks, (std::vector<int>{1, -300, 70000}));
    ASSERT_EQ(copy->Entries()->Count(), 2);
    EXPECT_EQ(static_cast<TEntry*>(copy->Entries()->Items(1))->Caption(), u"two");
    EXPECT_EQ(copy->Lines()->Text(), u"first\n\n");
    ASSERT_EQ(copy->ComponentCount(), 1);
    TComponent* copiedChild = copy->Components(0);
    EXPECT_EQ(copiedChild->Name(), longName);
    EXPECT_EQ(dynamic_cast<TSample*>(copiedChild)->Title(), u"子");
    EXPECT_EQ(copy->Buddy(), copiedChild);
    EXPECT_EQ(static_cast<TEntry*>(copy->Entries()->Items(1))->Link(), copiedChild);
    EXPECT_EQ(copy->Partner().get(), static_cast<IProbeTarget*>(dynamic_cast<TSample*>(copiedChild)));
    EXPECT_EQ(copy->loadedCalls, 1);
    EXPECT_EQ(dynamic_cast<TSample*>(copiedChild)->loadedCalls, 1);
    EXPECT_FALSE(copy->ComponentState().Contains(csLoading));
}

TEST_F(FilerTest, DefaultsAreNotWrittenAndNestedNamesCarryThePath) {
    TSample sample(nullptr);
    TBytes bytes = Written(&sample);
    for (const char* name : {"Count", "Shade", "Flag", "Letter", "Title", "Ratio", "Big", "Frame", "Entries", "Lines"})
        EXPECT_FALSE(Contains(bytes, name)) << name;

    sample.Frame()->SetWidth(1);
    sample.Frame()->marks = {2};
    bytes = Written(&sample);
    EXPECT_TRUE(Contains(bytes, "Frame.Width"));
    EXPECT_TRUE(Contains(bytes, "Frame.Marks"));
    EXPECT_EQ(sample.Frame()->pathWhileWriting, u"Frame.");
}

TEST_F(FilerTest, ReferencesOutsideTheRootGoThroughTheRootsOwner) {
    TComponent form(nullptr);
    form.SetName(u"Form");
    auto* sample = new TSample(&form);
    sample->SetName(u"Sample");
    auto* sibling = new TSample(&form);
    sibling->SetName(u"Sibling");
    sample->SetBuddy(sibling);
    const TBytes bytes = Written(sample);
    EXPECT_TRUE(Contains(bytes, "Form.Sibling"));

    delete sample;
    TBytesStream stream(bytes);
    auto* copy = dynamic_cast<TSample*>(ReadComponent(stream, nullptr, &form));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Owner(), &form);
    EXPECT_EQ(copy->Name(), u"Sample");
    EXPECT_EQ(copy->Buddy(), sibling);
}

TEST_F(FilerTest, AReferenceThatNamesNothingLeavesThePropertyAlone) {
    TSample source(nullptr);
    source.SetName(u"Root");
    TComponent elsewhere(nullptr);
    elsewhere.SetName(u"Elsewhere");
    source.SetBuddy(&elsewhere);
    const std::unique_ptr<TSample> copy = ReadBack(Written(&source));
    EXPECT_EQ(copy->Buddy(), nullptr);
}

// Pieces of damaged streams, written with the writer's own calls.
using TStreamPiece = std::function<void(TWriter&)>;

TBytes RootStream(const String& className, const TStreamPiece& properties, bool closed = true) {
    TBytesStream stream;
    TWriter writer(stream);
    writer.WriteBytes("OSC1", 4);
    writer.WriteStr(className);
    writer.WriteStr(u"Root");
    properties(writer);
    if (closed) {
        writer.WriteListEnd();
        writer.WriteListEnd();
    }
    return stream.Bytes();
}

struct TDamage {
    const char* name;
    TBytes bytes;
    const char* message;
};

std::vector<TDamage> Damages() {
    const auto none = [](TWriter&) {};
    TBytes badSignature = RootStream(u"TSample", none);
    badSignature[3] = '0';
    TBytes hugeCount = RootStream(u"TSample", [](TWriter& w) {
        w.WritePropName(u"Title");
        w.WriteValue(vaString);
        const uint8_t count[4] = {0xFF, 0xFF, 0xFF, 0x7F};
        w.WriteBytes(count, 4);
    });
    TBytes endlessCount = RootStream(u"TSample", [](TWriter& w) {
        const uint8_t count[6] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x01};
        w.WriteBytes(count, 6);
    });
    TBytes unknownTag = RootStream(u"TSample", [](TWriter& w) {
        w.WritePropName(u"Count");
        const uint8_t tag = 0xEE;
        w.WriteBytes(&tag, 1);
    });
    return {
        {"signature", badSignature, "Invalid stream format"},
        {"unknown class", RootStream(u"TNothing", none), "Class TNothing not found"},
        {"class that is no component", RootStream(u"TLoose", none), "Invalid class type"},
        {"unknown property", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Colour");
             w.WriteInteger(1);
         }), "Property Colour does not exist"},
        {"unknown part of a path", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Title.Width");
             w.WriteInteger(1);
         }), "Property Title does not exist"},
        {"text for an integer", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Count");
             w.WriteString(u"1");
         }), "Invalid property value"},
        {"integer beyond 32 bits", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Count");
             w.WriteInteger(int64_t(1) << 40);
         }), "Invalid property value"},
        {"unknown enumeration name", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Shade");
             w.WriteIdent(u"shBright");
         }), "Invalid property value"},
        {"unknown set element", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Shades");
             w.WriteValue(vaSet);
             w.WriteStr(u"shBright");
             w.WriteStr(String());
         }), "Invalid property value"},
        {"two letters for a character", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Letter");
             w.WriteString(u"ab");
         }), "Invalid property value"},
        {"collection for a nested object", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Frame");
             w.WriteValue(vaCollection);
             w.WriteListEnd();
         }), "Invalid property value"},
        {"reference for a read-only object", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Frame");
             w.WriteIdent(u"Root");
         }), "Invalid property value"},
        {"reference of the wrong class", RootStream(u"TSample", [](TWriter& w) {
             w.WritePropName(u"Partner");
             w.WriteIdent(u"Root.Plain");
             w.WriteListEnd();
             w.WriteStr(u"TComponent");
             w.WriteStr(u"Plain");
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
         }, false), "Invalid property value"},
        {"count beyond the data", hugeCount, "Stream read error"},
        {"count beyond 32 bits", endlessCount, "Invalid stream format"},
        {"unknown value tag", unknownTag, "Invalid stream format"},
        {"components nested without end", RootStream(u"TSample", [](TWriter& w) {
             w.WriteListEnd();
             for (int i = 0; i < 300; ++i) {
                 w.WriteStr(u"TSample");
                 w.WriteStr(u"Child");
                 w.WriteListEnd();
             }
         }, false), "Nesting too deep"},
    };
}

TEST_F(FilerTest, DamagedStreamsRaiseReadErrors) {
    RegisterClass(TComponent::StaticClass());
    for (const TDamage& damage : Damages()) {
        SCOPED_TRACE(damage.name);
        TBytesStream stream(damage.bytes);
        try {
            delete ReadComponent(stream, nullptr);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), String(damage.message));
        }
    }
}

TEST_F(FilerTest, EveryTruncationRaisesAReadError) {
    TSample source(nullptr);
    source.SetName(u"Root");
    source.SetTitle(u"text");
    source.SetShades({shMedium});
    source.Frame()->marks = {5};
    static_cast<TEntry*>(source.Entries()->Add())->SetCaption(u"entry");
    (new TSample(&source))->SetName(u"Child");
    const TBytes bytes = Written(&source);
    for (size_t size = 0; size < bytes.size(); ++size) {
        TBytesStream stream(TBytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_THROW(delete ReadComponent(stream, nullptr), EReadError) << size << " bytes";
    }
}

TEST_F(FilerTest, AnObjectFreedWhileReadingTakesBackItsReference) {
    // The entries are read twice: those of the first reading are freed before
    // the references are resolved.
    const TBytes bytes = RootStream(u"TSample", [](TWriter& w) {
        for (int reading = 0; reading < 2; ++reading) {
            w.WritePropName(u"Entries");
            w.WriteValue(vaCollection);
            w.WriteListBegin();
            w.WritePropName(u"Link");
            w.WriteIdent(u"Root");
            w.WriteListEnd();
            w.WriteListEnd();
        }
    });
    const std::unique_ptr<TSample> copy = ReadBack(bytes);
    ASSERT_EQ(copy->Entries()->Count(), 1);
    EXPECT_EQ(static_cast<TEntry*>(copy->Entries()->Items(0))->Link(), copy.get());
}

TEST_F(FilerTest, ReadingIntoAnInstanceOfAnotherClassIsRefused) {
    TComponent plain(nullptr);
    TSample sample(nullptr);
    TBytesStream stream(Written(&sample));
    try {
        ReadComponent(stream, &plain);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), u"Invalid class type");
    }
}

} // namespace
