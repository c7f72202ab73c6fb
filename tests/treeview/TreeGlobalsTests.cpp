#include <gtest/gtest.h>

#include "TreeDibFixture.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/system/SystemMetrics.h"
#include "treeview/TreeGlobals.h"
#include "treeview/TreeUnits.h"
#include "treeview/ViewStringTree.h"

namespace {

// Stand-ins for the base tree and the string tree.
class TGlobalsBaseTree : public TObject {
    RTL_CLASS(TGlobalsBaseTree, TObject);
};
class TGlobalsStringTree : public TGlobalsBaseTree {
    RTL_CLASS(TGlobalsStringTree, TGlobalsBaseTree);
};

// What set-up and tear-down asked of the system.
struct TSystemCallCounts {
    int oleInitialize = 0, oleUninitialize = 0, timeBeginPeriod = 0, timeEndPeriod = 0;
    HRESULT oleAnswer = S_OK;
};
TSystemCallCounts gSystemCalls;

} // namespace

RTL_PUBLISHED_NONE(TGlobalsBaseTree);
RTL_PUBLISHED_NONE(TGlobalsStringTree);

// The framework's units and the tree's started, and the system calls counted;
// the units are finished at the end.
class TreeGlobalsTest : public testing::Test {
protected:
    void SetUp() override {
        FinalizeTreeGlobals(); // what the trees of earlier tests set up
        saved_ = TreeSystemCalls();
        gSystemCalls = TSystemCallCounts{};
        TreeSystemCalls() = TTreeSystemCalls{
            [](LPVOID) { ++gSystemCalls.oleInitialize; return gSystemCalls.oleAnswer; },
            [] { ++gSystemCalls.oleUninitialize; },
            [](uint32_t period) { gSystemCalls.timeBeginPeriod += int(period); return 0u; },
            [](uint32_t period) { gSystemCalls.timeEndPeriod += int(period); return 0u; },
        };
        RegisterUiUnits(units_);
        RegisterTreeUnits(units_);
        units_.Initialize();
    }
    void TearDown() override {
        units_.Finalize();
        TreeSystemCalls() = saved_;
    }

    static void SetUpForTrees() { SetUpTreeGlobals(TGlobalsBaseTree::StaticClass(), TGlobalsStringTree::StaticClass()); }

    // The colour image Index of Set shows at (X, Y) when drawn transparently over green.
    static uint32_t ImagePixel(TTreeImageSet set, int index, int x, int y) {
        TCustomImageList* list = TreeImageSet(set);
        TTreeDib dib(list->Width(), list->Height());
        dib.Fill(0x00FF00);
        ImageList_Draw(list->Handle(), index, dib.Dc(), 0, 0, ILD_TRANSPARENT);
        return dib.At(x, y) & 0xFFFFFF;
    }

private:
    TUnitRegistry units_;
    TTreeSystemCalls saved_{};
};

namespace {

// A COLORREF as the pixel a 32-bit DIB stores.
uint32_t DibPixelOf(COLORREF color) { return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF); }

} // namespace

TEST_F(TreeGlobalsTest, FinalisationWithoutATreeLeavesOleAndTheTimerAlone) {
    FinalizeTreeGlobals();
    EXPECT_EQ(gSystemCalls.oleUninitialize, 0);
    EXPECT_EQ(gSystemCalls.timeEndPeriod, 0);
    EXPECT_FALSE(TreeGlobals().Initialized);
    EXPECT_EQ(ClipboardFormatRegistry(), nullptr);
}

