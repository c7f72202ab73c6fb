#include <gtest/gtest.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "TreeRecount.h"
#include "platform/ui/Forms.h"
#include "platform/win/User.h"
#include "treeview/ViewTreeCacheWorker.h"

namespace {

using namespace std::chrono_literals;

// A tree on a form, with its window; the form frees the tree.
struct TWindowedTree {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TBaseViewTree* tree = new TBaseViewTree(form.get());
    TWindowedTree() {
        form->SetBounds(0, 0, 400, 400);
        tree->SetParent(form.get());
        tree->SetBorderStyle(kNoBorder);
        tree->SetClientWidth(200);
        tree->SetClientHeight(180);
        tree->HandleNeeded();
    }
};

// Serves the worker's reports until it neither holds the tree nor has it queued.
void SettleCacheWorker(TBaseViewTree& tree) {
    TCacheWorker* worker = TCacheWorker::Instance();
    ASSERT_TRUE(worker);
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    MSG msg;
    for (;;) {
        PeekMessageW(&msg, nullptr, 0, 0, PM_QS_SENDMESSAGE);
        if (!worker->IsQueued(&tree) && worker->CurrentTree() != &tree && !tree.TreeStates().Contains(tsValidating))
            return;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the worker never finished the tree";
        std::this_thread::sleep_for(200us);
    }
}

template <class Condition>
void WaitUntil(Condition condition, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    MSG msg;
    while (!condition()) {
        PeekMessageW(&msg, nullptr, 0, 0, PM_QS_SENDMESSAGE);
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << what;
        std::this_thread::sleep_for(200us);
    }
}

// Counts the states only the worker's reports enter, through OnStateChange.
struct TValidationLog {
    int validatingEntered = 0;
    int useCacheEntered = 0;
    explicit TValidationLog(TBaseViewTree& tree) {
        tree.OnStateChange = [this](TBaseViewTree*, TViewTreeStates enter, TViewTreeStates) {
            validatingEntered += enter.Contains(tsValidating);
            useCacheEntered += enter.Contains(tsUseCache);
        };
    }
    TValidationLog(const TValidationLog&) = delete;
    TValidationLog& operator=(const TValidationLog&) = delete;
};

// The build probe: counts the nodes the worker walks; armed, the first node
// also reports that a build runs and holds the worker there for a while.
std::atomic<long> probedCacheNodes = 0;
std::atomic<bool> cacheProbeArmed = false;
std::atomic<bool> cacheProbeHeld = false;
std::atomic<int> cacheProbeHoldMs = 0;

void CountAndHoldCacheBuild() {
    ++probedCacheNodes;
    if (cacheProbeArmed.exchange(false)) {
        cacheProbeHeld = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(cacheProbeHoldMs.load()));
    }
}

struct TCacheProbeScope {
    TCacheProbeScope() {
        probedCacheNodes = 0;
        cacheProbeArmed = false;
        cacheProbeHeld = false;
        TCacheWorker::SetBuildProbe(&CountAndHoldCacheBuild);
    }
    ~TCacheProbeScope() { TCacheWorker::SetBuildProbe(nullptr); }
};

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Tops of the visible rows summed along the visible walk.
std::vector<std::pair<PViewNode, uint32_t>> RowTopsByWalk(TBaseViewTree& tree) {
    std::vector<std::pair<PViewNode, uint32_t>> rows;
    uint32_t top = 0;
    for (PViewNode n = tree.FirstVisibleNodeRaw(); n; n = tree.NextVisibleNodeRaw(n)) {
        rows.emplace_back(n, top);
        top += n->nodeHeight;
    }
    return rows;
}

void ExpectCacheAnswersEqualTheWalk(TBaseViewTree& tree, std::size_t step) {
    ASSERT_TRUE(tree.TreeStates().Contains(tsUseCache));
    const auto rows = RowTopsByWalk(tree);
    for (std::size_t i = 0; i < rows.size(); i += step) {
        const auto [node, top] = rows[i];
        EXPECT_EQ(tree.NodeTop(node), top);
        int nodeTop = -1;
        EXPECT_EQ(tree.NodeAt(0, int(top + node->nodeHeight - 1), false, nodeTop), node);
        EXPECT_EQ(nodeTop, int(top));
    }
}

