#include "support/storage/XcPropertyStorage.h"

#include <exception>
#include <map>

#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcAppStorage.h"

namespace {

// "Component.Property", split at the first dot; both parts trimmed and not empty.
bool ParseEntry(const String& entry, String& component, String& property) {
    const size_t dot = entry.find(u'.');
    if (dot == String::npos) return false;
    component = Trim(entry.substr(0, dot));
    property = Trim(entry.substr(dot + 1));
    return !component.empty() && !property.empty();
}

TComponent* BoundComponent(const TStrings& list, int index) { return dynamic_cast<TComponent*>(list.Objects(index)); }

} // namespace

TXcPropInfoList::TXcPropInfoList(const TObject* object, TTypeKinds filter) : props_(GetPropList(object, filter)) {}

const TPropInfo* TXcPropInfoList::Find(const String& name) const {
    for (const TPropInfo* prop : props_)
        if (SameText(prop->Name(), name)) return prop;
    return nullptr;
}

void TXcPropertyStorage::UpdateStoredPropList(TComponent* owner, TStrings& list, bool fromForm) {
    for (int i = list.Count() - 1; i >= 0; --i) {
        String component, property;
        const bool parsed = ParseEntry(list[i], component, property);
        if (fromForm) {
            TComponent* bound = parsed && owner ? owner->FindComponent(component) : nullptr;
            if (bound)
                list.SetObjects(i, bound);
            else
                list.Delete(i);
        } else {
            const TComponent* bound = BoundComponent(list, i);
            if (parsed && bound)
                list.SetStrings(i, bound->Name() + u"." + property);
            else
                list.Delete(i);
        }
    }
}

void TXcPropertyStorage::SaveStoredProps(TComponent* owner, TStrings& list) { StoreProps(owner, list, true); }

void TXcPropertyStorage::LoadStoredProps(TComponent* owner, TStrings& list) { StoreProps(owner, list, false); }

void TXcPropertyStorage::StoreProps(TComponent* owner, TStrings& list, bool saving) {
    if (!appStorage_) return;
    UpdateStoredPropList(owner, list, false);
    std::map<const TComponent*, TXcPropInfoList> propLists;
    try {
        for (int i = 0; i < list.Count(); ++i)
            if (const TComponent* component = BoundComponent(list, i))
                propLists.try_emplace(component, component, tkAny - TTypeKinds{tkUnknown});
    } catch (const std::exception&) {
        return;
    }

    struct TPassScope {
        TXcPropertyStorage& storage;
        ~TPassScope() {
            storage.owner_ = nullptr;
            storage.object_ = nullptr;
            storage.prefix_.clear();
        }
    } scope{*this};
    owner_ = owner;
    for (int i = 0; i < list.Count(); ++i) {
        String component, property;
        if (!ParseEntry(list[i], component, property)) continue;
        object_ = BoundComponent(list, i);
        if (!object_) continue;
        prefix_ = object_->Name();
        const auto found = propLists.find(object_);
        if (found == propLists.end()) continue;
        prefix_ += u"_";
        const TPropInfo* prop = found->second.Find(property);
        if (!prop) continue;
        const String path = TXcCustomAppStorage::JoinPaths(
            {appStoragePath_, appStorage_->TranslatePropertyName(object_, StoredItemName(property), !saving)});
        if (saving) {
            appStorage_->WritePropertyValue(path, object_, true, prop->Name());
            continue;
        }
        try {
            if (appStorage_->HasValue(path) || appStorage_->IsFolder(path, false))
                appStorage_->ReadPropertyValue(path, object_, true, true, prop->Name());
        } catch (const std::exception&) {
        }
    }
}

String TXcPropertyStorage::ReadStoredString(const String& path, const String& item, const String& defaultValue) {
    if (!appStorage_) return defaultValue;
    return appStorage_->ReadString(
        TXcCustomAppStorage::JoinPaths({path, appStorage_->TranslatePropertyName(nullptr, item, true)}), defaultValue);
}

void TXcPropertyStorage::WriteStoredString(const String& path, const String& item, const String& value) {
    if (!appStorage_) return;
    appStorage_->WriteString(
        TXcCustomAppStorage::JoinPaths({path, appStorage_->TranslatePropertyName(nullptr, item, false)}), value);
}

void TXcPropertyStorage::EraseStoredSection(const String& path) {
    if (appStorage_) appStorage_->DeleteSubTree(path);
}

std::unique_ptr<TXcPropertyStorage> TXcPropertyStorage::CreatePropertyStorage() const {
    auto storage = std::make_unique<TXcPropertyStorage>();
    storage->SetAppStorage(appStorage_);
    return storage;
}
