// Stored values read straight from a description without a window: the items of a
// component's collection and a component's binary properties, as the tools that extract
// pictures and sounds and the catalogue checks need them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

struct TStoredItem {
    std::string Name;  // the item's Name property, empty when it has none
    // The item's binary properties by name ("Picture.Data", "WAVE").
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> Binaries;
};

// The items of the collection property of the component named, in stored order; empty
// when the description has no such component or collection. Malformed data raises
// EDescriptionError.
std::vector<TStoredItem> StoredItems(std::span<const std::uint8_t> description, std::string_view component,
                                     std::string_view collection);

// The binary property of the component named ("Keyboard.Assigns" of "DXInput"), if stored.
std::optional<std::vector<std::uint8_t>> StoredBinary(std::span<const std::uint8_t> description,
                                                      std::string_view component, std::string_view property);

}  // namespace vek
