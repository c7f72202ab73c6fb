// The string tree's model at a million nodes, each figure beside a baseline
// measured in the same run:
//   building 100 roots x 10,000 children through AddChildNode with a pointer
//     (roots expanded, one update bracket) against allocating and linking as
//     many plain records of the node's size, and against filling the platform
//     tree view with the same nodes
//   memory per node: heap growth (mallinfo2) per node, less the user data
//   SortChildren of 1,000,000 siblings by a 64-bit key in the user data against
//     std::stable_sort of the same keys
//   collapsing and expanding a node of 100,000 children (added after the million)
//     with the view kept and the scroll bars synchronised, against summing
//     100,000 row heights, and as a share of a 16 ms frame
//   ForEachNode and SelectEveryNode over the million against a walk over the
//     plain records
// Each figure is the median of several rounds; the last line holds the ratios.

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include "BenchTiming.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/comctrls/TreeView.h"
#include "platform/win/User.h"
#include "treeview/ViewStringTree.h"

namespace {

constexpr int kRoots = 100;
constexpr int kChildren = 10000;
constexpr int kNodes = kRoots * kChildren;
constexpr int kBigNodeChildren = 100000;
constexpr double kFrameSeconds = 0.016;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The owner's payload a node points to.
struct TPayload {
    uint64_t key;
};

void FillTree(TBaseViewTree& tree, TPayload* payloads) {
    tree.BeginTreeUpdate();
    for (int r = 0; r < kRoots; ++r) {
        PViewNode root = tree.AddChildNode(nullptr, reinterpret_cast<uintptr_t>(&payloads[r * kChildren]));
        for (int c = 0; c < kChildren; ++c)
            tree.AddChildNode(root, reinterpret_cast<uintptr_t>(&payloads[r * kChildren + c]));
        tree.ToggleExpanded(root);
    }
    tree.EndTreeUpdate();
}

// A record of the node's size, linked like a node: the least a tree of records can cost.
struct TPlainRecord {
    TPlainRecord* parent;
    TPlainRecord* next;
    TPlainRecord* firstChild;
    TPlainRecord* lastChild;
    std::byte rest[sizeof(TViewNode) + sizeof(void*) - 4 * sizeof(void*)];
};

struct TPlainTree {
    std::vector<std::unique_ptr<TPlainRecord>> owned;
    TPlainRecord root{};
    void Add(TPlainRecord* parent, uintptr_t value) {
        owned.push_back(std::make_unique<TPlainRecord>());
        TPlainRecord* record = owned.back().get();
        record->parent = parent;
        std::memcpy(record->rest, &value, sizeof value);
        if (parent->lastChild) parent->lastChild->next = record;
        else parent->firstChild = record;
        parent->lastChild = record;
    }
    void Fill(TPayload* payloads) {
        owned.reserve(kNodes + kRoots);
        for (int r = 0; r < kRoots; ++r) {
            Add(&root, reinterpret_cast<uintptr_t>(&payloads[r * kChildren]));
            TPlainRecord* top = root.lastChild;
            for (int c = 0; c < kChildren; ++c) Add(top, reinterpret_cast<uintptr_t>(&payloads[r * kChildren + c]));
        }
    }
    uint64_t Walk() const {
        uint64_t sum = 0;
        for (TPlainRecord* top = root.firstChild; top; top = top->next) {
            sum += top->rest[0] == std::byte{1};
            for (TPlainRecord* child = top->firstChild; child; child = child->next) sum += child->rest[0] == std::byte{1};
        }
        return sum;
    }
};

void FillPlatformTree(TTreeView* tree) {
    TTreeNodes* nodes = tree->Items();
    nodes->BeginUpdate();
    for (int r = 0; r < kRoots; ++r) {
        TTreeNode* root = nodes->Add(nullptr, String(u"文件夹 ") + String(std::to_string(r)));
        for (int c = 0; c < kChildren; ++c) nodes->AddChild(root, String(u"视频 ") + String(std::to_string(c)));
    }
    nodes->EndUpdate();
}

size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

} // namespace