TEST_F(TreeGlobalsTest, TheFirstTreeSetsUpOnceAndFinalisationUndoesIt) {
    SetUpForTrees();
    const TTreeGlobalState& state = TreeGlobals();
    EXPECT_TRUE(state.Initialized);
    EXPECT_TRUE(state.OleInitialized);
    EXPECT_TRUE(state.MmxAvailable);
    EXPECT_TRUE(state.WideTextPlatform);
    EXPECT_TRUE(state.VistaOrLater);
    EXPECT_FALSE(state.Windows2000 || state.WindowsXP);
    EXPECT_EQ(state.ReferenceFormat, RegisterClipboardFormatW(u"View Tree Reference"));
    EXPECT_EQ(state.Formats.Csv, RegisterClipboardFormatW(u"CSV"));
    EXPECT_EQ(gSystemCalls.oleInitialize, 1);
    EXPECT_EQ(gSystemCalls.timeBeginPeriod, 1) << "one request of 1 ms";
    ASSERT_NE(ClipboardFormatRegistry(), nullptr);
    EXPECT_EQ(ClipboardFormatRegistry()->Entries().size(), 7u);

    SetUpForTrees(); // a second tree
    EXPECT_EQ(gSystemCalls.oleInitialize, 1);
    EXPECT_EQ(gSystemCalls.timeBeginPeriod, 1);
    EXPECT_EQ(ClipboardFormatRegistry()->Entries().size(), 7u) << "the formats are registered once";

    FinalizeTreeGlobals();
    EXPECT_EQ(gSystemCalls.oleUninitialize, 1);
    EXPECT_EQ(gSystemCalls.timeEndPeriod, 1);
    EXPECT_FALSE(TreeGlobals().Initialized);
    EXPECT_EQ(ClipboardFormatRegistry(), nullptr);
    for (int set = 0; set < kTreeImageSetCount; ++set) EXPECT_EQ(TreeImageSet(TTreeImageSet(set)), nullptr) << set;
}

TEST_F(TreeGlobalsTest, AFailedOleInitialisationIsNotUndone) {
    gSystemCalls.oleAnswer = E_FAIL;
    SetUpForTrees();
    EXPECT_FALSE(TreeGlobals().OleInitialized);
    EXPECT_NE(TreeImageSet(TTreeImageSet::SystemFlatCheck), nullptr) << "set-up goes on";
    FinalizeTreeGlobals();
    EXPECT_EQ(gSystemCalls.oleUninitialize, 0);
    EXPECT_EQ(gSystemCalls.timeEndPeriod, 1);
}

TEST_F(TreeGlobalsTest, EveryCheckSetHas25ImagesAndTheUtilitiesNine) {
    SetUpForTrees();
    const int systemWidth = GetSystemMetrics(SM_CXMENUCHECK) + 3, systemHeight = GetSystemMetrics(SM_CYMENUCHECK) + 3;
    const struct {
        TTreeImageSet set;
        int count, width, height;
    } cases[] = {
        {TTreeImageSet::LightCheck, 25, 16, 16},  {TTreeImageSet::DarkCheck, 25, 16, 16},
        {TTreeImageSet::LightTick, 25, 16, 16},   {TTreeImageSet::DarkTick, 25, 16, 16},
        {TTreeImageSet::Flat, 25, 16, 16},        {TTreeImageSet::XP, 25, 16, 16},
        {TTreeImageSet::Utilities, 9, 16, 16},    {TTreeImageSet::SystemCheck, 25, systemWidth, systemHeight},
        {TTreeImageSet::SystemFlatCheck, 25, systemWidth, systemHeight},
    };
    for (const auto& c : cases) {
        TCustomImageList* list = TreeImageSet(c.set);
        ASSERT_NE(list, nullptr) << int(c.set);
        EXPECT_EQ(list->Count(), c.count) << int(c.set);
        EXPECT_EQ(list->Width(), c.width) << int(c.set);
        EXPECT_EQ(list->Height(), c.height) << int(c.set);
        if (c.set == TTreeImageSet::Utilities) continue; // its image 0 is the left drop mark
        for (int y = 0; y < list->Height(); ++y)
            for (int x = 0; x < list->Width(); ++x)
                ASSERT_EQ(ImagePixel(c.set, 0, x, y), 0x00FF00u) << "image 0 is blank; set " << int(c.set);
    }
}

TEST_F(TreeGlobalsTest, TheSystemSetShowsMixedBoxesAsImages17To20) {
    SetUpForTrees();
    const TTreeImageSet set = TTreeImageSet::SystemCheck;
    const int size = TreeImageSet(set)->Width();
    // The mark: where a checked box differs from an unchecked one.
    std::vector<std::pair<int, int>> mark;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (ImagePixel(set, 13, x, y) != ImagePixel(set, 9, x, y)) mark.emplace_back(x, y);
    ASSERT_FALSE(mark.empty());
    const uint32_t shadow = DibPixelOf(GetSysColor(COLOR_BTNSHADOW)), text = DibPixelOf(GetSysColor(COLOR_BTNTEXT));
    for (const auto& [x, y] : mark) {
        EXPECT_EQ(ImagePixel(set, 13, x, y), text) << x << "," << y;
        for (int image = 17; image <= 20; ++image)
            EXPECT_EQ(ImagePixel(set, image, x, y), shadow) << "image " << image << " at " << x << "," << y;
        for (int image = 9; image <= 12; ++image)
            EXPECT_NE(ImagePixel(set, image, x, y), shadow) << "image " << image << " at " << x << "," << y;
    }
}

