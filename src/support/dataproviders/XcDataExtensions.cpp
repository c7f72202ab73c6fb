#include "support/dataproviders/XcDataExtensions.h"

#include <algorithm>

#include "platform/rtl/Component.h"
#include "support/dataproviders/XcDataProviderTexts.h"

RTL_PUBLISHED_NONE(TXcBaseDataItemTextImpl);
RTL_PUBLISHED(TXcDataItemTextImpl, c) { c.Property("Text", &TXcDataItemTextImpl::Text, &TXcDataItemTextImpl::SetText); }
RTL_PUBLISHED_NONE(TXcDataItemContextTextImpl);
RTL_PUBLISHED(TXcDataItemBlockableTextImpl, c) {
    c.Property("ReadOnly", &TXcDataItemBlockableTextImpl::ReadOnly, &TXcDataItemBlockableTextImpl::SetReadOnly)
        .Default(false);
}
RTL_PUBLISHED_NONE(TXcBaseDataItemImageImpl);
RTL_PUBLISHED(TXcDataItemImageImpl, c) {
    c.Property("Alignment", &TXcDataItemImageImpl::Alignment, &TXcDataItemImageImpl::SetAlignment)
        .Default(taLeftJustify);
    c.Property("ImageIndex", &TXcDataItemImageImpl::ImageIndex, &TXcDataItemImageImpl::SetImageIndex).Default(0);
    c.Property("SelectedIndex", &TXcDataItemImageImpl::SelectedIndex, &TXcDataItemImageImpl::SetSelectedIndex)
        .Default(0);
}
RTL_PUBLISHED_NONE(TXcBaseDataItemsImagesImpl);
RTL_PUBLISHED(TXcCustomDataItemsImages, c) {
    c.Property("DisabledImages", &TXcCustomDataItemsImages::DisabledImages, &TXcCustomDataItemsImages::SetDisabledImages);
    c.Property("HotImages", &TXcCustomDataItemsImages::HotImages, &TXcCustomDataItemsImages::SetHotImages);
    c.Property("Images", &TXcCustomDataItemsImages::Images, &TXcCustomDataItemsImages::SetImages);
}
RTL_PUBLISHED_NONE(TXcBaseDataItemsRenderer);
RTL_PUBLISHED_NONE(TXcCustomDataItemsTextRenderer);
RTL_PUBLISHED_NONE(TXcBaseDataItemsManagement);
RTL_PUBLISHED_NONE(TXcBaseDataItemsListManagement);

// --- Texts ------------------------------------------------------------------

void TXcDataItemTextImpl::SetCaption(const String& value) {
    if (value != Caption()) ItemChange([&] { text_ = value; });
}

void TXcDataItemTextImpl::SetText(const String& value) { TXcDataItemTextImpl::SetCaption(value); }

TIntfPtr<IXcDataContext> TXcDataItemContextTextImpl::CurrentContext() const {
    const TIntfPtr<IXcDataProvider> provider = Provider();
    return provider ? provider->CurrentContext() : nullptr;
}

std::vector<TXcDataItemContextTextImpl::TContextText>::iterator TXcDataItemContextTextImpl::Find(
    IXcDataContext* context) {
    const TObject* object = context ? context->Implementer() : nullptr;
    return std::find_if(texts_.begin(), texts_.end(), [&](const TContextText& t) { return t.Context == object; });
}

String TXcDataItemContextTextImpl::Caption() {
    for (TIntfPtr<IXcDataContext> context = CurrentContext(); context;) {
        if (const auto it = Find(context.get()); it != texts_.end()) return it->Text;
        const TIntfPtr<IXcDataContexts> list = context->Contexts();
        context = list ? list->Ancestor() : nullptr;
    }
    return Text();
}

void TXcDataItemContextTextImpl::SetCaption(const String& value) {
    const TIntfPtr<IXcDataContext> context = CurrentContext();
    if (!context) return TXcDataItemTextImpl::SetCaption(value);
    if (value == Caption()) return;
    ItemChange([&] {
        if (const auto it = Find(context.get()); it != texts_.end()) it->Text = value;
        else texts_.push_back({context->Implementer(), value});
    });
}

