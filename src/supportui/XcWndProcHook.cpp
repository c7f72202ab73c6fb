#include "supportui/XcWndProcHook.h"

#include <algorithm>

#include "supportui/XcReleaser.h"

namespace {

std::unique_ptr<TXcWndProcHook> manager;

int ChainOf(TXcHookOrder order) { return order == hoBeforeMsg ? 0 : 1; }

} // namespace

RTL_PUBLISHED_NONE(TXcWndProcHook);

// --- TXcHookInfos ---------------------------------------------------------------------

TXcHookInfos::TXcHookInfos(TControl* control, TXcWndProcHook* manager) : control_(control), manager_(manager) {}

TXcHookInfos::~TXcHookInfos() {
    UnhookControl();
    for (TNode* first : first_)
        while (first) delete std::exchange(first, first->next);
}

void TXcHookInfos::Add(TXcHookOrder order, TXcHookMethod method) {
    const int chain = ChainOf(order);
    auto* node = new TNode{method};
    if (last_[chain])
        last_[chain]->next = node;
    else
        first_[chain] = node;
    last_[chain] = node;
    // Walks that have run past the end take the new node.
    for (int i = 0; i < depth_; ++i)
        if (!stack_[i].cursor[chain]) stack_[i].cursor[chain] = node;
    HookControl();
}

bool TXcHookInfos::Remove(TXcHookOrder order, TXcHookMethod method) {
    const int chain = ChainOf(order);
    TNode* previous = nullptr;
    TNode* node = first_[chain];
    while (node && !(node->method == method)) previous = std::exchange(node, node->next);
    if (!node) return false;
    (previous ? previous->next : first_[chain]) = node->next;
    if (last_[chain] == node) last_[chain] = previous;
    for (int i = 0; i < depth_; ++i)
        if (stack_[i].cursor[chain] == node) stack_[i].cursor[chain] = node->next;
    delete node;
    if (!HasHooks()) UnhookControl();
    return true;
}

void TXcHookInfos::MarkControlDestroyed() {
    if (controlDestroyed_) return;
    controlDestroyed_ = true;
    hooked_ = false;
}

void TXcHookInfos::HookControl() {
    if (hooked_ || controlDestroyed_) return;
    // A procedure still running below keeps its object until the record goes.
    if (depth_ > 0) retired_.push_back(std::move(previous_));
    previous_ = control_->WindowProc();
    // The dispatcher keeps nothing but the record: replacing it while it runs
    // leaves the walk untouched.
    control_->SetWindowProc([infos = this](TMessage& message) { Dispatch(infos, message); });
    hooked_ = true;
}

void TXcHookInfos::UnhookControl() {
    if (!hooked_) return;
    hooked_ = false;
    if (!controlDestroyed_) control_->SetWindowProc(previous_);
}

void TXcHookInfos::PushLevel() {
    if (depth_ == static_cast<int>(stack_.size())) stack_.resize(stack_.size() * 2 + 2);
    stack_[depth_++] = TLevel{{first_[0], first_[1]}};
}

bool TXcHookInfos::RunChain(int chain, TMessage& message) {
    const int level = depth_ - 1;
    while (TNode* node = stack_[level].cursor[chain]) {
        stack_[level].cursor[chain] = node->next;
        // The node may go while its hook runs.
        const TXcHookMethod method = node->method;
        if (method(message) || controlDestroyed_) return true;
    }
    return false;
}

void TXcHookInfos::Dispatch(TXcHookInfos* infos, TMessage& message) {
    message.Result = 0;
    infos->PushLevel();
    struct TPop {
        int& depth;
        ~TPop() { --depth; }
    } pop{infos->depth_};
    if (infos->RunChain(0, message)) return;
    infos->previous_(message);
    if (infos->controlDestroyed_) return;
    infos->RunChain(1, message);
}

// --- TXcWndProcHook -------------------------------------------------------------------

TXcWndProcHook::TXcWndProcHook() : TComponent(nullptr) {}

TXcWndProcHook::~TXcWndProcHook() {
    Destroying();
    while (!infos_.empty()) {
        std::unique_ptr<TXcHookInfos> infos = std::move(infos_.back());
        infos_.pop_back();
        if (!infos->ControlDestroyed()) infos->Control()->RemoveFreeNotification(this);
    }
}

TXcHookInfos* TXcWndProcHook::Find(const TControl* control) const {
    const auto it = std::find_if(infos_.begin(), infos_.end(), [control](const auto& i) { return i->Control() == control; });
    return it == infos_.end() ? nullptr : it->get();
}

TXcHookInfos* TXcWndProcHook::FindOrCreate(TControl* control) {
    if (TXcHookInfos* infos = Find(control)) return infos;
    infos_.push_back(std::make_unique<TXcHookInfos>(control, this));
    control->FreeNotification(this);
    return infos_.back().get();
}

void TXcWndProcHook::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    const auto it = std::find_if(infos_.begin(), infos_.end(),
                                 [component](const auto& i) { return i->Control() == component; });
    if (it == infos_.end()) return;
    std::unique_ptr<TXcHookInfos> infos = std::move(*it);
    infos_.erase(it);
    infos->MarkControlDestroyed();
    // Its dispatch may be under way.
    DeferredFree(std::move(infos));
}

TXcWndProcHook& HookManager() {
    if (!manager) manager = std::make_unique<TXcWndProcHook>();
    return *manager;
}

void FreeHookManager() { manager.reset(); }

bool RegisterMessageHook(TControl* control, TXcHookMethod method, TXcHookOrder order) {
    if (!control || !method || control->ComponentState().Contains(csDestroying)) return false;
    HookManager().FindOrCreate(control)->Add(order, method);
    return true;
}

bool UnregisterMessageHook(TControl* control, TXcHookMethod method, TXcHookOrder order) {
    if (!control || !method || !manager) return false;
    TXcHookInfos* infos = manager->Find(control);
    if (!infos) return false;
    const bool hadHooks = infos->HasHooks();
    infos->Remove(order, method);
    return hadHooks;
}
