// TComponent: a named part of a window with an owner. Components are created in the
// stored order of their window's description; while that description is being read they
// only store settings (Loading) and act on them in Loaded. When a component goes away,
// the other components of its owner hear of it through Notification.
#pragma once

#include <string>
#include <vector>

namespace vek {

namespace platform {
class TCustomForm;
}

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }

    // True while the stored description is being read.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    // Ends loading and runs Loaded.
    void EndLoading();

    // The nearest form among this component and its owners, or null.
    platform::TCustomForm* OwnerForm() const;

protected:
    // Runs once the stored description has been read completely.
    virtual void Loaded() {}
    // Another component of the same owner was inserted or is being removed.
    virtual void Notification(TComponent* component, TOperation operation);
    virtual platform::TCustomForm* AsForm() { return nullptr; }

private:
    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;  // not owned: the owner's members own them
    bool loading_ = false;
};

}  // namespace vek
