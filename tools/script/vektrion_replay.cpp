// vektrion-replay: runs the real game on the scripted run from a key script of held keys
// and prints one line per tick with the game's state and a hash of the presented frame.
// --help prints the usage; wrong arguments print one line and the usage on stderr with exit
// status 2; a script or an output that cannot be used ends it with one line and status 1.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/replays/records_form.hpp"
#include "app/window/main_form.hpp"
#include "game/replay_file.hpp"
#include "game/scenes.hpp"
#include "runtime/arguments.hpp"
#include "runtime/exception.hpp"
#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/stream.hpp"
#include "runtime/text_lines.hpp"
#include "runtime/version.hpp"
#include "script/replay_check.hpp"
#include "script/scripted_run.hpp"

// Under the leak checker: fontconfig keeps a little memory of its own until the process
// ends, which is not the game's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

constexpr const char* kUsage =
    "usage: vektrion-replay SCRIPT [--ticks N] [--stars FILE] [--frames DIR] [--every K]\n"
    "                       [--record FILE]\n"
    "       vektrion-replay --verify REPLAY\n"
    "       vektrion-replay REPLAY --frames DIR [--every K]\n"
    "  SCRIPT        lines \"TICK KEYS\": from tick TICK on exactly KEYS are held; KEYS is a\n"
    "                '+'-joined list of up down left right space z x enter h j k l kp2 kp4\n"
    "                kp6 kp8 f2, or '-' for none; '#' starts a comment line\n"
    "  --ticks N     ticks to run (default: up to and including the script's last tick)\n"
    "  --stars FILE  write the first playing scene's star layers' chips (30 lines of 200)\n"
    "  --frames DIR  write the frame of every K-th tick as DIR/frame-NNNNNN.ppm (NNNNNN: tick)\n"
    "  --every K     the K for --frames (default 1)\n"
    "  --record FILE write the first game the script plays to its end as a replay file\n"
    "  --verify      check a REPLAY instead of printing ticks\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "Prints per tick: tick=T scene=S frame=F score=N sprites=A player=X,Y,ST shots=K\n"
    "sounds=LIST hash=H\n"
    "  REPLAY        a game kept by vektrion (.vkreplay): --verify plays it and checks every\n"
    "                state hash and the score, printing one line and exiting 0 when all\n"
    "                match, else naming the first second that differs or the bad line, exit 1;\n"
    "                with --frames its frames are written instead of tick lines\n";

constexpr vek::TOptionSpec kOptions[] = {{"--ticks", "N"}, {"--stars", "FILE"},  {"--frames", "DIR"},
                                         {"--every", "K"}, {"--record", "FILE"}, {"--verify", {}}};
constexpr std::string_view kOperands[] = {"SCRIPT or REPLAY"};
constexpr vek::TProgramSpec kProgram{"vektrion-replay", kUsage, kOptions, kOperands, 1};

// The game's own limit for replays; a key script of one line per tick for hours of play stays
// far below it too.
constexpr vek::TFileLimit kScriptLimit{static_cast<std::int64_t>(vek::kMaxReplayFileSize),
                                       "a replay or a key script"};

struct Options {
    std::string script;
    std::int64_t ticks = -1;  // -1: up to and including the script's last tick
    std::string stars;
    std::string frames;
    int every = 1;
    std::string record;
    bool verify = false;
};

bool ParseCount(std::string_view text, int minimum, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && value >= minimum;
}

// Reads the options' values; answers what is wrong with one, or an empty text.
std::string ReadOptions(const vek::TArguments& arguments, Options& options) {
    options.script = arguments.Operands[0];
    int count = 0;
    if (const auto ticks = arguments.Value("--ticks")) {
        if (!ParseCount(*ticks, 0, count))
            return vek::BadValue("--ticks", "a whole number from 0 up", *ticks);
        options.ticks = count;
    }
    if (const auto every = arguments.Value("--every")) {
        if (!ParseCount(*every, 1, options.every))
            return vek::BadValue("--every", "a whole number from 1 up", *every);
    }
    options.stars = arguments.Value("--stars").value_or("");
    options.frames = arguments.Value("--frames").value_or("");
    options.record = arguments.Value("--record").value_or("");
    options.verify = arguments.Has("--verify");
    return {};
}

vek::script::TScript ReadScript(const std::string& path, const std::string& text) {
    vek::script::TScript script;
    std::string error;
    if (!vek::script::ParseScript(text, script, error))
        throw vek::EReadError("\"" + vek::shownName(path, vek::kShownPathLength) + "\": " + error);
    return script;
}