TEST(CacheWorker, TreesShareOneWorkerThatEndsWithTheLastTreeAndComesBackWithTheNext) {
    ASSERT_EQ(TCacheWorker::Instance(), nullptr) << "a tree of another test is still alive";
    const int started = TCacheWorker::StartedWorkers();
    auto first = std::make_unique<TBaseViewTree>(nullptr);
    auto second = std::make_unique<TBaseViewTree>(nullptr);
    TCacheWorker* worker = TCacheWorker::Instance();
    ASSERT_TRUE(worker);
    EXPECT_EQ(worker->ReferenceCount(), 2);
    EXPECT_EQ(TCacheWorker::StartedWorkers(), started + 1);
    WaitUntil([] { return TCacheWorker::RunningThreads() == 1; }, "the thread never ran");

    first.reset();
    EXPECT_EQ(TCacheWorker::Instance(), worker);
    EXPECT_EQ(worker->ReferenceCount(), 1);
    second.reset();
    EXPECT_EQ(TCacheWorker::Instance(), nullptr);
    EXPECT_EQ(TCacheWorker::RunningThreads(), 0) << "the last release returns after the thread ended";

    TBaseViewTree third(nullptr);
    ASSERT_TRUE(TCacheWorker::Instance());
    EXPECT_EQ(TCacheWorker::StartedWorkers(), started + 2);
}

TEST(CacheWorker, QueueingATreeTwiceBeforeTheWorkerWakesValidatesItOnce) {
    TWindowedTree windowed;
    TBaseViewTree& tree = *windowed.tree;
    tree.SetRootNodeCount(3000);
    SettleCacheWorker(tree);
    TValidationLog log(tree);
    TCacheWorker* worker = TCacheWorker::Instance();
    worker->QueueTree(&tree);
    worker->QueueTree(&tree);
    worker->Wake();
    SettleCacheWorker(tree);
    EXPECT_EQ(log.validatingEntered, 1);
    EXPECT_EQ(log.useCacheEntered, 1);
    EXPECT_TRUE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_FALSE(tree.TreeStates().Contains(tsValidationNeeded));
    EXPECT_EQ(tree.PositionCache().size(), 3u);
    tree.OnStateChange = {};
}

TEST(CacheWorker, ATreeWithoutAWindowIsBuiltWithoutAnyReport) {
    TBaseViewTree tree(nullptr);
    TValidationLog log(tree);
    tree.SetRootNodeCount(3000);
    SettleCacheWorker(tree);
    TCacheProbeScope probe;
    TCacheWorker::Instance()->QueueTree(&tree);
    TCacheWorker::Instance()->Wake();
    SettleCacheWorker(tree);
    EXPECT_EQ(probedCacheNodes, 3000) << "the worker built the cache";
    EXPECT_EQ(log.validatingEntered + log.useCacheEntered, 0) << "no report reached the tree";
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    tree.OnStateChange = {};
}

TEST(CacheWorker, ATreeStoppedBeforeItsTurnIsNotBuiltAndEndsWithoutTheCache) {
    TWindowedTree windowed;
    TBaseViewTree& tree = *windowed.tree;
    tree.SetRootNodeCount(3000);
    SettleCacheWorker(tree);
    TValidationLog log(tree);
    TCacheProbeScope probe;
    TCacheWorker::Instance()->QueueTree(&tree);
    tree.ChangeTreeState({tsStopValidation}, {tsUseCache});
    TCacheWorker::Instance()->Wake();
    SettleCacheWorker(tree);
    EXPECT_EQ(log.validatingEntered, 1) << "its turn came";
    EXPECT_EQ(probedCacheNodes, 0);
    EXPECT_EQ(log.useCacheEntered, 0);
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_FALSE(tree.TreeStates().Contains(tsStopValidation)) << "the end report leaves it";
    tree.OnStateChange = {};
}

TEST(CacheWorker, DestroyingATreeDuringItsBuildReturnsAfterTheWorkerLeftIt) {
    TBaseViewTree keepsTheWorker(nullptr);
    for (const bool withWindow : {true, false}) {
        SCOPED_TRACE(withWindow ? "with a window" : "without a window");
        TWindowedTree windowed;
        TBaseViewTree* tree = withWindow ? windowed.tree : new TBaseViewTree(nullptr);
        TCacheProbeScope probe;
        tree->SetRootNodeCount(1'000'000);
        WaitUntil([] { return probedCacheNodes > 1000; }, "the build never started");
        delete tree;
        TCacheWorker* worker = TCacheWorker::Instance();
        EXPECT_NE(worker->CurrentTree(), tree);
        EXPECT_FALSE(worker->IsQueued(tree));
        const long walked = probedCacheNodes;
        EXPECT_LT(walked, 1'000'000) << "the build was stopped, not finished";
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(probedCacheNodes, walked) << "the worker walked on after the tree was gone";
    }
}

