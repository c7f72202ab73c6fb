#include "../ControlFixture.h"

#include "platform/ui/comctrls/TreeView.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/paint/Composite.h"

namespace {

// A node of the settings-tree kind: a page number of its own.
class TTreeViewPageNode : public TTreeNode {
public:
    using TTreeNode::TTreeNode;
    int page = -1;
};

// A tree making page nodes, which keeps their pages itself around a new window, as a subclass
// holding node data outside the nodes would.
class TTreeViewPageTree : public TCustomTreeView {
public:
    using TCustomTreeView::TCustomTreeView;
    std::vector<int> savedPages;
    int restores = 0;

protected:
    TTreeNode* CreateNode() override { return new TTreeViewPageNode(Items()); }
    void DestroyWnd() override {
        if (ControlState().Contains(csRecreating))
            for (TTreeNode* node = Items()->GetFirstNode(); node; node = node->GetNext())
                savedPages.push_back(static_cast<TTreeViewPageNode*>(node)->page);
        TCustomTreeView::DestroyWnd();
    }
    void CreateWnd() override {
        TCustomTreeView::CreateWnd();
        if (savedPages.empty()) return;
        ++restores;
        size_t i = 0;
        for (TTreeNode* node = Items()->GetFirstNode(); node && node->ItemId() && i < savedPages.size();
             node = node->GetNext())
            static_cast<TTreeViewPageNode*>(node)->page = savedPages[i++];
        savedPages.clear();
    }
};

const TColor kTreeImageColors[] = {clRed, clLime, clBlue};

class TreeViewFramework : public FormTest {
protected:
    void SetUp() override {
        form = ShownForm(TRect{100, 100, 500, 400});
        images = new TImageList(form, 16, 16);
        TBitmap strip;
        strip.SetSize(48, 16);
        for (int i = 0; i < 3; ++i) {
            strip.Canvas()->Brush()->SetColor(kTreeImageColors[i]);
            strip.Canvas()->FillRect(TRect{i * 16, 0, i * 16 + 16, 16});
        }
        images->Add(&strip, nullptr);
        tree = new TTreeViewPageTree(form);
        tree->SetBounds(10, 10, 200, 200);
        tree->SetShowLines(false);
        tree->SetShowButtons(false);
        tree->SetImages(images);
        tree->SetParent(form);
        general = tree->Items()->Add(nullptr, u"常规");
        performance = tree->Items()->Add(nullptr, u"性能");
        display = tree->Items()->AddChild(general, u"Display");
        sound = tree->Items()->AddChild(performance, u"Sound");
        general->Expand(false);
        performance->Expand(false);
        PumpMessages();
    }
    void ClickNode(TTreeNode* node) {
        clock_.Advance(1000);
        const TRect label = node->DisplayRect(true);
        POINT pt{label.Left + 4, label.Top + 4};
        ClientToScreen(tree->Handle(), &pt);
        DesktopClick(pt);
        RunUntilIdle();
    }
    COLORREF ScreenPixel(int x, int y) {
        POINT pt{x, y};
        ClientToScreen(tree->Handle(), &pt);
        const uint32_t argb = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1}).Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    // The colour at the middle of a node's image, left of its label.
    COLORREF ImagePixel(TTreeNode* node) {
        const TRect label = node->DisplayRect(true);
        return ScreenPixel(label.Left - 10, (label.Top + label.Bottom) / 2);
    }

    TForm* form = nullptr;
    TImageList* images = nullptr;
    TTreeViewPageTree* tree = nullptr;
    TTreeNode *general = nullptr, *performance = nullptr, *display = nullptr, *sound = nullptr;
};

TEST_F(TreeViewFramework, NodesAreTheTreesOwnClassInTreeOrder) {
    ASSERT_EQ(tree->Items()->Count(), 4);
    const TTreeNode* expected[] = {general, display, performance, sound};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tree->Items()->Item(i), expected[i]);
        EXPECT_EQ(expected[i]->AbsoluteIndex(), i);
        EXPECT_NE(dynamic_cast<const TTreeViewPageNode*>(expected[i]), nullptr);
    }
    EXPECT_EQ(display->Parent(), general);
    EXPECT_EQ(display->Level(), 1);
    EXPECT_EQ(performance->Index(), 1);
    EXPECT_EQ(general->getNextSibling(), performance);
    EXPECT_EQ(performance->getPrevSibling(), general);
    TTreeNode* first = tree->Items()->AddChildFirst(general, u"Fonts");
    EXPECT_EQ(general->getFirstChild(), first);
    EXPECT_EQ(tree->Items()->Insert(performance, u"Between")->getNextSibling(), performance);
    EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETCOUNT, 0, 0), 6);
}

