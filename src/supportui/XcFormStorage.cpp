#include "supportui/XcFormStorage.h"

#include "platform/rtl/Filer.h"
#include "platform/rtl/Interfaces.h"
#include "support/storage/XcAppStorage.h"
#include "support/storage/XcPropertyStorage.h"
#include "support/storage/XcUtils.h"

RTL_PUBLISHED(TXcStoredValue, c) {
    c.Property("Name", &TXcStoredValue::Name, &TXcStoredValue::SetName);
    c.Property("Value", &TXcStoredValue::Value, &TXcStoredValue::SetValue).Stored(&TXcStoredValue::IsValueStored);
    c.Property("KeyString", &TXcStoredValue::KeyString, &TXcStoredValue::SetKeyString);
    c.Property("OnSave", &TXcStoredValue::OnSave);
    c.Property("OnRestore", &TXcStoredValue::OnRestore);
}

RTL_PUBLISHED_NONE(TXcStoredValues);

RTL_PUBLISHED(TXcFormStorage, c) {
    c.Property("StoredProps", &TXcFormStorage::StoredProps, &TXcFormStorage::SetStoredProps);
    c.Property("StoredValues", &TXcFormStorage::StoredValues, &TXcFormStorage::SetStoredValues);
    c.Property("StoredPropsPath", &TXcFormStorage::StoredPropsPath, &TXcFormStorage::SetStoredPropsPath);
    c.Property("StoredValuesPath", &TXcFormStorage::StoredValuesPath, &TXcFormStorage::SetStoredValuesPath);
}

// --- TXcStoredValue --------------------------------------------------------------------

void TXcStoredValue::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TXcStoredValue*>(source);
    if (!other) return TCollectionItem::Assign(source);
    SetName(other->name_);
    value_ = other->value_;
    keyString_ = other->keyString_;
    OnSave = other->OnSave;
    OnRestore = other->OnRestore;
}

TXcStoredValues* TXcStoredValue::Values() const { return dynamic_cast<TXcStoredValues*>(Collection()); }

void TXcStoredValue::SetName(const String& value) {
    if (value == name_) return;
    if (TXcStoredValues* values = Values()) {
        const TXcStoredValue* other = values->Find(value);
        if (other && other != this) throw EXCLException("String list does not allow duplicates");
    }
    name_ = value;
}

String TXcStoredValue::StoredPath() const {
    const TXcStoredValues* values = Values();
    if (!values || !values->Storage() || !values->Storage()->AppStorage()) return String();
    return TXcCustomAppStorage::JoinPaths({values->Path(), name_});
}

namespace {

bool IsFloat(const Variant& v) { return VarType(v) == varSingle || VarType(v) == varDouble; }

} // namespace

void TXcStoredValue::SaveValue() {
    TXcStoredValues* values = Values();
    if (!values || !values->Storage()) return;
    TXcFormStorage& storage = *values->Storage();
    const String path = StoredPath();
    Variant value = value_;
    if (OnSave) OnSave(this, value);
    if (!keyString_.empty())
        storage.PlacementWriteString(path, XorEncodeHex(keyString_, VarToStr(value)));
    else if (VariantIsInteger(value))
        storage.PlacementWriteInteger(path, value.AsInteger());
    else if (IsFloat(value))
        storage.PlacementWriteFloat(path, value.AsDouble());
    else if (VarType(value) == varDate)
        storage.PlacementWriteDateTime(path, value.AsDouble());
    else if (VarType(value) == varBoolean)
        storage.PlacementWriteBool(path, value.AsBoolean());
    else
        storage.PlacementWriteString(path, VarToStr(value));
}

void TXcStoredValue::RestoreValue() {
    TXcStoredValues* values = Values();
    if (!values || !values->Storage()) return;
    TXcFormStorage& storage = *values->Storage();
    const String path = StoredPath();
    Variant value;
    if (!keyString_.empty())
        value = XorDecodeHex(keyString_, storage.PlacementReadString(path, XorEncodeHex(keyString_, VarToStr(value_))));
    else if (VariantIsInteger(value_))
        value = int32_t(storage.PlacementReadInteger(path, value_.AsInteger()));
    else if (IsFloat(value_))
        value = storage.PlacementReadFloat(path, value_.AsDouble());
    else if (VarType(value_) == varDate)
        value = VarFromDateTime(storage.PlacementReadDateTime(path, value_.AsDouble()));
    else if (VarType(value_) == varBoolean)
        value = storage.PlacementReadBool(path, value_.AsBoolean());
    else
        value = storage.PlacementReadString(path, VarToStr(value_));
    if (OnRestore) OnRestore(this, value);
    value_ = value;
}

