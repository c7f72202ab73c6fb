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
// Painting, with the process pinned to one core (PaintingFigures):
//   a string tree of 1,000,000 nodes with texts from OnGetText built and its
//     first screen of an 800 x 600 client painted, against the platform tree
//     view filled with the same captions and painted in the same form, and
//     against the same rows drawn with DrawTextW into a bitmap (the floor)
//   collapsing and expanding a node of 100,000 children, each repainted
//   one scroll step of three rows, against the platform tree view's three
//     line steps, each repainted
//   the cost per painted row and the allocations per paint after the first
// Each figure is the median of several rounds; the last line holds the ratios.

#include <malloc.h>
#include <sched.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include <QGuiApplication>

#include "AllocationCount.h"
#include "BenchTiming.h"
#include "platform/win/backend/qt/QtFontEngine.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/text/Text.h"
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

// ---- painting ----

constexpr int kPaintClientWidth = 800;
constexpr int kPaintClientHeight = 600;

// A form holding one control of an 800 x 600 client, shown.
TForm* PaintForm(TComponent* owner) {
    auto* form = new TForm(owner);
    form->SetBounds(0, 0, kPaintClientWidth + 40, kPaintClientHeight + 60);
    form->Show();
    return form;
}

template <class Control>
Control* PlaceForPaint(TForm* form) {
    auto* control = new Control(form);
    control->SetParent(form);
    control->SetBounds(0, 0, kPaintClientWidth, kPaintClientHeight);
    return control;
}

// The row's number as its caption, the way an owner formats it.
void RowCaption(PViewNode node, String& text) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "行 %u", node->index);
    text = String::FromUtf8(buffer);
}

void BuildPaintedTree(TViewStringTree* tree, PViewNode& big) {
    tree->BeginTreeUpdate();
    for (int r = 0; r < kRoots; ++r) {
        PViewNode root = tree->AddChildNode(nullptr);
        for (int c = 0; c < kChildren; ++c) tree->AddChildNode(root);
        tree->ToggleExpanded(root);
    }
    big = tree->AddChildNode(nullptr);
    for (int i = 0; i < kBigNodeChildren; ++i) tree->AddChildNode(big);
    tree->EndTreeUpdate();
}

void FillPlatformTreeNumbered(TTreeView* tree) {
    TTreeNodes* nodes = tree->Items();
    nodes->BeginUpdate();
    for (int r = 0; r < kRoots; ++r) {
        TTreeNode* root = nodes->Add(nullptr, String(u"行 ") + String(std::to_string(r)));
        for (int c = 0; c < kChildren; ++c) nodes->AddChild(root, String(u"行 ") + String(std::to_string(c)));
        root->Expand(false);
    }
    nodes->EndUpdate();
}

void RepaintAll(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

// The floor: the captions of one screen drawn with DrawTextW into a bitmap of the client's size.
double DrawTextFloorSeconds(TFont* font, int rows, int rowHeight) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(kPaintClientWidth, kPaintClientHeight, 1, 32, nullptr);
    const HGDIOBJ oldBitmap = SelectObject(dc, ToGdiObject(bitmap));
    const HGDIOBJ oldFont = SelectObject(dc, ToGdiObject(font->Handle()));
    std::vector<std::u16string> captions;
    for (int i = 0; i < rows; ++i) captions.push_back(u"行 " + std::u16string(String(std::to_string(i)).c_str()));
    const double seconds = TTiming(21).MedianSeconds([&] {
        for (int i = 0; i < rows; ++i) {
            RECT r{40, i * rowHeight, kPaintClientWidth, (i + 1) * rowHeight};
            DrawTextW(dc, captions[size_t(i)].c_str(), int(captions[size_t(i)].size()), &r,
                      DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE | DT_LEFT);
        }
    });
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(ToGdiObject(bitmap));
    DeleteDC(dc);
    return seconds;
}

