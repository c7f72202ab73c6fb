#include "support/dataproviders/XcDataItems.h"

#include <cstring>

#include "platform/rtl/Component.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Lists.h"
#include "support/dataproviders/XcDataProviderTexts.h"

const TTypeInfo* XcDataItemIDType() {
    static const TTypeInfo* type = NamedTypeInfo(TypeInfo<String>(), u"TXcDataItemID");
    return type;
}

RTL_PUBLISHED(TXcBaseDataItem, c) {
    c.Property("ID", &TXcBaseDataItem::ID, &TXcBaseDataItem::SetID).OfType(XcDataItemIDType());
}
RTL_PUBLISHED_NONE(TXcBaseDataItems);
RTL_PUBLISHED_NONE(TXcDataItemsList);
RTL_PUBLISHED_NONE(TXcDataItemAggregatedObject);
RTL_PUBLISHED_NONE(TXcDataItemsAggregatedObject);
RTL_PUBLISHED_NONE(TXcBaseDataItemSubItems);

namespace {
bool IsSame(IXcDataItem* a, const IXcDataItem* b) { return a == b; }

// The "ClassName" entry that starts every streamed object; the class must descend from Base.
TClass ReadStreamedClass(TReader& reader, TClass base) {
    if (!SameText(reader.ReadStr(), u"ClassName")) throw EReadError("Missing ClassName property");
    const TClass cls = GetClass(reader.ReadString());
    if (!cls || !cls->InheritsFrom(base)) throw EReadError("Invalid class type");
    return cls;
}

void WriteStreamedObject(TWriter& writer, TPersistent* object) {
    writer.WriteListBegin();
    writer.WriteStr(u"ClassName");
    writer.WriteString(object->ClassName());
    writer.WriteProperties(object);
    writer.WriteListEnd();
}

// Empties the writer's property path while Write runs.
template <class Write>
void WithoutPropPath(TWriter& writer, Write write) {
    const String path = writer.PropPath();
    writer.SetPropPath(String());
    write();
    writer.SetPropPath(path);
}

void ExpectCollection(TReader& reader) {
    if (reader.ReadValue() != vaCollection) throw EReadError("Expected collection");
}
} // namespace

TIntfPtr<IXcDataItems> SubListOf(IXcDataItem* item) {
    TIntfPtr<IXcDataItems> subList;
    if (item) Supports(item, subList);
    return subList;
}

String XcListIndexText(int index) { return Format(LoadResString(RsXcListIndexError), {index}); }

// --- TXcBaseDataItem --------------------------------------------------------

TXcBaseDataItem::TXcBaseDataItem(IXcDataItems* list) : list_(list) {
    if (list && list->IsDynamic()) listReference_ = list;
}

TXcBaseDataItem::~TXcBaseDataItem() {
    ClearExtensions();
    if (list_)
        if (auto* owner = dynamic_cast<TXcBaseDataItems*>(list_->Implementer())) owner->ItemDestroyed(this);
}

void TXcBaseDataItem::AfterConstruction() {
    InitID();
    TExtensibleInterfacedPersistent::AfterConstruction();
}

void TXcBaseDataItem::SetID(const String& value) {
    if (value.empty()) InitID();
    else id_ = value;
}

void TXcBaseDataItem::InitID() {
    const TGUID guid = CreateGUID();
    uint8_t bytes[sizeof guid];
    static_assert(sizeof guid == 16);
    std::memcpy(bytes, &guid, sizeof bytes);
    id_.clear();
    for (uint8_t byte : bytes) id_ += IntToHex(static_cast<int>(byte), 2);
}

template <class Count>
int32_t TXcBaseDataItem::CountInNoContext(Count count) {
    const TIntfPtr<IXcDataProvider> provider = list_ ? list_->Provider() : nullptr;
    if (provider) provider->EnterContext(nullptr);
    int32_t result = -1;
    try {
        if (list_ && list_->IsDynamic()) result = count();
    } catch (...) {
        if (provider) provider->LeaveContext();
        throw;
    }
    // The count may have freed this object: only locals from here on.
    if (provider) provider->LeaveContext();
    return result;
}

int32_t TXcBaseDataItem::_AddRef() {
    return CountInNoContext([this] { return CountedAddRef(); });
}

int32_t TXcBaseDataItem::_Release() {
    return CountInNoContext([this] { return CountedRelease(); });
}