TEST(CacheWorker, TheWaitServesOnlyTheReportsAndLeavesInputAndQuitQueuedInOrder) {
    TWindowedTree windowed;
    TBaseViewTree& tree = *windowed.tree;
    tree.SetRootNodeCount(10'000);
    SettleCacheWorker(tree);
    TCacheProbeScope probe;
    cacheProbeHoldMs = 100;
    cacheProbeArmed = true;
    TCacheWorker::Instance()->QueueTree(&tree);
    TCacheWorker::Instance()->Wake();
    WaitUntil([] { return cacheProbeHeld.load(); }, "the build never started");
    const HWND window = tree.Handle();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    PostQuitMessage(7);

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuMs();
    tree.InterruptCacheBuild();
    const double cpuMs = ThreadCpuMs() - cpuStart;
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    EXPECT_GT(wallMs, 50.0) << "the wait returned before the worker left the tree";
    EXPECT_LT(cpuMs, 15.0) << "the wait must sleep, not poll";
    EXPECT_NE(TCacheWorker::Instance()->CurrentTree(), &tree);
    EXPECT_FALSE(tree.TreeStates().Contains(tsValidating));
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_TRUE(tree.TreeStates().Contains(tsStopValidation));
    EXPECT_TRUE(tree.TreeStates().Contains(tsValidationNeeded));

    std::vector<UINT> taken;
    MSG msg;
    int exitCode = -1;
    for (;;) {
        const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
        if (result == 0) {
            exitCode = int(msg.wParam);
            break;
        }
        if (msg.hwnd == window && (msg.message == WM_LBUTTONDOWN || msg.message == WM_KEYDOWN))
            taken.push_back(msg.message);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_LBUTTONDOWN, WM_KEYDOWN}));
    EXPECT_EQ(exitCode, 7);
}

TEST(CacheWorker, VariableHeightsAreMeasuredOnTheGuiThreadAndTheRangeFollowsTheEndReport) {
    TWindowedTree windowed;
    TBaseViewTree& tree = *windowed.tree;
    const std::thread::id gui = std::this_thread::get_id();
    std::atomic<int> foreignCalls = 0;
    int measured = 0;
    tree.OnInitNode = [&](TBaseViewTree*, PViewNode, PViewNode, TViewNodeInitStates&) {
        foreignCalls += std::this_thread::get_id() != gui;
    };
    tree.OnMeasureItem = [&](TBaseViewTree*, TCanvas*, PViewNode, int& height) {
        foreignCalls += std::this_thread::get_id() != gui;
        ++measured;
        height = 30;
    };
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toVariableNodeHeight});
    tree.SetRootNodeCount(10'000);
    // Each of the first rows measured changes its height, which stops the build
    // the previous one started; the rest are measured in one batch.
    PViewNode node = tree.FirstNode();
    for (int row = 0; row < 500; ++row, node = tree.NextNode(node)) tree.NodeHeight(node);
    tree.BeginTreeUpdate();
    for (; node; node = tree.NextNode(node)) tree.NodeHeight(node);
    tree.EndTreeUpdate();
    SettleCacheWorker(tree);
    EXPECT_EQ(foreignCalls, 0) << "owner code ran on the worker";
    EXPECT_EQ(measured, 10'000);
    ASSERT_TRUE(tree.TreeStates().Contains(tsUseCache));
    const int expectedRange = 10'000 * 30 + int(tree.BottomSpace());
    EXPECT_EQ(tree.RangeY(), expectedRange);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(tree.Handle(), SB_VERT, &info));
    EXPECT_EQ(info.nMax, expectedRange);
    ExpectCacheAnswersEqualTheWalk(tree, 1);
    EXPECT_EQ(foreignCalls, 0);
    tree.OnInitNode = {};
    tree.OnMeasureItem = {};
}

// Runs long under ThreadSanitizer, which is what it is for.
TEST(CacheWorker, GuiChangesWhileBuildsRunAgreeWithAWalkOnceSettled) {
    TWindowedTree windowed;
    TBaseViewTree& tree = *windowed.tree;
    tree.SetNodeDataSize(sizeof(void*));
    std::mt19937 random(11);
    tree.BeginTreeUpdate();
    tree.SetRootNodeCount(400);
    std::vector<PViewNode> tops, children;
    for (PViewNode top = tree.RootNode()->firstChild; top; top = top->nextSibling) {
        tree.ChangeChildCount(top, 500);
        tree.ToggleExpanded(top);
        tops.push_back(top);
        for (PViewNode child = top->firstChild; child; child = child->nextSibling) children.push_back(child);
    }
    tree.EndTreeUpdate();
    for (int round = 0; round < 12; ++round) {
        for (int change = 0; change < 6; ++change) {
            PViewNode child = children[random() % children.size()];
            switch (random() % 5) {
            case 0: tree.ToggleExpanded(tops[random() % tops.size()]); break;
            case 1: tree.ChangeNodeHeight(child, 4 + random() % 40); break;
            case 2: tree.SetNodeVisibility(child, !child->states.Contains(nsVisible)); break;
            default: tree.SetNodeSelected(child, !child->states.Contains(nsSelected)); break;
            }
        }
        // A change below a collapsed node leaves the cache invalid without a rebuild.
        tree.ValidatePositionCache();
        SettleCacheWorker(tree);
        SCOPED_TRACE(round);
        ExpectCacheAnswersEqualTheWalk(tree, 499);
    }
    ExpectTreeConsistent(tree);
}

} // namespace