std::string FramePath(const std::string& dir, std::int64_t tick) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.ppm", static_cast<long long>(tick));
    return dir + name;
}

// writeFileBytes names the file and the system's reason for the very call that failed.
void WriteFrame(vek::script::TScriptedRun& run, const std::string& path) {
    vek::writeFileBytes(path, run.FramePpm());
}

// The game a script played, as the game keeps its players' games; its date is
// SOURCE_DATE_EPOCH's when that is set, so that the same script writes the same file.
void WriteRecord(const std::string& path, const vek::TGameRecord& record) {
    vek::TReplayFile replay;
    replay.Game = vek::kApplicationTitle;
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    replay.Date = vek::ReplayDate(epoch ? std::atoll(epoch) : static_cast<long long>(std::time(nullptr)));
    replay.Player = "Vektrion";
    replay.Record = record;
    const std::string text = vek::FormatReplay(replay);
    vek::writeFileBytes(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

int RunScript(const Options& options, const vek::script::TScript& script) {
    // 64 bits: a last tick of the largest int still counts one tick more.
    const std::int64_t ticks =
        options.ticks >= 0 ? options.ticks : (script.empty() ? 0 : std::int64_t{script.back().Tick} + 1);
    vek::script::TScriptedRun run;
    std::optional<vek::TGameRecord> recorded;
    run.Form().Game().OnGameRecorded = [&recorded](const vek::TGameRecord& record) {
        if (!recorded) recorded = record;
    };
    bool starsWritten = false;
    for (std::int64_t tick = 0; tick < ticks; ++tick) {
        const auto report = run.StepAndReport(vek::script::KeysAt(script, static_cast<int>(tick)));
        std::fputs((vek::script::FormatTick(report) + "\n").c_str(), stdout);
        if (!options.stars.empty() && !starsWritten && report.Scene == vek::scMain) {
            const std::string chips = run.StarChips();
            vek::writeFileBytes(options.stars,
                                std::span(reinterpret_cast<const std::uint8_t*>(chips.data()), chips.size()));
            starsWritten = true;
        }
        if (!options.frames.empty() && tick % options.every == 0)
            WriteFrame(run, FramePath(options.frames, tick));
    }
    if (!options.stars.empty() && !starsWritten)
        throw std::runtime_error("no playing scene started; " + vek::shownName(options.stars) +
                                 " not written");
    if (!options.record.empty() && !recorded)
        throw std::runtime_error("no game reached its end; " + vek::shownName(options.record) +
                                 " not written");
    if (!options.record.empty()) WriteRecord(options.record, *recorded);
    return 0;
}

// A player's replay: verified, or turned into frames. Exit 0 when it plays as recorded.
int PlayPlayerReplay(const std::string& path, const std::string& text, const Options& options) {
    vek::TReplayFile file;
    vek::TReplayReadError fault;
    const std::string shown = vek::shownText(path);
    if (!vek::ParseReplay(text, file, fault)) {
        std::fprintf(stderr, "%s%s: %s\n", vek::MessagePrefix().c_str(), shown.c_str(),
                     vek::LineFault(fault.Line, fault.Why).c_str());
        return 1;
    }
    vek::script::TScriptedRun run;
    const auto end =
        vek::script::PlayRecord(run, file.Record, [&](vek::script::TScriptedRun& played, int tick) {
            if (options.frames.empty() || tick % options.every != 0) return;
            WriteFrame(played, FramePath(options.frames, tick));
        });
    if (!end.Ok) {
        std::fprintf(stderr, "%s%s: %s\n", vek::MessagePrefix().c_str(), shown.c_str(), end.Why.c_str());
        return 1;
    }
    std::printf("%s: verified: %d points in %d ticks (%s of play)\n", shown.c_str(), file.Record.Score,
                file.Record.Ticks, vek::PlayLength(file.Record.Ticks, run.TickInterval()).c_str());
    return 0;
}

bool IsPlayerReplay(const std::string& text) {
    return text.starts_with(std::string(vek::kReplayFormatLine) + "\n") ||
           text.starts_with(std::string(vek::kReplayFormatLine) + "\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    vek::TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    Options options;
    if (const std::string wrong = ReadOptions(arguments, options); !wrong.empty())
        return vek::RefuseArguments(kProgram, wrong);
    return vek::RunGuarded(kProgram.Name, [&] {
        const auto bytes = vek::readFileBytes(options.script, kScriptLimit);
        const std::string text(bytes.begin(), bytes.end());
        if (options.verify || IsPlayerReplay(text)) return PlayPlayerReplay(options.script, text, options);
        return RunScript(options, ReadScript(options.script, text));
    });
}