TIntfPtr<IXcDataItems> TXcBaseDataItem::Items() { return TIntfPtr<IXcDataItems>(list_); }

int TXcBaseDataItem::Index() {
    if (!list_) return -1;
    for (int i = list_->Count(); i-- > 0;)
        if (IsSame(list_->Item(i).get(), this)) return i;
    return -1;
}

void TXcBaseDataItem::ContextDestroying(IXcDataContext* context) {
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TXcDataItemAggregatedObject*>(Extensions(i)))
            extension->ContextDestroying(context);
    if (const TIntfPtr<IXcDataItems> subList = SubListOf(this)) subList->ContextDestroying(context);
}

bool TXcBaseDataItem::IsParentOf(IXcDataItem* item, bool directOnly) {
    TIntfPtr<IXcDataItems> list = item ? item->Items() : nullptr;
    TIntfPtr<IXcDataItem> parent = list ? list->Parent() : nullptr;
    if (IsSame(parent.get(), this)) return true;
    if (directOnly) return false;
    while (parent) {
        list = parent->Items();
        parent = list ? list->Parent() : nullptr;
        if (IsSame(parent.get(), this)) return true;
    }
    return false;
}

TPersistent* TXcBaseDataItem::GetOwner() const {
    if (!list_) return TExtensibleInterfacedPersistent::GetOwner();
    TIntfPtr<IInterfaceComponentReference> reference;
    if (Supports(list_->Provider(), reference)) return reference->GetComponent();
    return nullptr;
}

String TXcBaseDataItem::GetNamePath() const {
    const auto* component = dynamic_cast<const TComponent*>(GetOwner());
    const String owner = component ? component->Name() : LoadResString(RsXcUnknown);
    return owner + ": Item[" + id_ + "]";
}

void TXcBaseDataItem::RevertToAncestor() {
    for (int i = 0; i < ExtensionCount(); ++i) {
        TIntfPtr<IXcDataContextDependent> dependent;
        if (Supports(static_cast<TObject*>(Extensions(i)), dependent)) dependent->RevertToAncestor();
    }
}

bool TXcBaseDataItem::IsEqualToAncestor() {
    for (int i = 0; i < ExtensionCount(); ++i) {
        TIntfPtr<IXcDataContextDependent> dependent;
        if (Supports(static_cast<TObject*>(Extensions(i)), dependent) && !dependent->IsEqualToAncestor()) return false;
    }
    return true;
}

void TXcBaseDataItem::DefineProperties(TFiler* filer) {
    TExtensibleInterfacedPersistent::DefineProperties(filer);
    filer->DefineProperty(
        u"SubItems", [this](TReader& reader) { ReadSubItems(reader); },
        [this](TWriter& writer) { WriteSubItems(writer); }, SubListOf(this) != nullptr);
}

void TXcBaseDataItem::WriteSubItems(TWriter& writer) {
    auto* subList = dynamic_cast<TPersistent*>(SubListOf(this)->Implementer());
    WithoutPropPath(writer, [&] {
        writer.WriteValue(vaCollection);
        WriteStreamedObject(writer, subList);
        writer.WriteListEnd();
    });
}

void TXcBaseDataItem::ReadSubItems(TReader& reader) {
    PinReference();
    try {
        ExpectCollection(reader);
        reader.ReadListBegin();
        const TClass cls = ReadStreamedClass(reader, TXcBaseDataItems::StaticClass());
        const int index = IndexOfExtensionClass(TXcBaseDataItemSubItems::StaticClass());
        auto* link = index >= 0 ? static_cast<TXcBaseDataItemSubItems*>(Extensions(index)) : nullptr;
        if (link && link->SubItems()->ClassType() != cls) {
            RemoveExtension(link);
            link = nullptr;
        }
        TXcBaseDataItems* subList = link ? link->SubItems() : CreateXcSubItems(cls, this);
        while (!reader.EndOfList()) reader.ReadProperty(subList);
        reader.ReadListEnd();
        reader.ReadListEnd();
    } catch (...) {
        UnpinReference();
        throw;
    }
    UnpinReference();
}

// --- TXcBaseDataItems -------------------------------------------------------

TXcBaseDataItems::TXcBaseDataItems(IXcDataProvider* provider) : provider_(provider) {}

