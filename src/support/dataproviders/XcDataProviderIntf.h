#pragma once
// The contracts between data providers, the items they serve and the
// consumers that controls own: the interfaces with their identities, the
// change reasons, the errors and the small drawing surface the painters use.
//
// A provider is any component that implements IXcDataProvider. It serves a
// tree of item lists (IXcDataItems) and items (IXcDataItem); what an item can
// do besides (text, images, painting) it answers through further interfaces,
// usually implemented by extensions (XcDataExtensions.h). A provider that
// keeps contexts answers IXcDataContexts for its root contexts. Every change
// is bracketed by BeginChange and EndChange, which the provider passes on to
// its listeners (the consumers).

#include <cstdint>
#include <span>
#include <vector>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/Interfaces.h"
#include "support/storage/XcTypes.h"

class TComponent;

RTL_DECLARE_EXCEPTION(EXCLDataProvider, EXCLException);
RTL_DECLARE_EXCEPTION(EXCLDataConsumer, EXCLDataProvider);
RTL_DECLARE_EXCEPTION(EXCLDataItems, EXCLDataProvider);
RTL_DECLARE_EXCEPTION(EXCLDataContexts, EXCLDataProvider);

// The reason given to BeginChange and EndChange, and what the source is.
enum TDataProviderChangeReason : int {
    pcrItemAdded = 0,         // before: the list; after: the new item
    pcrItemDeleted = 1,       // before: the item; after: nil
    pcrItemChanged = 2,       // text, image or read-only state of the item
    pcrItemsChanged = 3,      // the list was cleared or its image lists replaced
    pcrProviderDestroying = 4, // consumers drop the provider
    pcrContextAdded = 5,      // before: the ancestor context; after: the new context
    pcrContextDeleted = 6,    // before: the context; after: its ancestor context
    pcrRebuildView = 8,       // the whole view is to be rebuilt
};

// Consumer attributes; the consumer of a control that shows a list carries a flat view.
inline constexpr int xcaLabel = 2;
inline constexpr int xcaList = 3;

// Whether an item is shown (IXcDataItemVisibility, IXcDataConsumerItemVisibility).
enum TXcItemVisibility : int { ivHidden = 0, ivShown = 1, ivUndetermined = 2, ivNotUsed = 3 };

// The owner-draw state handed to painters as it stands.
using TXcDrawState = uint8_t;

// The drawing surface of the painters; the GUI adapts its canvas to it.
class TXcDataCanvas {
public:
    virtual ~TXcDataCanvas() = default;
    virtual TSize TextExtent(const String& text) = 0;
    // Writes Text at (X, Y), clipped to Rect.
    virtual void TextRect(const TRect& rect, int x, int y, const String& text) = 0;
};

class IXcDataProvider;
class IXcDataItems;
class IXcDataItem;
class IXcDataContexts;
class IXcDataContext;
class IXcDataConsumer;
class IXcDataProviderListener;
class IXcDataConsumerLinkNotify;

class IXcDataProvider : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{62A7A17D-1E21-427E-861D-C92FBB9B09A6}");
    virtual TIntfPtr<IXcDataItems> RootItems() = 0;
    virtual void AddListener(IXcDataProviderListener* listener) = 0;
    virtual void RemoveListener(IXcDataProviderListener* listener) = 0;
    virtual void BeginChange(TDataProviderChangeReason reason, IInterface* source) = 0;
    virtual void EndChange(TDataProviderChangeReason reason, IInterface* source) = 0;
    // The consumer extension classes the provider's consumers carry.
    virtual std::vector<TClass> ExtensionClasses() = 0;
    virtual void AttachConsumer(IXcDataConsumer* consumer) = 0;
    virtual TIntfPtr<IXcDataConsumer> CurrentConsumer() = 0;
    virtual void DetachConsumer() = 0;
    virtual void EnterContext(IXcDataContext* context) = 0;
    virtual TIntfPtr<IXcDataContext> CurrentContext() = 0;
    virtual void LeaveContext() = 0;
};

