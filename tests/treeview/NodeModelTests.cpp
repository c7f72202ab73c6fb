#include <gtest/gtest.h>

#include <random>

#include "TreeRecount.h"
#include "treeview/TreeErrors.h"
#include "treeview/ViewStringTree.h"

namespace {

class NodeModelTest : public testing::Test {
protected:
    NodeModelTest() { tree.SetNodeDataSize(sizeof(void*)); }
    // The handlers capture the test's locals, which are gone when the tree clears itself.
    ~NodeModelTest() override {
        tree.OnFreeNode = {};
        tree.OnChange = {};
        tree.OnStructureChange = {};
    }
    TViewStringTree tree{nullptr};
};

TEST_F(NodeModelTest, TheNodeHeaderIsOneCacheLineAndTheUserAreaIsAligned) {
    EXPECT_LE(sizeof(TViewNode), 64u);
    PViewNode node = tree.AddChildNode(nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(tree.NodeData(node)) % 8, 0u);
}

TEST_F(NodeModelTest, APointerAbove4GiBComesBackWhole) {
    const uintptr_t value = uintptr_t(0x123456789ABCull);
    PViewNode node = tree.AddChildNode(nullptr, value);
    EXPECT_EQ(*static_cast<uintptr_t*>(tree.NodeData(node)), value);
    EXPECT_EQ(tree.NodeData(tree.RootNode()), nullptr);
    EXPECT_TRUE(node->states.Contains(nsFreeNotify));
}

TEST_F(NodeModelTest, AUserAreaTooSmallForAPointerRaises2008AfterAddingTheChild) {
    tree.SetNodeDataSize(4);
    try {
        tree.AddChildNode(nullptr, 1);
        ADD_FAILURE() << "nothing raised";
    } catch (const EViewTreeError& e) {
        EXPECT_EQ(e.HelpContext(), 2008);
    }
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    ExpectTreeConsistent(tree);
}

TEST(NodeModel, NodeDataWithoutAUserAreaAsserts) {
    TBaseViewTree tree(nullptr);
    tree.SetNodeDataSize(0);
    PViewNode node = tree.AddChildNode(nullptr);
    EXPECT_THROW(tree.NodeData(node), EAssertionFailed);
}

TEST(NodeModel, TreeOfNodeFindsTheTreeThroughTheRoot) {
    TBaseViewTree base(nullptr);
    TViewStringTree strings(nullptr); // its internal data moved the root to a new block
    for (TBaseViewTree* tree : std::initializer_list<TBaseViewTree*>{&base, &strings}) {
        tree->SetNodeDataSize(sizeof(void*));
        PViewNode child = tree->AddChildNode(nullptr);
        PViewNode grandchild = tree->AddChildNode(child);
        EXPECT_EQ(tree->RootNode()->nextSibling, tree->RootNode()) << tree->ClassName();
        EXPECT_EQ(tree->RootNode()->prevSibling, tree->RootNode()) << tree->ClassName();
        for (PViewNode node : {tree->RootNode(), child, grandchild}) EXPECT_EQ(TreeOfNode(node), tree);
    }
    EXPECT_THROW(TreeOfNode(nullptr), EAssertionFailed);
}

TEST(NodeModel, InternalDataIsReservedInStepsOfFourAndTheUserAreaFollowsAligned) {
    TBaseViewTree tree(nullptr);
    EXPECT_EQ(tree.ReserveInternalData(5), kViewNodeHeaderSize);
    EXPECT_EQ(tree.ReserveInternalData(4), kViewNodeHeaderSize + 8);
    tree.SetNodeDataSize(8);
    PViewNode node = tree.AddChildNode(nullptr);
    // 12 bytes of internal data; the user area starts at the next multiple of 8.
    EXPECT_EQ(static_cast<std::byte*>(tree.NodeData(node)) - reinterpret_cast<std::byte*>(node),
              std::ptrdiff_t(kViewNodeHeaderSize + 16));
    EXPECT_THROW(tree.ReserveInternalData(4), EAssertionFailed);
}

TEST_F(NodeModelTest, FreeNodeRunsOncePerInitialisedOrNotifyNode) {
    int freed = 0;
    tree.OnFreeNode = [&](TBaseViewTree*, PViewNode) { ++freed; };
    const struct {
        const char* name;
        std::function<void()> action;
        int expected;
    } cases[] = {
        {"clear", [&] { tree.ClearTree(); }, 4},
        {"root count 0", [&] { tree.SetRootNodeCount(0); }, 4},
        {"subtree removal", [&] { tree.RemoveNode(tree.RootNode()->firstChild); }, 2},
        {"shrinking child count", [&] { tree.ChangeChildCount(nullptr, 1); }, 2},
        {"node data size", [&] { tree.SetNodeDataSize(16); }, 4},
    };
    for (const auto& c : cases) {
        tree.ClearTree();
        PViewNode a = tree.AddChildNode(nullptr, 1);
        tree.AddChildNode(a, 2);
        tree.AddChildNode(nullptr, 3);
        tree.AddChildNode(nullptr, 4);
        tree.ChangeChildCount(tree.RootNode()->lastChild, 2); // never initialised: not reported
        freed = 0;
        c.action();
        EXPECT_EQ(freed, c.expected) << c.name;
        ExpectTreeConsistent(tree);
    }
    EXPECT_EQ(tree.RootNodeCount(), 3u);
    tree.SetRootNodeCount(0);
    tree.SetNodeDataSize(-5);
    EXPECT_EQ(tree.NodeDataSize(), -1);
}

TEST_F(NodeModelTest, HeightsAreClampedTo16Bits) {
    PViewNode node = tree.AddChildNode(nullptr);
    tree.ChangeNodeHeight(node, 70000);
    EXPECT_EQ(node->nodeHeight, 65535);
    ExpectTreeConsistent(tree);
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    tree.SetDefaultNodeHeight(30);
    EXPECT_EQ(node->nodeHeight, 65535);
    EXPECT_EQ(tree.RootNode()->nodeHeight, 30);
}

TEST_F(NodeModelTest, FreeingANodeForgetsEveryReferenceToIt) {
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    PViewNode a = tree.AddChildNode(nullptr);
    PViewNode b = tree.AddChildNode(nullptr);
    tree.SetFocusedNode(a);
    tree.SetNodeSelected(a, true);
    tree.SetNodeSelected(b, true);
    tree.BeginTreeUpdate();
    tree.NotifyStructureChange(a, crChildAdded);
    tree.RemoveNode(a);
    PViewNode reported = b;
    tree.OnStructureChange = [&](TBaseViewTree*, PViewNode node, TChangeReason) { reported = node; };
    tree.EndTreeUpdate();
    EXPECT_EQ(reported, nullptr);
    EXPECT_EQ(tree.FocusedNode(), nullptr);
    EXPECT_EQ(tree.SelectedCount(), 1u);
    ExpectTreeConsistent(tree);
}

TEST_F(NodeModelTest, ChangeNotificationsAreImmediateOrOncePerBracket) {
    std::vector<PViewNode> changes;
    tree.OnChange = [&](TBaseViewTree*, PViewNode node) { changes.push_back(node); };
    PViewNode a = tree.AddChildNode(nullptr);
    PViewNode b = tree.AddChildNode(nullptr);
    tree.NotifyChange(a);
    EXPECT_EQ(changes, std::vector<PViewNode>{a});
    tree.BeginTreeUpdate();
    tree.NotifyChange(a);
    tree.NotifyChange(b);
    EXPECT_EQ(changes.size(), 1u);
    tree.EndTreeUpdate();
    EXPECT_EQ(changes, (std::vector<PViewNode>{a, b}));

    std::vector<TChangeReason> reasons;
    tree.OnStructureChange = [&](TBaseViewTree*, PViewNode, TChangeReason reason) { reasons.push_back(reason); };
    tree.BeginTreeUpdate();
    tree.AddChildNode(nullptr);
    tree.RemoveNode(a);
    tree.EndTreeUpdate();
    EXPECT_EQ(reasons, std::vector<TChangeReason>{crAccumulated});
}

// A seeded random sequence of structural steps; after each the tree equals its recount.
TEST(NodeModelInvariants, RandomStepsKeepEveryCountHeightIndexAndReference) {
    std::mt19937 random(20240611);
    std::vector<PViewNode> live;
    TBaseViewTree tree(nullptr);
    tree.SetNodeDataSize(sizeof(void*));
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    tree.OnFreeNode = [&](TBaseViewTree*, PViewNode node) { std::erase(live, node); };
    tree.OnInitNode = [&](TBaseViewTree*, PViewNode, PViewNode node, TViewNodeInitStates& states) {
        live.push_back(node);
        if (random() % 4 == 0) states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [&](TBaseViewTree*, PViewNode, uint32_t& count) { count = random() % 4; };
    tree.OnExpanding = [&](TBaseViewTree*, PViewNode, bool& allowed) { allowed = random() % 5 != 0; };
    auto pick = [&]() -> PViewNode {
        if (live.empty()) return nullptr;
        return live[random() % live.size()];
    };
    int inBracket = 0;
    for (int step = 0; step < 3000; ++step) {
        PViewNode node = pick();
        const unsigned op = random() % 16;
        SCOPED_TRACE(testing::Message() << "operation " << op);
        switch (op) {
        case 0: case 1: case 2: tree.AddChildNode(random() % 3 ? node : nullptr, 1); break;
        case 3: if (node) tree.ChangeChildCount(node, random() % 5); break;
        case 4: if (node) tree.RemoveNode(node, random() % 2 || node->nextSibling); break; // no gap: it stays by design
        case 5: if (node) tree.DeleteChildNodes(node, random() % 2); break;
        case 6: if (node) tree.SetNodeVisibility(node, random() % 2); break;
        case 7: if (node) tree.SetNodeHidden(node, random() % 2); break;
        case 8: if (node) tree.ChangeNodeHeight(node, random() % 40); break;
        case 9: case 10: if (node) tree.ToggleExpanded(node); break;
        case 11: if (random() % 8 == 0) tree.ExpandAll(node); else if (random() % 8 == 0) tree.CollapseAll(node); break;
        case 12: {
            auto autoOptions = tree.TreeOptions()->AutoOptions();
            if (random() % 2) autoOptions.Include(toAutoFreeOnCollapse); else autoOptions.Exclude(toAutoFreeOnCollapse);
            tree.TreeOptions()->SetAutoOptions(autoOptions);
            if (random() % 40 == 0) tree.ClearTree();
            break;
        }
        case 13: if (node) tree.SetNodeSelected(node, random() % 2); break;
        case 14:
            if (inBracket && random() % 2) { tree.EndTreeUpdate(); --inBracket; }
            else if (inBracket < 3) { tree.BeginTreeUpdate(); ++inBracket; }
            break;
        default: {
            auto paint = tree.TreeOptions()->PaintOptions();
            if (random() % 2) paint.Include(toShowHiddenNodes); else paint.Exclude(toShowHiddenNodes);
            tree.TreeOptions()->SetPaintOptions(paint);
        }
        }
        if (inBracket == 0) {
            ExpectTreeConsistent(tree);
            if (testing::Test::HasFailure()) FAIL() << "after step " << step;
        }
    }
    while (inBracket--) tree.EndTreeUpdate();
    ExpectTreeConsistent(tree);
}

} // namespace