TXcBaseDataItems::TXcBaseDataItems(IXcDataItem* parent) : parent_(parent) {
    if (!parent) return;
    if (const TIntfPtr<IXcDataItems> parentList = parent->Items()) {
        provider_ = parentList->Provider();
        if (parentList->IsDynamic()) parentReference_ = parent;
    }
    if (auto* owner = dynamic_cast<TExtensibleInterfacedPersistent*>(parent->Implementer()))
        subItemsLink_ = XcCreate<TXcBaseDataItemSubItems>(owner, this);
}

TXcBaseDataItems::~TXcBaseDataItems() {
    ClearExtensions();
    if (subItemsLink_) {
        // The link counts this list, which is going already.
        subItemsLink_->subItems_.Detach();
        subItemsLink_->Owner()->RemoveExtension(subItemsLink_);
    }
}

TIntfPtr<IXcDataItem> TXcBaseDataItems::ItemByID(const String& path) {
    IXcDataItems* current = this;
    TIntfPtr<IXcDataItems> held; // keeps a list other than this one alive
    String rest = path;
    const auto moveTo = [&](TIntfPtr<IXcDataItems> list) {
        held = std::move(list);
        current = held.get();
    };
    while (current && !rest.empty()) {
        const size_t separator = rest.find_first_of(u"\\/");
        const String segment = rest.substr(0, separator);
        rest = separator == String::npos ? String() : rest.substr(separator + 1);
        if (segment == u"..") {
            const TIntfPtr<IXcDataItem> parent = Parent();
            moveTo(parent ? parent->Items() : nullptr);
        } else if (segment.empty() && parent_) {
            moveTo(provider_ ? provider_->RootItems() : nullptr);
        } else {
            TIntfPtr<IXcDataItem> match;
            for (int i = current->Count(); i-- > 0 && !match;) {
                TIntfPtr<IXcDataItem> item = current->Item(i);
                if (item && AnsiSameText(item->ID(), segment)) match = std::move(item);
            }
            if (!match) continue; // the rest of the path is searched in the same list
            if (rest.empty()) return match;
            moveTo(SubListOf(match.get()));
        }
    }
    return nullptr;
}

TIntfPtr<IXcDataItem> TXcBaseDataItems::ItemByIndexPath(std::span<const int> indexes) {
    IXcDataItems* current = this;
    TIntfPtr<IXcDataItems> held;
    for (size_t k = 0; k < indexes.size(); ++k) {
        const int index = indexes[k];
        if (index < 0 || index >= current->Count()) return nullptr;
        TIntfPtr<IXcDataItem> item = current->Item(index);
        if (k + 1 == indexes.size()) return item;
        held = SubListOf(item.get());
        current = held.get();
        if (!current) return nullptr;
    }
    return nullptr;
}

void TXcBaseDataItems::ContextDestroying(IXcDataContext* context) {
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TXcDataItemsAggregatedObject*>(Extensions(i)))
            extension->ContextDestroying(context);
    for (int i = 0; i < Count(); ++i)
        if (const TIntfPtr<IXcDataItem> item = Item(i)) item->ContextDestroying(context);
}

TIntfPtr<IXcDataItem> TXcBaseDataItems::Find(const String& id, bool recursive) {
    TIntfPtr<IXcDataItem> found = ItemByID(id);
    if (found || !recursive) return found;
    for (int i = Count(); i-- > 0;) {
        TIntfPtr<IXcDataItemFinder> finder;
        if (Supports(SubListOf(Item(i).get()), finder))
            if ((found = finder->Find(id, true))) return found;
    }
    return nullptr;
}

bool TXcBaseDataItems::IsStreamableItem(IXcDataItem* item) {
    const TObject* object = item->Implementer();
    const TClass cls = GetClass(object->ClassName());
    return cls && cls == object->ClassType() && cls->InheritsFrom(TXcBaseDataItem::StaticClass());
}

void TXcBaseDataItems::DefineProperties(TFiler* filer) {
    TExtensibleInterfacedPersistent::DefineProperties(filer);
    filer->DefineProperty(
        u"Items", [this](TReader& reader) { ReadItems(reader); }, [this](TWriter& writer) { WriteItems(writer); },
        true);
}

void TXcBaseDataItems::WriteItems(TWriter& writer) {
    WithoutPropPath(writer, [&] {
        writer.WriteValue(vaCollection);
        for (int i = 0; i < Count(); ++i) {
            const TIntfPtr<IXcDataItem> item = Item(i);
            if (item && IsStreamableItem(item.get()))
                WriteStreamedObject(writer, dynamic_cast<TPersistent*>(item->Implementer()));
        }
        writer.WriteListEnd();
    });
}

