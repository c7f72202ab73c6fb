#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "TreeFixture.h"

namespace {

TEST(TreeWalks, EachWalkMeetsItsNodes) {
    using TWalk = std::function<std::string(TNamedTree&, TBaseViewTree&)>;
    const struct {
        const char* name;
        TWalk walk;
        const char* expected;
    } cases[] = {
        {"raw", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstNodeRaw(); }, [&](PViewNode n) { return tree.NextNodeRaw(n); }); },
         "A A1 A1a A2 B B1 C D"},
        {"initialising", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstNode(); }, [&](PViewNode n) { return tree.NextNode(n); }); },
         "A A1 A1a A2 B B1 C D"},
        {"backwards raw", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.LastNodeRaw(); }, [&](PViewNode n) { return tree.PreviousNodeRaw(n); }); },
         "D C B1 B A2 A1a A1 A"},
        {"visible raw", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstVisibleNodeRaw(); }, [&](PViewNode n) { return tree.NextVisibleNodeRaw(n); }); },
         "A A1 A1a A2 D"},
        {"visible", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstVisibleNode(); }, [&](PViewNode n) { return tree.NextVisibleNode(n); }); },
         "A A1 A1a A2 D"},
        {"visible with hidden", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstVisibleNodeRaw(nullptr, true, true); },
                                                    [&](PViewNode n) { return tree.NextVisibleNodeRaw(n, true, true); }); },
         "A A1 A1a A2 B D"},
        {"visible backwards", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.LastVisibleNodeRaw(); }, [&](PViewNode n) { return tree.PreviousVisibleNodeRaw(n); }); },
         "D A2 A1a A1 A"},
        {"initialised", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstInitializedNode(); }, [&](PViewNode n) { return tree.NextInitializedNode(n); }); },
         "A A1 A1a A2 B"},
        {"selected", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstSelectedNode(); }, [&](PViewNode n) { return tree.NextSelectedNode(n); }); },
         "A2 D"},
        {"cut or copy without a pending copy", [](TNamedTree& t, TBaseViewTree& tree) { return t.Walk([&] { return tree.FirstCutCopyNode(); }, [&](PViewNode n) { return tree.NextCutCopyNode(n); }); },
         ""},
        {"cut or copy", [](TNamedTree& t, TBaseViewTree& tree) {
             tree.ChangeTreeState({tsCopyPending}, {});
             return t.Walk([&] { return tree.FirstCutCopyNode(); }, [&](PViewNode n) { return tree.NextCutCopyNode(n); }); },
         "B1 D"},
    };
    for (const auto& c : cases) {
        TNamedTree t;
        t.tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
        t.tree.SetNodeSelected(t.A2, true);
        t.tree.SetNodeSelected(t.D, true);
        t.D->states.Include(nsCutOrCopy);
        t.B1->states.Include(nsCutOrCopy);
        EXPECT_EQ(c.walk(t, t.tree), c.expected) << c.name;
        t.tree.ChangeTreeState({}, {tsCopyPending});
    }
}

TEST(TreeWalks, InitialisationCountsTellInitialisingFromRawWalks) {
    const struct {
        const char* name;
        std::function<void(TNamedTree&)> walk;
        int inits;
    } cases[] = {
        {"raw", [](TNamedTree& t) { for (PViewNode n = t.tree.FirstNodeRaw(); n; n = t.tree.NextNodeRaw(n)) {} }, 0},
        {"initialising", [](TNamedTree& t) { for (PViewNode n = t.tree.FirstNode(); n; n = t.tree.NextNode(n)) {} }, 3},
        {"visible raw", [](TNamedTree& t) { for (PViewNode n = t.tree.FirstVisibleNodeRaw(); n; n = t.tree.NextVisibleNodeRaw(n)) {} }, 0},
        // Only D: the hidden and the invisible branch are stepped over.
        {"visible", [](TNamedTree& t) { for (PViewNode n = t.tree.FirstVisibleNode(); n; n = t.tree.NextVisibleNode(n)) {} }, 1},
        {"for each raw", [](TNamedTree& t) { t.tree.ForEachNode(nullptr, [](auto...) {}); }, 0},
        {"for each initialising", [](TNamedTree& t) { t.tree.ForEachNode(nullptr, [](auto...) {}, nullptr, {}, true); }, 3},
    };
    for (const auto& c : cases) {
        TNamedTree t;
        c.walk(t);
        EXPECT_EQ(t.inits, c.inits) << c.name;
    }
}

