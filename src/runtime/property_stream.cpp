// The stored-property writer and reader; the format is described in the header.
#include "runtime/property_stream.hpp"

#include <algorithm>
#include <bit>

namespace vek {

EPropertyError::EPropertyError(const std::string& reason, std::size_t offset, std::string property)
    : EReadError(reason + " at byte " + std::to_string(offset)),
      reason_(reason),
      offset_(offset),
      property_(std::move(property)) {}

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
        case TValueKind::vaSet:
            return "set";
        case TValueKind::vaCollection:
            return "collection";
    }
    return "unknown";
}

namespace {

std::string withArticle(std::string_view noun) {
    const bool vowel = !noun.empty() && std::string_view("aeiou").find(noun[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(noun);
}

}  // namespace

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

void TPropertyWriter::WriteSet(std::string_view name, std::span<const std::string> members) {
    if (members.size() > 255) throw EWriteError("A set holds at most 255 members");
    for (const auto& member : members)
        if (member.empty() || member.size() > 255) throw EWriteError("Identifier must be 1 to 255 bytes");
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaSet));
    WriteByte(static_cast<std::uint8_t>(members.size()));
    for (const auto& member : members) {
        WriteByte(static_cast<std::uint8_t>(member.size()));
        bytes_.insert(bytes_.end(), member.begin(), member.end());
    }
}

void TPropertyWriter::WriteCollection(std::string_view name, std::uint32_t count) {
    writeName(name);
    WriteByte(static_cast<std::uint8_t>(TValueKind::vaCollection));
    writeLe(count, 4);
}

void TPropertyWriter::WriteEnd() {
    WriteByte(0);
}

// --- reader ---

TPropertyReader::TPropertyReader(std::span<const std::uint8_t> bytes, std::size_t position)
    : bytes_(bytes), position_(position < bytes.size() ? position : bytes.size()) {}

void TPropertyReader::failAt(const std::string& message, std::size_t offset) const {
    throw EPropertyError(message, offset, Path());
}

std::string TPropertyReader::Path() const {
    std::string path;
    for (const auto& frame : frames_) {
        if (!path.empty()) path += '.';
        path += shownName(frame.name) + '[' + std::to_string(frame.index) + ']';
    }
    if (nameDepth_ == frames_.size() && !name_.empty()) {
        if (!path.empty()) path += '.';
        path += shownName(name_);
    }
    return path;
}

void TPropertyReader::Fail(const std::string& message) const {
    failAt(message, propertyOffset_);
}

void TPropertyReader::FailUnknownProperty() const {
    Fail("Unknown property " + shownName(name_));
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
    // Until the new name is read, a fault belongs to no property: neither to the one
    // before it nor, after a block's end, to a property of the block that ended.
    name_.clear();
    nameDepth_ = frames_.size();
    propertyOffset_ = position_;
    const std::uint8_t length = ReadByte();
    if (length == 0) {
        endItem();
        return false;
    }
    const auto name = ReadBytes(length);
    // A name whose length byte is too large swallows the bytes after it; they show in
    // the path, escaped, so that the message says what was taken for the name.
    name_.assign(name.begin(), name.end());
    if (!isPrintableName(name_)) failAt("Property name holds a byte that is not printable", propertyOffset_);
    const std::size_t kindOffset = position_;
    const std::uint8_t kind = ReadByte();
    if (kind < 1 || kind > 9)
        failAt("Unknown value kind " + std::to_string(kind) + " of property " + shownName(name_), kindOffset);
    kind_ = static_cast<TValueKind>(kind);
    valuePending_ = true;
    return true;
}

void TPropertyReader::expect(TValueKind kind) {
    if (!valuePending_) failAt("No property value to read", position_);
    const bool boolean = kind == TValueKind::vaFalse || kind == TValueKind::vaTrue;
    const bool kindBoolean = kind_ == TValueKind::vaFalse || kind_ == TValueKind::vaTrue;
    if (kind_ != kind && !(boolean && kindBoolean)) {
        Fail("Property " + shownName(name_) + " holds " + withArticle(valueKindName(kind_)) + ", not " +
             withArticle(valueKindName(kind)));
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

// An end marker inside a collection closes its current item; the last item's closes
// the collection.
void TPropertyReader::endItem() {
    if (frames_.empty()) return;
    auto& frame = frames_.back();
    if (++frame.index == frame.count) frames_.pop_back();
}

std::string TPropertyReader::readIdentBytes() {
    const std::size_t offset = position_;
    const std::uint8_t length = ReadByte();
    if (length == 0) failAt("Empty identifier in property " + shownName(name_), offset);
    const auto bytes = ReadBytes(length);
    std::string ident(bytes.begin(), bytes.end());
    if (!isPrintableName(ident)) failAt("Identifier holds a byte that is not printable", offset);
    return ident;
}

std::string TPropertyReader::ReadIdent() {
    expect(TValueKind::vaIdent);
    return readIdentBytes();
}

std::int64_t TPropertyReader::ReadInteger(std::int64_t min, std::int64_t max) {
    const std::int64_t value = ReadInteger();
    if (value < min || value > max) {
        Fail("Property " + shownName(name_) + " holds " + std::to_string(value) + ", outside " +
             std::to_string(min) + ".." + std::to_string(max));
    }
    return value;
}

int TPropertyReader::ReadEnum(std::span<const std::string_view> names) {
    const std::string value = ReadIdent();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == value) return static_cast<int>(i);
    Fail("Property " + shownName(name_) + " has no value " + shownName(value));
}

std::vector<std::string> TPropertyReader::readSetNames() {
    expect(TValueKind::vaSet);
    const std::uint8_t count = ReadByte();
    std::vector<std::string> members;
    for (int i = 0; i < count; ++i) members.push_back(readIdentBytes());
    return members;
}

std::uint64_t TPropertyReader::ReadSet(std::span<const std::string_view> names) {
    std::uint64_t mask = 0;
    for (const auto& member : readSetNames()) {
        std::size_t i = 0;
        while (i < names.size() && i < 64 && names[i] != member) ++i;
        if (i == names.size() || i == 64)
            Fail("Property " + shownName(name_) + " has no member " + shownName(member));
        mask |= std::uint64_t{1} << i;
    }
    return mask;
}

std::uint32_t TPropertyReader::ReadCollection() {
    expect(TValueKind::vaCollection);
    const std::size_t offset = position_;
    const auto count = static_cast<std::uint32_t>(readLe(4));
    // Every item takes at least its end marker.
    if (count > bytes_.size() - position_) failAt("Stored data ends early", offset);
    if (frames_.size() >= kMaxCollectionDepth)
        Fail("Collections nest too deeply in property " + shownName(name_));
    if (count > 0) frames_.push_back(Frame{name_, count, 0});
    return count;
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
        case TValueKind::vaSet:
            readSetNames();
            break;
        case TValueKind::vaCollection:
            for (std::uint32_t count = ReadCollection(); count > 0; --count)
                while (NextProperty()) SkipValue();
            break;
    }
}

}  // namespace vek
