// The flat view of a list control over a provider's item tree: rebuilding
// the rows of a tree of 2000 items with 10 children each (22000 rows), and of
// one four times as large, shows whether a rebuild takes time in proportion to
// its rows; adding and deleting one item in the large tree, announced by the
// provider, patches the rows, which should take a small part of a rebuild.
// Each figure is the median of several rounds. The last line is the ratio of
// a patch to a rebuild of the same tree.
//
//   flat_view_benchmark

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "BenchTiming.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/UnitRegistry.h"
#include "support/dataproviders/XcDataConsumer.h"
#include "support/dataproviders/XcDataExtensions.h"
#include "support/dataproviders/XcDataItems.h"
#include "support/dataproviders/XcDataViewList.h"
#include "support/utils/SupportUnits.h"

namespace {

constexpr int kRounds = 11;
constexpr int kChildren = 10;

class TListEditor : public TXcBaseDataItemsListManagement {
    RTL_CLASS(TListEditor, TXcBaseDataItemsListManagement);

public:
    using TXcBaseDataItemsListManagement::TXcBaseDataItemsListManagement;
    TIntfPtr<IXcDataItem> New() override { return Add(XcCreate<TXcBaseDataItem>(Items())); }
};

class TEditableList : public TXcDataItemsList {
    RTL_CLASS(TEditableList, TXcDataItemsList);

public:
    using TXcDataItemsList::TXcDataItemsList;

protected:
    void InitExtensions() override { XcCreate<TListEditor>(this); }
};

RTL_PUBLISHED_NONE(TListEditor);
RTL_PUBLISHED_NONE(TEditableList);

// Serves Roots items with kChildren children each.
class TTreeProvider : public TImplements<TComponent, IXcDataProvider> {
public:
    explicit TTreeProvider(int roots) : TImplements(nullptr) {
        root_ = TIntfPtr<IXcDataItems>(XcCreate<TEditableList>(static_cast<IXcDataProvider*>(this)));
        const auto editor = IntfCast<IXcDataItemsEditor>(root_);
        for (int i = 0; i < roots; ++i) {
            const TIntfPtr<IXcDataItem> item = editor->New();
            XcCreate<TEditableList>(item.get());
            const auto children = IntfCast<IXcDataItemsEditor>(item);
            for (int k = 0; k < kChildren; ++k) children->New();
        }
    }
    ~TTreeProvider() override { root_.Reset(); }

    TIntfPtr<IXcDataItems> RootItems() override { return root_; }
    void AddListener(IXcDataProviderListener* listener) override { listeners_.push_back(listener); }
    void RemoveListener(IXcDataProviderListener* listener) override { std::erase(listeners_, listener); }
    void BeginChange(TDataProviderChangeReason reason, IInterface* source) override {
        for (auto* listener : std::vector(listeners_)) listener->ProviderChanging(this, reason, source);
    }
    void EndChange(TDataProviderChangeReason reason, IInterface* source) override {
        for (auto* listener : std::vector(listeners_)) listener->ProviderChanged(this, reason, source);
    }
    std::vector<TClass> ExtensionClasses() override { return {}; }
    void AttachConsumer(IXcDataConsumer* consumer) override { consumers_.emplace_back(consumer); }
    TIntfPtr<IXcDataConsumer> CurrentConsumer() override { return consumers_.empty() ? nullptr : consumers_.back(); }
    void DetachConsumer() override { consumers_.pop_back(); }
    void EnterContext(IXcDataContext* context) override { contexts_.emplace_back(context); }
    TIntfPtr<IXcDataContext> CurrentContext() override { return contexts_.empty() ? nullptr : contexts_.back(); }
    void LeaveContext() override { contexts_.pop_back(); }

private:
    TIntfPtr<IXcDataItems> root_;
    std::vector<IXcDataProviderListener*> listeners_;
    std::vector<TIntfPtr<IXcDataConsumer>> consumers_;
    std::vector<TIntfPtr<IXcDataContext>> contexts_;
};

// A list control's consumer, every level shown.
struct TListView {
    explicit TListView(TTreeProvider& provider) {
        consumer->SetProvider(&provider);
        view = dynamic_cast<TXcDataConsumerViewList*>(
            consumer->Extensions(consumer->IndexOfExtensionClass(XcDataConsumerViewListClass())));
        view->SetAutoExpandLevel(-1);
        view->RebuildView();
    }
    ~TListView() { delete consumer; }

    TXcDataConsumer* consumer = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{xcaList});
    TXcDataConsumerViewList* view = nullptr;
};

double MedianMilliseconds(const std::function<void()>& run) { return 1e3 * TTiming(kRounds).MedianSeconds(run); }

int Run() {
    TTreeProvider small(2000), large(8000);
    TListView smallView(small), largeView(large);
    const int smallRows = smallView.view->Count(), largeRows = largeView.view->Count();
    const double smallRebuild = MedianMilliseconds([&] { smallView.view->RebuildView(); });
    const double largeRebuild = MedianMilliseconds([&] { largeView.view->RebuildView(); });

    // An item added to the middle of the tree and deleted again.
    const auto middle = IntfCast<IXcDataItemsEditor>(large.RootItems()->Item(4000));
    const double patch = MedianMilliseconds([&] {
        TIntfPtr<IXcDataItem> added = middle->New();
        middle->Remove(added);
    });
    if (largeView.view->Count() != largeRows) {
        std::fprintf(stderr, "the patched view has %d rows instead of %d\n", largeView.view->Count(), largeRows);
        return 1;
    }

    std::printf("rebuild of %d rows:                  %.3f ms\n", smallRows, smallRebuild);
    std::printf("rebuild of %d rows:                  %.3f ms\n", largeRows, largeRebuild);
    std::printf("time per row, large against small:    %.2f\n",
                (largeRebuild / largeRows) / (smallRebuild / smallRows));
    std::printf("one item added and deleted, patched:  %.3f ms\n", patch);
    std::printf("ratio: %.4f\n", patch / largeRebuild);
    return 0;
}

} // namespace

int main() {
    RegisterSupportUnits();
    InitializeUnits();
    RegisterXcCreators(TListEditor::StaticClass(), XcCreatorsOf<TListEditor>());
    const int rc = Run();
    FinalizeUnits();
    return rc;
}