// --- TXcStoredValues -------------------------------------------------------------------

TXcStoredValues::TXcStoredValues(TXcFormStorage* storage)
    : TOwnedCollection(storage, TXcStoredValue::StaticClass()), storage_(storage) {}

TXcStoredValue* TXcStoredValues::Find(const String& name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), name)) return Items(i);
    return nullptr;
}

void TXcStoredValues::SaveValues() {
    for (int i = 0; i < Count(); ++i) Items(i)->SaveValue();
}

void TXcStoredValues::RestoreValues() {
    for (int i = 0; i < Count(); ++i) Items(i)->RestoreValue();
}

// --- TXcFormStorageStringList ----------------------------------------------------------

void TXcFormStorageStringList::Assign(const TStrings& source) {
    TStringList::Assign(source);
    if (!storage_->ComponentState().Contains(csLoading)) storage_->UpdateStoredList(true);
}

void TXcFormStorageStringList::DefineProperties(TFiler* filer) {
    const bool reading = dynamic_cast<TReader*>(filer) != nullptr;
    if (!reading) storage_->UpdateStoredList(false);
    TStringList::DefineProperties(filer);
    if (reading && !storage_->ComponentState().Contains(csLoading)) storage_->UpdateStoredList(true);
}

// --- TXcFormStorage --------------------------------------------------------------------

TXcFormStorage::TXcFormStorage(TComponent* owner)
    : TXcFormPlacement(owner), storedProps_(std::make_unique<TXcFormStorageStringList>(this)),
      storedValues_(std::make_unique<TXcStoredValues>(this)) {}

TXcFormStorage::~TXcFormStorage() = default;

void TXcFormStorage::SetStoredProps(TStrings* value) {
    if (value) storedProps_->Assign(*value);
    for (int i = 0; i < storedProps_->Count(); ++i)
        if (auto* component = dynamic_cast<TComponent*>(storedProps_->Objects(i))) component->FreeNotification(this);
}

Variant TXcFormStorage::ReadStoredValue(const String& name) const {
    const TXcStoredValue* item = storedValues_->Find(name);
    return item ? item->Value() : Null();
}

void TXcFormStorage::WriteStoredValue(const String& name, const Variant& value) {
    TXcStoredValue* item = storedValues_->Find(name);
    if (!item) {
        item = static_cast<TXcStoredValue*>(storedValues_->Add());
        item->SetName(name);
    }
    item->SetValue(value);
}

void TXcFormStorage::UpdateStoredList(bool fromForm) {
    if (fromForm && ComponentState().Contains(csLoading)) return;
    TXcPropertyStorage().UpdateStoredPropList(Owner(), *storedProps_, fromForm);
}

void TXcFormStorage::WriteStoredProps() {
    TXcPropertyStorage storage;
    storage.SetAppStorage(AppStorage());
    storage.SetAppStoragePath(TXcCustomAppStorage::JoinPaths({AppStoragePath(), storedPropsPath_}));
    storage.SaveStoredProps(Owner(), *storedProps_);
}

void TXcFormStorage::ReadStoredProps() {
    TXcPropertyStorage storage;
    storage.SetAppStorage(AppStorage());
    storage.SetAppStoragePath(TXcCustomAppStorage::JoinPaths({AppStoragePath(), storedPropsPath_}));
    storage.LoadStoredProps(Owner(), *storedProps_);
}

void TXcFormStorage::WritePlacement() {
    // Nothing but the version before this form's life restored anything.
    if (!Restored()) return;
    TXcFormPlacement::WritePlacement();
    TIntfPtr<IAppStorageHandler> handler;
    if (Supports(Owner(), handler)) handler->WriteToAppStorage(*AppStorage(), AppStoragePath());
    WriteStoredProps();
    storedValues_->SaveValues();
}

void TXcFormStorage::ReadPlacement() {
    TXcFormPlacement::ReadPlacement();
    TIntfPtr<IAppStorageHandler> handler;
    if (Supports(Owner(), handler)) handler->ReadFromAppStorage(*AppStorage(), AppStoragePath());
    try {
        ReadStoredProps();
    } catch (const std::exception&) {
    }
    storedValues_->RestoreValues();
}

void TXcFormStorage::Loaded() {
    TXcFormPlacement::Loaded();
    UpdateStoredList(true);
}

void TXcFormStorage::Notification(TComponent* component, TOperation operation) {
    TXcFormPlacement::Notification(component, operation);
    if (operation != opRemove || Destroying() || ComponentState().Contains(csDestroying)) return;
    for (int i = storedProps_->Count() - 1; i >= 0; --i)
        if (storedProps_->Objects(i) == component) storedProps_->Delete(i);
}
