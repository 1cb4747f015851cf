// Fuzz target for the reader of the settings file: any text reads without failing, every
// value it yields is within its range, at most eleven warning lines name the file, and
// what the game would write from the result reads back the same without warnings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/settings.hpp"

namespace {

// Every value the reader yields is one a settings file may give (the defaults are too).
bool inRange(const vek::TSettings& s) {
    const auto& w = s.window;
    return std::abs(w.left) <= vek::kMaxPlace && std::abs(w.top) <= vek::kMaxPlace &&
           w.viewWidth >= vek::kPictureWidth && w.viewHeight >= vek::kPictureHeight &&
           w.viewWidth <= vek::kMaxViewSize && w.viewHeight <= vek::kMaxViewSize;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vek::TSettings defaults{{197, 108, 1280, 960, false}, false, true, false, true};
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vek::TSettingsRead read = vek::ParseSettings(text, "f", defaults);
    if (!inRange(read.settings) || read.warnings.size() > 11) std::abort();
    for (const auto& warning : read.warnings)
        if (warning.rfind("f:", 0) != 0) std::abort();
    const vek::TSettingsRead again = vek::ParseSettings(vek::FormatSettings(read.settings), "f", defaults);
    if (!(again.settings == read.settings) || !again.warnings.empty()) std::abort();
    return 0;
}
