#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "TestProvider.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"

namespace {

// An extension whose class is not registered.
class TUnregisteredExtension : public TXcDataItemAggregatedObject {
    RTL_CLASS(TUnregisteredExtension, TXcDataItemAggregatedObject);

public:
    using TXcDataItemAggregatedObject::TXcDataItemAggregatedObject;
};

RTL_PUBLISHED_NONE(TUnregisteredExtension);

// A provider that keeps its items in streams.
class TStreamedProvider : public TTestProvider {
    RTL_CLASS(TStreamedProvider, TTestProvider);

public:
    using TTestProvider::TTestProvider;
};

RTL_PUBLISHED(TStreamedProvider, c) { c.Property("RootList", &TStreamedProvider::RootList); }

// What a tree holds, one line per item, depth first.
void Describe(IXcDataItems* list, const String& indent, String& out) {
    for (int i = 0; list && i < list->Count(); ++i) {
        const TIntfPtr<IXcDataItem> item = list->Item(i);
        const auto glyph = IntfCast<IXcDataItemGlyph>(item);
        auto* object = dynamic_cast<TExtensibleInterfacedPersistent*>(item->Implementer());
        out += indent + item->ID() + " " + TextOf(item.get()) + " image " + String(std::to_string(glyph->ImageIndex())) +
               " align " + EnumName(glyph->Alignment()) + " extensions";
        for (int e = 0; e < object->ExtensionCount(); ++e) out += " " + object->Extensions(e)->ClassName();
        out += "\n";
        TIntfPtr<IXcDataItems> subList;
        if (Supports(item, subList)) Describe(subList.get(), indent + "  ", out);
    }
}

String Describe(TTestProvider& provider) {
    String out;
    Describe(provider.RootItems().get(), String(), out);
    return out;
}

TBytes Written(TComponent* root) {
    TBytesStream stream;
    WriteComponent(stream, root);
    return stream.Bytes();
}

using DataStreamTest = DataProviderTest;

TEST_F(DataStreamTest, AProviderComesBackEqualThroughTheComponentStream) {
    RegisterClass(TStreamedProvider::StaticClass());
    TStreamedProvider source(nullptr);
    source.SetName(u"Provider");
    auto* images = new TTestImageList(&source);
    images->SetName(u"Images");
    IntfCast<IXcDataItemsImageLists>(source.RootItems())->SetImages(images);
    IntfCast<IXcDataItemGlyph>(source.Item(u"G011"))->SetImageIndex(5);
    IntfCast<IXcDataItemGlyph>(source.Item(u"R2"))->SetAlignment(taCenter);
    IntfCast<IXcDataItemText>(source.Item(u"C10"))->SetCaption(u"文字 \\ text");
    const TIntfPtr<IXcDataItem> fresh = source.AddItem(u"ignored", source.Item(u"R2").get());
    dynamic_cast<TXcBaseDataItem*>(fresh->Implementer())->SetID(u"0123456789ABCDEF0123456789ABCDEF");

    TStreamedProvider copy(nullptr);
    IntfCast<IXcDataItemsEditor>(copy.RootItems())->Clear();
    TBytesStream stream(Written(&source));
    ReadComponent(stream, &copy);

    EXPECT_EQ(Describe(copy), Describe(source));
    EXPECT_NE(Describe(copy).find(u"G011 G011 image 5"), String::npos);
    ASSERT_EQ(copy.ComponentCount(), 1);
    EXPECT_EQ(IntfCast<IXcDataItemsImageLists>(copy.RootItems())->Images(), copy.Components(0));
    EXPECT_EQ(copy.RootList()->ExtensionCount(), source.RootList()->ExtensionCount()) << "reused, not added";
}

TEST_F(DataStreamTest, ExtensionsAreWrittenOnlyWhenOneOfThemIsRegistered) {
    const auto written = [](TPersistent* object) {
        TBytesStream stream;
        TWriter writer(stream);
        writer.WriteProperties(object);
        return String::FromUtf8(std::string(stream.Bytes().begin(), stream.Bytes().end()));
    };
    auto* object = XcCreate<TXcBaseDataItem>(nullptr);
    object->SetID(u"X");
    XcCreate<TUnregisteredExtension>(object);
    EXPECT_EQ(written(object).find(u"Extensions"), String::npos);
    XcCreate<TXcDataItemTextImpl>(object);
    const String text = written(object);
    EXPECT_NE(text.find(u"Extensions"), String::npos);
    EXPECT_EQ(text.find(u"TUnregisteredExtension"), String::npos);
    object->Free();
}

// A defined property as the stream would hold it, read into Target.
struct TDamagedProperty {
    const char* name;
    const char* property;
    std::function<void(TWriter&)> value;
    const char* message;
};

void WriteEntry(TWriter& w, const char* firstName, const char* className) {
    w.WriteValue(vaCollection);
    w.WriteListBegin();
    w.WriteStr(String(firstName));
    w.WriteString(String(className));
    w.WriteListEnd();
    w.WriteListEnd();
}

TEST_F(DataStreamTest, UnknownOrUnrelatedClassesAndAMissingClassNameAreReadErrors) {
    const auto entry = [](const char* firstName, const char* className) {
        return [=](TWriter& w) { WriteEntry(w, firstName, className); };
    };
    const TDamagedProperty cases[] = {
        {"extensions without collection", "Extensions", [](TWriter& w) { w.WriteListBegin(); }, "Expected collection"},
        {"extension without class name", "Extensions", entry("Class", "TXcDataItemTextImpl"),
         "Missing ClassName property"},
        {"extension of an unknown class", "Extensions", entry("ClassName", "TNoSuchClass"), "Invalid class type"},
        {"extension of an unrelated class", "Extensions", entry("ClassName", "TXcDataItemsList"), "Invalid class type"},
        {"extension of consumers", "Extensions", entry("ClassName", "TXcDataConsumerItemSelect"), "Invalid class type"},
        {"sub-list without collection", "SubItems", [](TWriter& w) { w.WriteString(u"x"); }, "Expected collection"},
        {"sub-list without class name", "SubItems", entry("Name", "TTestItemsList"), "Missing ClassName property"},
        {"sub-list of an unrelated class", "SubItems", entry("ClassName", "TTestItem"), "Invalid class type"},
    };
    for (const TDamagedProperty& c : cases) {
        SCOPED_TRACE(c.name);
        TTestProvider provider(nullptr);
        TBytesStream stream;
        {
            TWriter writer(stream);
            writer.WriteStr(String(c.property));
            c.value(writer);
        }
        stream.SetPosition(0);
        TReader reader(stream);
        try {
            reader.ReadProperty(provider.ItemObject(u"R2"));
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), String(c.message));
        }
        EXPECT_EQ(provider.ItemObject(u"R2")->RefCount(), 0) << "unpinned again";
    }
}

TEST_F(DataStreamTest, ItemsOfUnknownOrUnrelatedClassesAreReadErrors) {
    const TDamagedProperty cases[] = {
        {"items without collection", "Items", [](TWriter& w) { w.WriteInteger(1); }, "Expected collection"},
        {"item without class name", "Items", [](TWriter& w) { WriteEntry(w, "ID", "TTestItem"); },
         "Missing ClassName property"},
        {"item of an unknown class", "Items", [](TWriter& w) { WriteEntry(w, "ClassName", "TNoSuchItem"); },
         "Invalid class type"},
        {"item of an unrelated class", "Items",
         [](TWriter& w) { WriteEntry(w, "ClassName", "TXcDataItemTextImpl"); }, "Invalid class type"},
    };
    for (const TDamagedProperty& c : cases) {
        SCOPED_TRACE(c.name);
        TTestProvider provider(nullptr);
        TBytesStream stream;
        {
            TWriter writer(stream);
            writer.WriteStr(String(c.property));
            c.value(writer);
        }
        stream.SetPosition(0);
        TReader reader(stream);
        try {
            reader.ReadProperty(provider.RootList());
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), String(c.message));
        }
        EXPECT_EQ(provider.RootItems()->Count(), 3);
    }
}

} // namespace
