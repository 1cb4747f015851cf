// Writing and reading the text form of a recorded game.
#include "game/replay_file.hpp"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "game/spawn_table.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/text_lines.hpp"

namespace vek {

namespace {

std::uint64_t StatesValue(const TInputStates& states) {
    std::uint64_t value = 0;
    const auto& bytes = states.AsBytes();
    for (std::size_t i = 0; i < bytes.size(); ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
    return value;
}

char* Hex(char* out, std::uint64_t value, int width) {
    std::snprintf(out, 17, "%0*llx", width, static_cast<unsigned long long>(value));
    return out;
}

template <class T>
bool ReadNumber(std::string_view text, T& value, int base = 10) {
    if (text.empty() || text.front() == '+' || text.front() == '-') return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

// Splits "KEY VALUE" at the first space.
bool SplitKey(std::string_view line, std::string_view key, std::string_view& value) {
    if (line.size() < key.size() + 1 || line.substr(0, key.size()) != key || line[key.size()] != ' ')
        return false;
    value = line.substr(key.size() + 1);
    return true;
}

bool ValidDate(std::string_view date) {
    constexpr std::string_view pattern = "dddd-dd-ddTdd:dd:ddZ";
    if (date.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool digit = date[i] >= '0' && date[i] <= '9';
        if (pattern[i] == 'd' ? !digit : date[i] != pattern[i]) return false;
    }
    return true;
}

struct Parser {
    TTextLines lines;
    TReplayFile& replay;
    TReplayReadError& error;

    // A fault of the line just read, or (atEnd) of the line the file lacks.
    bool Fail(TFilledText why, bool atEnd = false) {
        error.Line = lines.Number() + (atEnd ? 1 : 0);
        error.Why = why.Written();
        error.Reason = std::move(why);
        return false;
    }
    bool Fail(const char* why) { return Fail(TFilledText{why, {}}); }

    bool Header(std::string_view key, std::string_view& value) {
        std::string_view line;
        // TRANSLATORS: this and the reader's other reasons follow a replay file's name and line
        // in a message box. The words in quotes are the file's own and stay as they are.
        if (!lines.Next(line))
            return Fail({trLater("the file ends before its \"%s\" line"), {std::string(key)}}, true);
        if (!SplitKey(line, key, value))
            return Fail({trLater("expected the \"%s\" line"), {std::string(key)}});
        return true;
    }

    bool ReadHeader() {
        std::string_view line;
        const bool read = lines.Next(line);
        if (!read || line != kReplayFormatLine)
            return Fail(
                {trLater("not a replay: the first line is not \"%s\""), {std::string(kReplayFormatLine)}},
                !read);
        std::string_view value;
        TGameRecord& record = replay.Record;
        if (!Header("game", value)) return false;
        replay.Game = CleanReplayText(value);
        if (!Header("seed", value)) return false;
        if (!ReadNumber(value, record.Seed))
            return Fail(trLater("the seed is not a number from 0 to 4294967295"));
        if (!Header("date", value)) return false;
        if (!ValidDate(value)) return Fail(trLater("the date is not written as 2025-05-01T12:34:56Z"));
        replay.Date = value;
        if (!Header("player", value)) return false;
        replay.Player = CleanReplayText(value);
        return ReadNumbers();
    }

    // The score no more than the most a game can make, since the table and the title trust it.
    bool ReadNumbers() {
        std::string_view value;
        TGameRecord& record = replay.Record;
        if (!Header("score", value)) return false;
        if (!ReadNumber(value, record.Score) || record.Score > MaxGameScore())
            return Fail(
                {trLater("the score is not a whole number from 0 to %s"), {std::to_string(MaxGameScore())}});
        if (!Header("ticks", value)) return false;
        if (!ReadNumber(value, record.Ticks) || record.Ticks < 1 || record.Ticks > kMaxReplayTicks)
            return Fail({trLater("the ticks are not a whole number from 1 to %s"),
                         {std::to_string(kMaxReplayTicks)}});
        return true;
    }

    bool ReadInput(std::string_view tickText, std::string_view statesText) {
        TInputChange change;
        std::uint64_t value = 0;
        if (!ReadNumber(tickText, change.Tick) || change.Tick >= replay.Record.Ticks)
            return Fail(trLater("the tick is not a whole number below the game's ticks"));
        const auto& inputs = replay.Record.Inputs;
        if (!inputs.empty() && change.Tick <= inputs.back().Tick)
            return Fail(trLater("the tick does not come after the previous input line's"));
        if (!ReadNumber(statesText, value, 16) || value >> kInputStateCount)
            return Fail(trLater("the input states are not a hexadecimal number of 36 bits"));
        TInputStates::Bytes bytes;
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
        change.States = TInputStates::FromBytes(bytes);
        replay.Record.Inputs.push_back(change);
        return true;
    }

    int NextCheckTick() const {
        return static_cast<int>(replay.Record.Checks.size()) * kCheckInterval + kCheckInterval - 1;
    }
    // Every check tick before the last tick has its line.
    int CheckCount() const { return (replay.Record.Ticks - 1) / kCheckInterval; }

    bool ReadCheck(std::string_view tickText, std::string_view hashText) {
        TStateCheck check;
        if (static_cast<int>(replay.Record.Checks.size()) >= CheckCount())
            return Fail(trLater("a check after the game's last check tick"));
        if (!ReadNumber(tickText, check.Tick) || check.Tick != NextCheckTick())
            return Fail({trLater("expected the check of tick %s"), {std::to_string(NextCheckTick())}});
        if (hashText.size() != 16 || !ReadNumber(hashText, check.Hash, 16))
            return Fail(trLater("the state hash is not 16 hexadecimal digits"));
        replay.Record.Checks.push_back(check);
        return true;
    }

    static constexpr const char* kBodyLine = trLater("expected \"in TICK STATES\" or \"check TICK HASH\"");

    bool ReadBody() {
        std::string_view line;
        while (lines.Next(line)) {
            const std::size_t first = line.find(' ');
            const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
            if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos)
                return Fail(kBodyLine);
            const std::string_view kind = line.substr(0, first);
            const std::string_view tick = line.substr(first + 1, second - first - 1);
            const std::string_view value = line.substr(second + 1);
            if (kind == "in") {
                if (!ReadInput(tick, value)) return false;
            } else if (kind == "check") {
                if (!ReadCheck(tick, value)) return false;
            } else {
                return Fail(kBodyLine);
            }
        }
        if (static_cast<int>(replay.Record.Checks.size()) < CheckCount()) {
            return Fail(
                {trLater("the file ends before the check of tick %s"), {std::to_string(NextCheckTick())}},
                true);
        }
        return true;
    }
};

}  // namespace

std::string FormatReplay(const TReplayFile& replay) {
    const TGameRecord& record = replay.Record;
    std::string out;
    out.reserve(256 + record.Inputs.size() * 16 + record.Checks.size() * 32);
    out.append(kReplayFormatLine).append("\n");
    out += "game " + CleanReplayText(replay.Game) + "\n";
    out += "seed " + std::to_string(record.Seed) + "\n";
    out += "date " + CleanReplayText(replay.Date) + "\n";
    out += "player " + CleanReplayText(replay.Player) + "\n";
    out += "score " + std::to_string(record.Score) + "\n";
    out += "ticks " + std::to_string(record.Ticks) + "\n";
    // Input and check lines come in tick order, an input before a check of the same tick.
    std::size_t c = 0;
    char hex[17];
    for (std::size_t i = 0; i <= record.Inputs.size(); ++i) {
        const int until = i < record.Inputs.size() ? record.Inputs[i].Tick : record.Ticks;
        for (; c < record.Checks.size() && record.Checks[c].Tick < until; ++c)
            out += "check " + std::to_string(record.Checks[c].Tick) + " " +
                   Hex(hex, record.Checks[c].Hash, 16) + "\n";
        if (i < record.Inputs.size())
            out += "in " + std::to_string(until) + " " + Hex(hex, StatesValue(record.Inputs[i].States), 1) +
                   "\n";
    }
    return out;
}

bool ParseReplay(std::string_view text, TReplayFile& replay, TReplayReadError& error, bool headerOnly) {
    replay = TReplayFile{};
    error = TReplayReadError{};
    Parser parser{TTextLines(text), replay, error};
    if (!parser.ReadHeader()) return false;
    return headerOnly || parser.ReadBody();
}

std::string CleanReplayText(std::string_view text) {
    constexpr std::string_view kUnreadable = "\xEF\xBF\xBD";  // U+FFFD
    std::string out;
    while (!text.empty()) {
        char32_t c = 0;
        const std::size_t size = utf8Character(text, c);
        const std::string_view shown = size == 0             ? kUnreadable
                                       : isShownCharacter(c) ? text.substr(0, size)
                                                             : " ";
        if (out.size() + shown.size() > kMaxReplayTextLength) break;
        out += shown;
        text.remove_prefix(size == 0 ? 1 : size);
    }
    return out;
}

std::string ReplayDate(long long secondsSince1970) {
    const std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm utc{};
    if (!gmtime_r(&time, &utc)) return "1970-01-01T00:00:00Z";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace vek