TEST(TreeWalks, ChildrenAboveTurnsTheWalkIntoPostOrder) {
    TNamedTree t;
    t.SetPaintOption(toChildrenAbove, true);
    TBaseViewTree& tree = t.tree;
    EXPECT_EQ(t.Walk([&] { return tree.FirstNodeRaw(); }, [&](PViewNode n) { return tree.NextNodeRaw(n, true); }),
              "A1a A1 A2 A B1 B C D");
    EXPECT_EQ(t.Walk([&] { return tree.FirstVisibleNodeRaw(); }, [&](PViewNode n) { return tree.NextVisibleNodeRaw(n); }),
              "A1a A1 A2 A D");
    // Asked not to consider it, the walk stays in pre-order.
    EXPECT_EQ(t.Walk([&] { return tree.FirstNodeRaw(false); }, [&](PViewNode n) { return tree.NextNodeRaw(n); }),
              "A A1 A1a A2 B B1 C D");
    EXPECT_EQ(tree.CompareWalkOrder(t.A1a, t.A, true), -1);
    ExpectTreeConsistent(tree);
}

TEST(TreeWalks, ShowingHiddenNodesPutsThemIntoTheVisibleWalk) {
    TNamedTree t;
    t.SetPaintOption(toShowHiddenNodes, true);
    EXPECT_EQ(t.Walk([&] { return t.tree.FirstVisibleNodeRaw(); }, [&](PViewNode n) { return t.tree.NextVisibleNodeRaw(n); }),
              "A A1 A1a A2 B D");
    ExpectTreeConsistent(t.tree);
    t.SetPaintOption(toShowHiddenNodes, false);
    ExpectTreeConsistent(t.tree);
}

TEST(TreeWalks, ForEachNodeFiltersAbortsAndWalksChildrenOnly) {
    TNamedTree t;
    TBaseViewTree& tree = t.tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    for (PViewNode n : {t.A1, t.B1, t.C, t.D}) tree.SetNodeSelected(n, true);
    std::string met;
    auto collect = [&](TBaseViewTree*, PViewNode node, void*, bool&) { met += t.names[node] + " "; };
    EXPECT_EQ(tree.ForEachNode(nullptr, collect, nullptr, {nsSelected}), nullptr);
    EXPECT_EQ(met, "A1 B1 C D ");

    int visits = 0;
    PViewNode stopped = tree.ForEachNode(nullptr, [&](TBaseViewTree*, PViewNode, void*, bool& abort) { abort = ++visits == 3; });
    EXPECT_EQ(stopped, t.A1a);

    met.clear();
    tree.ForEachNode(t.A, collect, nullptr, {}, false, true);
    EXPECT_EQ(met, "A1 A1a A2 ");
    met.clear();
    tree.ForEachNode(t.A, collect);
    EXPECT_EQ(met, "A A1 A1a A2 ");
    met.clear();
    tree.ForEachNode(t.D, collect, nullptr, {}, false, true);
    EXPECT_EQ(met, "");

    EXPECT_THROW(tree.ForEachNode(nullptr, [&](TBaseViewTree* s, PViewNode n, void*, bool&) { s->RemoveNode(n); }),
                 EAssertionFailed);
    EXPECT_FALSE(tree.TreeStates().Contains(tsIterating));
    EXPECT_THROW(tree.ForEachNode(tree.RootNode(), collect), EAssertionFailed);

    TBaseViewTree empty(nullptr);
    EXPECT_EQ(empty.ForEachNode(nullptr, [&](auto...) { ADD_FAILURE(); }), nullptr);
    ExpectTreeConsistent(tree);
}

