#include "support/dataproviders/XcExtensible.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/rtl/Filer.h"
#include "support/dataproviders/XcDataProviderTexts.h"
#include "support/storage/XcTypes.h"

RTL_PUBLISHED_NONE(TExtensibleInterfacedPersistent);
RTL_PUBLISHED_NONE(TAggregatedPersistent);
RTL_PUBLISHED_NONE(TAggregatedPersistentEx);

TExtensibleInterfacedPersistent::~TExtensibleInterfacedPersistent() { ClearExtensions(); }

HRESULT TExtensibleInterfacedPersistent::QueryInterface(const TGUID& iid, void** obj) {
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

int32_t TExtensibleInterfacedPersistent::_AddRef() { return CountedAddRef(); }

int32_t TExtensibleInterfacedPersistent::_Release() { return CountedRelease(); }

int32_t TExtensibleInterfacedPersistent::CountedAddRef() noexcept {
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

int32_t TExtensibleInterfacedPersistent::CountedRelease() {
    const int32_t count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) {
        // References taken and dropped by the destructor must not free it twice.
        refCount_.store(1, std::memory_order_relaxed);
        delete this;
    }
    return count;
}

void TExtensibleInterfacedPersistent::PinReference() noexcept { refCount_.fetch_add(1, std::memory_order_relaxed); }

void TExtensibleInterfacedPersistent::UnpinReference() noexcept { refCount_.fetch_sub(1, std::memory_order_acq_rel); }

void TExtensibleInterfacedPersistent::Free() {
    if (RefCount() != 0) throw EInvalidPointer("Invalid pointer operation");
    delete this;
}

void TExtensibleInterfacedPersistent::AfterConstruction() {
    InitExtensions();
    UnpinReference();
}

bool TExtensibleInterfacedPersistent::GetInterface(const TGUID& iid, void** obj) {
    if (iid == IInterface::IID) {
        IInterface* self = this;
        self->_AddRef();
        *obj = self;
        return true;
    }
    for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it)
        if (!(*it)->IsHidden() && (*it)->GetInterface(iid, obj)) return true;
    *obj = nullptr;
    return false;
}

void TExtensibleInterfacedPersistent::AddExtension(TAggregatedPersistentEx* extension) {
    // Extensions of a subclass of a present class are welcome, the other way round not.
    if (IndexOfExtensionClass(extension->ClassType()) >= 0)
        throw EXCLException(LoadResString(RsXcExtensionExists));
    extensions_.push_back(extension);
}

void TExtensibleInterfacedPersistent::RemoveExtension(TAggregatedPersistentEx* extension) {
    const auto it = std::find(extensions_.begin(), extensions_.end(), extension);
    if (it == extensions_.end()) return;
    extensions_.erase(it);
    delete extension;
}

void TExtensibleInterfacedPersistent::ExtensionDestroyed(TAggregatedPersistentEx* extension) noexcept {
    std::erase(extensions_, extension);
}

int TExtensibleInterfacedPersistent::IndexOfExtensionClass(TClass cls) const {
    for (size_t i = extensions_.size(); i-- > 0;)
        if (extensions_[i]->InheritsFrom(cls)) return static_cast<int>(i);
    return -1;
}

void TExtensibleInterfacedPersistent::ClearExtensions() {
    while (!extensions_.empty()) {
        TAggregatedPersistentEx* extension = extensions_.back();
        extensions_.pop_back();
        delete extension;
    }
}

bool TExtensibleInterfacedPersistent::IsStreamableExtension(TAggregatedPersistentEx* extension) {
    return GetClass(extension->ClassName()) == extension->ClassType();
}

void TExtensibleInterfacedPersistent::DefineProperties(TFiler* filer) {
    TPersistent::DefineProperties(filer);
    const bool hasData = std::any_of(extensions_.begin(), extensions_.end(),
                                     [this](TAggregatedPersistentEx* e) { return IsStreamableExtension(e); });
    filer->DefineProperty(
        u"Extensions", [this](TReader& reader) { ReadExtensions(reader); },
        [this](TWriter& writer) { WriteExtensions(writer); }, hasData);
}

