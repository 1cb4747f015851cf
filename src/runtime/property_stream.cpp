// The stored-property writer and reader; the format is described in the header.
#include "runtime/property_stream.hpp"

#include <bit>

namespace vek {

EPropertyError::EPropertyError(const std::string& message, std::size_t offset)
    : EReadError(message), offset_(offset) {}

const char* valueKindName(TValueKind kind) {
    switch (kind) {
        case TValueKind::vaInteger:
            return "integer";
        case TValueKind::vaReal:
            return "real";
        case TValueKind::vaFalse:
        case TValueKind::vaTrue:
            return "boolean";
        case TValueKind::vaString:
            return "string";
        case TValueKind::vaIdent:
            return "identifier";
        case TValueKind::vaBinary:
            return "binary";
    }
    return "unknown";
}

// --- writer ---

void TPropertyWriter::WriteByte(std::uint8_t value) {
    bytes_.push_back(value);
}

void TPropertyWriter::WriteBytes(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void TPropertyWriter::writeLe(std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TPropertyWriter::writeName(std::string_view name) {
    if (name.empty() || name.size() > 255) throw EWriteError("Property name must be 1 to 255 bytes");
    WriteByte(static_cast<std::uint8_t>(name.size()));
    bytes_.insert(bytes_.end(), name.begin(), name.end());
}

void TPropertyWriter::WriteInteger(std::string_view name, std::int64_t value) {
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaInteger));
    writeLe(static_cast<std::uint64_t>(value), 8);
}

void TPropertyWriter::WriteReal(std::string_view name, double value) {
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaReal));
    writeLe(std::bit_cast<std::uint64_t>(value), 8);
}

void TPropertyWriter::WriteBoolean(std::string_view name, bool value) {
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(value ? TValueKind::vaTrue : TValueKind::vaFalse));
}

void TPropertyWriter::WriteString(std::string_view name, std::string_view value) {
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaString));
    writeLe(value.size(), 4);
    bytes_.insert(bytes_.end(), value.begin(), value.end());
}

void TPropertyWriter::WriteIdent(std::string_view name, std::string_view value) {
    if (value.empty() || value.size() > 255) throw EWriteError("Identifier must be 1 to 255 bytes");
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaIdent));
    WriteByte(static_cast<std::uint8_t>(value.size()));
    bytes_.insert(bytes_.end(), value.begin(), value.end());
}

void TPropertyWriter::WriteBinary(std::string_view name, std::span<const std::uint8_t> value) {
    if (value.size() > 0xFFFFFFFFu) throw EWriteError("Binary property too long");
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaBinary));
    writeLe(value.size(), 4);
    WriteBytes(value);
}

void TPropertyWriter::WriteEnd() {
    WriteByte(0);
}

// --- reader ---

TPropertyReader::TPropertyReader(std::span<const std::uint8_t> bytes, std::size_t position)
    : bytes_(bytes), position_(position < bytes.size() ? position : bytes.size()) {}

void TPropertyReader::failAt(const std::string& message, std::size_t offset) const {
    throw EPropertyError(message + " at byte " + std::to_string(offset), offset);
}

void TPropertyReader::Fail(const std::string& message) const {
    failAt(message, propertyOffset_);
}

std::span<const std::uint8_t> TPropertyReader::ReadBytes(std::size_t count) {
    if (count > bytes_.size() - position_) failAt("Stored data ends early", position_);
    auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
}

std::uint8_t TPropertyReader::ReadByte() {
    return ReadBytes(1)[0];
}

std::uint64_t TPropertyReader::readLe(int count) {
    const auto part = ReadBytes(static_cast<std::size_t>(count));
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value |= std::uint64_t{part[static_cast<std::size_t>(i)]} << (8 * i);
    return value;
}

bool TPropertyReader::NextProperty() {
    if (valuePending_) SkipValue();
    propertyOffset_ = position_;
    const std::uint8_t length = ReadByte();
    if (length == 0) return false;
    const auto name = ReadBytes(length);
    name_.assign(name.begin(), name.end());
    const std::size_t kindOffset = position_;
    const std::uint8_t kind = ReadByte();
    if (kind < 1 || kind > 7)
        failAt("Unknown value kind " + std::to_string(kind) + " of property " + name_, kindOffset);
    kind_ = static_cast<TValueKind>(kind);
    valuePending_ = true;
    return true;
}

void TPropertyReader::expect(TValueKind kind) {
    if (!valuePending_) failAt("No property value to read", position_);
    const bool boolean = kind == TValueKind::vaFalse || kind == TValueKind::vaTrue;
    const bool kindBoolean = kind_ == TValueKind::vaFalse || kind_ == TValueKind::vaTrue;
    if (kind_ != kind && !(boolean && kindBoolean)) {
        Fail(std::string("Property ") + name_ + " holds a " + valueKindName(kind_) + ", not a " +
             valueKindName(kind));
    }
    valuePending_ = false;
}

std::int64_t TPropertyReader::ReadInteger() {
    expect(TValueKind::vaInteger);
    return static_cast<std::int64_t>(readLe(8));
}

double TPropertyReader::ReadReal() {
    if (valuePending_ && kind_ == TValueKind::vaInteger) return static_cast<double>(ReadInteger());
    expect(TValueKind::vaReal);
    return std::bit_cast<double>(readLe(8));
}

bool TPropertyReader::ReadBoolean() {
    expect(TValueKind::vaTrue);
    return kind_ == TValueKind::vaTrue;
}

std::string TPropertyReader::ReadString() {
    expect(TValueKind::vaString);
    const auto bytes = ReadBytes(static_cast<std::size_t>(readLe(4)));
    return std::string(bytes.begin(), bytes.end());
}

std::string TPropertyReader::ReadIdent() {
    expect(TValueKind::vaIdent);
    const std::size_t offset = position_;
    const std::uint8_t length = ReadByte();
    if (length == 0) failAt("Empty identifier in property " + name_, offset);
    const auto bytes = ReadBytes(length);
    return std::string(bytes.begin(), bytes.end());
}

std::span<const std::uint8_t> TPropertyReader::ReadBinary() {
    expect(TValueKind::vaBinary);
    return ReadBytes(static_cast<std::size_t>(readLe(4)));
}

void TPropertyReader::SkipValue() {
    switch (kind_) {
        case TValueKind::vaInteger:
            ReadInteger();
            break;
        case TValueKind::vaReal:
            ReadReal();
            break;
        case TValueKind::vaFalse:
        case TValueKind::vaTrue:
            ReadBoolean();
            break;
        case TValueKind::vaString:
            ReadString();
            break;
        case TValueKind::vaIdent:
            ReadIdent();
            break;
        case TValueKind::vaBinary:
            ReadBinary();
            break;
    }
}

}  // namespace vek