TEST(TreeWalks, CompareWalkOrderAndLevels) {
    TNamedTree t;
    TBaseViewTree& tree = t.tree;
    EXPECT_EQ(tree.CompareWalkOrder(t.A1a, t.A), 1);
    EXPECT_EQ(tree.CompareWalkOrder(t.A, t.A1a), -1);
    EXPECT_EQ(tree.CompareWalkOrder(t.A1a, t.A1a), 0);
    EXPECT_LT(tree.CompareWalkOrder(t.A1a, t.B1), 0);
    EXPECT_GT(tree.CompareWalkOrder(t.D, t.A2), 0);
    EXPECT_THROW(tree.CompareWalkOrder(nullptr, t.A), EAssertionFailed);
    EXPECT_EQ(tree.NodeLevel(t.A1a), 2u);
    EXPECT_TRUE(tree.IsDescendantOf(t.A1a, t.A));
    EXPECT_FALSE(tree.IsDescendantOf(t.A, t.A));
    EXPECT_EQ(tree.VisibleParent(t.B1), tree.RootNode());
    EXPECT_THROW(tree.NextNode(tree.RootNode()), EAssertionFailed);
}

// Children of one parent with keys; the comparison orders by key only, so equal keys show stability.
struct TKeyedChildren {
    TBaseViewTree tree{nullptr};
    std::map<PViewNode, int> keys;
    std::vector<PViewNode> made;
    explicit TKeyedChildren(std::initializer_list<int> childKeys) : TKeyedChildren(std::vector<int>(childKeys)) {}
    explicit TKeyedChildren(const std::vector<int>& childKeys) {
        tree.SetNodeDataSize(sizeof(void*));
        for (int key : childKeys) {
            made.push_back(tree.AddChildNode(nullptr));
            keys[made.back()] = key;
        }
        tree.OnCompareNodes = [this](TBaseViewTree*, PViewNode a, PViewNode b, TColumnIndex, int& result) {
            result = keys[a] - keys[b];
        };
    }
    ~TKeyedChildren() { tree.OnCompareNodes = {}; }
    // Positions in the original order, as the children stand now.
    std::vector<int> Order(PViewNode parent = nullptr) {
        std::vector<int> order;
        uint32_t index = 0;
        for (PViewNode n = tree.FirstChildNode(parent); n; n = n->nextSibling) {
            EXPECT_EQ(n->index, index++);
            order.push_back(int(std::find(made.begin(), made.end(), n) - made.begin()));
        }
        return order;
    }
};

TEST(TreeSorting, TheMergeSortIsStableInBothDirections) {
    TKeyedChildren t{3, 1, 3, 2, 1, 3, 2};
    t.tree.SortChildren(nullptr, 0, sdAscending);
    EXPECT_EQ(t.Order(), (std::vector<int>{1, 4, 3, 6, 0, 2, 5}));
    t.tree.SortChildren(nullptr, 0, sdDescending);
    EXPECT_EQ(t.Order(), (std::vector<int>{0, 2, 5, 3, 6, 1, 4}));
    EXPECT_EQ(t.tree.RootNode()->lastChild, t.made[4]);
    ExpectTreeConsistent(t.tree);
}

TEST(TreeSorting, ManyEqualKeysKeepTheirOrderInBothDirections) {
    std::mt19937 random(11);
    std::vector<int> childKeys(1500);
    for (int& key : childKeys) key = int(random() % 7);
    for (TSortDirection direction : {sdAscending, sdDescending}) {
        TKeyedChildren t(childKeys);
        std::vector<int> expected(childKeys.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            return direction == sdAscending ? childKeys[a] < childKeys[b] : childKeys[a] > childKeys[b];
        });
        t.tree.SortChildren(nullptr, 0, direction);
        EXPECT_EQ(t.Order(), expected) << int(direction);
        ExpectTreeConsistent(t.tree);
    }
}