void TXcDataItemContextTextImpl::RevertToAncestor() {
    const TIntfPtr<IXcDataContext> context = CurrentContext();
    if (const auto it = Find(context.get()); context && it != texts_.end())
        ItemChange([&] { texts_.erase(Find(context.get())); });
}

bool TXcDataItemContextTextImpl::IsEqualToAncestor() {
    const TIntfPtr<IXcDataContext> context = CurrentContext();
    return !context || Find(context.get()) == texts_.end();
}

void TXcDataItemContextTextImpl::ContextDestroying(IXcDataContext* context) {
    if (const auto it = Find(context); context && it != texts_.end()) texts_.erase(it);
}

void TXcDataItemBlockableTextImpl::SetReadOnly(bool value) {
    if (value != readOnly_) ItemChange([&] { readOnly_ = value; });
}

// --- Images -----------------------------------------------------------------

template <class T>
void TXcDataItemImageImpl::Change(T& field, T value) {
    if (value != field) XcAnnounceChange(Provider(), pcrItemChanged, Item(), Item(), [&] { field = value; });
}

void TXcDataItemImageImpl::SetAlignment(TAlignment value) { Change(alignment_, value); }
void TXcDataItemImageImpl::SetImageIndex(int value) { Change(imageIndex_, value); }
void TXcDataItemImageImpl::SetSelectedIndex(int value) { Change(selectedIndex_, value); }

// Tells the extension when one of its image lists is freed.
class TXcImageListLink : public TComponent {
public:
    explicit TXcImageListLink(TXcCustomDataItemsImages& images) : TComponent(nullptr), images_(images) {}

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove) images_.Forget(component);
    }

private:
    TXcCustomDataItemsImages& images_;
};

TXcCustomDataItemsImages::TXcCustomDataItemsImages(TExtensibleInterfacedPersistent* owner)
    : TXcBaseDataItemsImagesImpl(owner), link_(std::make_unique<TXcImageListLink>(*this)) {}

TXcCustomDataItemsImages::~TXcCustomDataItemsImages() = default;

void TXcCustomDataItemsImages::Change(int slot, TComponent* value) {
    TComponent*& images = images_[slot];
    if (value == images) return;
    XcAnnounceChange(Provider(), pcrItemsChanged, Items(), Items(), [&] {
        if (images && std::count(std::begin(images_), std::end(images_), images) == 1)
            images->RemoveFreeNotification(link_.get());
        images = value;
        if (value) value->FreeNotification(link_.get());
    });
}

void TXcCustomDataItemsImages::Forget(TComponent* images) noexcept {
    std::replace(std::begin(images_), std::end(images_), images, static_cast<TComponent*>(nullptr));
}

// --- Painters ---------------------------------------------------------------

TIntfPtr<IXcDataItem> TXcBaseDataItemsRenderer::ItemAt(int index) {
    IXcDataItems* items = Items();
    if (index < 0 || index >= items->Count()) throw EXCLDataItems(XcListIndexText(index));
    return items->Item(index);
}

void TXcBaseDataItemsRenderer::DrawItemByIndex(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state,
                                               int index) {
    DrawItem(canvas, rect, state, ItemAt(index).get());
}

TSize TXcBaseDataItemsRenderer::MeasureItemByIndex(TXcDataCanvas& canvas, int index) {
    if (index == -1) return AverageItemSize(canvas);
    return MeasureItem(canvas, ItemAt(index).get());
}

void TXcBaseDataItemsRenderer::DrawItem(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state,
                                        IXcDataItem* item) {
    TIntfPtr<IXcDataItemPainter> painter;
    if (Supports(item, painter)) painter->Draw(canvas, rect, state);
    else DoDrawItem(canvas, rect, state, item);
}

TSize TXcBaseDataItemsRenderer::MeasureItem(TXcDataCanvas& canvas, IXcDataItem* item) {
    TIntfPtr<IXcDataItemPainter> painter;
    if (Supports(item, painter)) return painter->Measure(canvas);
    return DoMeasureItem(canvas, item);
}