class IXcDataItems : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{93747660-24FB-4294-BF4E-C7F88EA23983}");
    virtual int Count() = 0;
    virtual TIntfPtr<IXcDataItem> Item(int index) = 0;
    // A path of IDs separated by "\" or "/"; ".." is the parent level.
    virtual TIntfPtr<IXcDataItem> ItemByID(const String& id) = 0;
    virtual TIntfPtr<IXcDataItem> ItemByIndexPath(std::span<const int> indexes) = 0;
    // The item whose sub-list this is; nil for a root list.
    virtual TIntfPtr<IXcDataItem> Parent() = 0;
    virtual TIntfPtr<IXcDataProvider> Provider() = 0;
    virtual TObject* Implementer() = 0;
    // Whether the items live by their references rather than by the list.
    virtual bool IsDynamic() = 0;
    virtual void ContextDestroying(IXcDataContext* context) = 0;
};

class IXcDataItem : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{C965CF64-A1F2-44A4-B856-3A4EC6B693E1}");
    virtual TIntfPtr<IXcDataItems> Items() = 0;
    virtual int Index() = 0;
    virtual TObject* Implementer() = 0;
    virtual String ID() = 0;
    virtual void ContextDestroying(IXcDataContext* context) = 0;
    virtual bool IsParentOf(IXcDataItem* item, bool directOnly) = 0;
    virtual bool IsDeletable() = 0;
};

class IXcDataContexts : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{BA5DC787-29C6-40FA-9542-F0A1E92A2B30}");
    virtual TIntfPtr<IXcDataProvider> Provider() = 0;
    // The context this list belongs to; nil for a provider's root list.
    virtual TIntfPtr<IXcDataContext> Ancestor() = 0;
    virtual int Count() = 0;
    virtual TIntfPtr<IXcDataContext> Context(int index) = 0;
    // A path of names separated by "\" or "/"; ".." is the ancestor's list.
    virtual TIntfPtr<IXcDataContext> ContextByName(const String& name) = 0;
    virtual int IndexOf(IXcDataContext* context) = 0;
};

class IXcDataContext : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{F226D92A-3493-4EF8-9CE6-037357EB0CEA}");
    virtual TObject* Implementer() = 0;
    virtual TIntfPtr<IXcDataContexts> Contexts() = 0;
    virtual String Name() = 0;
    virtual bool IsDeletable() = 0;
};

class IXcDataConsumer : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{B2F18D03-F615-4AA2-A51A-74D330C05C0E}");
    // The control that owns the consumer.
    virtual TComponent* VCLComponent() = 0;
    virtual bool AttributeApplies(int attribute) = 0;
};

class IXcDataItemText : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{94FA56D9-281B-4252-B46D-15E7BADA70DA}");
    virtual String Caption() = 0;
    virtual void SetCaption(const String& value) = 0;
    virtual bool Editable() = 0;
};

class IXcDataItemGlyph : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{6425D73A-90CF-42ED-9AB2-63125A4C0774}");
    virtual TAlignment Alignment() = 0;
    virtual void SetAlignment(TAlignment value) = 0;
    virtual int ImageIndex() = 0;
    virtual void SetImageIndex(int value) = 0;
    virtual int SelectedIndex() = 0;
    virtual void SetSelectedIndex(int value) = 0;
};

class IXcDataItemFinder : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{0F5BDC79-893B-45C9-94E9-C2B2FD4ABFE7}");
    virtual TIntfPtr<IXcDataItem> Find(const String& id, bool recursive) = 0;
};

class IXcDataItemsPainter : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{4EA490F4-7CCF-44A1-AA26-5320CDE9FAFC}");
    virtual void DrawItemByIndex(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state, int index) = 0;
    // Index -1 gives the average item size.
    virtual TSize MeasureItemByIndex(TXcDataCanvas& canvas, int index) = 0;
    virtual void DrawItem(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state, IXcDataItem* item) = 0;
    virtual TSize MeasureItem(TXcDataCanvas& canvas, IXcDataItem* item) = 0;
    virtual TSize AverageItemSize(TXcDataCanvas& canvas) = 0;
};

class IXcDataItemPainter : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{9E877A0D-01C2-4204-AA74-84D6516BBEB9}");
    virtual void Draw(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state) = 0;
    virtual TSize Measure(TXcDataCanvas& canvas) = 0;
};

class IXcDataItemsEditor : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{76611CC0-9DCD-4394-8B6E-1ADEF1942BC3}");
    virtual TIntfPtr<IXcDataItem> Add(IXcDataItem* item) = 0;
    virtual TIntfPtr<IXcDataItem> New() = 0;
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    // Clears the caller's reference; the item leaves the list unless other references hold it.
    virtual void Remove(TIntfPtr<IXcDataItem>& item) = 0;
};

