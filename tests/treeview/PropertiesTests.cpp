#include <gtest/gtest.h>

#include "TreeRecount.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/graphics/Picture.h"
#include "treeview/ViewStringTree.h"

namespace {

TEST(TreeProperties, ANewStringTreeStartsFromTheDocumentedDefaults) {
    TViewStringTree tree(nullptr);
    const TColor colors[TVTColors::Count] = {clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace,
                                             clBtnShadow, clBtnFace,   clBtnFace,   clWindowText, clHighlight,
                                             clBtnFace,   clHighlight, clHighlight, clHighlight, clBtnShadow};
    for (int i = 0; i < TVTColors::Count; ++i) EXPECT_EQ(tree.Colors()->Color(i), colors[i]) << "colour " << i;
    TStringTreeOptions* options = tree.TreeOptions();
    EXPECT_EQ(options->PaintOptions(), (TVTPaintOptions{toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines,
                                                        toThemeAware, toUseBlendedImages}));
    EXPECT_EQ(options->AnimationOptions(), TVTAnimationOptions{}) << "a new tree does not animate toggles";
    EXPECT_EQ(options->AutoOptions(), (TVTAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
                                                      toAutoDeleteMovedNodes}));
    EXPECT_EQ(options->SelectionOptions(), TVTSelectionOptions{});
    EXPECT_EQ(options->MiscOptions(), (TVTMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
                                                      toToggleOnDblClick, toWheelPanning, toEditOnClick}));
    EXPECT_EQ(options->StringOptions(), (TVTStringOptions{toSaveCaptions, toAutoAcceptEditChange}));
    EXPECT_EQ(options->ExportMode(), emAll);
    EXPECT_EQ(tree.AnimationDuration(), 200u);
    EXPECT_EQ(tree.NodeDataSize(), -1);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    EXPECT_EQ(tree.Indent(), 18u);
    EXPECT_EQ(tree.Margin(), 4);
    EXPECT_EQ(tree.FocusedColumn(), kNoColumn);
    EXPECT_EQ(tree.BorderStyle(), kSingleBorder);
    EXPECT_TRUE(tree.Background()->Graphic() == nullptr);
    tree.SetAnimationDuration(100);
    EXPECT_TRUE(options->AnimationOptions().Contains(toAnimatedToggle));
    tree.SetAnimationDuration(0);
    EXPECT_FALSE(options->AnimationOptions().Contains(toAnimatedToggle));
}

TEST(TreeProperties, SettersWithTheirSideEffects) {
    TBaseViewTree tree(nullptr);
    tree.SetRootNodeCount(2);
    PViewNode first = tree.RootNode()->firstChild;
    tree.SetDefaultNodeHeight(30);
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    tree.SetDefaultNodeHeight(25);
    EXPECT_EQ(first->nodeHeight, 18) << "existing nodes keep their heights";
    EXPECT_EQ(tree.RootNode()->nodeHeight, 25);
    ExpectTreeConsistent(tree);

    TCustomImageList custom(nullptr, 16, 16);
    tree.SetCheckImageKind(ckCustom);
    EXPECT_EQ(tree.CheckImages(), nullptr);
    tree.SetCustomCheckImages(&custom);
    EXPECT_EQ(tree.CheckImages(), &custom);
    tree.SetCustomCheckImages(nullptr);
    EXPECT_EQ(tree.CheckImages(), nullptr);

    EXPECT_EQ(tree.ClipboardFormats()->Add(u"No Such Format"), -1);
    EXPECT_EQ(tree.ClipboardFormats()->Count(), 0);

    EXPECT_THROW(tree.ScrollBarOptions()->SetScrollBarStyle(sbmFlat), EAssertionFailed);
    EXPECT_EQ(tree.ScrollBarOptions()->ScrollBarStyle(), sbmRegular);
}

TEST(TreeProperties, FreedImageListsAreForgotten) {
    TBaseViewTree tree(nullptr);
    auto images = std::make_unique<TCustomImageList>(nullptr, 16, 16);
    auto states = std::make_unique<TCustomImageList>(nullptr, 16, 16);
    tree.SetImages(images.get());
    tree.SetStateImages(states.get());
    images.reset();
    states.reset();
    EXPECT_EQ(tree.Images(), nullptr);
    EXPECT_EQ(tree.StateImages(), nullptr);
}

