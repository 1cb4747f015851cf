// Walking a description for the stored values of one component, without a window.
#include "assets/stored_items.hpp"

#include "assets/description_reader.hpp"

namespace vek {

namespace {

TStoredItem readItem(TPropertyReader& reader) {
    TStoredItem item;
    while (reader.NextProperty()) {
        if (reader.Name() == "Name" && reader.Kind() == TValueKind::vaString) {
            item.Name = reader.ReadString();
        } else if (reader.Kind() == TValueKind::vaBinary) {
            const std::string name = reader.Name();
            const auto bytes = reader.ReadBinary();
            item.Binaries[name].assign(bytes.begin(), bytes.end());
        }
    }
    return item;
}

// Runs visit on each property of the component named; visit answers whether it read the value.
template <class Visit>
void visitComponent(std::span<const std::uint8_t> description, std::string_view component, Visit visit) {
    TDescriptionCursor cursor(description);
    while (cursor.Next()) {
        if (cursor.Name() != component) continue;
        try {
            while (cursor.NextProperty()) visit(cursor.Reader());
        } catch (const EPropertyError& e) {
            throw EDescriptionError(cursor.Name(), e.Property(), e.Offset(), e.Reason());
        }
    }
}

}  // namespace

std::vector<TStoredItem> StoredItems(std::span<const std::uint8_t> description, std::string_view component,
                                     std::string_view collection) {
    std::vector<TStoredItem> items;
    visitComponent(description, component, [&](TPropertyReader& reader) {
        if (reader.Name() != collection || reader.Kind() != TValueKind::vaCollection) return;
        for (std::uint32_t count = reader.ReadCollection(); count > 0; --count)
            items.push_back(readItem(reader));
    });
    return items;
}

std::optional<std::vector<std::uint8_t>> StoredBinary(std::span<const std::uint8_t> description,
                                                      std::string_view component, std::string_view property) {
    std::optional<std::vector<std::uint8_t>> found;
    visitComponent(description, component, [&](TPropertyReader& reader) {
        if (reader.Name() != property || reader.Kind() != TValueKind::vaBinary) return;
        const auto bytes = reader.ReadBinary();
        found.emplace(bytes.begin(), bytes.end());
    });
    return found;
}

}  // namespace vek
