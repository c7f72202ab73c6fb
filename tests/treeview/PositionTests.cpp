#include <gtest/gtest.h>

#include <random>

#include "TreeRecount.h"

namespace {

// Tops of the visible rows, summed along the visible walk.
std::vector<std::pair<PViewNode, uint32_t>> BruteForceTops(TBaseViewTree& tree) {
    std::vector<std::pair<PViewNode, uint32_t>> rows;
    uint32_t top = 0;
    for (PViewNode n = tree.FirstVisibleNodeRaw(); n; n = tree.NextVisibleNodeRaw(n)) {
        rows.emplace_back(n, top);
        top += n->nodeHeight;
    }
    return rows;
}

void ExpectPositionsMatchTheWalk(TBaseViewTree& tree, const char* when) {
    SCOPED_TRACE(when);
    const auto rows = BruteForceTops(tree);
    for (std::size_t i = 0; i < rows.size(); i += 7) {
        const auto [node, top] = rows[i];
        EXPECT_EQ(tree.NodeTop(node), top);
        int nodeTop = -1;
        EXPECT_EQ(tree.NodeAt(0, int(top), false, nodeTop), node);
        EXPECT_EQ(nodeTop, int(top));
        if (node->nodeHeight > 1) {
            EXPECT_EQ(tree.NodeAt(0, int(top + node->nodeHeight - 1), false, nodeTop), node);
        }
    }
    if (!rows.empty()) {
        const uint32_t bottom = rows.back().second + rows.back().first->nodeHeight;
        int nodeTop;
        EXPECT_EQ(tree.NodeAt(0, int(bottom), false, nodeTop), nullptr);
    }
}

TEST(PositionCache, OneEntryPer2000RowsAndAClosingEntry) {
    TBaseViewTree tree(nullptr);
    tree.SetRootNodeCount(4001);
    ASSERT_TRUE(tree.ValidatePositionCacheNow());
    EXPECT_TRUE(tree.TreeStates().Contains(tsUseCache));
    const auto& cache = tree.PositionCache();
    ASSERT_EQ(cache.size(), 4u);
    const auto rows = BruteForceTops(tree);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(cache[k].node, rows[k * 2000].first);
        EXPECT_EQ(cache[k].absoluteTop, uint32_t(k * 2000 * 18));
    }
    EXPECT_EQ(cache[3].node, rows.back().first);
    EXPECT_EQ(cache[3].absoluteTop, tree.RootNode()->totalHeight - tree.RootNode()->nodeHeight);

    tree.SetRootNodeCount(2000);
    EXPECT_FALSE(tree.ValidatePositionCacheNow());
    EXPECT_TRUE(tree.PositionCache().empty());
}

TEST(PositionCache, NodeAtAndTopsEqualTheWalkWithAndWithoutTheCache) {
    std::mt19937 random(7);
    TBaseViewTree tree(nullptr);
    tree.SetNodeDataSize(sizeof(void*));
    int measured = 0;
    tree.OnMeasureItem = [&](TBaseViewTree*, TCanvas*, PViewNode, int&) { ++measured; };
    tree.BeginTreeUpdate();
    tree.SetRootNodeCount(300);
    for (PViewNode top = tree.RootNode()->firstChild; top; top = top->nextSibling) {
        tree.ChangeChildCount(top, random() % 20);
        for (PViewNode child = top->firstChild; child; child = child->nextSibling) {
            tree.ChangeNodeHeight(child, 5 + random() % 30);
            if (random() % 3 == 0) tree.ChangeChildCount(child, random() % 4);
        }
        tree.ToggleExpanded(top);
    }
    tree.EndTreeUpdate();
    ASSERT_GT(tree.VisibleCount(), 2000u);
    ExpectPositionsMatchTheWalk(tree, "invalid cache");
    auto options = tree.TreeOptions()->MiscOptions();
    tree.TreeOptions()->SetMiscOptions(options + TVTMiscOptions{toVariableNodeHeight});
    ASSERT_TRUE(tree.ValidatePositionCacheNow());
    EXPECT_EQ(measured, 0) << "the build measured";
    tree.TreeOptions()->SetMiscOptions(options);
    ExpectPositionsMatchTheWalk(tree, "valid cache");

    for (int round = 0; round < 5; ++round) {
        const auto rows = BruteForceTops(tree);
        for (int step = 0; step < 20; ++step) {
            PViewNode node = rows[random() % rows.size()].first;
            if (random() % 2) tree.ChangeNodeHeight(node, 1 + random() % 40);
            else if (node->childCount || node->states.Contains(nsExpanded)) tree.ToggleExpanded(node);
        }
        EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
        ExpectPositionsMatchTheWalk(tree, "after changes");
        tree.ValidatePositionCacheNow();
        ExpectPositionsMatchTheWalk(tree, "rebuilt");
    }
    int top0, topMinus;
    EXPECT_EQ(tree.NodeAt(0, -5, true, topMinus), tree.NodeAt(0, 0, true, top0));
    EXPECT_EQ(topMinus, top0);
    tree.OnMeasureItem = {};
    ExpectTreeConsistent(tree);
}

} // namespace