// Prints the painting figures and, last, their ratios.
void PaintingFigures() {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    const bool pinned = sched_setaffinity(0, sizeof one, &one) == 0;
    int argc = 1;
    char name[] = "string_tree_benchmark";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    InstallQtFontEngine();

    // Building and the first screen.
    TForm* form = PaintForm(&Application());
    TViewStringTree* tree = nullptr;
    PViewNode big = nullptr;
    const double firstScreen = TTiming(3)
                                   .Prepare([&] {
                                       delete tree;
                                       tree = nullptr;
                                       Pump();
                                   })
                                   .MedianSeconds([&] {
                                       tree = PlaceForPaint<TViewStringTree>(form);
                                       tree->OnGetText = [](TBaseViewTree*, PViewNode node, TColumnIndex, TVSTTextType,
                                                            String& text) { RowCaption(node, text); };
                                       BuildPaintedTree(tree, big);
                                       UpdateWindow(tree->Handle());
                                   });
    const int rowHeight = int(tree->DefaultNodeHeight());
    const int screenRows = (kPaintClientHeight + rowHeight - 1) / rowHeight;

    TForm* platformForm = PaintForm(&Application());
    TTreeView* platformTree = nullptr;
    const double platformFirstScreen = TTiming(1)
                                           .Prepare([&] {
                                               delete platformTree;
                                               platformTree = nullptr;
                                               Pump();
                                           })
                                           .MedianSeconds([&] {
                                               platformTree = PlaceForPaint<TTreeView>(platformForm);
                                               FillPlatformTreeNumbered(platformTree);
                                               UpdateWindow(platformTree->Handle());
                                           });
    const double floor = DrawTextFloorSeconds(tree->Font(), screenRows, rowHeight);

    // One screen repainted: the cost per row and the allocations.
    const HWND window = tree->Handle();
    const double screen = TTiming(21).MedianSeconds([&] { RepaintAll(window); });
    const long allocations = AllocationsPerCall([&] { RepaintAll(window); });

    // Collapsing and expanding the node of 100,000 children, before the cache is rebuilt.
    tree->ScrollNodeToTop(big);
    UpdateWindow(window);
    const double collapse = TTiming(9)
                                .Prepare([&] {
                                    if (!tree->Expanded(big)) tree->ToggleExpanded(big);
                                    tree->InvalidatePositionCache();
                                    UpdateWindow(window);
                                })
                                .MedianSeconds([&] {
                                    tree->ToggleExpanded(big);
                                    UpdateWindow(window);
                                });
    const double expand = TTiming(9)
                              .Prepare([&] {
                                  if (tree->Expanded(big)) tree->ToggleExpanded(big);
                                  tree->InvalidatePositionCache();
                                  UpdateWindow(window);
                              })
                              .MedianSeconds([&] {
                                  tree->ToggleExpanded(big);
                                  UpdateWindow(window);
                              });

    // One scroll step of three rows in the middle of the million, and the platform tree view's three line steps.
    tree->ScrollToOffsetY(-(kNodes / 2) * rowHeight);
    UpdateWindow(window);
    bool down = false;
    const double scroll = TTiming(31).Repeat(20).MedianSeconds([&] {
        down = !down;
        tree->ScrollToOffsetY(tree->OffsetY() + (down ? -3 : 3) * rowHeight);
        UpdateWindow(window);
    });
    const HWND platformWindow = platformTree->Handle();
    for (int i = 0; i < 1000; ++i) SendMessageW(platformWindow, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(platformWindow);
    down = false;
    const double platformScroll = TTiming(31).Repeat(20).MedianSeconds([&] {
        down = !down;
        for (int i = 0; i < 3; ++i) SendMessageW(platformWindow, WM_VSCROLL, down ? SB_LINEDOWN : SB_LINEUP, 0);
        UpdateWindow(platformWindow);
    });

    std::printf("paint: %s; %d rows a screen of %d x %d\n", pinned ? "pinned to one core" : "not pinned", screenRows,
                kPaintClientWidth, kPaintClientHeight);
    std::printf("string tree of %d nodes built, first screen painted  %8.1f ms (goal below 1000; platform tree view "
                "%.1f ms; DrawTextW floor %.3f ms)\n",
                kNodes + kBigNodeChildren, 1e3 * firstScreen, 1e3 * platformFirstScreen, 1e3 * floor);
    std::printf("screen repainted                             %8.3f ms, %.1f us a row, %ld allocations a paint\n",
                1e3 * screen, 1e6 * screen / screenRows, allocations);
    std::printf("collapse / expand %d children, repainted   %8.3f / %.3f ms (goal below 16 each)\n", kBigNodeChildren,
                1e3 * collapse, 1e3 * expand);
    std::printf("scroll step of 3 rows, repainted            %8.3f ms (goal below 16; platform 3 line steps %.3f ms)\n",
                1e3 * scroll, 1e3 * platformScroll);
    std::printf("paint ratios: first screen / platform %.3f (goal <= 0.5), first screen / DrawTextW floor %.1f, "
                "screen / floor %.2f, scroll / platform %.2f (goal <= 2), collapse / frame %.3f, expand / frame %.3f\n",
                firstScreen / platformFirstScreen, firstScreen / floor, screen / floor, scroll / platformScroll,
                collapse / kFrameSeconds, expand / kFrameSeconds);
    delete platformForm;
    delete form;
    Pump();
    SetFontEngine(nullptr);
}

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
    PaintingFigures();
    return visited == 0;
}