void TXcBaseDataItems::ReadItems(TReader& reader) {
    ExpectCollection(reader);
    while (!reader.EndOfList()) {
        reader.ReadListBegin();
        TXcBaseDataItem* item = CreateXcItem(ReadStreamedClass(reader, TXcBaseDataItem::StaticClass()), this);
        try {
            InternalAdd(item);
        } catch (...) {
            delete item;
            throw;
        }
        while (!reader.EndOfList()) reader.ReadProperty(item);
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

// --- TXcDataItemsList -------------------------------------------------------

TXcDataItemsList::~TXcDataItemsList() {
    ClearExtensions();
    while (!items_.empty()) {
        TXcBaseDataItem* item = items_.back();
        items_.pop_back();
        delete item;
    }
}

void TXcDataItemsList::CheckIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) throw EListError(XcListIndexText(index));
}

TIntfPtr<IXcDataItem> TXcDataItemsList::Item(int index) {
    CheckIndex(index);
    return TIntfPtr<IXcDataItem>(items_[static_cast<size_t>(index)]);
}

void TXcDataItemsList::InternalAdd(IXcDataItem* item) {
    auto* object = dynamic_cast<TXcBaseDataItem*>(item->Implementer());
    if (!object) throw EInvalidCast("Invalid class typecast");
    items_.push_back(object);
}

void TXcDataItemsList::InternalDelete(int index) {
    CheckIndex(index);
    TXcBaseDataItem* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    try {
        item->Free();
    } catch (...) {
        items_.insert(items_.begin() + index, item);
        throw;
    }
}

void TXcDataItemsList::InternalMove(int from, int to) {
    CheckIndex(from);
    CheckIndex(to);
    MoveElement(items_, from, to);
}

void TXcDataItemsList::ItemDestroyed(TXcBaseDataItem* item) { std::erase(items_, item); }

int TXcDataItemsList::IndexOfObject(const TObject* item) const {
    for (size_t i = items_.size(); i-- > 0;)
        if (items_[i] == item) return static_cast<int>(i);
    return -1;
}

// --- Extension bases --------------------------------------------------------

HRESULT TXcDataItemAggregatedObject::QueryInterface(const TGUID& iid, void** obj) {
    if (GetInterface(iid, obj)) return S_OK;
    if (GuidsEqual(iid, IXcDataContextDependent::IID)) return E_NOINTERFACE;
    return TAggregatedPersistentEx::QueryInterface(iid, obj);
}

bool TXcDataItemAggregatedObject::CanExtend(TExtensibleInterfacedPersistent* owner) const {
    return dynamic_cast<IXcDataItem*>(owner) != nullptr;
}

IXcDataItem* TXcDataItemAggregatedObject::Item() const { return dynamic_cast<IXcDataItem*>(Owner()); }

TIntfPtr<IXcDataProvider> TXcDataItemAggregatedObject::Provider() const {
    IXcDataItem* item = Item();
    const TIntfPtr<IXcDataItems> list = item ? item->Items() : nullptr;
    return list ? list->Provider() : nullptr;
}

bool TXcDataItemsAggregatedObject::CanExtend(TExtensibleInterfacedPersistent* owner) const {
    return dynamic_cast<IXcDataItems*>(owner) != nullptr;
}

IXcDataItems* TXcDataItemsAggregatedObject::Items() const { return dynamic_cast<IXcDataItems*>(Owner()); }

TXcBaseDataItems* TXcDataItemsAggregatedObject::ItemsObject() const { return dynamic_cast<TXcBaseDataItems*>(Owner()); }

TXcBaseDataItemSubItems::TXcBaseDataItemSubItems(TExtensibleInterfacedPersistent* owner, TXcBaseDataItems* subItems)
    : TXcDataItemAggregatedObject(owner), subItems_(subItems), subItemsObject_(subItems) {}

TXcBaseDataItemSubItems::~TXcBaseDataItemSubItems() {
    if (subItems_) subItemsObject_->subItemsLink_ = nullptr;
}

bool TXcBaseDataItemSubItems::GetInterface(const TGUID& iid, void** obj) {
    if (TXcDataItemAggregatedObject::GetInterface(iid, obj)) return true;
    return subItems_ && subItems_->QueryInterface(iid, obj) == S_OK;
}
