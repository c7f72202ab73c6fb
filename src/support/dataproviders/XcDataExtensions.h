#pragma once
// Extensions that give items their texts and images and item lists their
// image lists, painter and editor. Every change is announced to the provider
// of the list with BeginChange and EndChange.

#include <memory>
#include <vector>

#include "support/dataproviders/XcDataItems.h"

class TXcImageListLink;

// Announces Reason with Source around Change on Provider, when there is one.
template <class Change>
void XcAnnounceChange(const TIntfPtr<IXcDataProvider>& provider, TDataProviderChangeReason reason,
                      IInterface* before, IInterface* after, Change&& change) {
    if (provider) provider->BeginChange(reason, before);
    change();
    if (provider) provider->EndChange(reason, after);
}

// --- Item texts -------------------------------------------------------------

class TXcBaseDataItemTextImpl : public TImplements<TXcDataItemAggregatedObject, IXcDataItemText> {
    RTL_CLASS(TXcBaseDataItemTextImpl, TXcDataItemAggregatedObject);

public:
    using TImplements::TImplements;

protected:
    // Reason 2 for the item around Change.
    template <class Change>
    void ItemChange(Change&& change) {
        XcAnnounceChange(Provider(), pcrItemChanged, Item(), Item(), change);
    }
};

class TXcDataItemTextImpl : public TXcBaseDataItemTextImpl {
    RTL_CLASS(TXcDataItemTextImpl, TXcBaseDataItemTextImpl);

public:
    explicit TXcDataItemTextImpl(TExtensibleInterfacedPersistent* owner) : TXcBaseDataItemTextImpl(owner) {}

    String Caption() override { return text_; }
    // A different text (compared case-sensitively) is stored and announced.
    void SetCaption(const String& value) override;
    bool Editable() override { return true; }
    const String& Text() const noexcept { return text_; }
    void SetText(const String& value);

private:
    String text_;
};

// Texts per context: a context without a text of its own shows its ancestors'.
class TXcDataItemContextTextImpl : public TImplements<TXcDataItemTextImpl, IXcDataContextDependent> {
    RTL_CLASS(TXcDataItemContextTextImpl, TXcDataItemTextImpl);

public:
    explicit TXcDataItemContextTextImpl(TExtensibleInterfacedPersistent* owner) : TImplements(owner) {}

    // The text of the provider's current context or of its nearest ancestor
    // that has one; the plain text when none has.
    String Caption() override;
    // Stored for the current context; the plain text without one.
    void SetCaption(const String& value) override;
    // Removes the current context's own text.
    void RevertToAncestor() override;
    bool IsEqualToAncestor() override;
    // A context that goes takes its text along.
    void ContextDestroying(IXcDataContext* context) override;

private:
    struct TContextText {
        TObject* Context;
        String Text;
    };
    TIntfPtr<IXcDataContext> CurrentContext() const;
    std::vector<TContextText>::iterator Find(IXcDataContext* context);

    std::vector<TContextText> texts_;
};

class TXcDataItemBlockableTextImpl : public TXcDataItemTextImpl {
    RTL_CLASS(TXcDataItemBlockableTextImpl, TXcDataItemTextImpl);

public:
    explicit TXcDataItemBlockableTextImpl(TExtensibleInterfacedPersistent* owner) : TXcDataItemTextImpl(owner) {}

    bool Editable() override { return !readOnly_; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value);

private:
    bool readOnly_ = false;
};

// --- Item images ------------------------------------------------------------

class TXcBaseDataItemImageImpl : public TImplements<TXcDataItemAggregatedObject, IXcDataItemGlyph> {
    RTL_CLASS(TXcBaseDataItemImageImpl, TXcDataItemAggregatedObject);

public:
    using TImplements::TImplements;
};

class TXcDataItemImageImpl : public TXcBaseDataItemImageImpl {
    RTL_CLASS(TXcDataItemImageImpl, TXcBaseDataItemImageImpl);

public:
    explicit TXcDataItemImageImpl(TExtensibleInterfacedPersistent* owner) : TXcBaseDataItemImageImpl(owner) {}

    TAlignment Alignment() override { return alignment_; }
    void SetAlignment(TAlignment value) override;
    int ImageIndex() override { return imageIndex_; }
    void SetImageIndex(int value) override;
    int SelectedIndex() override { return selectedIndex_; }
    void SetSelectedIndex(int value) override;

private:
    // A new value is stored with reason 2 for the item around it.
    template <class T>
    void Change(T& field, T value);

    TAlignment alignment_ = taLeftJustify;
    int imageIndex_ = 0;
    int selectedIndex_ = 0;
};

// --- List image lists -------------------------------------------------------

class TXcBaseDataItemsImagesImpl : public TImplements<TXcDataItemsAggregatedObject, IXcDataItemsImageLists> {
    RTL_CLASS(TXcBaseDataItemsImagesImpl, TXcDataItemsAggregatedObject);

public:
    using TImplements::TImplements;
};

// The image lists are not owned; one that is freed is forgotten.
class TXcCustomDataItemsImages : public TXcBaseDataItemsImagesImpl {
    RTL_CLASS(TXcCustomDataItemsImages, TXcBaseDataItemsImagesImpl);

public:
    explicit TXcCustomDataItemsImages(TExtensibleInterfacedPersistent* owner);
    ~TXcCustomDataItemsImages() override;

