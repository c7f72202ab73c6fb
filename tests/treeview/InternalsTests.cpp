#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TreeRecount.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/ui/Forms.h"

namespace {

// The totals the tree kept while the subtree was built, then reset to what
// nodes just read from a stream start with, and recomputed.
TEST(TreeInternals, RecountAndRecomputeRestoreTheTotalsOfAStreamedSubtree) {
    for (const bool parentExpanded : {true, false}) {
        SCOPED_TRACE(parentExpanded ? "expanded parent" : "collapsed parent");
        TBaseViewTree tree(nullptr);
        PViewNode top = tree.AddChildNode(nullptr);
        PViewNode open = tree.AddChildNode(top);
        tree.ChangeNodeHeight(tree.AddChildNode(open), 25);
        tree.ChangeNodeHeight(tree.AddChildNode(open), 30);
        tree.ToggleExpanded(open);
        tree.SetNodeHidden(tree.AddChildNode(top), true);
        tree.SetNodeVisibility(tree.AddChildNode(top), false);
        PViewNode closed = tree.AddChildNode(top);
        tree.AddChildNode(closed);
        if (parentExpanded) tree.ToggleExpanded(top);
        ExpectTreeConsistent(tree);

        std::vector<std::pair<PViewNode, std::pair<uint32_t, uint32_t>>> kept;
        for (PViewNode n = top; n; n = tree.NextNodeRaw(n)) {
            kept.push_back({n, {n->totalCount, n->totalHeight}});
            n->totalCount = 1;
            n->totalHeight = n->nodeHeight;
        }
        tree.RecountSubtree(top);
        tree.RecomputeSubtreeHeights(top);
        for (const auto& [node, totals] : kept) {
            EXPECT_EQ(node->totalCount, totals.first);
            EXPECT_EQ(node->totalHeight, totals.second);
        }
        EXPECT_EQ(top->totalCount, 8u);
        EXPECT_EQ(top->totalHeight, parentExpanded ? 18u + 18 + 25 + 30 + 18 : 18u);
    }
}

TEST(TreeInternals, NodesAtTheClientEdges) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 400);
    auto* tree = new TBaseViewTree(form.get());
    tree->SetParent(form.get());
    tree->SetBorderStyle(kNoBorder);
    tree->SetClientHeight(180);
    tree->HandleNeeded();
    EXPECT_EQ(tree->NodeAtClientTop(), nullptr) << "empty tree";
    EXPECT_EQ(tree->NodeAtClientBottom(), nullptr) << "empty tree";

    tree->SetRootNodeCount(3);
    EXPECT_EQ(tree->NodeAtClientTop(), tree->RootNode()->firstChild);
    EXPECT_EQ(tree->NodeAtClientBottom(), nullptr) << "the rows end above the last client row";

    tree->SetRootNodeCount(30);
    std::vector<PViewNode> rows;
    for (PViewNode n = tree->FirstVisibleNodeRaw(); n; n = tree->NextVisibleNodeRaw(n)) rows.push_back(n);
    EXPECT_EQ(tree->NodeAtClientBottom(), rows[179 / 18]);
    tree->ScrollToOffsetY(-40);
    EXPECT_EQ(tree->NodeAtClientTop(), rows[40 / 18]);
    EXPECT_EQ(tree->NodeAtClientBottom(), rows[(179 + 40) / 18]);
}

TEST(TreeInternals, IsNodeVisibleInitialisesAndReadsTheNodesOwnFlag) {
    TBaseViewTree tree(nullptr);
    EXPECT_TRUE(tree.IsNodeVisible(nullptr)) << "the root";
    PViewNode parent = tree.AddChildNode(nullptr);
    tree.ChangeChildCount(parent, 2);
    PViewNode child = parent->firstChild;
    int inits = 0;
    tree.OnInitNode = [&](TBaseViewTree*, PViewNode, PViewNode, TViewNodeInitStates&) { ++inits; };
    ASSERT_FALSE(child->states.Contains(nsInitialized));
    EXPECT_TRUE(tree.IsNodeVisible(child)) << "a collapsed parent does not matter";
    EXPECT_TRUE(child->states.Contains(nsInitialized));
    EXPECT_EQ(inits, 1);
    tree.SetNodeVisibility(child->nextSibling, false);
    EXPECT_FALSE(tree.IsNodeVisible(child->nextSibling));
    tree.OnInitNode = {};
}

class TTestDragManager : public TImplements<TInterfacedObject, IVTDragManager> {};

TEST(TreeInternals, TheDragManagerIsAskedForOnceAndKept) {
    TBaseViewTree tree(nullptr);
    EXPECT_EQ(tree.EnsureDragManager(), nullptr) << "no handler, no manager yet";
    int asked = 0;
    tree.OnCreateDragManager = [&](TBaseViewTree*, TIntfPtr<IVTDragManager>& manager) {
        EXPECT_EQ(manager, nullptr) << "the out value starts nil";
        ++asked;
        manager = MakeIntf<TTestDragManager>();
    };
    TIntfPtr<IVTDragManager> first = tree.EnsureDragManager();
    ASSERT_TRUE(first);
    EXPECT_EQ(tree.EnsureDragManager(), first);
    EXPECT_EQ(asked, 1);
    tree.OnCreateDragManager = {};
}

} // namespace