TEST(TreeOptionsTests, LegacyOptionsTable) {
    const struct {
        std::vector<String> identifiers;
        TVTPaintOptions paint;
        TVTSelectionOptions selection;
        TVTAutoOptions autoOptions;
        TVTMiscOptions misc;
        TVTAnimationOptions animation;
    } cases[] = {
        {{u"voShowRoot", u"voMultiSelect"}, {toShowRoot}, {toMultiSelect}, {}, {}, {}},
        {{u"voAnimatedToggle", u"voAutoSort", u"voCheckSupport", u"voHotTrack", u"voFullRowSelect"},
         {toHotTrack}, {toFullRowSelect}, {toAutoSort}, {toCheckSupport}, {toAnimatedToggle}},
        {{u"toShowRoot", u"voNoSuchOption", u"voToggleOnDblClick"}, {}, {}, {}, {toToggleOnDblClick}, {}},
        {{}, {}, {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        TViewStringTree tree(nullptr);
        ApplyLegacyOptions(*tree.TreeOptions(), c.identifiers);
        const auto* o = tree.TreeOptions();
        EXPECT_EQ(o->PaintOptions(), c.paint);
        EXPECT_EQ(o->SelectionOptions(), c.selection);
        EXPECT_EQ(o->AutoOptions(), c.autoOptions);
        EXPECT_EQ(o->MiscOptions(), c.misc);
        EXPECT_EQ(o->AnimationOptions(), c.animation);
    }
}

TEST(TreeOptionsTests, AssignToCopiesFiveSetsAndStringOptionsButNotTheExportMode) {
    TViewStringTree source(nullptr), target(nullptr);
    TStringTreeOptions* from = source.TreeOptions();
    from->SetPaintOptions({toShowRoot, toHotTrack});
    from->SetAnimationOptions({toAnimatedToggle});
    from->SetAutoOptions({toAutoSort});
    from->SetSelectionOptions({toMultiSelect});
    from->SetMiscOptions({toCheckSupport});
    from->SetStringOptions({toShowStaticText});
    from->SetExportMode(emChecked);
    target.SetTreeOptions(from);
    TStringTreeOptions* to = target.TreeOptions();
    EXPECT_EQ(to->PaintOptions(), from->PaintOptions());
    EXPECT_EQ(to->AnimationOptions(), from->AnimationOptions());
    EXPECT_EQ(to->AutoOptions(), from->AutoOptions());
    EXPECT_EQ(to->SelectionOptions(), from->SelectionOptions());
    EXPECT_EQ(to->MiscOptions(), from->MiscOptions());
    EXPECT_EQ(to->StringOptions(), from->StringOptions());
    EXPECT_EQ(to->ExportMode(), emAll);
}

TEST(TreeOptionsTests, SwitchingHiddenNodesOnAndOffEqualsTheRecount) {
    TBaseViewTree tree(nullptr);
    tree.SetRootNodeCount(4);
    PViewNode hidden = tree.RootNode()->firstChild;
    tree.ChangeChildCount(hidden, 3);
    tree.ToggleExpanded(hidden);
    tree.SetNodeHidden(hidden, true);
    tree.SetNodeHidden(hidden->lastChild, true);
    const uint32_t visible = tree.VisibleCount();
    for (bool on : {true, false}) {
        auto paint = tree.TreeOptions()->PaintOptions();
        if (on) paint.Include(toShowHiddenNodes);
        else paint.Exclude(toShowHiddenNodes);
        tree.TreeOptions()->SetPaintOptions(paint);
        ExpectTreeConsistent(tree);
        EXPECT_EQ(tree.VisibleCount(), on ? visible + 4 : visible);
    }
}

TEST(TreeAssign, AnotherTreesSettingsButNotItsNodesAndNothingIntoAReadOnlyTree) {
    TBaseViewTree source(nullptr), target(nullptr), readOnly(nullptr);
    source.SetIndent(30);
    source.SetDefaultNodeHeight(22);
    source.SetRootNodeCount(5);
    source.SetChangeDelay(40);
    source.TreeOptions()->SetSelectionOptions({toMultiSelect});
    target.Assign(&source);
    EXPECT_EQ(target.Indent(), 30u);
    EXPECT_EQ(target.DefaultNodeHeight(), 22u);
    EXPECT_EQ(target.ChangeDelay(), 40u);
    EXPECT_EQ(target.RootNodeCount(), 5u);
    EXPECT_TRUE(target.TreeOptions()->SelectionOptions().Contains(toMultiSelect));
    EXPECT_NE(target.RootNode()->firstChild, source.RootNode()->firstChild);
    ExpectTreeConsistent(target);
    readOnly.TreeOptions()->SetMiscOptions({toReadOnly});
    try {
        readOnly.Assign(&source);
    } catch (const Exception&) {
        // the framework's refusal of an impossible assignment
    }
    EXPECT_EQ(readOnly.Indent(), 18u);
}

} // namespace
