// The stored description of a window in its compact binary form, and the reader that
// hands each of the window's components its stored properties before the window starts.
//
// Format (all integers little-endian):
//
//   description := magic version entry+ end
//   magic       := the four bytes "VKTD"
//   version     := u8, 1
//   entry       := name class block
//   name, class := u8 length (1..255), then that many bytes of printable ASCII
//   block       := the entry's properties, as runtime/property_stream.hpp writes them
//   end         := u8 0, the last byte of the data
//
// The first entry is the window itself; the others are its components in stored order.
// Values that name a component (ImageList's DXDraw) or one of the window's handlers
// (DXTimer's OnTimer) are identifiers. Collections of items (Items) are collection values
// whose items are blocks of their own. Binary values hold exactly the bytes their owner
// reads: "Picture.Data" a picture-kind name and a picture, "WAVE" a RIFF WAVE file,
// "Keyboard.Assigns" the 432-byte key bindings, "Items.ColorTable" 1024 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "runtime/component.hpp"
#include "runtime/exception.hpp"
#include "runtime/property_stream.hpp"

namespace vek {

inline constexpr char kDescriptionMagic[4] = {'V', 'K', 'T', 'D'};
inline constexpr std::uint8_t kDescriptionVersion = 1;

// Stored description data that cannot be used. The message names the component, the
// property and the byte offset: "component DXTimer, property Interval, byte 345: <reason>".
// A fault that belongs to no component (the description's magic, version and end) says
// "window" for the component; one outside any property (the magic and version, an entry's
// name and class, the framing between properties, the end) says "header" for the
// property: "window, header, byte 0: <reason>". Names and reason are shown escaped, names
// shortened (shownName), as the data may hold any byte.
class EDescriptionError : public EReadError {
public:
    EDescriptionError(std::string component, std::string property, std::size_t offset,
                      const std::string& reason);
    const char* className() const noexcept override { return "EDescriptionError"; }
    const std::string& Component() const noexcept { return component_; }
    const std::string& Property() const noexcept { return property_; }
    std::size_t Offset() const noexcept { return offset_; }

private:
    std::string component_;
    std::string property_;
    std::size_t offset_;
};

// Walks the entries of a description without knowing what they mean.
class TDescriptionCursor {
public:
    // Checks the magic and the version.
    explicit TDescriptionCursor(std::span<const std::uint8_t> bytes);

    // Moves to the next entry, skipping what is left of the current one's properties;
    // false after the last entry, where the data must end.
    bool Next();
    const std::string& Name() const { return name_; }
    const std::string& ClassName() const { return className_; }
    // Where the current entry starts.
    std::size_t Offset() const { return offset_; }

    // The current entry's next property, as TPropertyReader::NextProperty; its value is
    // read from Reader().
    bool NextProperty();
    TPropertyReader& Reader() { return reader_; }

private:
    void readHeader();
    std::string readName(std::uint8_t length);

    TPropertyReader reader_;
    std::string name_;
    std::string className_;
    std::size_t offset_ = 0;
    bool inBlock_ = false;
};

// Where the entries of a description that has been read start, for the checks that the
// window makes once reading has ended.
struct TStoredEntries {
    std::map<std::string, std::size_t, std::less<>> Starts;  // by component name, the window's too
    std::size_t End = 0;                                     // where the end marker is
};

// Reads a description into a window whose components exist already: the first entry must
// be the window (same name and class), every other one names a component of it with its
// class, each at most once. Every component loads while the properties are read; then
// the names of components and handlers are resolved, and loading ends for the window,
// then for its components in stored order (those the description leaves out last).
// Anything that does not fit raises EDescriptionError. Answers where the entries start.
TStoredEntries ReadDescription(std::span<const std::uint8_t> bytes, TComponent& window,
                               const THandlerTable& handlers);

}  // namespace vek
