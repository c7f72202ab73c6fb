#pragma once
// Stores chosen published properties of the components of a form in an
// application storage. An entry of the list names a component of the form and
// one of its properties, "Edit1.Text"; its value lives at
// <AppStoragePath>\Edit1_Text. The list's objects are the bound components.

#include <memory>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Component.h"

class TStrings;
class TXcCustomAppStorage;

// The published properties of an object's class of the kinds in Filter, in
// declaration order.
class TXcPropInfoList {
public:
    TXcPropInfoList(const TObject* object, TTypeKinds filter);
    int Count() const noexcept { return static_cast<int>(props_.size()); }
    const TPropInfo* Items(int index) const { return props_.at(static_cast<size_t>(index)); }
    // Ignoring case; null when there is none.
    const TPropInfo* Find(const String& name) const;

private:
    TPropList props_;
};

class TXcPropertyStorage : public TObject {
public:
    TXcPropertyStorage() = default;

    TXcCustomAppStorage* AppStorage() const noexcept { return appStorage_; }
    void SetAppStorage(TXcCustomAppStorage* value) noexcept { appStorage_ = value; }
    const String& AppStoragePath() const noexcept { return appStoragePath_; }
    void SetAppStoragePath(const String& value) { appStoragePath_ = value; }

    // Walks the entries from the last. From the form: binds each entry to the
    // owner's component of that name. Towards the form resource: rewrites each
    // entry with its bound component's current name. Entries without a dot,
    // with an empty part or without their component are deleted.
    void UpdateStoredPropList(TComponent* owner, TStrings& list, bool fromForm);
    // Writes every entry's property; storage errors pass.
    void SaveStoredProps(TComponent* owner, TStrings& list);
    // Reads back every entry's property that was stored; a property that
    // fails to read is left as it is.
    void LoadStoredProps(TComponent* owner, TStrings& list);

    // Without a storage the reads give the default and the rest does nothing.
    virtual String ReadStoredString(const String& path, const String& item, const String& defaultValue);
    virtual void WriteStoredString(const String& path, const String& item, const String& value);
    virtual void EraseStoredSection(const String& path);
    // The current component's name, "_" and the property name.
    virtual String StoredItemName(const String& propName) const { return prefix_ + propName; }
    // Another property storage on the same application storage.
    virtual std::unique_ptr<TXcPropertyStorage> CreatePropertyStorage() const;

    // During a pass: the form and the component whose property is at hand.
    TComponent* Owner() const noexcept { return owner_; }
    TComponent* CurrentObject() const noexcept { return object_; }

private:
    void StoreProps(TComponent* owner, TStrings& list, bool saving);

    TXcCustomAppStorage* appStorage_ = nullptr;
    String appStoragePath_;
    TComponent* owner_ = nullptr;
    TComponent* object_ = nullptr;
    String prefix_;
};