TSize TXcCustomDataItemsTextRenderer::AverageItemSize(TXcDataCanvas& canvas) {
    return canvas.TextExtent(u"WyWyWyWyWyWyWyWyWyWy");
}

void TXcCustomDataItemsTextRenderer::DoDrawItem(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState state,
                                                IXcDataItem* item) {
    TXcDP_ProviderBaseRender::Draw<TXcDP_ProviderTextOnlyRender>(item, canvas, rect, state);
}

TSize TXcCustomDataItemsTextRenderer::DoMeasureItem(TXcDataCanvas& canvas, IXcDataItem* item) {
    return TXcDP_ProviderBaseRender::Measure<TXcDP_ProviderTextOnlyRender>(item, canvas, 0);
}

void TXcDP_ProviderTextOnlyRender::Prepare(bool) {
    TIntfPtr<IXcDataItemText> text;
    if (Supports(item_, text)) {
        text_ = text->Caption();
    } else {
        text_ = LoadResString(RsXcNoItemText);
        hasNoText_ = true;
    }
}

void TXcDP_ProviderTextOnlyRender::DoDraw() { canvas_.TextRect(rect_, rect_.Left, rect_.Top, text_); }

TSize TXcDP_ProviderTextOnlyRender::DoMeasure() { return canvas_.TextExtent(text_); }

// --- Editor -----------------------------------------------------------------

TXcDataItemsList& TXcBaseDataItemsListManagement::List() const {
    auto* list = dynamic_cast<TXcDataItemsList*>(Owner());
    if (!list) throw EInvalidCast("Invalid class typecast");
    return *list;
}

TIntfPtr<IXcDataItem> TXcBaseDataItemsListManagement::Add(IXcDataItem* item) {
    TXcDataItemsList& list = List();
    XcAnnounceChange(Provider(), pcrItemAdded, Items(), item, [&] { list.InternalAdd(item); });
    return TIntfPtr<IXcDataItem>(item);
}

void TXcBaseDataItemsListManagement::Clear() {
    TXcDataItemsList& list = List();
    XcAnnounceChange(Provider(), pcrItemsChanged, Items(), Items(), [&] {
        while (list.Count() > 0) list.InternalDelete(list.Count() - 1);
    });
}

void TXcBaseDataItemsListManagement::Delete(int index) {
    TXcDataItemsList& list = List();
    if (index < 0 || index >= list.Count()) return;
    // No reference may outlive the item: it is not counted.
    IXcDataItem* item;
    {
        const TIntfPtr<IXcDataItem> held = list.Item(index);
        if (!held->IsDeletable()) throw EXCLDataItems(LoadResString(RsXcItemNotDeletable));
        item = held.get();
    }
    const TIntfPtr<IXcDataProvider> provider = Provider();
    if (provider) provider->BeginChange(pcrItemDeleted, item);
    list.InternalDelete(index);
    if (provider) provider->EndChange(pcrItemDeleted, nullptr);
}

void TXcBaseDataItemsListManagement::Remove(TIntfPtr<IXcDataItem>& item) {
    if (!item) return;
    if (!item->IsDeletable()) throw EXCLDataItems(LoadResString(RsXcItemNotDeletable));
    auto* object = dynamic_cast<TExtensibleInterfacedPersistent*>(item->Implementer());
    // Pinned first: the caller's reference may be the last that counts.
    if (object) object->PinReference();
    item.Reset();
    if (!object) return;
    if (object->RefCount() != 1) {
        object->UnpinReference(); // other references hold it
        return;
    }
    const TIntfPtr<IXcDataProvider> provider = Provider();
    if (provider) {
        TIntfPtr<IXcDataItem> announced;
        Supports(static_cast<TObject*>(object), announced);
        provider->BeginChange(pcrItemDeleted, announced.get());
    }
    object->UnpinReference();
    TXcDataItemsList& list = List();
    if (const int index = list.IndexOfObject(object); index >= 0) list.InternalDelete(index);
    if (provider) provider->EndChange(pcrItemDeleted, nullptr);
}
