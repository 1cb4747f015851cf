// Fuzz target for the reader of replay files: any text reads or is refused with a line
// within the text and a reason, whatever reads has its ticks in order and below the game's
// length, a score a game can make and texts as cleaned as the game writes them, and what the
// game would write from it reads back the same, texts included.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/replay_file.hpp"
#include "game/spawn_table.hpp"

namespace {

bool InOrder(const vek::TGameRecord& record) {
    int previous = -1;
    for (const auto& input : record.Inputs) {
        if (input.Tick <= previous || input.Tick >= record.Ticks) return false;
        previous = input.Tick;
    }
    for (std::size_t i = 0; i < record.Checks.size(); ++i)
        if (record.Checks[i].Tick != static_cast<int>(i) * vek::kCheckInterval + vek::kCheckInterval - 1)
            return false;
    return true;
}

bool IsClean(const std::string& text) {
    return text.size() <= vek::kMaxReplayTextLength && vek::CleanReplayText(text) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vek::TReplayFile replay;
    vek::TReplayReadError error;
    if (!vek::ParseReplay(text, replay, error)) {
        // The text's lines, the last one counted whether or not a line end closes it; a
        // file that stops early is refused at the line after its last.
        const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                                  (text.empty() || text.back() == '\n' ? 0 : 1);
        if (error.Line < 1 || static_cast<std::size_t>(error.Line) > lines + 1 || error.Why.empty())
            std::abort();
        return 0;
    }
    if (!InOrder(replay.Record)) std::abort();
    if (!IsClean(replay.Game) || !IsClean(replay.Player) || replay.Record.Score > vek::MaxGameScore())
        std::abort();
    vek::TReplayFile again;
    if (!vek::ParseReplay(vek::FormatReplay(replay), again, error)) std::abort();
    if (!(again == replay)) std::abort();
    return 0;
}