int main() {
    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 660, 540);
    form->Show();
    std::vector<TPayload> payloads(kNodes + kBigNodeChildren);
    std::mt19937_64 random(42);
    for (TPayload& p : payloads) p.key = random();

    auto* tree = new TViewStringTree(form);
    tree->SetBounds(10, 10, 300, 500);
    tree->SetParent(form);
    tree->SetNodeDataSize(sizeof(void*));
    Pump();

    // Building.
    const double build = TTiming(5).Prepare([&] { tree->ClearTree(); }).MedianSeconds([&] { FillTree(*tree, payloads.data()); });
    std::unique_ptr<TPlainTree> plain;
    const double plainBuild =
        TTiming(5).Prepare([&] { plain = std::make_unique<TPlainTree>(); }).MedianSeconds([&] { plain->Fill(payloads.data()); });
    auto* platformTree = new TTreeView(form);
    platformTree->SetBounds(320, 10, 300, 500);
    platformTree->SetParent(form);
    Pump();
    const double platformFill = TTiming(1)
                                    .Prepare([&] { platformTree->Items()->Clear(); })
                                    .MedianSeconds([&] { FillPlatformTree(platformTree); });
    platformTree->Items()->Clear();
    delete platformTree;

    // Memory per node, in a tree of its own.
    double bytesPerNode = 0;
    {
        const size_t before = HeapInUse();
        TBaseViewTree counted(nullptr);
        counted.SetNodeDataSize(sizeof(void*));
        FillTree(counted, payloads.data());
        bytesPerNode = double(HeapInUse() - before) / (kNodes + kRoots) - sizeof(void*);
    }

    // Sorting a million siblings by the key their payload holds.
    double sortTree = 0, sortKeys = 0;
    {
        TBaseViewTree sorted(nullptr);
        sorted.SetNodeDataSize(sizeof(void*));
        sorted.BeginTreeUpdate();
        for (int i = 0; i < kNodes; ++i) sorted.AddChildNode(nullptr, reinterpret_cast<uintptr_t>(&payloads[i]));
        sorted.EndTreeUpdate();
        auto keyOf = [&](PViewNode n) { return (*static_cast<TPayload**>(sorted.NodeData(n)))->key; };
        sorted.OnCompareNodes = [&](TBaseViewTree*, PViewNode a, PViewNode b, TColumnIndex, int& result) {
            const uint64_t ka = keyOf(a), kb = keyOf(b);
            result = ka < kb ? -1 : ka > kb ? 1 : 0;
        };
        std::mt19937_64 reshuffle(7);
        auto newKeys = [&] { for (int i = 0; i < kNodes; ++i) payloads[i].key = reshuffle(); };
        sortTree = TTiming(5).Prepare(newKeys).MedianSeconds([&] { sorted.SortChildren(nullptr, 0, sdAscending); });
        std::vector<uint64_t> keys(kNodes);
        sortKeys = TTiming(5)
                       .Prepare([&] { for (uint64_t& k : keys) k = reshuffle(); })
                       .MedianSeconds([&] { std::stable_sort(keys.begin(), keys.end()); });
        sorted.OnCompareNodes = {};
    }

    // Collapsing and expanding a node of 100,000 children behind the million.
    PViewNode big = tree->AddChildNode(nullptr, reinterpret_cast<uintptr_t>(&payloads[kNodes]));
    tree->BeginTreeUpdate();
    for (int i = 0; i < kBigNodeChildren; ++i)
        tree->AddChildNode(big, reinterpret_cast<uintptr_t>(&payloads[kNodes + i]));
    tree->EndTreeUpdate();
    tree->ToggleExpanded(big);
    const double collapse = TTiming(9).Prepare([&] { if (!tree->Expanded(big)) tree->ToggleExpanded(big); })
                                .MedianSeconds([&] { tree->ToggleExpanded(big); });
    const double expand = TTiming(9).Prepare([&] { if (tree->Expanded(big)) tree->ToggleExpanded(big); })
                              .MedianSeconds([&] { tree->ToggleExpanded(big); });
    std::vector<uint16_t> heights(kBigNodeChildren, 18);
    volatile uint64_t sink = 0;
    const double sumHeights = TTiming(9).Repeat(20).MedianSeconds(
        [&] { sink = sink + std::accumulate(heights.begin(), heights.end(), uint64_t(0)); });
    tree->RemoveNode(big);

    // Walking and selecting the million.
    uint64_t visited = 0;
    const double forEach = TTiming(5).MedianSeconds([&] {
        tree->ForEachNode(nullptr, [&](TBaseViewTree*, PViewNode, void*, bool&) { ++visited; });
    });
    const double plainWalk = TTiming(5).MedianSeconds([&] { sink = sink + plain->Walk(); });
    tree->TreeOptions()->SetSelectionOptions({toMultiSelect});
    const double selectAll = TTiming(5).Prepare([&] { tree->DeselectAll(); }).MedianSeconds([&] { tree->SelectEveryNode(false); });
    const uint32_t selected = tree->SelectedCount();
    tree->DeselectAll();

    std::printf("build %d nodes (%d x %d)                 %8.1f ms (plain records %.1f ms, platform tree view %.1f ms)\n",
                kNodes, kRoots, kChildren, 1e3 * build, 1e3 * plainBuild, 1e3 * platformFill);
    std::printf("memory per node, user data excluded         %8.1f bytes (goal below 100)\n", bytesPerNode);
    std::printf("SortChildren of %d siblings              %8.1f ms (std::stable_sort of the keys %.1f ms)\n", kNodes,
                1e3 * sortTree, 1e3 * sortKeys);
    std::printf("collapse / expand %d children             %8.3f / %.3f ms (summing their heights %.3f ms; frame 16 ms)\n",
                kBigNodeChildren, 1e3 * collapse, 1e3 * expand, 1e3 * sumHeights);
    std::printf("ForEachNode over %d                      %8.1f ms (plain record walk %.1f ms)\n", kNodes + kRoots,
                1e3 * forEach, 1e3 * plainWalk);
    std::printf("SelectEveryNode, %u selected             %8.1f ms (plain record walk %.1f ms)\n", selected,
                1e3 * selectAll, 1e3 * plainWalk);
    std::printf("ratios: build / platform fill %.3f (goal <= 0.5), build / plain records %.2f, sort / stable_sort %.2f, "
                "collapse / frame %.3f, expand / frame %.3f, ForEachNode / walk %.2f, SelectEveryNode / walk %.2f\n",
                build / platformFill, build / plainBuild, sortTree / sortKeys, collapse / kFrameSeconds,
                expand / kFrameSeconds, forEach / plainWalk, selectAll / plainWalk);
    delete form;
    return visited == 0;
}
