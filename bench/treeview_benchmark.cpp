// A tree view of 10,000 nodes against one of 100 built the same way (groups of
// a root, 9 children and 90 grandchildren), measured in the same run:
//   expanding every node, with the repaint, per node
//   one scroll step by a line and by a page with only the first group expanded
//     (the larger tree holds 9,900 more hidden nodes), and with every node expanded
// Each figure is the median of several rounds; the last line is the ratio
// (a cost that does not grow with the nodes: about 1).

#include <cstdio>
#include <string>

#include "BenchTiming.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/ui/comctrls/TreeView.h"
#include "platform/win/User.h"

namespace {

constexpr int kNodes = 10000;
constexpr int kGroup = 100;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

String Name(const char16_t* kind, int number) { return String(kind) + String(std::to_string(number)); }

TTreeView* MakeTree(TForm* form, int count, int left) {
    auto* tree = new TTreeView(form);
    tree->SetBounds(left, 10, 300, 500);
    tree->SetParent(form);
    TTreeNodes* nodes = tree->Items();
    nodes->BeginUpdate();
    for (int group = 0; group < count / kGroup; ++group) {
        TTreeNode* root = nodes->Add(nullptr, Name(u"文件夹 ", group));
        for (int child = 0; child < 9; ++child) {
            TTreeNode* folder = nodes->AddChild(root, Name(u"Folder ", child));
            for (int leaf = 0; leaf < 10; ++leaf) nodes->AddChild(folder, Name(u"视频 ", leaf));
        }
    }
    nodes->EndUpdate();
    Pump();
    return tree;
}

void ExpandAll(TTreeView* tree, bool expand) {
    for (TTreeNode* root = tree->Items()->GetFirstNode(); root; root = root->getNextSibling()) {
        if (expand) root->Expand(true);
        else root->Collapse(true);
    }
    UpdateWindow(tree->Handle());
}

double ExpandAllSecondsPerNode(TTreeView* tree, int count) {
    return TTiming(21).Prepare([&] { ExpandAll(tree, false); }).MedianSeconds([&] { ExpandAll(tree, true); }) / count;
}

struct TScrollTimes {
    double line = 0;
    double page = 0;
};

// Microseconds per step down and back up from the top, through the paint cycle.
TScrollTimes ScrollTimes(TTreeView* tree) {
    const HWND w = tree->Handle();
    SendMessageW(w, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(w);
    bool down = false;
    auto step = [&](WORD forward, WORD back) {
        down = !down;
        SendMessageW(w, WM_VSCROLL, down ? forward : back, 0);
        UpdateWindow(w);
    };
    TScrollTimes times;
    times.line = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { step(SB_LINEDOWN, SB_LINEUP); });
    times.page = 1e6 * TTiming(31).Repeat(200).MedianSeconds([&] { step(SB_PAGEDOWN, SB_PAGEUP); });
    return times;
}

// Scroll times with the first group's root and children expanded and the rest collapsed.
TScrollTimes FirstGroupScrollTimes(TTreeView* tree) {
    ExpandAll(tree, false);
    TTreeNode* root = tree->Items()->GetFirstNode();
    root->Expand(false);
    for (int i = 0; i < root->Count(); ++i) root->Item(i)->Expand(false);
    return ScrollTimes(tree);
}

} // namespace

int main() {
    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 660, 540);
    form->Show();
    TTreeView* small = MakeTree(form, kGroup, 10);
    TTreeView* large = MakeTree(form, kNodes, 320);

    const double smallExpand = ExpandAllSecondsPerNode(small, kGroup);
    const double largeExpand = ExpandAllSecondsPerNode(large, kNodes);
    const TScrollTimes smallAll = ScrollTimes(small);
    const TScrollTimes largeAll = ScrollTimes(large);
    const TScrollTimes smallHidden = FirstGroupScrollTimes(small);
    const TScrollTimes largeHidden = FirstGroupScrollTimes(large);

    std::printf("expand all, per node, %d nodes              %8.3f us (%d nodes: %.3f us)\n", kNodes,
                1e6 * largeExpand, kGroup, 1e6 * smallExpand);
    std::printf("scroll by a line, first group expanded      %8.1f us (%d nodes: %.1f us)\n", largeHidden.line,
                kGroup, smallHidden.line);
    std::printf("scroll by a page, first group expanded      %8.1f us (%d nodes: %.1f us)\n", largeHidden.page,
                kGroup, smallHidden.page);
    std::printf("scroll by a line, all expanded              %8.1f us (%d nodes: %.1f us)\n", largeAll.line,
                kGroup, smallAll.line);
    std::printf("scroll by a page, all expanded              %8.1f us (%d nodes: %.1f us)\n", largeAll.page,
                kGroup, smallAll.page);
    std::printf("ratio %d / %d nodes: expand all per node %.2f; scroll with hidden nodes: line %.2f, page %.2f; "
                "all expanded: line %.2f, page %.2f\n",
                kNodes, kGroup, largeExpand / smallExpand, largeHidden.line / smallHidden.line,
                largeHidden.page / smallHidden.page, largeAll.line / smallAll.line, largeAll.page / smallAll.page);
    delete form;
    FreeApplication();
    FreeScreen();
    return 0;
}
