// Owner lists and removal notifications of components.
#include "runtime/component.hpp"

#include <algorithm>

namespace vek {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    if (!owner_) return;
    auto& siblings = owner_->components_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    owner_->Notification(this, TOperation::opRemove);
    for (auto* sibling : std::vector<TComponent*>(siblings))
        sibling->Notification(this, TOperation::opRemove);
}

void TComponent::EndLoading() {
    loading_ = false;
    Loaded();
}

void TComponent::Notification(TComponent*, TOperation) {}

platform::TCustomForm* TComponent::OwnerForm() const {
    for (auto* c = const_cast<TComponent*>(this); c; c = c->owner_)
        if (auto* form = c->AsForm()) return form;
    return nullptr;
}

}  // namespace vek
