// The text form of a recorded game (docs/replay-format.md): a version line, a header of
// one key and value a line, then the input states where they change and the state checks.
// Reading checks everything a replay needs to be played again and names the first line
// that is wrong.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "game/game_record.hpp"
#include "runtime/translation.hpp"

namespace vek {

// The first line of every replay file.
inline constexpr std::string_view kReplayFormatLine = "vektrion-replay 1";
// Replay files end in this.
inline constexpr std::string_view kReplayExtension = ".vkreplay";
// Names and games longer than this are cut when written and when read.
inline constexpr std::size_t kMaxReplayTextLength = 64;
// No game lasts longer than this many ticks (about a week of play).
inline constexpr int kMaxReplayTicks = 1 << 24;
// Files larger than this are no replay, for the game and the replay tool alike.
inline constexpr std::size_t kMaxReplayFileSize = 32u << 20;

struct TReplayFile {
    std::string Game;    // the game and its version that played it
    std::string Date;    // when it ended, UTC: "2025-05-01T12:34:56Z"
    std::string Player;  // the player's name
    TGameRecord Record;
    friend bool operator==(const TReplayFile&, const TReplayFile&) = default;
};

// The file's text, its texts cleaned by CleanReplayText.
std::string FormatReplay(const TReplayFile& replay);

struct TReplayReadError {
    int Line = 0;        // the line that cannot be read, from 1
    std::string Why;     // Reason as written, for the command line
    TFilledText Reason;  // for a window, in the player's language
};

// Reads a replay's text; its texts come cleaned by CleanReplayText, as they were written.
// headerOnly stops after the header (the table of best games needs no more). On a fault
// answers false with the line and the reason.
bool ParseReplay(std::string_view text, TReplayFile& replay, TReplayReadError& error,
                 bool headerOnly = false);

// The rule for the header's texts, written or read, since a replay may come from anyone and
// its player's name reaches the window's caption and the table of best games: a character
// that cannot be shown as it is (runtime/shown_text's isShownCharacter) becomes a space, a
// byte that is not well-formed UTF-8 becomes U+FFFD, and the text is cut between two
// characters to at most kMaxReplayTextLength bytes.
std::string CleanReplayText(std::string_view text);

// "2025-05-01T12:34:56Z" for a time in seconds since 1970.
std::string ReplayDate(long long secondsSince1970);

}  // namespace vek
