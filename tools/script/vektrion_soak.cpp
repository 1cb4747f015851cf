// The soak run: the scripted run plays the game for a stretch of wall-clock time with
// random held keys and random F2 presses, and checks that memory stays flat: the live
// heap whenever the title screen shows (no sprites alive) must not grow once warm.
// Prints the ticks run, the games played and the peak resident set size. The duration is
// always given: a run takes minutes.
#include <malloc.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "app/window/main_form.hpp"
#include "runtime/arguments.hpp"
#include "script/scripted_run.hpp"

// Under AddressSanitizer its allocator counts the live heap; elsewhere malloc does.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

// Under the leak checker: fontconfig keeps a little memory of its own until the process
// ends, which is not the game's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kAllowedGrowth = 256 * 1024;  // heap noise between two title screens
constexpr std::string_view kHeldKeys[] = {"up", "down", "left", "right", "space", "z", "h", "j", "k", "l"};

std::size_t LiveHeap() {
    if (__sanitizer_get_current_allocated_bytes) return __sanitizer_get_current_allocated_bytes();
    return mallinfo2().uordblks;
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

// A random set of held keys; fire is held more often than not so games start and go on.
vek::script::TKeys RandomKeys(std::mt19937& random) {
    vek::script::TKeys keys;
    for (std::string_view name : kHeldKeys)
        if (std::uniform_int_distribution<int>(0, 3)(random) == 0)
            keys.push_back(vek::script::KeyOfName(name));
    if (std::uniform_int_distribution<int>(0, 1)(random)) keys.push_back(vek::script::KeyOfName("space"));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

constexpr const char* kUsage =
    "usage: vektrion-soak --minutes M [--seed S]\n"
    "Plays the game without a screen for M minutes of wall-clock time (a number above 0)\n"
    "with random keys from the seed S (default 1), and fails when the live heap grows\n"
    "between title screens.\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr vek::TOptionSpec kOptions[] = {{"--minutes", "M", true}, {"--seed", "S"}};
constexpr vek::TProgramSpec kProgram{"vektrion-soak", kUsage, kOptions, {}, 0};

struct Options {
    double minutes = 0;
    unsigned seed = 1;
};

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

// Reads the options' values; answers what is wrong with one, or an empty text.
std::string ReadOptions(const vek::TArguments& arguments, Options& options) {
    const std::string_view minutes = *arguments.Value("--minutes");
    // At most a week: the run's end is a point in time that must not overflow.
    if (!ParseWhole(minutes, options.minutes) || !(options.minutes > 0 && options.minutes <= 7 * 24 * 60))
        return vek::BadValue("--minutes", "a number of minutes above 0, at most a week", minutes);
    if (const auto seed = arguments.Value("--seed"); seed && !ParseWhole(*seed, options.seed))
        return vek::BadValue("--seed", "a whole number from 0 to 4294967295", *seed);
    return {};
}

class SoakRun {
public:
    explicit SoakRun(const Options& options)
        : random_(options.seed),
          start_(Clock::now()),
          warm_(After(std::min(60.0, options.minutes * 6.0))),
          end_(After(options.minutes * 60.0)),
          reportEvery_(std::max(1.0, options.minutes / 10.0)) {}

    bool Running() const { return Clock::now() < end_; }

    // One tick with the held keys changed now and then, and F2 pressed once in a while.
    void Step() {
        if (Chance(20)) keys_ = RandomKeys(random_);
        vek::script::TKeys held = keys_;
        if (Chance(1500)) held.push_back(vek::script::KeyOfName("f2"));
        run_.Step(held);
        ++ticks_;
        const vek::TScene scene = run_.Form().Game().Scene;
        if (scene == vek::scMain && previous_ != vek::scMain) ++games_;
        if (scene == vek::scTitle && previous_ != vek::scTitle) NoteTitleHeap();
        previous_ = scene;
    }

    // Prints the summary; true when the heap stayed flat.
    bool Finish() const {
        const bool flat = warmHeap_ > 0 && worstHeap_ <= warmHeap_ + kAllowedGrowth;
        std::printf(
            "soak: %.1f minutes, %ld ticks, %d games, peak RSS %ld kB; title-screen heap %zu bytes "
            "when warm, %zu at most since, %zu last: %s\n",
            Minutes(), ticks_, games_, StatusKb("VmHWM:"), warmHeap_, worstHeap_, lastHeap_,
            flat ? "memory flat" : "MEMORY GREW");
        return flat;
    }

private:
    Clock::time_point After(double seconds) const {
        return start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    }
    bool Chance(int in) { return std::uniform_int_distribution<int>(0, in)(random_) == 0; }
    double Minutes() const { return std::chrono::duration<double>(Clock::now() - start_).count() / 60.0; }

    void NoteTitleHeap() {
        lastHeap_ = LiveHeap();
        if (Clock::now() < warm_) {
            warmHeap_ = std::max(warmHeap_, lastHeap_);
        } else {
            worstHeap_ = std::max(worstHeap_, lastHeap_);
        }
        if (Minutes() < nextReport_) return;
        nextReport_ += reportEvery_;
        std::printf("soak: %.1f minutes, %ld ticks, %d games, title-screen heap %zu bytes, RSS %ld kB\n",
                    Minutes(), ticks_, games_, lastHeap_, StatusKb("VmRSS:"));
        std::fflush(stdout);
    }

    std::mt19937 random_;
    vek::script::TScriptedRun run_;
    const Clock::time_point start_;
    const Clock::time_point warm_;
    const Clock::time_point end_;
    const double reportEvery_;
    double nextReport_ = 0;
    vek::script::TKeys keys_;
    vek::TScene previous_ = vek::scNone;
    long ticks_ = 0;
    int games_ = 0;
    std::size_t warmHeap_ = 0;  // the largest title-screen heap of the warm-up
    std::size_t worstHeap_ = 0;
    std::size_t lastHeap_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    vek::TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    Options options;
    if (const std::string wrong = ReadOptions(arguments, options); !wrong.empty())
        return vek::RefuseArguments(kProgram, wrong);
    return vek::RunGuarded(kProgram.Name, [&] {
        SoakRun soak(options);
        while (soak.Running()) soak.Step();
        return soak.Finish() ? 0 : 1;
    });
}
