#pragma once
// TComponent: a named persistent object with an owner. An owner frees the
// components it owns; components refer to components of other owners safely
// through free notification. Forms are built inside a loading bracket:
//   form->BeginLoading();  ... create and set up components owned by it ...
//   form->EndLoading();    // every loading component gets Loaded()

#include <cstdint>
#include <vector>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Set.h"

RTL_DECLARE_EXCEPTION(EComponentError, Exception);

enum class TOperation { opInsert, opRemove };
using enum TOperation;

enum class TComponentStateFlag {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
    csFreeNotification, csInline, csDesignInstance
};
using enum TComponentStateFlag;
using TComponentState = TSet<TComponentStateFlag>;

enum class TComponentStyleFlag { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using enum TComponentStyleFlag;
using TComponentStyle = TSet<TComponentStyleFlag>;

class TComponent;

// What an interface of a component answers to give the component itself.
class IInterfaceComponentReference : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{E28B1858-EC86-4559-8FCD-6B4F824151ED}");
    virtual TComponent* GetComponent() = 0;
};

class TComponent : public TPersistent, public virtual IInterface, public IInterfaceComponentReference {
    RTL_CLASS(TComponent, TPersistent);

public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // Answers the interfaces of the class and counts nothing: a component
    // lives as long as its owner, not as long as its interface references.
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }
    bool GetInterface(const TGUID& iid, void** obj) override;
    TComponent* GetComponent() override { return this; }

    TComponent* Owner() const noexcept { return owner_; }
    const String& Name() const noexcept { return name_; }
    // Raises EComponentError "'%s' is not a valid component name" for a name
    // that is not an identifier, and "A component named %s already exists"
    // when the owner has another component of that name (ignoring case).
    virtual void SetName(const String& newName);
    intptr_t Tag() const noexcept { return tag_; }
    void SetTag(intptr_t value) noexcept { tag_ = value; }

    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TComponent* Components(int index) const;
    // Position in the owner's list; -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int value);
    // Owned component by name, ignoring case; null when none.
    TComponent* FindComponent(const String& name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component.
    void DestroyComponents();

    TComponentState ComponentState() const noexcept { return state_; }
    TComponentStyle ComponentStyle() const noexcept { return style_; }
    // Marks this component and those it owns as being destroyed.
    void Destroying();
    void SetDesigning(bool value, bool setChildren = true);
    void SetSubComponent(bool value);
    void BeginLoading();
    // Ends the reading of this component and of the owned components still
    // loading, then calls Loaded on each, this one first; one freed by an
    // earlier Loaded is skipped.
    void EndLoading();

    // Asks Component to call Notification(this, opRemove) on this object when it is freed, and the reverse.
    // Either may be being freed already: the link holds until its destructor ends.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    String GetNamePath() const override;
    TPersistent* GetOwner() const override;
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }

protected:
    // Sent to the owner tree when a component is inserted or removed, and to
    // free-notification partners when one is freed. A component being freed
    // may already have lost the parts of its derived classes: compare it, do not use it.
    virtual void Notification(TComponent* component, TOperation operation);
    virtual void Loaded();
    virtual void ValidateRename(TComponent* component, const String& curName, const String& newName);
    void Updating() { state_.Include(csUpdating); }
    void Updated() { state_.Exclude(csUpdating); }

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveNotification(TComponent* component);
    void RemoveFreeNotifications();
    void CollectLoading(std::vector<TComponent*>& loading);

    TComponent* owner_ = nullptr;
    String name_;
    intptr_t tag_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    TComponentState state_;
    TComponentStyle style_{csInheritable};
};
