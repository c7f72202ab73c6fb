#include <gtest/gtest.h>

#include "TestProvider.h"
#include "support/dataproviders/XcExtensible.h"

namespace {

class IProbe : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{3A1F0C52-6B7D-4E8A-9C2B-5D4E6F708192}");
    virtual String Who() = 0;
};

bool freed = false;

class TTracked : public TExtensibleInterfacedPersistent {
public:
    ~TTracked() override { freed = true; }
};

// Answers IProbe itself.
class TOwnProbe : public TImplements<TTracked, IProbe> {
public:
    String Who() override { return u"own"; }
};

class TProbeExtension : public TImplements<TAggregatedPersistentEx, IProbe> {
    RTL_CLASS(TProbeExtension, TAggregatedPersistentEx);

public:
    using TImplements::TImplements;
    String Who() override { return ClassName(); }
    bool IsHidden() override { return hidden; }
    bool hidden = false;
};

class TProbeOne : public TProbeExtension {
    RTL_CLASS(TProbeOne, TProbeExtension);

public:
    using TProbeExtension::TProbeExtension;
};

class TProbeTwo : public TProbeExtension {
    RTL_CLASS(TProbeTwo, TProbeExtension);

public:
    using TProbeExtension::TProbeExtension;
};

RTL_PUBLISHED_NONE(TProbeExtension);
RTL_PUBLISHED_NONE(TProbeOne);
RTL_PUBLISHED_NONE(TProbeTwo);

String WhoAnswers(TExtensibleInterfacedPersistent* object) {
    TIntfPtr<IProbe> probe;
    return Supports(static_cast<IInterface*>(object), probe) ? probe->Who() : String(u"nobody");
}

using ExtensibleTest = DataProviderTest;

