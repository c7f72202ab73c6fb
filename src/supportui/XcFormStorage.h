#pragma once
// TXcFormStorage: a form placement that also keeps chosen published
// properties of the form's components (StoredProps, entries "Edit1.Text")
// and named values the form's code reads and writes (StoredValues). A
// stored value keeps the kind of its value: integers are stored as
// integers, floats, dates and Booleans as theirs, anything else as text; a
// value with a KeyString is stored as scrambled text.

#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Variant.h"
#include "supportui/XcFormPlacement.h"

class TXcFormStorage;
class TXcStoredValues;

// (sender, var value).
using TXcStoredValueEvent = std::function<void(TObject* sender, Variant& value)>;

class TXcStoredValue : public TCollectionItem {
    RTL_CLASS(TXcStoredValue, TCollectionItem);

public:
    explicit TXcStoredValue(TCollection* collection) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;

    const String& Name() const noexcept { return name_; }
    // Raises EXCLException "String list does not allow duplicates" for a name
    // another item has (ignoring case).
    void SetName(const String& value);
    const Variant& Value() const noexcept { return value_; }
    void SetValue(const Variant& value) { value_ = value; }
    const String& KeyString() const noexcept { return keyString_; }
    void SetKeyString(const String& value) { keyString_ = value; }
    String DisplayName() const override { return name_.empty() ? TCollectionItem::DisplayName() : name_; }
    void SetDisplayName(const String& value) override { SetName(value); }

    virtual void SaveValue();
    virtual void RestoreValue();

    TXcStoredValueEvent OnSave;
    TXcStoredValueEvent OnRestore;

private:
    bool IsValueStored() const { return !VarIsEmpty(value_); }
    TXcStoredValues* Values() const;
    String StoredPath() const;

    String name_;
    Variant value_;
    String keyString_;
};

class TXcStoredValues : public TOwnedCollection {
    RTL_CLASS(TXcStoredValues, TOwnedCollection);

public:
    explicit TXcStoredValues(TXcFormStorage* storage);

    TXcFormStorage* Storage() const noexcept { return storage_; }
    TXcStoredValue* Items(int index) const { return static_cast<TXcStoredValue*>(TCollection::Items(index)); }
    // Ignoring case; null when there is none.
    TXcStoredValue* Find(const String& name) const;
    const String& Path() const noexcept { return path_; }
    void SetPath(const String& value) { path_ = value; }

    virtual void SaveValues();
    virtual void RestoreValues();

private:
    TXcFormStorage* storage_;
    String path_;
};

// StoredProps: entries bound to the owner's components (the objects).
class TXcFormStorageStringList : public TStringList {
public:
    explicit TXcFormStorageStringList(TXcFormStorage* storage) : storage_(storage) {}
    using TStringList::Assign;
    // Binds the copied entries to the owner's components.
    void Assign(const TStrings& source) override;

protected:
    // Writing: entries first take their components' current names; read
    // entries are bound (by the storage's Loaded while it loads).
    void DefineProperties(TFiler* filer) override;

private:
    TXcFormStorage* storage_;
};

class TXcFormStorage : public TXcFormPlacement {
    RTL_CLASS(TXcFormStorage, TXcFormPlacement);

public:
    explicit TXcFormStorage(TComponent* owner);
    ~TXcFormStorage() override;

    TStrings* StoredProps() const noexcept { return storedProps_.get(); }
    // Copies the entries; each bound component is asked for free notification.
    void SetStoredProps(TStrings* value);
    TXcStoredValues* StoredValues() const noexcept { return storedValues_.get(); }
    void SetStoredValues(TXcStoredValues* value) { storedValues_->Assign(value); }
    const String& StoredPropsPath() const noexcept { return storedPropsPath_; }
    void SetStoredPropsPath(const String& value) { storedPropsPath_ = value; }
    const String& StoredValuesPath() const { return storedValues_->Path(); }
    void SetStoredValuesPath(const String& value) { storedValues_->SetPath(value); }

    // The current value (nothing is read from the storage); Null when there is no such value.
    Variant ReadStoredValue(const String& name) const;
    // Sets the value, adding it when there is none (nothing is written).
    void WriteStoredValue(const String& name, const Variant& value);

    virtual void WriteStoredProps();
    virtual void ReadStoredProps();
    // Entries from the form (binding) or towards the stream (renaming).
    void UpdateStoredList(bool fromForm);

protected:
    void WritePlacement() override;
    void ReadPlacement() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void BindStoredProps();

    std::unique_ptr<TXcFormStorageStringList> storedProps_;
    std::unique_ptr<TXcStoredValues> storedValues_;
    String storedPropsPath_;
};
