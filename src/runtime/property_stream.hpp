// Stored properties: a writer and a reader of named values, used by the main window's
// stored description and by the stored properties of sprites.
//
// Format. A block is a run of properties closed by an end marker:
//
//   block    := property* end
//   end      := u8 0
//   property := name value
//   name     := u8 length (1..255), then that many bytes
//   value    := u8 kind, then the payload of that kind:
//     1 vaInteger   8 bytes, signed, little-endian
//     2 vaReal      8 bytes, IEEE 754 double, little-endian
//     3 vaFalse     no payload
//     4 vaTrue      no payload
//     5 vaString    u32 little-endian length, then that many bytes (UTF-8)
//     6 vaIdent     u8 length (1..255), then that many bytes: a name such as an
//                   enumeration member, a component or a handler
//     7 vaBinary    u32 little-endian length, then that many bytes
//     8 vaSet       u8 count, then that many identifiers as in vaIdent: the members
//                   of a set, by name
//     9 vaCollection u32 little-endian count, then that many blocks, one per item
//
// Blocks may follow one another or be nested by their user (the description writes a
// component's block after its header); this pair knows nothing of what the names mean.
// The reader checks every length against the bytes it holds and raises EPropertyError,
// naming the byte offset and the property's path (such as "Items[2].Picture.Data"), for
// anything malformed or of the wrong kind. Names and identifiers hold printable ASCII
// only (space to '~'). Collections nest at most kMaxCollectionDepth deep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/exception.hpp"
#include "runtime/shown_text.hpp"

namespace vek {

// A malformed stored property. Offset is where in the bytes the fault was found; the
// message is the reason followed by " at byte <offset>".
class EPropertyError : public EReadError {
public:
    EPropertyError(const std::string& reason, std::size_t offset, std::string property = {});
    const char* className() const noexcept override { return "EPropertyError"; }
    std::size_t Offset() const noexcept { return offset_; }
    // The fault without its offset, and the path of the property it was found in (empty
    // outside a property).
    const std::string& Reason() const noexcept { return reason_; }
    const std::string& Property() const noexcept { return property_; }

private:
    std::string reason_;
    std::size_t offset_;
    std::string property_;
};

enum class TValueKind : std::uint8_t {
    vaInteger = 1,
    vaReal = 2,
    vaFalse = 3,
    vaTrue = 4,
    vaString = 5,
    vaIdent = 6,
    vaBinary = 7,
    vaSet = 8,
    vaCollection = 9,
};

inline constexpr int kMaxCollectionDepth = 8;

// The kind's name as errors show it: "integer", "real", "boolean", "string",
// "identifier", "binary", "set" or "collection".
const char* valueKindName(TValueKind kind);


class TPropertyWriter {
public:
    void WriteInteger(std::string_view name, std::int64_t value);
    void WriteReal(std::string_view name, double value);
    void WriteBoolean(std::string_view name, bool value);
    void WriteString(std::string_view name, std::string_view value);
    // Identifiers are 1 to 255 bytes long.
    void WriteIdent(std::string_view name, std::string_view value);
    void WriteBinary(std::string_view name, std::span<const std::uint8_t> value);
    // Members are identifiers; at most 255 of them.
    void WriteSet(std::string_view name, std::span<const std::string> members);
    // Starts a collection of count items: the caller then writes count blocks, each
    // closed by WriteEnd.
    void WriteCollection(std::string_view name, std::uint32_t count);
    // Closes the current block.
    void WriteEnd();

    // Raw pieces for a user's own framing around blocks.
    void WriteByte(std::uint8_t value);
    void WriteBytes(std::span<const std::uint8_t> bytes);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(bytes_); }

private:
    void writeName(std::string_view name);
    void writeLe(std::uint64_t value, int count);

    std::vector<std::uint8_t> bytes_;
};

// Reads properties from bytes owned elsewhere. Typical use:
//   while (reader.NextProperty()) {
//       if (reader.Name() == "Tag") tag = reader.ReadInteger(); else reader.SkipValue();
//   }
class TPropertyReader {
public:
    explicit TPropertyReader(std::span<const std::uint8_t> bytes, std::size_t position = 0);

