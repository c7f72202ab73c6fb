#pragma once
// Recounts a tree from scratch and compares it with what the tree keeps:
// every subtree count and height, every index, nsAllChildrenHidden of nodes
// with children, the visible count, the selection array, and that no node
// reference of the tree names a node outside it. Tree tests call
// ExpectTreeConsistent after each step.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "treeview/BaseViewTree.h"

struct TTreeRecount {
    TBaseViewTree& tree;
    std::set<PViewNode> nodes{};
    std::vector<PViewNode> selected{};
    uint32_t visible = 0;

    bool Shows(PViewNode node) const {
        return node->states.Contains(nsVisible) &&
               !(node->states.Contains(nsHidden) && !tree.TreeOptions()->PaintOptions().Contains(toShowHiddenNodes));
    }

    // Checks the subtree of node; answers its (count, height).
    std::pair<uint32_t, uint32_t> Check(PViewNode node, bool rowsShown) {
        uint32_t count = 1, height = node->nodeHeight, index = 0, children = 0;
        bool anyShown = false;
        PViewNode previous = nullptr;
        const bool expanded = node->states.Contains(nsExpanded);
        for (PViewNode child = node->firstChild; child; child = child->nextSibling) {
            nodes.insert(child);
            EXPECT_EQ(child->parent, node);
            EXPECT_EQ(child->prevSibling, previous);
            EXPECT_EQ(child->index, index) << "index of a child";
            const bool shows = Shows(child);
            anyShown |= shows;
            if (rowsShown && expanded && shows) ++visible;
            if (child->states.Contains(nsSelected)) selected.push_back(child);
            const auto [c, h] = Check(child, rowsShown && expanded && shows);
            count += c;
            if (expanded && shows) height += h;
            previous = child;
            ++index;
            ++children;
        }
        EXPECT_EQ(node->lastChild, previous);
        EXPECT_EQ(node->childCount, children);
        EXPECT_EQ(node->totalCount, count) << "totalCount";
        EXPECT_EQ(node->totalHeight, height) << "totalHeight";
        if (node != tree.RootNode() && children > 0) {
            EXPECT_EQ(node->states.Contains(nsAllChildrenHidden), !anyShown) << "nsAllChildrenHidden";
        }
        return {count, height};
    }
};

inline void ExpectTreeConsistent(TBaseViewTree& tree) {
    TTreeRecount recount{tree};
    recount.Check(tree.RootNode(), true);
    EXPECT_EQ(tree.VisibleCount(), recount.visible) << "visible count";
    std::sort(recount.selected.begin(), recount.selected.end());
    std::vector<PViewNode> array;
    for (uint32_t i = 0; i < tree.SelectedCount(); ++i) array.push_back(tree.SelectedNodeAt(int(i)));
    EXPECT_EQ(array, recount.selected) << "selection array";
    for (const auto& [name, node] : tree.NodeReferences()) {
        if (node) { EXPECT_TRUE(recount.nodes.count(node)) << "the " << name << " node is not in the tree"; }
    }
}
