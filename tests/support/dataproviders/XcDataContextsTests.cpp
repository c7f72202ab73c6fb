#include <gtest/gtest.h>

#include "TestProvider.h"

namespace {

using DataContextsTest = DataProviderTest;

TXcBaseDataContexts* ListObject(const TIntfPtr<IXcDataContexts>& list) {
    return dynamic_cast<TXcBaseDataContexts*>(list.get());
}

template <class Fn>
String ContextsError(Fn&& fn) {
    try {
        fn();
    } catch (const EXCLDataContexts& e) {
        return e.Message();
    }
    return u"no error";
}

TEST_F(DataContextsTest, NamesAreUniqueIgnoringCaseButAContextMayChangeTheCaseOfItsOwn) {
    TTestProvider provider(nullptr);
    TXcBaseDataContexts* roots = ListObject(provider.Contexts());
    EXPECT_EQ(ContextsError([&] { XcCreate<TXcDataContext>(roots, u"FIRST"); }),
              u"A context with that name already exists");

    auto* managed = XcCreate<TXcManagedDataContext>(roots, u"Managed");
    roots->DoAddContext(managed);
    const auto rename = IntfCast<IXcDataContextRename>(provider.Context(u"managed"));
    rename->SetName(u"MANAGED");
    EXPECT_EQ(managed->Name(), u"MANAGED");
    EXPECT_EQ(ContextsError([&] { rename->SetName(u"second"); }), u"A context with that name already exists");
    EXPECT_EQ(managed->Name(), u"MANAGED");

    // A name with a separator is looked up as a path: Second's list holds First.
    EXPECT_EQ(ContextsError([&] { roots->DoAddContext(XcCreate<TXcDataContext>(roots, u"Second\\First")); }),
              u"A context with that name already exists");
    EXPECT_EQ(roots->Count(), 3);
}

TEST_F(DataContextsTest, AContextNeedsAList) {
    EXPECT_EQ(ContextsError([] { XcCreate<TXcDataContext>(nullptr, u"Lost"); }),
              u"Cannot create a context without a context list owner");
}

TEST_F(DataContextsTest, AddingAndDeletingAreAnnouncedWithTheAncestor) {
    TTestProvider provider(nullptr);
    TXcBaseDataContexts* children = ListObject(provider.ChildContexts());
    const TIntfPtr<IXcDataContext> second = provider.Context(u"Second");
    auto* added = XcCreate<TXcDataContext>(children, u"Other");
    IInterface* const addedSource = added;
    children->DoAddContext(added);
    children->DoAddContext(added);
    ASSERT_EQ(provider.announcements.size(), 2u) << "a context added again changes nothing";
    EXPECT_EQ(provider.announcements[0].Reason, pcrContextAdded);
    EXPECT_EQ(provider.announcements[0].Source, static_cast<IInterface*>(second.get()));
    EXPECT_EQ(provider.announcements[1].Source, addedSource);

    provider.announcements.clear();
    const TIntfPtr<IXcDataContext> child = provider.ChildContexts()->Context(0);
    children->DoRemoveContext(child.get());
    ASSERT_EQ(provider.announcements.size(), 2u);
    EXPECT_EQ(provider.announcements[0].Reason, pcrContextDeleted);
    EXPECT_EQ(provider.announcements[0].Source, static_cast<IInterface*>(child.get()));
    EXPECT_EQ(provider.announcements[1].Source, static_cast<IInterface*>(second.get()));
    EXPECT_EQ(children->Count(), 1);
}

TEST_F(DataContextsTest, AFixedContextIsNotDeletedAndNothingIsAnnounced) {
    TTestProvider provider(nullptr);
    TXcBaseDataContexts* roots = ListObject(provider.Contexts());
    roots->DoAddContext(XcCreate<TXcFixedDataContext>(roots, u"Fixed"));
    provider.announcements.clear();
    roots->DoDeleteContext(2);
    EXPECT_EQ(roots->Count(), 3);
    EXPECT_TRUE(provider.announcements.empty());
    EXPECT_TRUE(dynamic_cast<TXcFixedDataContext*>(provider.Context(u"Fixed")->Implementer())->IsStreamable());
}

TEST_F(DataContextsTest, NamePathsClimbToTheAncestorsOrStartAtTheRoot) {
    TTestProvider provider(nullptr);
    struct TCase {
        bool inChildList;
        const char* path;
        const char* found;
    };
    const TCase cases[] = {
        {false, "second", "Second"}, {false, "..\\First", ""}, {false, "\\First", ""},  {false, "Third", ""},
        {false, "Second/First", "First"}, {true, "Child", "Child"}, {true, "..\\First", "First"},
        {true, "\\Second", "Second"}, {true, "First", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        const TIntfPtr<IXcDataContexts> list = c.inChildList ? provider.ChildContexts() : provider.Contexts();
        const TIntfPtr<IXcDataContext> found = list->ContextByName(String(c.path));
        EXPECT_EQ(found ? found->Name() : String(), String(c.found));
    }
    EXPECT_EQ(provider.Contexts()->IndexOf(provider.Context(u"Second").get()), 1);
    EXPECT_EQ(provider.Contexts()->IndexOf(provider.ChildContexts()->Context(0).get()), -1);
}

} // namespace
