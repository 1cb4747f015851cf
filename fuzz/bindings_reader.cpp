// Fuzz target for the reader of the stored key bindings ("Assigns"): any input either
// raises the stream read error or yields a table that writes back as the bytes it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "media/key_bindings.hpp"
#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vek::TSpanStream stream(std::span<const std::uint8_t>(data, size));
    vek::TKeyAssignList assigns = vek::defaultKeyAssigns();
    try {
        vek::readKeyAssigns(stream, assigns);
    } catch (const vek::EReadError&) {
        if (size >= vek::kKeyAssignsSize) std::abort();         // enough data must always read
        if (assigns != vek::defaultKeyAssigns()) std::abort();  // a failed read changes nothing
        return 0;
    }
    if (stream.Position() != vek::kKeyAssignsSize) std::abort();
    vek::TMemoryStream written;
    vek::writeKeyAssigns(written, assigns);
    if (written.bytes().size() != vek::kKeyAssignsSize ||
        std::memcmp(written.bytes().data(), data, vek::kKeyAssignsSize) != 0)
        std::abort();
    return 0;
}