TEST_F(TreeGlobalsTest, ColourMappedSetsFollowTheSystemColours) {
    SetUpForTrees();
    // The middle of a light check box, normal and pressed, and the XP set's own colour there.
    EXPECT_EQ(ImagePixel(TTreeImageSet::LightCheck, 9, 7, 7), DibPixelOf(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(ImagePixel(TTreeImageSet::LightCheck, 11, 7, 7), DibPixelOf(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ImagePixel(TTreeImageSet::DarkCheck, 9, 2, 2), DibPixelOf(GetSysColor(COLOR_BTNTEXT)))
        << "the dark frame's inner ring";
    EXPECT_EQ(ImagePixel(TTreeImageSet::LightCheck, 9, 0, 0), 0x00FF00u) << "the strip's magenta is transparent";
    EXPECT_NE(ImagePixel(TTreeImageSet::XP, 13, 7, 7), 0x00FF00u);
}

TEST_F(TreeGlobalsTest, ASystemColourChangeReloadsTheColourMappedSetsOnly) {
    TBaseViewTree tree(nullptr);
    const struct {
        TTreeImageSet set;
        int countAfter;
    } cases[] = {
        {TTreeImageSet::LightCheck, 25}, {TTreeImageSet::DarkCheck, 25}, {TTreeImageSet::LightTick, 25},
        {TTreeImageSet::DarkTick, 25},   {TTreeImageSet::Flat, 25},      {TTreeImageSet::Utilities, 9},
        {TTreeImageSet::XP, 0},
    };
    for (const auto& c : cases) TreeImageSet(c.set)->Clear();
    tree.Perform(WM_SYSCOLORCHANGE);
    for (const auto& c : cases) EXPECT_EQ(TreeImageSet(c.set)->Count(), c.countAfter) << int(c.set);
    EXPECT_EQ(ImagePixel(TTreeImageSet::LightCheck, 9, 7, 7), DibPixelOf(GetSysColor(COLOR_WINDOW)));
}

TEST_F(TreeGlobalsTest, AMissingStripFailsItsAssertionByName) {
    TImageList list(nullptr);
    try {
        LoadCheckImageSet(list, u"VT_MISSING", true);
        ADD_FAILURE() << "nothing raised";
    } catch (const EAssertionFailed& e) {
        EXPECT_TRUE(e.Message().Std().starts_with(u"Internal image \"VT_MISSING\" is missing or corrupt."))
            << e.Message();
    }
}

TEST_F(TreeGlobalsTest, TheHeaderSplitCursorTakesItsScreenSlotAndTheVerticalSplitNone) {
    SetUpForTrees();
    const HCURSOR split = Screen().Cursors(crHeaderSplit);
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    POINT hotSpot{};
    ASSERT_TRUE(CursorPixels(split, width, height, pixels, hotSpot));
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);
    EXPECT_EQ(hotSpot.x, 16);
    EXPECT_EQ(hotSpot.y, 16);
    EXPECT_EQ(pixels[size_t(hotSpot.y) * 32 + size_t(hotSpot.x)] >> 24, 0xFFu) << "the bar under the hot spot";
    EXPECT_EQ(Screen().Cursors(crVertSplit), nullptr) << "no picture of its own";
}

namespace {

std::vector<CLIPFORMAT> FormatIdsOf(const TFormatEtcArray& formats) {
    std::vector<CLIPFORMAT> ids;
    for (const FORMATETC& format : formats) ids.push_back(format.cfFormat);
    return ids;
}

} // namespace

TEST_F(TreeGlobalsTest, TheFirstTreeSetsUpForTheTreeClassesAndASecondTreeDoesNot) {
    TBaseViewTree first(nullptr);
    EXPECT_TRUE(TreeGlobals().Initialized);
    EXPECT_NE(TreeImageSet(TTreeImageSet::SystemCheck), nullptr);
    TViewStringTree second(nullptr);
    EXPECT_EQ(gSystemCalls.oleInitialize, 1);
    EXPECT_EQ(gSystemCalls.timeBeginPeriod, 1);
    ASSERT_NE(ClipboardFormatRegistry(), nullptr);
    EXPECT_EQ(ClipboardFormatRegistry()->Entries().size(), 7u);
}

TEST_F(TreeGlobalsTest, AStringTreeCollectsEveryFormatInPriorityOrderAndABaseTreeOnlyTreeData) {
    TViewStringTree stringTree(nullptr);
    TBaseViewTree baseTree(nullptr);
    const TTreeFormatIds& ids = TreeGlobals().Formats;
    const TClipboardFormatList& registry = *ClipboardFormatRegistry();
    TFormatEtcArray formats;
    registry.CollectFormats(stringTree.ClassType(), formats);
    EXPECT_EQ(FormatIdsOf(formats), (std::vector<CLIPFORMAT>{ids.TreeData, ids.Html, ids.RtfNoObjects, ids.Rtf,
                                                             ids.Csv, CF_UNICODETEXT, CF_TEXT}));
    registry.CollectFormats(baseTree.ClassType(), formats);
    EXPECT_EQ(FormatIdsOf(formats), std::vector<CLIPFORMAT>{ids.TreeData});
    TStringList allowed;
    allowed.Add(u"CSV");
    registry.CollectFormats(stringTree.ClassType(), formats, &allowed);
    EXPECT_EQ(FormatIdsOf(formats), std::vector<CLIPFORMAT>{ids.Csv});
}

TEST_F(TreeGlobalsTest, ATreesClipboardFormatsTakeOnlyNamesRegisteredForItsClass) {
    TViewStringTree stringTree(nullptr);
    TBaseViewTree baseTree(nullptr);
    const struct {
        TBaseViewTree* tree;
        const char16_t* name;
        bool taken;
    } cases[] = {
        {&stringTree, u"CSV", true},          {&stringTree, u"rich text format", true},
        {&stringTree, u"View Tree Data", true}, {&stringTree, u"Unicode text", true},
        {&stringTree, u"No Such Format", false}, {&baseTree, u"View Tree Data", true},
        {&baseTree, u"CSV", false},           {&baseTree, u"Plain text", false},
    };
    for (const auto& c : cases) {
        TClipboardFormats& list = *c.tree->ClipboardFormats();
        const int count = list.Count();
        const int index = list.Add(c.name);
        EXPECT_EQ(index >= 0, c.taken) << c.tree->ClassName() << " " << String(c.name);
        EXPECT_EQ(list.Count(), count + (c.taken ? 1 : 0)) << String(c.name);
    }
    baseTree.ClipboardFormats()->Insert(0, u"HTML Format");
    EXPECT_EQ(baseTree.ClipboardFormats()->Count(), 1) << "inserting follows the same rule";
}

TEST_F(TreeGlobalsTest, TheCheckImagesInUseFollowTheCheckImageKind) {
    TBaseViewTree tree(nullptr);
    EXPECT_EQ(tree.CheckImageKind(), ckSystemDefault);
    EXPECT_EQ(tree.CheckImages(), TreeImageSet(TTreeImageSet::LightCheck)) << "until a kind is set";
    TCustomImageList custom(nullptr, 16, 16);
    const struct {
        TCheckImageKind kind;
        TCustomImageList* inUse;
    } cases[] = {
        {ckLightCheck, TreeImageSet(TTreeImageSet::LightCheck)},
        {ckDarkCheck, TreeImageSet(TTreeImageSet::DarkCheck)},
        {ckLightTick, TreeImageSet(TTreeImageSet::LightTick)},
        {ckDarkTick, TreeImageSet(TTreeImageSet::DarkTick)},
        {ckFlat, TreeImageSet(TTreeImageSet::Flat)},
        {ckXP, TreeImageSet(TTreeImageSet::XP)},
        {ckCustom, nullptr},
        {ckSystemFlat, TreeImageSet(TTreeImageSet::SystemFlatCheck)},
        {ckSystemDefault, TreeImageSet(TTreeImageSet::SystemCheck)},
    };
    for (const auto& c : cases) {
        tree.SetCheckImageKind(c.kind);
        EXPECT_EQ(tree.CheckImages(), c.inUse) << int(c.kind);
    }
    tree.SetCustomCheckImages(&custom);
    EXPECT_EQ(tree.CheckImages(), TreeImageSet(TTreeImageSet::SystemCheck)) << "not the kind in use";
    tree.SetCheckImageKind(ckCustom);
    EXPECT_EQ(tree.CheckImages(), &custom);
    tree.SetCustomCheckImages(nullptr);
}