void TExtensibleInterfacedPersistent::WriteExtensions(TWriter& writer) {
    const String path = writer.PropPath();
    writer.SetPropPath(String());
    writer.WriteValue(vaCollection);
    for (TAggregatedPersistentEx* extension : std::vector(extensions_)) {
        if (!IsStreamableExtension(extension)) continue;
        writer.WriteListBegin();
        writer.WriteStr(u"ClassName");
        writer.WriteString(extension->ClassName());
        writer.WriteProperties(extension);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
    writer.SetPropPath(path);
}

void TExtensibleInterfacedPersistent::ReadExtensions(TReader& reader) {
    PinReference();
    try {
        if (reader.ReadValue() != vaCollection) throw EReadError("Expected collection");
        while (!reader.EndOfList()) {
            reader.ReadListBegin();
            if (!SameText(reader.ReadStr(), u"ClassName")) throw EReadError("Missing ClassName property");
            const TClass cls = GetClass(reader.ReadString());
            if (!cls || !cls->InheritsFrom(TAggregatedPersistentEx::StaticClass()))
                throw EReadError("Invalid class type");
            const int index = IndexOfExtensionClass(cls);
            TAggregatedPersistentEx* extension = index >= 0 ? extensions_[index] : nullptr;
            try {
                if (!extension) extension = CreateXcExtension(cls, this);
            } catch (const EInvalidCast&) {
                throw EReadError("Invalid class type"); // an extension of other objects
            }
            while (!reader.EndOfList()) reader.ReadProperty(extension);
            reader.ReadListEnd();
        }
        reader.ReadListEnd();
    } catch (...) {
        UnpinReference();
        throw;
    }
    UnpinReference();
}

HRESULT TAggregatedPersistent::QueryInterface(const TGUID& iid, void** obj) {
    return controller_->QueryInterface(iid, obj);
}

TAggregatedPersistentEx::TAggregatedPersistentEx(TExtensibleInterfacedPersistent* owner) noexcept
    : TAggregatedPersistent(owner), owner_(owner) {}

TAggregatedPersistentEx::~TAggregatedPersistentEx() { owner_->ExtensionDestroyed(this); }

void TAggregatedPersistentEx::AfterConstruction() {
    if (!CanExtend(owner_)) throw EInvalidCast("Invalid class typecast");
    owner_->AddExtension(this);
}

namespace {
struct TCreatorRegistry {
    std::mutex lock;
    std::map<TClass, TXcCreators> creators;
};

TCreatorRegistry& Creators() {
    static TCreatorRegistry registry;
    return registry;
}

template <class Creator, class Argument>
auto Create(TClass cls, Creator TXcCreators::*creator, Argument argument) {
    Creator found = nullptr;
    {
        TCreatorRegistry& registry = Creators();
        std::lock_guard guard(registry.lock);
        if (const auto it = registry.creators.find(cls); it != registry.creators.end()) found = it->second.*creator;
    }
    if (!found) throw EInvalidOperation("Cannot create an instance of " + cls->ClassName());
    return found(argument);
}
} // namespace

void RegisterXcCreators(TClass cls, const TXcCreators& creators) {
    TCreatorRegistry& registry = Creators();
    std::lock_guard guard(registry.lock);
    registry.creators[cls] = creators;
}

void UnRegisterXcClass(TClass cls) {
    UnRegisterClass(cls);
    TCreatorRegistry& registry = Creators();
    std::lock_guard guard(registry.lock);
    registry.creators.erase(cls);
}

TAggregatedPersistentEx* CreateXcExtension(TClass cls, TExtensibleInterfacedPersistent* owner) {
    return Create(cls, &TXcCreators::Extension, owner);
}

TXcBaseDataItem* CreateXcItem(TClass cls, IXcDataItems* list) { return Create(cls, &TXcCreators::Item, list); }

TXcBaseDataItems* CreateXcSubItems(TClass cls, IXcDataItem* parent) {
    return Create(cls, &TXcCreators::SubItems, parent);
}
