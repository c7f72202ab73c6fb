#include <gtest/gtest.h>

#include "TreeFixture.h"

namespace {

std::vector<PViewNode> SelectionArray(TBaseViewTree& tree) {
    std::vector<PViewNode> nodes;
    for (uint32_t i = 0; i < tree.SelectedCount(); ++i) nodes.push_back(tree.SelectedNodeAt(int(i)));
    return nodes;
}

void SetSelectionOptions(TBaseViewTree& tree, TVTSelectionOptions options) { tree.TreeOptions()->SetSelectionOptions(options); }

TEST(TreeSelection, EdgeCases) {
    const struct {
        const char* name;
        std::function<void(TNamedTree&)> act;
        std::function<void(TNamedTree&)> check;
    } cases[] = {
        {"single select replaces",
         [](TNamedTree& t) { t.tree.SetNodeSelected(t.A1, true); t.tree.SetNodeSelected(t.D, true); },
         [](TNamedTree& t) {
             EXPECT_EQ(SelectionArray(t.tree), std::vector<PViewNode>{t.D});
             EXPECT_EQ(t.tree.RangeAnchor(), t.D);
             EXPECT_FALSE(t.A1->states.Contains(nsSelected));
         }},
        {"address order",
         [](TNamedTree& t) { SetSelectionOptions(t.tree, {toMultiSelect}); t.tree.SetNodeSelected(t.D, true); t.tree.SetNodeSelected(t.A, true); },
         [](TNamedTree& t) {
             EXPECT_EQ(t.tree.SelectedNodeAt(0), std::min(t.A, t.D));
             EXPECT_EQ(t.tree.SelectedNodeAt(1), std::max(t.A, t.D));
             EXPECT_EQ(t.tree.SelectedNodeAt(2), nullptr);
             EXPECT_EQ(t.tree.SelectedNodeAt(-1), nullptr);
         }},
        {"disabled needs force",
         [](TNamedTree& t) {
             t.tree.SetNodeDisabled(t.A2, true);
             PViewNode one[1] = {t.A2};
             EXPECT_FALSE(t.tree.InsertIntoSelection(one, 1, false));
         },
         [](TNamedTree& t) { EXPECT_EQ(t.tree.SelectedCount(), 0u); }},
        {"range adds visible nodes between both ends",
         [](TNamedTree& t) { SetSelectionOptions(t.tree, {toMultiSelect}); t.tree.SelectRange(t.D, t.A1); },
         [](TNamedTree& t) {
             EXPECT_EQ(t.tree.SelectedCount(), 4u); // A1 A1a A2 D: the hidden B and invisible C are not rows
             EXPECT_FALSE(t.B->states.Contains(nsSelected));
         }},
        {"flip keeps the anchor and flips what lies between",
         [](TNamedTree& t) {
             SetSelectionOptions(t.tree, {toMultiSelect});
             t.tree.SetNodeSelected(t.A1, true); // the anchor
             t.tree.SetNodeSelected(t.A1a, true);
             t.tree.FlipRange(t.A1, t.D);
         },
         [](TNamedTree& t) {
             EXPECT_TRUE(t.A1->states.Contains(nsSelected));
             EXPECT_FALSE(t.A1a->states.Contains(nsSelected));
             EXPECT_TRUE(t.A2->states.Contains(nsSelected));
             EXPECT_TRUE(t.D->states.Contains(nsSelected)) << "the far end lies after the anchor";
         }},
        {"deselect range",
         [](TNamedTree& t) { SetSelectionOptions(t.tree, {toMultiSelect}); t.tree.SelectRange(t.A, t.D); t.tree.DeselectRange(t.A1, t.A2); },
         [](TNamedTree& t) { EXPECT_EQ(SelectionArray(t.tree).size(), 2u); EXPECT_TRUE(t.A->states.Contains(nsSelected)); }},
        {"level constraint",
         [](TNamedTree& t) {
             SetSelectionOptions(t.tree, {toMultiSelect, toLevelSelectConstraint});
             t.tree.SetNodeSelected(t.A1, true);
             t.tree.SetNodeSelected(t.D, true);
             t.tree.SetNodeSelected(t.A2, true);
         },
         [](TNamedTree& t) { EXPECT_EQ(t.tree.SelectedCount(), 2u); EXPECT_FALSE(t.D->states.Contains(nsSelected)); }},
        {"sibling constraint",
         [](TNamedTree& t) {
             SetSelectionOptions(t.tree, {toMultiSelect, toSiblingSelectConstraint});
             t.tree.SetNodeSelected(t.A, true);
             t.tree.SetNodeSelected(t.A1, true);
             t.tree.SetNodeSelected(t.D, true);
         },
         [](TNamedTree& t) { EXPECT_EQ(SelectionArray(t.tree), (std::vector<PViewNode>{std::min(t.A, t.D), std::max(t.A, t.D)})); }},
        {"select every node needs multi-select", [](TNamedTree& t) { t.tree.SelectEveryNode(false); },
         [](TNamedTree& t) { EXPECT_EQ(t.tree.SelectedCount(), 0u); }},
        {"select every node",
         [](TNamedTree& t) { SetSelectionOptions(t.tree, {toMultiSelect}); t.tree.SelectEveryNode(false); },
         [](TNamedTree& t) { EXPECT_EQ(t.tree.SelectedCount(), 8u); }},
        {"delete selection removes a parent and its child once",
         [](TNamedTree& t) {
             SetSelectionOptions(t.tree, {toMultiSelect});
             t.tree.SetNodeSelected(t.A, true);
             t.tree.SetNodeSelected(t.A1a, true);
             t.tree.SetNodeSelected(t.D, true);
             t.tree.DeleteSelection();
         },
         [](TNamedTree& t) {
             EXPECT_EQ(t.tree.RootNodeCount(), 2u);
             EXPECT_EQ(t.tree.SelectedCount(), 0u);
         }},
        {"a selected node removed in a bracket leaves no entry",
         [](TNamedTree& t) {
             SetSelectionOptions(t.tree, {toMultiSelect});
             t.tree.SetNodeSelected(t.A1a, true);
             t.tree.SetNodeSelected(t.D, true);
             t.tree.BeginTreeUpdate();
             t.tree.RemoveNode(t.A1);
             t.tree.EndTreeUpdate();
         },
         [](TNamedTree& t) { EXPECT_EQ(SelectionArray(t.tree), std::vector<PViewNode>{t.D}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TNamedTree t;
        c.act(t);
        c.check(t);
        ExpectTreeConsistent(t.tree);
    }
}

TEST(TreeFocus, AVetoKeepsTheFocusAndARemovedFocusedNodeReportsOnce) {
    TNamedTree t;
    TBaseViewTree& tree = t.tree;
    std::vector<PViewNode> changed;
    bool allow = true;
    tree.OnFocusChanging = [&](TBaseViewTree*, PViewNode, PViewNode, TColumnIndex, TColumnIndex, bool& allowed) { allowed = allow; };
    tree.OnFocusChanged = [&](TBaseViewTree*, PViewNode node, TColumnIndex) { changed.push_back(node); };
    tree.SetFocusedNode(t.A2);
    EXPECT_EQ(tree.FocusedNode(), t.A2);
    allow = false;
    tree.SetFocusedNode(t.D);
    EXPECT_EQ(tree.FocusedNode(), t.A2);
    EXPECT_EQ(changed, std::vector<PViewNode>{t.A2});
    tree.RemoveNode(t.A2);
    EXPECT_EQ(tree.FocusedNode(), nullptr);
    EXPECT_EQ(changed, (std::vector<PViewNode>{t.A2, nullptr}));
    // Without header columns no column takes the focus: the owner is asked with a refusal to start from.
    bool startedAllowed = true;
    tree.OnFocusChanging = [&](TBaseViewTree*, PViewNode, PViewNode, TColumnIndex, TColumnIndex, bool& allowed) {
        startedAllowed = allowed;
    };
    tree.FocusColumn(0);
    EXPECT_FALSE(startedAllowed);
    EXPECT_EQ(tree.FocusedColumn(), kNoColumn);
    tree.OnFocusChanging = {};
    tree.OnFocusChanged = {};
    ExpectTreeConsistent(tree);
}

TEST(TreeChecks, NextCheckStateTable) {
    TBaseViewTree tree(nullptr);
    const struct {
        TCheckType type;
        TCheckState state, next;
    } cases[] = {
        {ctCheckBox, csCheckedNormal, csUncheckedNormal},      {ctCheckBox, csUncheckedNormal, csCheckedNormal},
        {ctCheckBox, csMixedNormal, csCheckedNormal},          {ctTriStateCheckBox, csCheckedNormal, csUncheckedNormal},
        {ctTriStateCheckBox, csMixedPressed, csCheckedNormal}, {ctRadioButton, csUncheckedNormal, csCheckedNormal},
        {ctRadioButton, csCheckedNormal, csCheckedNormal},     {ctButton, csCheckedNormal, csUncheckedNormal},
        {ctNone, csCheckedNormal, csMixedNormal},              {ctNone, csUncheckedNormal, csMixedNormal},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tree.NextCheckState(c.type, c.state), c.next) << int(c.type) << " " << int(c.state);
}

struct TCheckTree {
    TBaseViewTree tree{nullptr};
    PViewNode parent, children[3];
    TCheckTree() {
        tree.SetNodeDataSize(sizeof(void*));
        parent = tree.AddChildNode(nullptr);
        tree.SetCheckType(parent, ctTriStateCheckBox);
        for (PViewNode& child : children) {
            child = tree.AddChildNode(parent);
            tree.SetCheckType(child, ctCheckBox);
        }
    }
};

TEST(TreeChecks, TriStateTrackingGoesDownAndUp) {
    TCheckTree t;
    t.tree.RequestCheckState(t.parent, csCheckedNormal);
    for (PViewNode child : t.children) EXPECT_EQ(child->checkState, csCheckedNormal);
    t.tree.RequestCheckState(t.children[1], csUncheckedNormal);
    EXPECT_EQ(t.parent->checkState, csMixedNormal);
    t.tree.RequestCheckState(t.children[1], csCheckedNormal);
    EXPECT_EQ(t.parent->checkState, csCheckedNormal);
    t.tree.RequestCheckState(t.parent, csUncheckedNormal);
    for (PViewNode child : t.children) EXPECT_EQ(child->checkState, csUncheckedNormal);
    EXPECT_FALSE(t.tree.TreeStates().Contains(tsCheckPropagation));
}

TEST(TreeChecks, RadioButtonsUncheckTheirSiblings) {
    TCheckTree t;
    for (PViewNode child : t.children) t.tree.SetCheckType(child, ctRadioButton);
    t.tree.RequestCheckState(t.children[0], csCheckedNormal);
    t.tree.RequestCheckState(t.children[2], csCheckedNormal);
    EXPECT_EQ(t.children[0]->checkState, csUncheckedNormal);
    EXPECT_EQ(t.children[2]->checkState, csCheckedNormal);
}

TEST(TreeChecks, AReadOnlyTreeNeverAsksAndNsCheckingEndsACycle) {
    TCheckTree t;
    int asked = 0;
    t.tree.OnChecking = [&](TBaseViewTree*, PViewNode, TCheckState&, bool&) { ++asked; };
    t.tree.TreeOptions()->SetMiscOptions(t.tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toReadOnly});
    t.tree.RequestCheckState(t.children[0], csCheckedNormal);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(t.children[0]->checkState, csUncheckedNormal);
    t.tree.TreeOptions()->SetMiscOptions(t.tree.TreeOptions()->MiscOptions() - TVTMiscOptions{toReadOnly});

    t.children[0]->states.Include(nsChecking);
    EXPECT_FALSE(t.tree.ApplyCheckState(t.children[0], csCheckedNormal));
    EXPECT_EQ(t.children[0]->checkState, csUncheckedNormal);
    t.children[0]->states.Exclude(nsChecking);

    // A refused parent keeps its state while the child changes.
    t.tree.OnChecking = [&](TBaseViewTree*, PViewNode node, TCheckState&, bool& allowed) { allowed = node != t.parent; };
    t.tree.RequestCheckState(t.children[0], csCheckedNormal);
    EXPECT_EQ(t.children[0]->checkState, csCheckedNormal);
    EXPECT_EQ(t.parent->checkState, csUncheckedNormal);
    t.tree.OnChecking = {};
}

} // namespace