    TComponent* DisabledImages() override { return images_[0]; }
    void SetDisabledImages(TComponent* value) override { Change(0, value); }
    TComponent* HotImages() override { return images_[1]; }
    void SetHotImages(TComponent* value) override { Change(1, value); }
    TComponent* Images() override { return images_[2]; }
    void SetImages(TComponent* value) override { Change(2, value); }

private:
    friend class TXcImageListLink;
    // A new list is stored with reason 3 for the list around it.
    void Change(int slot, TComponent* value);
    void Forget(TComponent* images) noexcept;

    TComponent* images_[3] = {};
    std::unique_ptr<TXcImageListLink> link_;
};

// --- List painters ----------------------------------------------------------

class TXcBaseDataItemsRenderer : public TImplements<TXcDataItemsAggregatedObject, IXcDataItemsPainter> {
    RTL_CLASS(TXcBaseDataItemsRenderer, TXcDataItemsAggregatedObject);

public:
    using TImplements::TImplements;

    // Raises EXCLDataItems "List index out of bounds (%d)" outside 0 .. Count-1.
    void DrawItemByIndex(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state, int index) override;
    // -1 gives AverageItemSize; other indexes as DrawItemByIndex.
    TSize MeasureItemByIndex(TXcDataCanvas& canvas, int index) override;
    // The item's own IXcDataItemPainter when it answers one, else DoDrawItem.
    void DrawItem(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state, IXcDataItem* item) override;
    TSize MeasureItem(TXcDataCanvas& canvas, IXcDataItem* item) override;

protected:
    virtual void DoDrawItem(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state, IXcDataItem* item) = 0;
    virtual TSize DoMeasureItem(TXcDataCanvas& canvas, IXcDataItem* item) = 0;

private:
    TIntfPtr<IXcDataItem> ItemAt(int index);
};

// Items as their texts.
class TXcCustomDataItemsTextRenderer : public TXcBaseDataItemsRenderer {
    RTL_CLASS(TXcCustomDataItemsTextRenderer, TXcBaseDataItemsRenderer);

public:
    explicit TXcCustomDataItemsTextRenderer(TExtensibleInterfacedPersistent* owner) : TXcBaseDataItemsRenderer(owner) {}

    // The extent of "WyWyWyWyWyWyWyWyWyWy".
    TSize AverageItemSize(TXcDataCanvas& canvas) override;

protected:
    void DoDrawItem(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state, IXcDataItem* item) override;
    TSize DoMeasureItem(TXcDataCanvas& canvas, IXcDataItem* item) override;
};

// --- List editors -----------------------------------------------------------

class TXcBaseDataItemsManagement : public TImplements<TXcDataItemsAggregatedObject, IXcDataItemsEditor> {
    RTL_CLASS(TXcBaseDataItemsManagement, TXcDataItemsAggregatedObject);

public:
    using TImplements::TImplements;
};

// Edits the items of its TXcDataItemsList owner; New is left to descendants.
class TXcBaseDataItemsListManagement : public TXcBaseDataItemsManagement {
    RTL_CLASS(TXcBaseDataItemsListManagement, TXcBaseDataItemsManagement);

public:
    using TXcBaseDataItemsManagement::TXcBaseDataItemsManagement;

    // Reason 0: before with the list, after with the item.
    TIntfPtr<IXcDataItem> Add(IXcDataItem* item) override;
    // Reason 3 for the list; the items are freed.
    void Clear() override;
    // Reason 1: before with the item, after with nil. Raises EXCLDataItems
    // "Item cannot be deleted" for an item that is not deletable.
    void Delete(int index) override;
    void Remove(TIntfPtr<IXcDataItem>& item) override;

protected:
    TXcDataItemsList& List() const;
};

// --- One-shot renderers -----------------------------------------------------

// Draws or measures one item with a fresh instance of a render class:
//   TXcDP_ProviderBaseRender::Draw<TXcDP_ProviderTextOnlyRender>(item, canvas, rect, state);
class TXcDP_ProviderBaseRender : public TObject {
public:
    template <class Render>
    static void Draw(IXcDataItem* item, TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state) {
        Render instance(item, canvas, state, rect);
        TXcDP_ProviderBaseRender& render = instance;
        render.Prepare(false);
        render.DoDraw();
    }
    template <class Render>
    static TSize Measure(IXcDataItem* item, TXcDataCanvas& canvas, TXcDrawState state) {
        Render instance(item, canvas, state, TRect());
        TXcDP_ProviderBaseRender& render = instance;
        render.Prepare(true);
        return render.DoMeasure();
    }

    TXcDP_ProviderBaseRender(IXcDataItem* item, TXcDataCanvas& canvas, TXcDrawState state, const TRect& rect)
        : item_(item), canvas_(canvas), state_(state), rect_(rect) {}

protected:
    virtual void Prepare(bool) {}
    virtual void DoDraw() = 0;
    virtual TSize DoMeasure() = 0;

    TIntfPtr<IXcDataItem> item_;
    TXcDataCanvas& canvas_;
    TXcDrawState state_;
    TRect rect_;
};

class TXcDP_ProviderTextOnlyRender : public TXcDP_ProviderBaseRender {
public:
    using TXcDP_ProviderBaseRender::TXcDP_ProviderBaseRender;

protected:
    // The item's caption, or a note that it has no text.
    void Prepare(bool forMeasure) override;
    // The text at the top-left corner, clipped to the rectangle.
    void DoDraw() override;
    TSize DoMeasure() override;

    String text_;
    bool hasNoText_ = false;
};
