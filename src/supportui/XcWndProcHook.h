#pragma once
// Message hooks on controls. Any number of clients watch and answer the
// messages of a control without subclassing it one by one: the first hook
// replaces the control's WindowProc by a dispatcher, which runs the chain of
// before-hooks, the control's previous procedure and the chain of
// after-hooks. A hook answers true when it has fully handled the message:
// the rest of the dispatch is skipped and the result it set stays.
//
// Hooks may be added and removed while a dispatch runs (a hook added to a
// chain still runs in the dispatch under way), a hook may send messages to
// the same control, and the control may be destroyed inside a hook: the
// dispatch ends there and the control's record is freed after the message
// (DeferredFree). Dispatch allocates nothing once its stack has grown.

#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/ui/Control.h"

// A hook: a function with the object it works on, compared by both.
struct TXcHookMethod {
    bool (*Code)(void* object, TMessage& message) = nullptr;
    void* Object = nullptr;

    // The member function Method of Object.
    template <auto Method, class T>
    static TXcHookMethod Of(T* object) {
        return {[](void* self, TMessage& message) -> bool { return (static_cast<T*>(self)->*Method)(message); },
                object};
    }
    explicit operator bool() const noexcept { return Code != nullptr; }
    bool operator==(const TXcHookMethod&) const = default;
    bool operator()(TMessage& message) const { return Code(Object, message); }
};

enum class TXcHookOrder { hoBeforeMsg, hoAfterMsg };
using enum TXcHookOrder;

class TXcWndProcHook;

// The hooks of one control.
class TXcHookInfos : public TObject {
public:
    TXcHookInfos(TControl* control, TXcWndProcHook* manager);
    // Gives the control its procedure back (unless it is gone).
    ~TXcHookInfos() override;

    TControl* Control() const noexcept { return control_; }
    bool Hooked() const noexcept { return hooked_; }
    bool ControlDestroyed() const noexcept { return controlDestroyed_; }
    bool HasHooks() const noexcept { return first_[0] || first_[1]; }

    void Add(TXcHookOrder order, TXcHookMethod method);
    // Removes the first node with that method; false when there is none.
    bool Remove(TXcHookOrder order, TXcHookMethod method);
    // The control is being freed: no more dispatch, no procedure to put back.
    void MarkControlDestroyed();

private:
    struct TNode {
        TXcHookMethod method;
        TNode* next = nullptr;
    };
    // Where each chain's walk stands in one nesting level of dispatch.
    struct TLevel {
        TNode* cursor[2];
    };

    static void Dispatch(TXcHookInfos* infos, TMessage& message);
    // Runs the chain from the level's cursor; true when a hook handled the
    // message or the control went.
    bool RunChain(int chain, TMessage& message);
    void PushLevel();
    void HookControl();
    void UnhookControl();

    TControl* control_;
    TXcWndProcHook* manager_;
    TNode* first_[2] = {};
    TNode* last_[2] = {};
    std::vector<TLevel> stack_;
    int depth_ = 0;
    TWindowProc previous_;
    std::vector<TWindowProc> retired_;
    bool hooked_ = false;
    bool controlDestroyed_ = false;
};

// The process's hooked controls. Frees their records when it goes.
class TXcWndProcHook : public TComponent {
    RTL_CLASS(TXcWndProcHook, TComponent);

public:
    TXcWndProcHook();
    ~TXcWndProcHook() override;

    TXcHookInfos* Find(const TControl* control) const;
    TXcHookInfos* FindOrCreate(TControl* control);
    int HookedCount() const noexcept { return static_cast<int>(infos_.size()); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<std::unique_ptr<TXcHookInfos>> infos_;
};

// The process's manager, made on first use; freed at unit shutdown.
TXcWndProcHook& HookManager();
void FreeHookManager();

// False for a null control, one being destroyed or an empty method.
bool RegisterMessageHook(TControl* control, TXcHookMethod method, TXcHookOrder order);
// False for a null control, an empty method or a control never hooked;
// otherwise removes one node of that method and answers whether the
// control had hooks.
bool UnregisterMessageHook(TControl* control, TXcHookMethod method, TXcHookOrder order);