TEST_F(TreeViewFramework, AClickAsksOnChangingAndARefusalKeepsTheSelection) {
    std::vector<String> events;
    bool allow = true;
    tree->OnChanging = [&](TObject* sender, TTreeNode* node, bool& allowChange) {
        EXPECT_EQ(sender, tree);
        events.push_back(u"changing " + node->Text());
        allowChange = allow;
    };
    tree->OnChange = [&](TObject*, TTreeNode* node) { events.push_back(u"change " + node->Text()); };
    tree->SetSelected(general);
    events.clear();

    allow = false;
    ClickNode(performance);
    EXPECT_EQ(events, (std::vector<String>{u"changing 性能"}));
    EXPECT_EQ(tree->Selected(), general);

    allow = true;
    events.clear();
    ClickNode(performance);
    EXPECT_EQ(events, (std::vector<String>{u"changing 性能", u"change 性能"}));
    EXPECT_EQ(tree->Selected(), performance);
    EXPECT_TRUE(performance->Selected());
    const auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(caret, performance->ItemId());
}

TEST_F(TreeViewFramework, ImageEventsChooseTheImagesDrawn) {
    tree->OnGetImageIndex = [](TObject*, TTreeNode* node) { node->SetImageIndex(node->HasChildren() ? 0 : 1); };
    tree->OnGetSelectedIndex = [](TObject*, TTreeNode* node) { node->SetSelectedIndex(2); };
    tree->SetSelected(sound);
    tree->Invalidate();
    PumpMessages();
    EXPECT_EQ(ImagePixel(general), ColorToRGB(clRed));
    EXPECT_EQ(ImagePixel(display), ColorToRGB(clLime));
    EXPECT_EQ(ImagePixel(sound), ColorToRGB(clBlue)) << "the selected node shows its selected image";
}

TEST_F(TreeViewFramework, NodesDataAndSelectionSurviveANewWindow) {
    int value = 42;
    sound->SetData(&value);
    static_cast<TTreeViewPageNode*>(sound)->page = 7;
    performance->Collapse(false);
    tree->SetSelected(display);
    const HWND before = tree->Handle();
    tree->SetRowSelect(true); // a new style: a new window
    ASSERT_NE(tree->Handle(), before);
    EXPECT_EQ(tree->restores, 1);
    EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(tree->Items()->Item(3), sound);
    EXPECT_EQ(sound->Data(), &value);
    EXPECT_EQ(static_cast<TTreeViewPageNode*>(sound)->page, 7);
    EXPECT_EQ(tree->Selected(), display);
    EXPECT_TRUE(general->Expanded());
    EXPECT_FALSE(performance->Expanded());
    const auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(caret, display->ItemId());
    EXPECT_EQ(tree->GetNodeAt(display->DisplayRect(true).Left + 2, display->DisplayRect(true).Top + 2), display);
}

TEST_F(TreeViewFramework, ExpansionEventsMayRefuseAndDeletionIsAnnounced) {
    std::vector<String> events;
    bool allow = false;
    tree->OnCollapsing = [&](TObject*, TTreeNode* node, bool& a) {
        events.push_back(u"collapsing " + node->Text());
        a = allow;
    };
    tree->OnCollapsed = [&](TObject*, TTreeNode* node) { events.push_back(u"collapsed " + node->Text()); };
    tree->OnExpanding = [&](TObject*, TTreeNode* node, bool&) { events.push_back(u"expanding " + node->Text()); };
    tree->OnExpanded = [&](TObject*, TTreeNode* node) { events.push_back(u"expanded " + node->Text()); };
    tree->OnDeletion = [&](TObject*, TTreeNode* node) { events.push_back(u"deleted " + node->Text()); };
    general->Collapse(false);
    EXPECT_TRUE(general->Expanded());
    allow = true;
    general->SetExpanded(false);
    general->Expand(false);
    EXPECT_TRUE(general->Expanded());
    general->Delete();
    EXPECT_EQ(events, (std::vector<String>{u"collapsing 常规", u"collapsing 常规", u"collapsed 常规", u"expanding 常规",
                                           u"expanded 常规", u"deleted Display", u"deleted 常规"}));
    EXPECT_EQ(tree->Items()->Count(), 2);
    EXPECT_EQ(tree->Items()->GetFirstNode(), performance);
}

} // namespace
