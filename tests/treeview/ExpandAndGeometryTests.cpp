#include <gtest/gtest.h>

#include "TreeFixture.h"
#include "platform/ui/Forms.h"
#include "platform/win/User.h"

namespace {

TEST(TreeExpanding, VetoesChangeNothing) {
    TNamedTree t;
    TBaseViewTree& tree = t.tree;
    tree.OnCollapsing = [](TBaseViewTree*, PViewNode, bool& allowed) { allowed = false; };
    tree.OnExpanding = [](TBaseViewTree*, PViewNode, bool& allowed) { allowed = false; };
    const uint32_t visible = tree.VisibleCount(), height = tree.RootNode()->totalHeight;
    tree.ToggleExpanded(t.A);
    tree.ToggleExpanded(t.B);
    EXPECT_TRUE(t.A->states.Contains(nsExpanded));
    EXPECT_FALSE(t.B->states.Contains(nsExpanded));
    EXPECT_EQ(tree.VisibleCount(), visible);
    EXPECT_EQ(tree.RootNode()->totalHeight, height);
    tree.OnCollapsing = {};
    tree.OnExpanding = {};
    ExpectTreeConsistent(tree);
}

// Every node has three lazy children down to the third level.
struct TLazyTree {
    TBaseViewTree tree{nullptr};
    std::vector<std::string> events;
    int freed = 0;
    TLazyTree() {
        tree.SetNodeDataSize(sizeof(void*));
        tree.OnInitNode = [this](TBaseViewTree* s, PViewNode, PViewNode node, TViewNodeInitStates& states) {
            if (s->NodeLevel(node) < 2) states.Include(ivsHasChildren);
        };
        tree.OnInitChildren = [](TBaseViewTree*, PViewNode, uint32_t& count) { count = 3; };
        tree.OnCollapsed = [this](TBaseViewTree* s, PViewNode node) {
            events.push_back("collapsed level " + std::to_string(s->NodeLevel(node)));
        };
        tree.OnFreeNode = [this](TBaseViewTree*, PViewNode) { ++freed; };
        tree.SetRootNodeCount(2);
    }
    ~TLazyTree() {
        tree.OnInitNode = {};
        tree.OnInitChildren = {};
        tree.OnCollapsed = {};
        tree.OnFreeNode = {};
    }
};

TEST(TreeExpanding, LazyChildrenAndExpandAllAndCollapseAll) {
    TLazyTree t;
    TBaseViewTree& tree = t.tree;
    PViewNode first = tree.FirstNode();
    tree.ToggleExpanded(first);
    EXPECT_EQ(first->childCount, 3u);
    ExpectTreeConsistent(tree);
    tree.ExpandAll(nullptr);
    EXPECT_EQ(tree.TotalCount(), 2u + 6u + 18u);
    EXPECT_EQ(tree.VisibleCount(), 26u);
    ExpectTreeConsistent(tree);
    tree.CollapseAll(nullptr);
    EXPECT_EQ(tree.VisibleCount(), 2u);
    ASSERT_EQ(t.events.size(), 8u);
    // The last subtree closes first: its children before it.
    EXPECT_EQ(t.events[0], "collapsed level 1");
    EXPECT_EQ(t.events[3], "collapsed level 0");
    ExpectTreeConsistent(tree);

    TBaseViewTree single(nullptr);
    single.SetRootNodeCount(1);
    single.ExpandAll(nullptr);
    EXPECT_FALSE(single.RootNode()->firstChild->states.Contains(nsExpanded));
}

TEST(TreeExpanding, AutoFreeOnCollapseAndDeletingTheLastChild) {
    TLazyTree t;
    TBaseViewTree& tree = t.tree;
    tree.TreeOptions()->SetAutoOptions(tree.TreeOptions()->AutoOptions() + TVTAutoOptions{toAutoFreeOnCollapse});
    PViewNode first = tree.FirstNode();
    tree.ToggleExpanded(first);
    tree.FirstChildNode(first); // initialised children report their freeing
    for (PViewNode c = first->firstChild; c; c = c->nextSibling) tree.InitializeSubtree(c, false);
    t.freed = 0;
    tree.ToggleExpanded(first);
    EXPECT_EQ(t.freed, 3);
    EXPECT_EQ(first->childCount, 0u);
    EXPECT_TRUE(first->states.Contains(nsHasChildren));
    ExpectTreeConsistent(tree);

    tree.TreeOptions()->SetAutoOptions(tree.TreeOptions()->AutoOptions() - TVTAutoOptions{toAutoFreeOnCollapse});
    tree.ToggleExpanded(first);
    tree.ChangeChildCount(first, 1);
    tree.RemoveNode(first->firstChild);
    EXPECT_FALSE(first->states.Contains(nsExpanded));
    EXPECT_FALSE(first->states.Contains(nsHasChildren));
    ExpectTreeConsistent(tree);
}

// Thirty top-level rows of 18 pixels under a 200 x 180 client: ten rows fit.
class TreeGeometry : public testing::Test {
protected:
    TreeGeometry() {
        tree.SetNodeDataSize(sizeof(void*));
        tree.SetBorderStyle(kNoBorder);
        tree.SetClientWidth(200);
        tree.SetClientHeight(180);
        tree.SetRootNodeCount(30);
        for (PViewNode n = tree.RootNode()->firstChild; n; n = n->nextSibling) rows.push_back(n);
    }
    TBaseViewTree tree{nullptr};
    std::vector<PViewNode> rows;
};

TEST_F(TreeGeometry, DisplayRectsAndBringingIntoView) {
    ASSERT_EQ(tree.ClientHeight(), 180);
    EXPECT_EQ(tree.RangeY(), 30 * 18);
    EXPECT_EQ(tree.DisplayRect(rows[3], kNoColumn, false), (TRect{0, 54, 200, 72}));
    tree.ChangeChildCount(rows[3], 2);
    EXPECT_EQ(tree.DisplayRect(rows[3]->firstChild, kNoColumn, false), TRect{}) << "under a collapsed parent";

    EXPECT_TRUE(tree.BringIntoView(rows[20], false)); // below: its bottom meets the client bottom
    EXPECT_EQ(tree.OffsetY(), 180 - 21 * 18);
    EXPECT_TRUE(tree.BringIntoView(rows[2], false)); // above: its top meets the client top
    EXPECT_EQ(tree.OffsetY(), -2 * 18);
    EXPECT_FALSE(tree.BringIntoView(rows[5], false));
    EXPECT_TRUE(tree.BringIntoView(rows[15], true)); // centred: below, so its bottom meets the middle
    EXPECT_EQ(tree.OffsetY(), 90 - 16 * 18);
    EXPECT_TRUE(tree.BringIntoView(rows[0], true)); // centred from above: clamped at the top
    EXPECT_EQ(tree.OffsetY(), 0);

    tree.ScrollToOffsetY(-100000);
    EXPECT_EQ(tree.OffsetY(), 180 - 30 * 18);
    tree.ScrollToOffsetY(50);
    EXPECT_EQ(tree.OffsetY(), 0);
    tree.ScrollNodeToTop(rows[5]);
    EXPECT_EQ(tree.OffsetY(), -5 * 18);
    tree.ScrollNodeToBottom(rows[20]);
    EXPECT_EQ(tree.DisplayRect(rows[20], kNoColumn, false).Bottom, 180);
    tree.ScrollNodeToTop(rows[3]->lastChild);
    EXPECT_TRUE(rows[3]->states.Contains(nsExpanded)) << "ancestors are opened";
    EXPECT_EQ(tree.OffsetY(), -5 * 18);

    tree.SetMargin(4);
    tree.SetIndent(18);
    const TRect text = tree.DisplayRect(rows[3]->lastChild, kNoColumn, true);
    EXPECT_EQ(text.Left, 4 + 18 + 18) << "margin, one level and the root's indent";
}

TEST_F(TreeGeometry, AutoScrollOnExpandBringsTheLastChildIntoView) {
    tree.ChangeChildCount(rows[7], 5);
    tree.ToggleExpanded(rows[7]);
    // Row 7 at 126 with five children below: the last ends at 234, so the view moves up by 54.
    EXPECT_EQ(tree.OffsetY(), 180 - (8 + 5) * 18);
    tree.ToggleExpanded(rows[7]);
    tree.ChangeChildCount(rows[12], 40);
    tree.ToggleExpanded(rows[12]);
    EXPECT_EQ(tree.OffsetY(), -12 * 18) << "too many children: the node goes to the top";
    ExpectTreeConsistent(tree);
}

TEST(TreeScrollBars, RangePageAndPositionFollowTheTreeAndAnAlwaysVisibleBarStays) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 400);
    auto* tree = new TBaseViewTree(form.get()); // the form frees it
    tree->SetParent(form.get());
    tree->SetBorderStyle(kNoBorder);
    tree->SetClientWidth(200);
    tree->SetClientHeight(180);
    tree->HandleNeeded();
    tree->SetRootNodeCount(30);
    tree->ScrollToOffsetY(-40);
    auto verticalBar = [&] {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        EXPECT_TRUE(GetScrollInfo(tree->Handle(), SB_VERT, &info));
        return info;
    };
    SCROLLINFO info = verticalBar();
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, tree->RangeY());
    EXPECT_EQ(int(info.nPage), tree->ClientHeight() + 1);
    EXPECT_EQ(info.nPos, 40);

    std::vector<std::pair<int, bool>> shown;
    tree->OnShowScrollbar = [&](TBaseViewTree*, int bar, bool show) { shown.emplace_back(bar, show); };
    tree->SetRootNodeCount(3);
    EXPECT_EQ(tree->OffsetY(), 0) << "the offset follows the bar back into the range";
    EXPECT_NE(std::find(shown.begin(), shown.end(), std::pair<int, bool>{SB_VERT, false}), shown.end());

    tree->ScrollBarOptions()->SetAlwaysVisible(true);
    tree->HandleNeeded();
    shown.clear();
    tree->SyncScrollBars(false);
    EXPECT_NE(std::find(shown.begin(), shown.end(), std::pair<int, bool>{SB_VERT, true}), shown.end())
        << "a disabled bar stays";
    info = verticalBar();
    EXPECT_EQ(info.nMax, tree->RangeY());
    EXPECT_GT(int(info.nPage), info.nMax);
    tree->OnShowScrollbar = {};
}

TEST(TreeNotifications, ADelayedChangeWaitsForItsTimer) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* tree = new TBaseViewTree(form.get());
    tree->SetParent(form.get());
    tree->HandleNeeded();
    tree->SetNodeDataSize(sizeof(void*));
    PViewNode node = tree->AddChildNode(nullptr);
    std::vector<PViewNode> changes;
    tree->OnChange = [&](TBaseViewTree*, PViewNode n) { changes.push_back(n); };
    tree->SetChangeDelay(50);
    tree->NotifyChange(node);
    tree->NotifyChange(node);
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(tree->TreeStates().Contains(tsChangePending));
    tree->FireDeferredNotification(kChangeTimer); // what the timer's message does
    EXPECT_EQ(changes, std::vector<PViewNode>{node});
    EXPECT_FALSE(tree->TreeStates().Contains(tsChangePending));
    tree->OnChange = {};
}

} // namespace
