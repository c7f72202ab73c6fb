#pragma once
// A small named tree for walk, selection and geometry tests:
//   A (expanded)
//     A1 (expanded)
//       A1a
//     A2
//   B (hidden)
//     B1
//   C (not visible)
//   D
// Names are kept beside the nodes; OnInitNode calls are counted. Adding children
// initialises A, A1 and B; expanding brings (and so initialises) A1a and A2.

#include <map>
#include <string>

#include "TreeRecount.h"

struct TNamedTree {
    TBaseViewTree tree{nullptr};
    std::map<PViewNode, std::string> names;
    int inits = 0;
    PViewNode A, A1, A1a, A2, B, B1, C, D;

    TNamedTree() {
        tree.SetNodeDataSize(sizeof(void*));
        tree.OnInitNode = [this](TBaseViewTree*, PViewNode, PViewNode, TViewNodeInitStates&) { ++inits; };
        A = Add(nullptr, "A");
        A1 = Add(A, "A1");
        A1a = Add(A1, "A1a");
        A2 = Add(A, "A2");
        B = Add(nullptr, "B");
        B1 = Add(B, "B1");
        C = Add(nullptr, "C");
        D = Add(nullptr, "D");
        tree.ToggleExpanded(A);
        tree.ToggleExpanded(A1);
        tree.SetNodeHidden(B, true);
        tree.SetNodeVisibility(C, false);
        inits = 0;
    }
    ~TNamedTree() { tree.OnInitNode = {}; }
    PViewNode Add(PViewNode parent, const char* name) {
        PViewNode node = tree.AddChildNode(parent);
        names[node] = name;
        return node;
    }
    void SetPaintOption(TVTPaintOption option, bool on) {
        auto paint = tree.TreeOptions()->PaintOptions();
        if (on) paint.Include(option);
        else paint.Exclude(option);
        tree.TreeOptions()->SetPaintOptions(paint);
    }
    // The names of the nodes a walk meets, space separated.
    template <class First, class Next>
    std::string Walk(First first, Next next) {
        std::string result;
        for (PViewNode node = first(); node; node = next(node)) {
            if (!result.empty()) result += ' ';
            result += names.count(node) ? names[node] : "?";
        }
        return result;
    }
};
