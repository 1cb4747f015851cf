// Reading a window's stored description: the framing of its entries, and handing each
// component its properties, names resolved once everything has been read.
#include "assets/description_reader.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vek {

namespace {

std::string describeWhere(const std::string& component, const std::string& property, std::size_t offset) {
    std::string where = component.empty() ? "window" : "component " + shownName(component);
    where += property.empty() ? ", header" : ", property " + shownText(property);
    return where + ", byte " + std::to_string(offset);
}

// Finds the window's components by name for the deferred lookups.
class WindowNames : public TNameResolver {
public:
    WindowNames(TComponent& window, const THandlerTable& handlers) : window_(window), handlers_(handlers) {}
    TComponent* FindComponent(std::string_view name) const override { return window_.FindComponent(name); }
    const THandlerTable& Handlers() const override { return handlers_; }

private:
    TComponent& window_;
    const THandlerTable& handlers_;
};

// Runs one step of reading a component, turning any error into one that says where.
template <class Step>
void withinComponent(const std::string& component, TPropertyReader& reader, Step step) {
    try {
        step();
    } catch (const EDescriptionError&) {
        throw;
    } catch (const EPropertyError& e) {
        throw EDescriptionError(component, e.Property(), e.Offset(), e.Reason());
    } catch (const std::exception& e) {
        throw EDescriptionError(component, reader.Path(), reader.PropertyOffset(), e.what());
    }
}

void readProperties(TDescriptionCursor& cursor, TComponent& component) {
    auto& reader = cursor.Reader();
    withinComponent(component.Name(), reader, [&] {
        while (cursor.NextProperty())
            if (!component.ReadProperty(reader)) reader.FailUnknownProperty();
    });
}

void checkClass(const TDescriptionCursor& cursor, const TComponent& component) {
    if (cursor.ClassName() == component.ClassName()) return;
    throw EDescriptionError(
        cursor.Name(), {}, cursor.Offset(),
        "stored as " + cursor.ClassName() + ", but it is a " + std::string(component.ClassName()));
}

// The components the description stores, in stored order.
std::vector<TComponent*> readComponents(TDescriptionCursor& cursor, const WindowNames& names,
                                        TStoredEntries& entries) {
    std::vector<TComponent*> stored;
    while (cursor.Next()) {
        TComponent* component = names.FindComponent(cursor.Name());
        if (!component)
            throw EDescriptionError(cursor.Name(), {}, cursor.Offset(),
                                    "the window has no component of that name");
        if (std::find(stored.begin(), stored.end(), component) != stored.end())
            throw EDescriptionError(cursor.Name(), {}, cursor.Offset(), "the component is stored twice");
        checkClass(cursor, *component);
        entries.Starts.emplace(cursor.Name(), cursor.Offset());
        readProperties(cursor, *component);
        stored.push_back(component);
    }
    return stored;
}

void resolveNames(TComponent& component, const WindowNames& names) {
    try {
        component.ResolveFixups(names);
    } catch (const EPropertyError& e) {
        throw EDescriptionError(component.Name(), e.Property(), e.Offset(), e.Reason());
    }
}

// Loading ends for the window, then for its components in stored order, then for those
// the description leaves out.
void endLoading(TComponent& window, const std::vector<TComponent*>& stored) {
    window.EndLoading();
    for (auto* component : stored) component->EndLoading();
    for (int i = 0; i < window.ComponentCount(); ++i) {
        TComponent* component = window.Components(i);
        if (component->Loading()) component->EndLoading();
    }
}

}  // namespace

EDescriptionError::EDescriptionError(std::string component, std::string property, std::size_t offset,
                                     const std::string& reason)
    : EReadError(describeWhere(component, property, offset) + ": " + shownText(reason)),
      component_(std::move(component)),
      property_(std::move(property)),
      offset_(offset) {}

// ---- TDescriptionCursor

TDescriptionCursor::TDescriptionCursor(std::span<const std::uint8_t> bytes) : reader_(bytes) {
    withinComponent({}, reader_, [&] {
        const auto magic = reader_.ReadBytes(sizeof(kDescriptionMagic));
        if (std::memcmp(magic.data(), kDescriptionMagic, sizeof(kDescriptionMagic)) != 0)
            throw EDescriptionError({}, {}, 0, "not a stored window description");
        const std::uint8_t version = reader_.ReadByte();
        if (version != kDescriptionVersion)
            throw EDescriptionError({}, {}, 4,
                                    "description version " + std::to_string(version) + " is not known");
    });
}

std::string TDescriptionCursor::readName(std::uint8_t length) {
    const auto bytes = reader_.ReadBytes(length);
    return std::string(bytes.begin(), bytes.end());
}

// An entry's name and class, or the end marker.
void TDescriptionCursor::readHeader() {
    const std::uint8_t nameLength = reader_.ReadByte();
    if (nameLength == 0) return;
    name_ = readName(nameLength);
    if (!isPrintableName(name_))
        throw EDescriptionError(name_, {}, offset_,
                                "the component's name holds a byte that is not printable");
    const std::size_t classOffset = reader_.Position();
    const std::uint8_t classLength = reader_.ReadByte();
    if (classLength == 0) throw EDescriptionError(name_, {}, classOffset, "the class name is empty");
    className_ = readName(classLength);
    if (!isPrintableName(className_))
        throw EDescriptionError(name_, {}, classOffset, "the class name holds a byte that is not printable");
    inBlock_ = true;
}

bool TDescriptionCursor::Next() {
    withinComponent(name_, reader_, [&] {
        while (inBlock_) NextProperty();
    });
    offset_ = reader_.Position();
    name_.clear();
    className_.clear();
    // withinComponent takes name_ as it stands when a fault is raised: a fault in the
    // header names the entry as soon as its name has been read.
    withinComponent(name_, reader_, [&] { readHeader(); });
    if (inBlock_) return true;
    if (!reader_.AtEnd())
        throw EDescriptionError({}, {}, reader_.Position(), "data follows the end of the description");
    return false;
}

bool TDescriptionCursor::NextProperty() {
    if (!inBlock_) return false;
    inBlock_ = reader_.NextProperty();
    return inBlock_;
}

// ---- ReadDescription

TStoredEntries ReadDescription(std::span<const std::uint8_t> bytes, TComponent& window,
                               const THandlerTable& handlers) {
    const WindowNames names(window, handlers);
    TDescriptionCursor cursor(bytes);
    if (!cursor.Next()) throw EDescriptionError({}, {}, cursor.Offset(), "the description holds no window");
    if (cursor.Name() != window.Name())
        throw EDescriptionError(cursor.Name(), {}, cursor.Offset(), "the window is named " + window.Name());
    checkClass(cursor, window);
    TStoredEntries entries;
    entries.Starts.emplace(cursor.Name(), cursor.Offset());

    window.BeginLoading();
    for (int i = 0; i < window.ComponentCount(); ++i) window.Components(i)->BeginLoading();
    readProperties(cursor, window);
    const auto stored = readComponents(cursor, names, entries);
    entries.End = cursor.Offset();

    resolveNames(window, names);
    for (auto* component : stored) resolveNames(*component, names);
    endLoading(window, stored);
    return entries;
}

}  // namespace vek