// The image lists are components that the framework never uses itself.
class IXcDataItemsImageLists : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{735755A6-AD11-460C-B985-46464D73EDBC}");
    virtual TComponent* DisabledImages() = 0;
    virtual void SetDisabledImages(TComponent* value) = 0;
    virtual TComponent* HotImages() = 0;
    virtual void SetHotImages(TComponent* value) = 0;
    virtual TComponent* Images() = 0;
    virtual void SetImages(TComponent* value) = 0;
};

class IXcDataContextDependent : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7067F5C1-05DC-4DAC-A595-AF9151695FBB}");
    virtual void RevertToAncestor() = 0;
    virtual bool IsEqualToAncestor() = 0;
};

class IXcDataItemVisibility : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5BD81E0B-DAD2-4560-943A-205E0FF2A97F}");
    // The item's own visibility.
    virtual TXcItemVisibility Visibility() = 0;
};

class IXcDataConsumerItemVisibility : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{09EBDED8-502E-4C2E-9842-312850FF3358}");
    // The visibility of Item for this consumer.
    virtual TXcItemVisibility ItemVisibility(IXcDataItem* item) = 0;
};

class IXcDataContextRename : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{530367D8-601C-4E36-B5F0-357160497C50}");
    virtual void SetName(const String& value) = 0;
};

class IXcDataConsumerLinkNotify : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{D1AAAFDF-BEB1-44DB-B8D8-A60080CEF3C7}");
    virtual void ItemChanged(IXcDataConsumerLinkNotify* server, IXcDataItem* item) = 0;
    virtual void LinkAdded(IXcDataConsumerLinkNotify* server) = 0;
    virtual void LinkRemoved(IXcDataConsumerLinkNotify* server) = 0;
};

class IXcDataConsumerProviderAccess : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{1F01D2E5-2ACB-4B84-AFE6-67E563FB470B}");
    virtual TIntfPtr<IXcDataProvider> Provider() = 0;
};

class IXcDataProviderListener : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5B9D1847-6D35-4D9C-8BC2-2054997AB120}");
    virtual void ProviderChanging(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) = 0;
    virtual void ProviderChanged(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) = 0;
    virtual TIntfPtr<IXcDataConsumer> Consumer() = 0;
};

class IXcDataConsumerSelection : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{F11554AE-263D-4C04-BCDB-79F04DE89609}");
    virtual TIntfPtr<IXcDataItem> SelectedItem() = 0;
    virtual void SetSelectedItem(IXcDataItem* value) = 0;
};

// Rows of the item tree for list-like controls (XcDataViewList.h).
class IXcDataConsumerFlatView : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{F3A78F68-D998-4877-8C73-1E0D2987808D}");
    virtual int AutoExpandLevel() = 0;
    virtual void SetAutoExpandLevel(int value) = 0;
    virtual bool ExpandOnNewItem() = 0;
    virtual void SetExpandOnNewItem(bool value) = 0;
    virtual int LevelIndent() = 0;
    virtual void SetLevelIndent(int value) = 0;
    virtual void RebuildView() = 0;
    virtual void ExpandTreeTo(IXcDataItem* item) = 0;
    virtual void ToggleItem(int index) = 0;
    virtual int IndexOfItem(IXcDataItem* item) = 0;
    virtual int IndexOfID(const String& id) = 0;
    virtual int ChildIndexOfItem(IXcDataItem* item) = 0;
    virtual int ChildIndexOfID(const String& id) = 0;
    virtual TIntfPtr<IXcDataItem> ItemAt(int index) = 0;
    virtual int ItemLevel(int index) = 0;
    virtual bool ItemIsExpanded(int index) = 0;
    virtual bool ItemHasChildren(int index) = 0;
    virtual TIntfPtr<IXcDataItem> ItemParent(int index) = 0;
    virtual int ItemParentIndex(int index) = 0;
    virtual TIntfPtr<IXcDataItem> ItemSibling(int index) = 0;
    virtual int ItemSiblingIndex(int index) = 0;
    virtual TIntfPtr<IXcDataItem> SubItem(IXcDataItem* parent, int n) = 0;
    virtual TIntfPtr<IXcDataItem> SubItem(int parentIndex, int n) = 0;
    virtual int SubItemIndex(IXcDataItem* parent, int n) = 0;
    virtual int SubItemIndex(int parentIndex, int n) = 0;
    virtual std::vector<uint32_t> ItemGroupInfo(int index) = 0;
    virtual int Count() = 0;
};