TEST_F(ExtensibleTest, AnExtensionOfAPresentClassOrOfItsAncestorIsRefusedOneOfASubclassAccepted) {
    struct TCase {
        const char* name;
        TAggregatedPersistentEx* (*add)(TExtensibleInterfacedPersistent* owner);
        bool accepted;
    };
    const TCase cases[] = {
        {"same class", [](TExtensibleInterfacedPersistent* o) -> TAggregatedPersistentEx* {
             return XcCreate<TXcDataItemTextImpl>(o);
         }, false},
        {"ancestor", [](TExtensibleInterfacedPersistent* o) -> TAggregatedPersistentEx* {
             return XcCreate<TXcDataItemAggregatedObject>(o);
         }, false},
        {"subclass", [](TExtensibleInterfacedPersistent* o) -> TAggregatedPersistentEx* {
             return XcCreate<TXcDataItemBlockableTextImpl>(o);
         }, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto* object = XcCreate<TXcBaseDataItem>(nullptr);
        TAggregatedPersistentEx* present = XcCreate<TXcDataItemTextImpl>(object);
        if (c.accepted) {
            TAggregatedPersistentEx* added = c.add(object);
            ASSERT_EQ(object->ExtensionCount(), 2);
            EXPECT_EQ(object->Extensions(1), added);
        } else {
            try {
                c.add(object);
                ADD_FAILURE() << "accepted";
            } catch (const EXCLException& e) {
                EXPECT_EQ(e.Message(), u"Implementation of that class already exists");
            }
            ASSERT_EQ(object->ExtensionCount(), 1);
        }
        EXPECT_EQ(object->Extensions(0), present);
        object->Free();
    }
}

TEST_F(ExtensibleTest, AnExtensionOnlyExtendsObjectsOfItsKind) {
    TTestProvider provider(nullptr);
    TXcBaseDataItem* item = provider.ItemObject(u"R2");
    EXPECT_THROW(XcCreate<TXcDataConsumerItemSelect>(item), EInvalidCast);
    EXPECT_THROW(XcCreate<TXcCustomDataItemsImages>(item), EInvalidCast);
    EXPECT_THROW(XcCreate<TXcDataItemTextImpl>(provider.RootList()), EInvalidCast);
    EXPECT_EQ(item->ExtensionCount(), 2);
}

TEST_F(ExtensibleTest, InterfacesAreLookedUpInTheClassThenInTheExtensionsFromTheLastSkippingHiddenOnes) {
    freed = false;
    const TIntfPtr<IInterface> plainRef(XcCreate<TTracked>());
    auto* plain = dynamic_cast<TExtensibleInterfacedPersistent*>(plainRef.get());
    EXPECT_EQ(WhoAnswers(plain), u"nobody");
    auto* first = XcCreate<TProbeOne>(plain);
    auto* second = XcCreate<TProbeTwo>(plain);
    EXPECT_EQ(WhoAnswers(plain), u"TProbeTwo");
    second->hidden = true;
    EXPECT_EQ(WhoAnswers(plain), u"TProbeOne");
    first->hidden = true;
    EXPECT_EQ(WhoAnswers(plain), u"nobody");

    const TIntfPtr<IInterface> ownRef(XcCreate<TOwnProbe>());
    auto* own = dynamic_cast<TExtensibleInterfacedPersistent*>(ownRef.get());
    XcCreate<TProbeOne>(own);
    EXPECT_EQ(WhoAnswers(own), u"own");
}

TEST_F(ExtensibleTest, AFreshObjectIsFreedByTheReleaseOfItsFirstReference) {
    freed = false;
    auto* object = XcCreate<TTracked>();
    EXPECT_EQ(object->RefCount(), 0);
    {
        const TIntfPtr<IInterface> reference(static_cast<IInterface*>(object));
        EXPECT_EQ(object->RefCount(), 1);
    }
    EXPECT_TRUE(freed);
}

TEST_F(ExtensibleTest, FreeingACountedObjectRaisesAndKeepsIt) {
    freed = false;
    auto* object = XcCreate<TTracked>();
    {
        const TIntfPtr<IInterface> reference(static_cast<IInterface*>(object));
        EXPECT_THROW(object->Free(), EInvalidPointer);
        EXPECT_FALSE(freed);
        object->PinReference();
    }
    EXPECT_FALSE(freed) << "a pinned object outlives its references";
    object->UnpinReference();
    object->Free();
    EXPECT_TRUE(freed);
}

TEST_F(ExtensibleTest, AnExtensionCountsThroughItsOwnerAndAnswersOnlyItsOwnInterfacesItself) {
    const TIntfPtr<IInterface> ownerRef(XcCreate<TExtensibleInterfacedPersistent>());
    auto* owner = dynamic_cast<TExtensibleInterfacedPersistent*>(ownerRef.get());
    auto* extension = XcCreate<TProbeOne>(owner);
    {
        const TIntfPtr<IProbe> probe = IntfCast<IProbe>(ownerRef);
        EXPECT_EQ(owner->RefCount(), 2);
        void* answer = nullptr;
        EXPECT_FALSE(extension->GetInterface(IInterface::IID, &answer));
        IInterface* asked = extension;
        EXPECT_EQ(asked->QueryInterface(IInterface::IID, &answer), S_OK) << "the owner answers";
        EXPECT_EQ(answer, static_cast<void*>(static_cast<IInterface*>(owner)));
        owner->_Release();
    }
    EXPECT_EQ(owner->RefCount(), 1);
}

TEST_F(ExtensibleTest, AnItemExtensionPassesNoContextDependenceOnToItsItem) {
    TTestProvider provider(nullptr);
    TXcBaseDataItem* item = provider.ItemObject(u"R0");
    XcCreate<TXcDataItemContextTextImpl>(item);
    const TIntfPtr<IXcDataItemGlyph> glyph = IntfCast<IXcDataItemGlyph>(provider.Item(u"R0"));
    TIntfPtr<IXcDataContextDependent> dependent;
    EXPECT_TRUE(Supports(provider.Item(u"R0"), dependent)) << "the item answers it through the context text";
    EXPECT_FALSE(Supports(glyph, dependent)) << "asked through the image extension";
    TIntfPtr<IXcDataItem> back;
    EXPECT_TRUE(Supports(glyph, back)) << "other interfaces go to the item";
    EXPECT_EQ(back->ID(), u"R0");
}

TEST_F(ExtensibleTest, TheFrameworkClassesAreRegisteredByNameWhileItsUnitRuns) {
    for (const char* name :
         {"TXcDataItemsList", "TXcCustomDataItemsImages", "TXcCustomDataItemsTextRenderer",
          "TXcBaseDataItemsListManagement", "TXcBaseDataItem", "TXcDataItemTextImpl", "TXcDataItemImageImpl",
          "TXcDataItemContextTextImpl", "TXcDataItemBlockableTextImpl", "TXcDataConsumer", "TXcDataConsumerItemSelect",
          "TXcDataContexts", "TXcDataContext", "TXcManagedDataContext", "TXcFixedDataContext"}) {
        const TClass cls = GetClass(String(name));
        ASSERT_NE(cls, nullptr) << name;
        EXPECT_EQ(cls->ClassName(), String(name));
    }
    EXPECT_EQ(GetClass(u"TXcDataConsumerViewList"), nullptr) << "flat views are not streamed";
}

} // namespace
