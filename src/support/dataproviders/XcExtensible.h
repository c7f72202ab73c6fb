#pragma once
// Extensible objects: persistent objects with their own interface reference
// count whose interfaces grow at run time through the extensions they own.
//
// Every object of the framework is made with XcCreate, which runs its
// constructor and then AfterConstruction: an extensible object counts one
// reference while it is being constructed (so that it may hand itself out)
// and none afterwards, and makes its default extensions; an extension joins
// its owner's list. A fresh extensible object is freed by the release of the
// first reference taken to it, or by Free.
//
// An object answers the interfaces its classes implement (TImplements), then
// those of its extensions from the last to the first, skipping hidden ones.
// Extensions are told apart by class: every extension class declares
// RTL_CLASS. They are kept in component streams as the defined property
// "Extensions" when their classes are registered (RegisterXcClass).

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Persistent.h"

class TAggregatedPersistentEx;
class TXcBaseDataItem;
class TXcBaseDataItems;
class IXcDataItems;
class IXcDataItem;

// Runs the constructor and then AfterConstruction; a failure of either frees the object again.
template <class T, class... Args>
T* XcCreate(Args&&... args) {
    std::unique_ptr<T> object(new T(std::forward<Args>(args)...));
    object->AfterConstruction();
    return object.release();
}

class TExtensibleInterfacedPersistent : public TPersistent, public virtual IInterface {
    RTL_CLASS(TExtensibleInterfacedPersistent, TPersistent);

public:
    TExtensibleInterfacedPersistent() = default;
    // Frees the extensions, last first.
    ~TExtensibleInterfacedPersistent() override;

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override;
    int32_t _Release() override;
    bool GetInterface(const TGUID& iid, void** obj) override;

    int32_t RefCount() const noexcept { return refCount_.load(std::memory_order_relaxed); }
    // Frees the object; raises EInvalidPointer "Invalid pointer operation" while it is counted.
    void Free();
    // Count a reference without freeing the object when it is dropped again
    // (around streaming and deletion, where temporary references come and go).
    void PinReference() noexcept;
    void UnpinReference() noexcept;

    // Raises EXCLException "Implementation of that class already exists" when
    // an extension of the same class or of a descendant of it is present.
    void AddExtension(TAggregatedPersistentEx* extension);
    // Frees the extension when it is in the list.
    void RemoveExtension(TAggregatedPersistentEx* extension);
    // The last extension of the class or a descendant; -1 when none.
    int IndexOfExtensionClass(TClass cls) const;
    void ClearExtensions();
    int ExtensionCount() const noexcept { return static_cast<int>(extensions_.size()); }
    TAggregatedPersistentEx* Extensions(int index) const { return extensions_.at(static_cast<size_t>(index)); }
    // Whether the extension's class is registered for streaming.
    virtual bool IsStreamableExtension(TAggregatedPersistentEx* extension);

    // The end of XcCreate: the default extensions are made and the count of
    // the construction is dropped without freeing the object.
    virtual void AfterConstruction();

protected:
    // Makes the default extensions; none here.
    virtual void InitExtensions() {}
    void DefineProperties(TFiler* filer) override;
    // The counting itself, for classes that count only sometimes.
    int32_t CountedAddRef() noexcept;
    int32_t CountedRelease();

private:
    friend class TAggregatedPersistentEx;
    // An extension being destroyed leaves the list.
    void ExtensionDestroyed(TAggregatedPersistentEx* extension) noexcept;
    void ReadExtensions(class TReader& reader);
    void WriteExtensions(class TWriter& writer);

    std::atomic<int32_t> refCount_{1};
    std::vector<TAggregatedPersistentEx*> extensions_;
};

// A part of another object: counts and interface queries are its controller's;
// asked itself (GetInterface), it answers only the interfaces of its classes.
class TAggregatedPersistent : public TPersistent, public virtual IInterface {
    RTL_CLASS(TAggregatedPersistent, TPersistent);

public:
    explicit TAggregatedPersistent(IInterface* controller) noexcept : controller_(controller) {}
    IInterface* Controller() const noexcept { return controller_; }

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override { return controller_->_AddRef(); }
    int32_t _Release() override { return controller_->_Release(); }

private:
    IInterface* controller_;
};

// An extension of an extensible object, which owns it.
class TAggregatedPersistentEx : public TAggregatedPersistent {
    RTL_CLASS(TAggregatedPersistentEx, TAggregatedPersistent);

public:
    explicit TAggregatedPersistentEx(TExtensibleInterfacedPersistent* owner) noexcept;
    // Leaves the owner's list.
    ~TAggregatedPersistentEx() override;

    TExtensibleInterfacedPersistent* Owner() const noexcept { return owner_; }
    // Hidden extensions are skipped when the owner looks up an interface.
    virtual bool IsHidden() { return false; }
    // Joins the owner's list; EInvalidCast "Invalid class typecast" for an
    // owner of a kind the class does not extend.
    virtual void AfterConstruction();

protected:
    // Whether the class extends objects of the owner's kind.
    virtual bool CanExtend(TExtensibleInterfacedPersistent*) const { return true; }

private:
    TExtensibleInterfacedPersistent* owner_;
};

// Creation by class of the framework's objects, whose constructors take what
// they belong to. RegisterXcClass registers a class by name and with the
// constructors it has.
struct TXcCreators {
    TAggregatedPersistentEx* (*Extension)(TExtensibleInterfacedPersistent* owner) = nullptr;
    TXcBaseDataItem* (*Item)(IXcDataItems* list) = nullptr;
    TXcBaseDataItems* (*SubItems)(IXcDataItem* parent) = nullptr;
};

void RegisterXcCreators(TClass cls, const TXcCreators& creators);
void UnRegisterXcClass(TClass cls);
// Raise EInvalidOperation "Cannot create an instance of %s" for a class without that constructor.
TAggregatedPersistentEx* CreateXcExtension(TClass cls, TExtensibleInterfacedPersistent* owner);
TXcBaseDataItem* CreateXcItem(TClass cls, IXcDataItems* list);
TXcBaseDataItems* CreateXcSubItems(TClass cls, IXcDataItem* parent);

// The constructors T has.
template <class T>
TXcCreators XcCreatorsOf() {
    TXcCreators creators;
    if constexpr (!std::is_abstract_v<T>) {
        if constexpr (requires { new T(static_cast<TExtensibleInterfacedPersistent*>(nullptr)); })
            creators.Extension = [](TExtensibleInterfacedPersistent* owner) -> TAggregatedPersistentEx* {
                return XcCreate<T>(owner);
            };
        if constexpr (requires { new T(static_cast<IXcDataItems*>(nullptr)); })
            creators.Item = [](IXcDataItems* list) -> TXcBaseDataItem* { return XcCreate<T>(list); };
        if constexpr (requires { new T(static_cast<IXcDataItem*>(nullptr)); })
            creators.SubItems = [](IXcDataItem* parent) -> TXcBaseDataItems* { return XcCreate<T>(parent); };
    }
    return creators;
}

template <class T>
void RegisterXcClass() {
    RegisterClass(T::StaticClass());
    RegisterXcCreators(T::StaticClass(), XcCreatorsOf<T>());
}
