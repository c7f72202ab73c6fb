#include <gtest/gtest.h>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "treeview/TreeClipboardFormats.h"
#include "treeview/TreeGlobals.h"

namespace {

// Stand-ins for the tree classes: a base tree, a string tree derived from it,
// another tree derived from the base and a class outside the trees.
class TFormatsBaseTree : public TObject {
    RTL_CLASS(TFormatsBaseTree, TObject);
};
class TFormatsStringTree : public TFormatsBaseTree {
    RTL_CLASS(TFormatsStringTree, TFormatsBaseTree);
};
class TFormatsDrawTree : public TFormatsBaseTree {
    RTL_CLASS(TFormatsDrawTree, TFormatsBaseTree);
};
class TFormatsStranger : public TObject {
    RTL_CLASS(TFormatsStranger, TObject);
};

} // namespace

RTL_PUBLISHED_NONE(TFormatsBaseTree);
RTL_PUBLISHED_NONE(TFormatsStringTree);
RTL_PUBLISHED_NONE(TFormatsDrawTree);
RTL_PUBLISHED_NONE(TFormatsStranger);

namespace {

FORMATETC Format(CLIPFORMAT id) { return FORMATETC{id, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

std::vector<CLIPFORMAT> Ids(const TFormatEtcArray& formats) {
    std::vector<CLIPFORMAT> ids;
    for (const FORMATETC& f : formats) ids.push_back(f.cfFormat);
    return ids;
}

} // namespace

// Each test starts without the program's list (nor the trees' set-up, which
// would not make it again) and leaves none behind.
class TreeFormatRegistryTest : public testing::Test {
protected:
    void SetUp() override { FinalizeTreeGlobals(); }
    void TearDown() override { FreeClipboardFormatRegistry(); }

    TTreeFormatIds RegisterTreeFormats() {
        return RegisterTreeClipboardFormats(TFormatsBaseTree::StaticClass(), TFormatsStringTree::StaticClass());
    }
    std::vector<CLIPFORMAT> Collected(TClass treeClass, const TStrings* allowed = nullptr) {
        TFormatEtcArray formats;
        ClipboardFormatRegistry()->CollectFormats(treeClass, formats, allowed);
        return Ids(formats);
    }
};

TEST(ClipboardFormatList, EntriesStayInPriorityOrderWhateverTheOrderOfAddition) {
    TClipboardFormatList list;
    const TClass tree = TFormatsBaseTree::StaticClass();
    const uint32_t priorities[] = {90, 50, 100, 80, 95, 10};
    for (const uint32_t priority : priorities)
        list.AddEntry(u"F" + IntToStr(int(priority)), tree, priority, Format(CLIPFORMAT(priority)));
    TFormatEtcArray formats;
    list.CollectFormats(tree, formats);
    EXPECT_EQ(Ids(formats), (std::vector<CLIPFORMAT>{10, 50, 80, 90, 95, 100}));
    list.ClearEntries();
    list.CollectFormats(tree, formats);
    EXPECT_TRUE(formats.empty()) << "the array ends with exactly the matches";
}

TEST(ClipboardFormatList, FormatsOfAClassServeItsDescendantsOnly) {
    TClipboardFormatList list;
    list.AddEntry(u"Base", TFormatsBaseTree::StaticClass(), 1, Format(1));
    list.AddEntry(u"String", TFormatsStringTree::StaticClass(), 2, Format(2));
    list.AddEntry(u"Draw", TFormatsDrawTree::StaticClass(), 3, Format(3));
    const struct {
        TClass treeClass;
        std::vector<CLIPFORMAT> expected;
    } cases[] = {
        {TFormatsBaseTree::StaticClass(), {1}},
        {TFormatsStringTree::StaticClass(), {1, 2}},
        {TFormatsDrawTree::StaticClass(), {1, 3}},
        {TFormatsStranger::StaticClass(), {}},
        {nullptr, {}},
    };
    for (const auto& c : cases) {
        TFormatEtcArray formats{Format(99)};
        list.CollectFormats(c.treeClass, formats);
        EXPECT_EQ(Ids(formats), c.expected) << (c.treeClass ? c.treeClass->ClassName() : String(u"nil"));
    }
}

TEST(ClipboardFormatList, FindByDescriptionIgnoresCaseAndPrefersTheHighestPriorityValue) {
    TClipboardFormatList list;
    list.AddEntry(u"Shared", TFormatsBaseTree::StaticClass(), 20, Format(20));
    list.AddEntry(u"Shared", TFormatsStringTree::StaticClass(), 70, Format(70));
    list.AddEntry(u"Other", TFormatsDrawTree::StaticClass(), 90, Format(90));
    CLIPFORMAT id = 0;
    EXPECT_EQ(list.FindByDescription(u"sHARED", id), TFormatsStringTree::StaticClass());
    EXPECT_EQ(id, 70);
    id = 1234;
    EXPECT_EQ(list.FindByDescription(u"Missing", id), nullptr);
    EXPECT_EQ(id, 1234) << "a miss leaves the id alone";
}

TEST_F(TreeFormatRegistryTest, AStringTreeOffersItsFormatsInPriorityOrderAndOtherTreesTreeDataOnly) {
    EXPECT_EQ(ClipboardFormatRegistry(), nullptr);
    const TTreeFormatIds ids = RegisterTreeFormats();
    ASSERT_NE(ClipboardFormatRegistry(), nullptr) << "made by the first registration";
    EXPECT_EQ(Collected(TFormatsStringTree::StaticClass()),
              (std::vector<CLIPFORMAT>{ids.TreeData, ids.Html, ids.RtfNoObjects, ids.Rtf, ids.Csv, CF_UNICODETEXT,
                                       CF_TEXT}));
    EXPECT_EQ(Collected(TFormatsBaseTree::StaticClass()), std::vector<CLIPFORMAT>{ids.TreeData});
    EXPECT_EQ(Collected(TFormatsDrawTree::StaticClass()), std::vector<CLIPFORMAT>{ids.TreeData});
    EXPECT_EQ(ids.TreeData, RegisterClipboardFormatW(u"View Tree Data"));
    EXPECT_EQ(ids.Csv, RegisterClipboardFormatW(u"CSV"));
    for (const auto& entry : ClipboardFormatRegistry()->Entries()) {
        EXPECT_EQ(entry.FormatEtc.ptd, nullptr) << entry.Description;
        EXPECT_EQ(entry.FormatEtc.dwAspect, DVASPECT_CONTENT) << entry.Description;
        EXPECT_EQ(entry.FormatEtc.lindex, -1) << entry.Description;
        EXPECT_EQ(entry.FormatEtc.tymed, TYMED_HGLOBAL) << entry.Description;
    }
}

TEST_F(TreeFormatRegistryTest, AnAllowedListNarrowsTheFormatsToTheNamedOnes) {
    const TTreeFormatIds ids = RegisterTreeFormats();
    TStringList allowed;
    allowed.Add(u"CSV");
    EXPECT_EQ(Collected(TFormatsStringTree::StaticClass(), &allowed), std::vector<CLIPFORMAT>{ids.Csv});
    allowed.Add(u"Unicode text");
    allowed.Add(u"View Tree Data");
    EXPECT_EQ(Collected(TFormatsStringTree::StaticClass(), &allowed),
              (std::vector<CLIPFORMAT>{ids.TreeData, ids.Csv, CF_UNICODETEXT}));
    EXPECT_EQ(Collected(TFormatsBaseTree::StaticClass(), &allowed), std::vector<CLIPFORMAT>{ids.TreeData});
}

TEST_F(TreeFormatRegistryTest, TheTreeFormatsAreFoundByTheirDescriptionsInAnyCase) {
    const TTreeFormatIds ids = RegisterTreeFormats();
    const struct {
        const char16_t* description;
        TClass treeClass;
        CLIPFORMAT id;
    } cases[] = {
        {u"csv", TFormatsStringTree::StaticClass(), ids.Csv},
        {u"view tree data", TFormatsBaseTree::StaticClass(), ids.TreeData},
        {u"HTML FORMAT", TFormatsStringTree::StaticClass(), ids.Html},
        {u"Rich Text Format Without Objects", TFormatsStringTree::StaticClass(), ids.RtfNoObjects},
        {u"Plain text", TFormatsStringTree::StaticClass(), CF_TEXT},
        {u"unicode TEXT", TFormatsStringTree::StaticClass(), CF_UNICODETEXT},
    };
    for (const auto& c : cases) {
        CLIPFORMAT id = 0;
        EXPECT_EQ(ClipboardFormatRegistry()->FindByDescription(c.description, id), c.treeClass)
            << String(c.description);
        EXPECT_EQ(id, c.id) << String(c.description);
    }
    CLIPFORMAT id = 0;
    EXPECT_EQ(ClipboardFormatRegistry()->FindByDescription(kTreeReferenceFormatName, id), nullptr)
        << "the reference format is not offered through the list";
}

TEST_F(TreeFormatRegistryTest, StandardFormatsTakeTheirDescriptionOrRegisteredName) {
    const CLIPFORMAT named = CLIPFORMAT(RegisterClipboardFormatW(u"Tree Test Private Format"));
    const struct {
        CLIPFORMAT id;
        const char16_t* description; // null: nothing added
    } cases[] = {
        {1, u"Plain text"},        {2, u"Windows bitmap"}, {8, u"DIB image"},
        {13, u"Unicode text"},     {15, u"File name(s)"},   {16, u"Locale descriptor"},
        {named, u"Tree Test Private Format"}, {0, nullptr},
    };
    for (const auto& c : cases) {
        FreeClipboardFormatRegistry();
        RegisterStandardFormat(c.id, TFormatsBaseTree::StaticClass(), 7);
        const auto& entries = ClipboardFormatRegistry()->Entries();
        if (!c.description) {
            EXPECT_TRUE(entries.empty()) << c.id;
            continue;
        }
        ASSERT_EQ(entries.size(), 1u) << c.id;
        EXPECT_EQ(entries[0].Description, String(c.description));
        EXPECT_EQ(entries[0].Priority, 7u);
        EXPECT_EQ(entries[0].FormatEtc.cfFormat, c.id);
    }
}

TEST_F(TreeFormatRegistryTest, ANamedFormatKeepsTheMediumAndAspectGiven) {
    const CLIPFORMAT id = RegisterNamedFormat(u"Tree Test Stream Format", TFormatsDrawTree::StaticClass(), 3,
                                              TYMED_ISTREAM, nullptr, DVASPECT_CONTENT, 2);
    EXPECT_EQ(id, RegisterClipboardFormatW(u"Tree Test Stream Format"));
    const auto& entry = ClipboardFormatRegistry()->Entries().at(0);
    EXPECT_EQ(entry.TreeClass, TFormatsDrawTree::StaticClass());
    EXPECT_EQ(entry.FormatEtc.tymed, TYMED_ISTREAM);
    EXPECT_EQ(entry.FormatEtc.lindex, 2);
}
