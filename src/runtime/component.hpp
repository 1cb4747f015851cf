// TComponent: a named part of a window with an owner. Components are created in the
// stored order of their window's description; while that description is being read they
// receive their stored properties one by one (ReadProperty) and only store them
// (Loading), acting on them in Loaded. Properties that name another component or a
// handler of the window are resolved once every component has been read. When a
// component goes away, the other components of its owner hear of it through Notification.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/property_stream.hpp"

namespace vek {

namespace platform {
class TCustomForm;
}

class TComponent;

enum class TOperation { opInsert, opRemove };

// The event handlers a window offers its stored description, by name. Each name holds one
// handler of the exact event type that it may be bound to.
class THandlerTable {
public:
    template <class Event>
    void Add(const std::string& name, Event handler) {
        handlers_[name] = std::move(handler);
    }
    // The handler of that name, or null.
    const std::any* Find(std::string_view name) const;

private:
    std::map<std::string, std::any, std::less<>> handlers_;
};

// What the names in a stored description are resolved against.
class TNameResolver {
public:
    virtual ~TNameResolver() = default;
    // The window's component of that name, or null.
    virtual TComponent* FindComponent(std::string_view name) const = 0;
    virtual const THandlerTable& Handlers() const = 0;
};

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
    // The owned component of that name, or null.
    TComponent* FindComponent(std::string_view name) const;

    // True while the stored description is being read.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    // Ends loading and runs Loaded.
    void EndLoading();

    // The nearest form among this component and its owners, or null.
    platform::TCustomForm* OwnerForm() const;

    // The class name a stored description gives this component.
    virtual std::string_view ClassName() const { return "TComponent"; }
    // Reads one stored property; the reader stands at its value. Answers false, leaving
    // the value unread, for a name this component does not store.
    virtual bool ReadProperty(TPropertyReader& reader);
    // Runs the name lookups that ReadProperty deferred, once every component has been
    // read. An unknown name, a component of the wrong class or a handler of the wrong
    // type raises EPropertyError with the property's path and offset.
    void ResolveFixups(const TNameResolver& names);

protected:
    using TFixup = std::function<void(const TNameResolver& names)>;
    // Keeps a lookup to run in ResolveFixups; the property is the reader's current one.
    // The fixup raises plain errors; ResolveFixups adds where the property was.
    void DeferFixup(const TPropertyReader& reader, TFixup fixup);
    // Reads an identifier naming a component of class Target and hands it to set once
    // every component has been read.
    template <class Target, class Setter>
    void ReadReference(TPropertyReader& reader, Setter set);
    // Reads an identifier naming a handler and binds it to event once all are read.
    template <class Event>
    void ReadEvent(TPropertyReader& reader, Event& event);

    // Runs once the stored description has been read completely.
    virtual void Loaded() {}
    // Another component of the same owner was inserted or is being removed.
    virtual void Notification(TComponent* component, TOperation operation);
    virtual platform::TCustomForm* AsForm() { return nullptr; }

private:
    struct PendingFixup {
        std::string property;
        std::size_t offset;
        TFixup fixup;
    };

    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;  // not owned: the owner's members own them
    bool loading_ = false;
    std::vector<PendingFixup> fixups_;
};

// A name the description uses that does not fit; ResolveFixups adds where it was stored.
VEK_DECLARE_ERROR(EFixupError, Exception);

template <class Target, class Setter>
void TComponent::ReadReference(TPropertyReader& reader, Setter set) {
    const std::string target = reader.ReadIdent();
    DeferFixup(reader, [target, set](const TNameResolver& names) {
        TComponent* component = names.FindComponent(target);
        if (!component) throw EFixupError("No component is named " + shownName(target));
        auto* typed = dynamic_cast<Target*>(component);
        if (!typed)
            throw EFixupError("Component " + shownName(target) + " of class " +
                              std::string(component->ClassName()) + " does not fit here");
        set(typed);
    });
}

template <class Event>
void TComponent::ReadEvent(TPropertyReader& reader, Event& event) {
    const std::string handler = reader.ReadIdent();
    DeferFixup(reader, [handler, &event](const TNameResolver& names) {
        const std::any* entry = names.Handlers().Find(handler);
        if (!entry) throw EFixupError("No handler is named " + shownName(handler));
        const Event* typed = std::any_cast<Event>(entry);
        if (!typed) throw EFixupError("Handler " + shownName(handler) + " does not fit this event");
        event = *typed;
    });
}

}  // namespace vek
