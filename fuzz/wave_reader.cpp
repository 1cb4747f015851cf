// Feeds arbitrary bytes to the RIFF WAVE reader; whatever loads must save and load again
// to the same format block and samples.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "media/wave.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vek::TSpanStream input(std::span<const std::uint8_t>(data, size));
    vek::TWave wave;
    try {
        wave.LoadFromStream(input);
    } catch (const vek::Exception&) {
        return 0;
    }
    vek::TMemoryStream saved;
    wave.SaveToStream(saved);
    if (wave.FormatSize() == 0 || wave.Size() == 0) return 0;
    saved.SetPosition(0);
    vek::TWave again;
    again.LoadFromStream(saved);
    if (again.Format() != wave.Format() || again.Size() != wave.Size() ||
        std::memcmp(again.Data(), wave.Data(), static_cast<std::size_t>(wave.Size())) != 0)
        std::abort();
    return 0;
}
