#pragma once
// What the data-provider tests share: a provider component serving a tree of
// item lists in three levels with text and image extensions and two root
// contexts (the second with a child context), a canvas that measures every
// character as one cell, application services that count repaints, and a
// control that owns a consumer.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Component.h"
#include "support/dataproviders/XcDataConsumer.h"
#include "support/dataproviders/XcDataContexts.h"
#include "support/dataproviders/XcDataExtensions.h"
#include "support/dataproviders/XcDataItems.h"

// An item with a text and an image.
class TTestItem : public TXcBaseDataItem {
    RTL_CLASS(TTestItem, TXcBaseDataItem);

public:
    explicit TTestItem(IXcDataItems* list) : TXcBaseDataItem(list) {}

protected:
    void InitExtensions() override;
};

// The editor of the test lists: New makes a TTestItem.
class TTestListEditor : public TXcBaseDataItemsListManagement {
    RTL_CLASS(TTestListEditor, TXcBaseDataItemsListManagement);

public:
    explicit TTestListEditor(TExtensibleInterfacedPersistent* owner) : TXcBaseDataItemsListManagement(owner) {}
    TIntfPtr<IXcDataItem> New() override;
};

// A list with its editor, painter and image lists.
class TTestItemsList : public TXcDataItemsList {
    RTL_CLASS(TTestItemsList, TXcDataItemsList);

public:
    using TXcDataItemsList::TXcDataItemsList;

protected:
    void InitExtensions() override;
};

struct TAnnouncement {
    bool Begin;
    TDataProviderChangeReason Reason;
    IInterface* Source;
};

class TTestProvider : public TImplements<TComponent, IXcDataProvider> {
    RTL_CLASS(TTestProvider, TComponent);

public:
    // Roots R0 (children C00, C01 with G010 and G011, C02), R1 (child C10)
    // and R2, each with the text of its ID; root contexts First and Second,
    // Second with the child context Child.
    explicit TTestProvider(TComponent* owner);
    ~TTestProvider() override;

    // The root list, and the contexts, as the provider answers them.
    bool GetInterface(const TGUID& iid, void** obj) override;

    TIntfPtr<IXcDataItems> RootItems() override { return rootItems_; }
    void AddListener(IXcDataProviderListener* listener) override { listeners_.push_back(listener); }
    void RemoveListener(IXcDataProviderListener* listener) override;
    void BeginChange(TDataProviderChangeReason reason, IInterface* source) override;
    void EndChange(TDataProviderChangeReason reason, IInterface* source) override;
    std::vector<TClass> ExtensionClasses() override { return extensionClasses; }
    void AttachConsumer(IXcDataConsumer* consumer) override { consumers_.emplace_back(consumer); }
    TIntfPtr<IXcDataConsumer> CurrentConsumer() override;
    void DetachConsumer() override { consumers_.pop_back(); }
    void EnterContext(IXcDataContext* context) override { contexts_.emplace_back(context); }
    TIntfPtr<IXcDataContext> CurrentContext() override;
    void LeaveContext() override { contexts_.pop_back(); }

    TXcDataItemsList* RootList() const { return dynamic_cast<TXcDataItemsList*>(rootItems_->Implementer()); }
    // The item of an ID anywhere in the tree.
    TIntfPtr<IXcDataItem> Item(const String& id);
    TXcBaseDataItem* ItemObject(const String& id);
    // Adds a new item with the ID to the list of Parent (the root list without one).
    TIntfPtr<IXcDataItem> AddItem(const String& id, IXcDataItem* parent = nullptr);
    void DeleteItem(const String& id);
    TIntfPtr<IXcDataContexts> Contexts() const { return rootContexts_; }
    TIntfPtr<IXcDataContext> Context(const String& path);
    TIntfPtr<IXcDataContexts> ChildContexts() const { return childContexts_; }
    // How many nested context and consumer entries are open.
    int OpenAccesses() const { return static_cast<int>(consumers_.size() + contexts_.size()); }

    std::vector<TClass> extensionClasses;
    std::vector<TAnnouncement> announcements;

private:
    void Announce(bool begin, TDataProviderChangeReason reason, IInterface* source);

    TIntfPtr<IXcDataItems> rootItems_;
    TIntfPtr<IXcDataContexts> rootContexts_;
    TIntfPtr<IXcDataContexts> childContexts_;
    std::vector<IXcDataProviderListener*> listeners_;
    std::vector<TIntfPtr<IXcDataConsumer>> consumers_;
    std::vector<TIntfPtr<IXcDataContext>> contexts_;
};

// An image list as far as the framework sees one.
class TTestImageList : public TComponent {
    RTL_CLASS(TTestImageList, TComponent);

public:
    using TComponent::TComponent;
};

// Every character is one 7 x 13 cell.
class TCellCanvas : public TXcDataCanvas {
public:
    static constexpr int CellWidth = 7;
    static constexpr int CellHeight = 13;
    TSize TextExtent(const String& text) override { return {CellWidth * text.Length(), CellHeight}; }
    void TextRect(const TRect& rect, int x, int y, const String& text) override {
        written.push_back({rect, x, y, text});
    }
    struct TWritten {
        TRect Rect;
        int X, Y;
        String Text;
    };
    std::vector<TWritten> written;
};

// Counts the repaints of each control.
class TRepaintCounter final : public IAppServices {
public:
    int MessageBox(const String&, const String&, uint32_t) override { return 1; }
    void HandleException(const std::exception&) override {}
    TDisplaySize PrimaryScreenSize() override { return {}; }
    TDisplaySize DesktopSize() override { return {}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return crDefault; }
    void SetScreenCursor(TCursor) override {}
    void RepaintControl(TObject* control) override { ++repaints[control]; }
    std::map<TObject*, int> repaints;
};

// A control that owns a consumer and applies its fixups when loaded.
class TTestControl : public TComponent {
    RTL_CLASS(TTestControl, TComponent);

public:
    explicit TTestControl(TComponent* owner, const std::vector<int>& attributes = {xcaLabel});
    ~TTestControl() override;
    TXcDataConsumer* DataConsumer() const { return consumer_; }

protected:
    void Loaded() override;

private:
    TXcDataConsumer* consumer_;
};

// Starts the units (which register the framework's classes) and the test classes.
class DataProviderTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
};

// The IDs of a list's items in order.
std::vector<String> IDsOf(IXcDataItems* list);
String TextOf(IXcDataItem* item);