    // Reads the next property's name and kind; false at the block's end marker, which
    // is consumed. The previous property's value must have been read or skipped.
    bool NextProperty();
    const std::string& Name() const { return name_; }
    TValueKind Kind() const { return kind_; }
    // Where the current property's name starts.
    std::size_t PropertyOffset() const { return propertyOffset_; }

    // Each reads the current value, raising EPropertyError when its kind differs.
    std::int64_t ReadInteger();
    // An integer that must lie in min..max.
    std::int64_t ReadInteger(std::int64_t min, std::int64_t max);
    // Accepts an integer too.
    double ReadReal();
    bool ReadBoolean();
    std::string ReadString();
    std::string ReadIdent();
    std::span<const std::uint8_t> ReadBinary();
    // An identifier that must be one of names; answers its index.
    int ReadEnum(std::span<const std::string_view> names);
    // A set whose members must be among names (at most 64); answers the mask with bit i
    // for names[i].
    std::uint64_t ReadSet(std::span<const std::string_view> names);
    // Starts reading a collection; answers its item count. The caller then reads that
    // many blocks (NextProperty until it answers false, once per item).
    std::uint32_t ReadCollection();
    void SkipValue();

    // Where the reader is: the current property's name within the collection items that
    // enclose it, such as "Items[2].Picture.Data" (the innermost item alone, "Items[2]",
    // before its first property).
    std::string Path() const;

    // Raw pieces for a user's own framing around blocks.
    std::uint8_t ReadByte();
    std::span<const std::uint8_t> ReadBytes(std::size_t count);
    bool AtEnd() const { return position_ == bytes_.size(); }
    std::size_t Position() const { return position_; }

    // Raises EPropertyError with the message and the current property's offset.
    [[noreturn]] void Fail(const std::string& message) const;
    // Raises "Unknown property <name>" for the current property.
    [[noreturn]] void FailUnknownProperty() const;

private:
    struct Frame {
        std::string name;
        std::uint32_t count = 0;
        std::uint32_t index = 0;
    };

    void expect(TValueKind kind);
    std::uint64_t readLe(int count);
    std::string readIdentBytes();
    std::vector<std::string> readSetNames();
    void endItem();
    [[noreturn]] void failAt(const std::string& message, std::size_t offset) const;

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::string name_;
    std::size_t nameDepth_ = 0;  // the collection depth name_ was read at
    TValueKind kind_ = TValueKind::vaInteger;
    std::size_t propertyOffset_ = 0;
    bool valuePending_ = false;
    std::vector<Frame> frames_;  // the collections being read, outermost first
};

// One stored property of a class: its name and how to read the reader's current value
// into an object. Tables of these are local to a member function, so that the readers
// may use the class's private parts.
template <class Object>
struct TPropertyEntry {
    std::string_view name;
    void (*read)(Object& object, TPropertyReader& reader);
};

// Reads the current property through the entry of its name (the reader's, or the part of
// it that names a property of a sub-object); false when no entry has it.
template <class Object>
bool ReadPropertyFrom(std::span<const TPropertyEntry<Object>> entries, Object& object,
                      TPropertyReader& reader, std::string_view name) {
    for (const auto& entry : entries) {
        if (entry.name != name) continue;
        entry.read(object, reader);
        return true;
    }
    return false;
}

template <class Object>
bool ReadPropertyFrom(std::span<const TPropertyEntry<Object>> entries, Object& object,
                      TPropertyReader& reader) {
    return ReadPropertyFrom(entries, object, reader, reader.Name());
}

// Reads a collection value into a list: makes each item with add() and hands it every
// property of its block through its ReadProperty; a property it does not know raises.
template <class Add>
void ReadCollectionItems(TPropertyReader& reader, Add add) {
    for (std::uint32_t count = reader.ReadCollection(); count > 0; --count) {
        auto& item = add();
        while (reader.NextProperty())
            if (!item.ReadProperty(reader)) reader.FailUnknownProperty();
    }
}

}  // namespace vek