TEST(TreeSorting, SiblingsChangedWhileInitialisingAreSortedAsTheyStandThen) {
    TKeyedChildren t{4, 3, 2, 1};
    TBaseViewTree& tree = t.tree;
    for (PViewNode n : t.made) n->states.Exclude(nsInitialized);
    PViewNode removed = t.made[3];
    tree.OnInitNode = [&](TBaseViewTree*, PViewNode, PViewNode node, TViewNodeInitStates&) {
        if (node == t.made[0]) tree.RemoveNode(removed);
    };
    tree.SortChildren(nullptr, 0, sdAscending);
    tree.OnInitNode = {};
    EXPECT_EQ(t.Order(), (std::vector<int>{2, 1, 0}));
    ExpectTreeConsistent(tree);
}

TEST(TreeSorting, WithoutAnAnswerTheOrderStays) {
    for (bool handler : {false, true}) {
        for (TSortDirection direction : {sdAscending, sdDescending}) {
            TKeyedChildren t{5, 4, 3, 2, 1};
            if (handler) t.tree.OnCompareNodes = [](TBaseViewTree*, PViewNode, PViewNode, TColumnIndex, int& r) { r = 0; };
            else t.tree.OnCompareNodes = {};
            t.tree.SortChildren(nullptr, 0, direction);
            EXPECT_EQ(t.Order(), (std::vector<int>{0, 1, 2, 3, 4})) << handler << int(direction);
        }
    }
}

TEST(TreeSorting, SortAllLevelsLeavesUninitialisedBranchesAlone) {
    TKeyedChildren t{2, 1};
    TBaseViewTree& tree = t.tree;
    PViewNode first = t.made[0];
    PViewNode second = t.made[1];
    for (int key : {9, 8, 7}) t.keys[tree.AddChildNode(first)] = key; // the parent is initialised by adding
    tree.ChangeChildCount(second, 3);                                    // never initialised
    int key = 3;
    for (PViewNode n = second->firstChild; n; n = n->nextSibling) t.keys[n] = key--;
    tree.SortAllLevels(0, sdAscending, false);
    EXPECT_EQ(tree.RootNode()->firstChild, second);
    EXPECT_EQ(t.keys[first->firstChild], 7);
    EXPECT_EQ(t.keys[second->firstChild], 3) << "the uninitialised branch was sorted";
    ExpectTreeConsistent(tree);
}

TEST(TreeSorting, AutoSortSortsAfterAddingOnlyOutsideBrackets) {
    TKeyedChildren t{};
    TBaseViewTree& tree = t.tree;
    tree.TreeOptions()->SetAutoOptions(tree.TreeOptions()->AutoOptions() + TVTAutoOptions{toAutoSort});
    // A new node takes its key when it is initialised, which the sort does before comparing.
    std::vector<int> pending = {5, 2, 8, 1};
    tree.OnInitNode = [&](TBaseViewTree*, PViewNode, PViewNode node, TViewNodeInitStates&) {
        t.keys[node] = pending.front();
        pending.erase(pending.begin());
    };
    auto keysInOrder = [&] {
        std::vector<int> result;
        for (PViewNode n = tree.RootNode()->firstChild; n; n = n->nextSibling) result.push_back(t.keys[n]);
        return result;
    };
    tree.AddChildNode(nullptr);
    tree.AddChildNode(nullptr);
    EXPECT_EQ(keysInOrder(), (std::vector<int>{2, 5}));
    tree.BeginTreeUpdate();
    tree.AddChildNode(nullptr);
    PViewNode last = tree.AddChildNode(nullptr);
    tree.InitializeSubtree(tree.RootNode()->lastChild->prevSibling, false);
    tree.InitializeSubtree(last, false);
    EXPECT_EQ(keysInOrder(), (std::vector<int>{2, 5, 8, 1})) << "sorted inside a bracket";
    tree.EndTreeUpdate();
    EXPECT_EQ(keysInOrder(), (std::vector<int>{1, 2, 5, 8}));
    tree.OnInitNode = {};
    ExpectTreeConsistent(tree);
}

} // namespace
