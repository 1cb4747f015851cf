// The replay tool: runs the real game on the headless backend from a script of held keys
// and prints one line per tick with the game's state and a hash of the presented frame.
// --help prints the usage; wrong arguments print it on stderr with exit 2.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "app/records_form.hpp"
#include "app/replay_file.hpp"
#include "app/replay_store.hpp"
#include "replay/replay.hpp"
#include "replay/replay_check.hpp"
#include "runtime/shown_text.hpp"

// Under the leak checker: fontconfig keeps a little memory of its own until the process
// ends, which is not the game's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

constexpr const char* kUsage =
    "usage: vektrion-replay SCRIPT [--ticks N] [--stars FILE] [--frames DIR] [--every K]\n"
    "       vektrion-replay --verify REPLAY\n"
    "       vektrion-replay REPLAY --frames DIR [--every K]\n"
    "  SCRIPT        lines \"TICK KEYS\": from tick TICK on exactly KEYS are held; KEYS is a\n"
    "                '+'-joined list of up down left right space z x enter h j k l kp2 kp4\n"
    "                kp6 kp8 f2, or '-' for none; '#' starts a comment line\n"
    "  --ticks N     ticks to run (default: up to and including the script's last tick)\n"
    "  --stars FILE  write the first playing scene's star layers' chips (30 lines of 200)\n"
    "  --frames DIR  write the frame of every K-th tick as DIR/frame-NNNNNN.ppm (NNNNNN: tick)\n"
    "  --every K     the K for --frames (default 1)\n"
    "Prints per tick: tick=T scene=S frame=F score=N sprites=A player=X,Y,ST shots=K\n"
    "sounds=LIST hash=H\n"
    "  REPLAY        a game kept by vektrion (.vkreplay): --verify plays it and checks every\n"
    "                state hash and the score, printing one line and exiting 0 when all\n"
    "                match, else naming the first second that differs or the bad line, exit 1;\n"
    "                with --frames its frames are written instead of tick lines\n";

struct Options {
    std::string script;
    int ticks = -1;
    std::string stars;
    std::string frames;
    int every = 1;
};

bool ParseCount(std::string_view text, int minimum, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= minimum;
}

bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--ticks" && hasValue) {
            if (!ParseCount(argv[++i], 0, options.ticks)) return false;
        } else if (arg == "--every" && hasValue) {
            if (!ParseCount(argv[++i], 1, options.every)) return false;
        } else if (arg == "--stars" && hasValue) {
            options.stars = argv[++i];
        } else if (arg == "--frames" && hasValue) {
            options.frames = argv[++i];
        } else if (arg.starts_with("-") || !options.script.empty()) {
            return false;
        } else {
            options.script = arg;
        }
    }
    return !options.script.empty();
}

int Usage(const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "vektrion-replay: %s\n", why.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string FramePath(const std::string& dir, int tick) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.ppm", tick);
    return dir + name;
}

// A player's replay: verified, or turned into frames. Exit 0 when it plays as recorded.
int PlayPlayerReplay(const std::string& path, const std::string& text, const Options& options) {
    vek::TReplayFile file;
    vek::TReplayReadError fault;
    const std::string shown = vek::shownText(path);
    if (!vek::ParseReplay(text, file, fault)) {
        std::fprintf(stderr, "vektrion-replay: %s: line %d: %s\n", shown.c_str(), fault.Line,
                     fault.Why.c_str());
        return 1;
    }
    bool written = true;
    const auto end = vek::replay::PlayRecord(file.Record, [&](vek::replay::TReplay& replay, int tick) {
        if (options.frames.empty() || tick % options.every != 0 || !written) return;
        written = replay.WriteFramePpm(FramePath(options.frames, tick));
        if (!written)
            std::fprintf(stderr, "vektrion-replay: cannot write %s\n",
                         FramePath(options.frames, tick).c_str());
    });
    if (!written) return 1;
    if (!end.Ok) {
        std::fprintf(stderr, "vektrion-replay: %s: %s\n", shown.c_str(), end.Why.c_str());
        return 1;
    }
    std::printf("%s: verified: %d points in %d ticks (%s of play)\n", shown.c_str(), file.Record.Score,
                file.Record.Ticks, vek::PlayLength(file.Record.Ticks).c_str());
    return 0;
}

bool IsPlayerReplay(const std::string& text) {
    return text.starts_with(std::string(vek::kReplayFormatLine) + "\n") ||
           text.starts_with(std::string(vek::kReplayFormatLine) + "\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool verify = argc == 3 && std::string_view(argv[1]) == "--verify";
    Options options;
    if (verify) options.script = argv[2];
    if (!verify && !ParseArguments(argc, argv, options)) return Usage("");
    std::string text;
    const std::string unread = vek::ReadReplayFile(options.script, text);
    if (verify && !unread.empty()) {
        std::fprintf(stderr, "vektrion-replay: %s: %s\n", vek::shownText(options.script).c_str(),
                     unread.c_str());
        return 1;
    }
    if (verify || (unread.empty() && IsPlayerReplay(text)))
        return PlayPlayerReplay(options.script, text, options);
    std::ifstream in(options.script);
    if (!in) return Usage("cannot read " + options.script);
    vek::replay::TScript script;
    std::string error;
    if (!vek::replay::ParseScript(in, script, error)) return Usage(options.script + ": " + error);
    const int ticks = options.ticks >= 0 ? options.ticks : (script.empty() ? 0 : script.back().Tick + 1);

    vek::replay::TReplay replay;
    bool starsWritten = false;
    for (int tick = 0; tick < ticks; ++tick) {
        const auto report = replay.StepAndReport(vek::replay::KeysAt(script, tick));
        std::fputs((vek::replay::FormatTick(report) + "\n").c_str(), stdout);
        if (!options.stars.empty() && !starsWritten && report.Scene == vek::scMain) {
            if (!WriteText(options.stars, replay.StarChips())) {
                std::fprintf(stderr, "vektrion-replay: cannot write %s\n", options.stars.c_str());
                return 1;
            }
            starsWritten = true;
        }
        if (!options.frames.empty() && tick % options.every == 0 &&
            !replay.WriteFramePpm(FramePath(options.frames, tick))) {
            std::fprintf(stderr, "vektrion-replay: cannot write %s\n",
                         FramePath(options.frames, tick).c_str());
            return 1;
        }
    }
    if (!options.stars.empty() && !starsWritten) {
        std::fprintf(stderr, "vektrion-replay: no playing scene started; %s not written\n",
                     options.stars.c_str());
        return 1;
    }
    return 0;
}
