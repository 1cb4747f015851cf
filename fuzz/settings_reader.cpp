// Fuzz target for the reader of the settings file: any text reads without failing, every
// value it yields is within its range, at most eleven short, printable warning lines name
// the file, a refused text gives the defaults without a word, and what the game would
// write from the result, fresh or over the text, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/settings/settings.hpp"
#include "runtime/shown_text.hpp"

namespace {

// Every value the reader yields is one a settings file may give (the defaults are too).
bool inRange(const vek::TSettings& s) {
    const auto& w = s.window;
    return std::abs(w.left) <= vek::kMaxPlace && std::abs(w.top) <= vek::kMaxPlace &&
           w.viewWidth >= vek::kPictureWidth && w.viewHeight >= vek::kPictureHeight &&
           w.viewWidth <= vek::kMaxViewSize && w.viewHeight <= vek::kMaxViewSize;
}

// Whatever the file holds, a warning is one short line that cannot upset a terminal.
bool shownSafely(const std::string& warning) {
    constexpr std::size_t kLongestWarning = 120;
    return warning.rfind("f:", 0) == 0 && warning.size() <= kLongestWarning && vek::isPrintableName(warning);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vek::TSettings defaults{{197, 108, 1280, 960, false}, {false, true, false}, true};
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vek::TSettingsRead read = vek::ParseSettings(text, "f", defaults);
    if (!inRange(read.settings) || read.warnings.size() > 11) std::abort();
    for (const auto& warning : read.warnings)
        if (!shownSafely(warning)) std::abort();
    if (read.refused) {
        if (!(read.settings == defaults) || !read.warnings.empty()) std::abort();
        return 0;
    }
    const vek::TSettingsRead fresh = vek::ParseSettings(vek::FormatSettings(read.settings), "f", defaults);
    if (!(fresh.settings == read.settings) || !fresh.warnings.empty()) std::abort();
    const vek::TSettingsRead kept =
        vek::ParseSettings(vek::FormatSettings(read.settings, text), "f", defaults);
    if (!(kept.settings == read.settings) || kept.refused) std::abort();
    return 0;
}
