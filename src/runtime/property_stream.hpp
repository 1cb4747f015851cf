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
//
// Blocks may follow one another or be nested by their user (the description writes a
// component's block after its header); this pair knows nothing of what the names mean.
// The reader checks every length against the bytes it holds and raises EPropertyError,
// naming the byte offset, for anything malformed or of the wrong kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/exception.hpp"

namespace vek {

// A malformed stored property. Offset is where in the bytes the fault was found.
class EPropertyError : public EReadError {
public:
    EPropertyError(const std::string& message, std::size_t offset);
    const char* className() const noexcept override { return "EPropertyError"; }
    std::size_t Offset() const noexcept { return offset_; }

private:
    std::size_t offset_;
};

enum class TValueKind : std::uint8_t {
    vaInteger = 1,
    vaReal = 2,
    vaFalse = 3,
    vaTrue = 4,
    vaString = 5,
    vaIdent = 6,
    vaBinary = 7,
};

// The kind's name as errors show it: "integer", "real", "boolean", "string",
// "identifier" or "binary".
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
    // Accepts an integer too.
    double ReadReal();
    bool ReadBoolean();
    std::string ReadString();
    std::string ReadIdent();
    std::span<const std::uint8_t> ReadBinary();
    void SkipValue();

    // Raw pieces for a user's own framing around blocks.
    std::uint8_t ReadByte();
    std::span<const std::uint8_t> ReadBytes(std::size_t count);
    bool AtEnd() const { return position_ == bytes_.size(); }
    std::size_t Position() const { return position_; }

    // Raises EPropertyError with the message and the current property's offset.
    [[noreturn]] void Fail(const std::string& message) const;

private:
    void expect(TValueKind kind);
    std::uint64_t readLe(int count);
    [[noreturn]] void failAt(const std::string& message, std::size_t offset) const;

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::string name_;
    TValueKind kind_ = TValueKind::vaInteger;
    std::size_t propertyOffset_ = 0;
    bool valuePending_ = false;
};

}  // namespace vek
