// Reading the sprites' stored properties through a table of names, one reader per name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/property_stream.hpp"

namespace vek {

// A stored integer that must fit 32 bits; EPropertyError otherwise.
inline int readInt32(TPropertyReader& reader) {
    const std::int64_t value = reader.ReadInteger();
    if (value < INT32_MIN || value > INT32_MAX) reader.Fail("Property " + reader.Name() + " is out of range");
    return static_cast<int>(value);
}

template <class Sprite>
struct TStoredField {
    const char* name;
    void (*read)(Sprite& sprite, TPropertyReader& reader);
};

// Reads the current property into sprite when the table names it; false otherwise.
template <class Sprite>
bool readStoredField(std::span<const TStoredField<Sprite>> table, Sprite& sprite, TPropertyReader& reader) {
    for (const auto& field : table) {
        if (reader.Name() != field.name) continue;
        field.read(sprite, reader);
        return true;
    }
    return false;
}

}  // namespace vek
