#include "platform/ui/graphics/ImageListReference.h"

class TImageListReference::TWatcher : public TComponent {
public:
    explicit TWatcher(TImageListReference& reference) : TComponent(nullptr), reference_(reference) {}

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation != opRemove || component != reference_.list_) return;
        reference_.list_ = nullptr;
        reference_.Changed();
    }

private:
    TImageListReference& reference_;
};

TImageListReference::TImageListReference(std::function<void()> changed)
    : changed_(std::move(changed)), watcher_(std::make_unique<TWatcher>(*this)) {
    link_.OnChange = [this](TObject*) { Changed(); };
}

TImageListReference::~TImageListReference() {
    if (list_) list_->UnRegisterChanges(&link_);
}

void TImageListReference::Set(TCustomImageList* value) {
    if (value == list_) return;
    if (list_) {
        list_->UnRegisterChanges(&link_);
        watcher_->RemoveFreeNotification(list_);
    }
    list_ = value;
    if (list_) {
        list_->RegisterChanges(&link_);
        watcher_->FreeNotification(list_);
    }
    Changed();
}

void TImageListReference::Changed() const {
    if (changed_) changed_();
}
