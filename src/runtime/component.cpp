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

TComponent* TComponent::FindComponent(std::string_view name) const {
    for (TComponent* component : components_)
        if (component->Name() == name) return component;
    return nullptr;
}

void TComponent::EndLoading() {
    loading_ = false;
    Loaded();
}

void TComponent::Notification(TComponent*, TOperation) {}

bool TComponent::ReadProperty(TPropertyReader&) {
    return false;
}

void TComponent::DeferFixup(const TPropertyReader& reader, TFixup fixup) {
    fixups_.push_back(PendingFixup{reader.Path(), reader.PropertyOffset(), std::move(fixup)});
}

void TComponent::ResolveFixups(const TNameResolver& names) {
    auto fixups = std::move(fixups_);
    fixups_.clear();
    for (const auto& pending : fixups) {
        try {
            pending.fixup(names);
        } catch (const EFixupError& e) {
            throw EPropertyError(e.what(), pending.offset, pending.property);
        }
    }
}

const std::any* THandlerTable::Find(std::string_view name) const {
    const auto found = handlers_.find(name);
    return found == handlers_.end() ? nullptr : &found->second;
}

platform::TCustomForm* TComponent::OwnerForm() const {
    for (auto* c = const_cast<TComponent*>(this); c; c = c->owner_)
        if (auto* form = c->AsForm()) return form;
    return nullptr;
}

}  // namespace vek
