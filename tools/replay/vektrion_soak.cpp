// The soak run: the replay runner plays the game for a stretch of wall-clock time with
// random held keys and random F2 presses, and checks that memory stays flat: the live
// heap whenever the title screen shows (no sprites alive) must not grow once warm.
// Prints the ticks run, the games played and the peak resident set size.
#include <malloc.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "app/main_form.hpp"
#include "replay/replay.hpp"

// Under AddressSanitizer its allocator counts the live heap; elsewhere malloc does.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

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
vek::replay::TKeys RandomKeys(std::mt19937& random) {
    vek::replay::TKeys keys;
    for (std::string_view name : kHeldKeys)
        if (std::uniform_int_distribution<int>(0, 3)(random) == 0)
            keys.push_back(vek::replay::KeyOfName(name));
    if (std::uniform_int_distribution<int>(0, 1)(random)) keys.push_back(vek::replay::KeyOfName("space"));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

struct Soak {
    long ticks = 0;
    int games = 0;
    std::size_t warmHeap = 0;  // the largest title-screen heap of the warm-up
    std::size_t lastHeap = 0;
    std::size_t worstHeap = 0;
};

int Usage() {
    std::fputs("usage: vektrion-soak [--minutes M] [--seed S]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double minutes = 10;
    unsigned seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view arg = argv[i];
        const std::string_view value = argv[i + 1];
        if (arg == "--minutes") {
            minutes = std::stod(std::string(value));
        } else if (arg == "--seed") {
            if (std::from_chars(value.data(), value.data() + value.size(), seed).ec != std::errc())
                return Usage();
        } else {
            return Usage();
        }
    }
    if (argc % 2 == 0 || minutes <= 0) return Usage();

    std::mt19937 random(seed);
    vek::replay::TReplay replay;
    Soak soak;
    const auto start = Clock::now();
    const auto warm = start + std::chrono::duration<double>(std::min(60.0, minutes * 6.0));
    const auto end = start + std::chrono::duration<double>(minutes * 60.0);
    vek::replay::TKeys keys;
    vek::TScene previous = vek::scNone;
    while (Clock::now() < end) {
        if (std::uniform_int_distribution<int>(0, 20)(random) == 0) keys = RandomKeys(random);
        vek::replay::TKeys held = keys;
        if (std::uniform_int_distribution<int>(0, 1500)(random) == 0)
            held.push_back(vek::replay::KeyOfName("f2"));
        replay.Step(held);
        ++soak.ticks;
        const vek::TScene scene = replay.Form().Game().Scene;
        if (scene == vek::scMain && previous != vek::scMain) ++soak.games;
        if (scene == vek::scTitle && previous != vek::scTitle) {
            soak.lastHeap = LiveHeap();
            if (Clock::now() < warm) {
                soak.warmHeap = std::max(soak.warmHeap, soak.lastHeap);
            } else {
                soak.worstHeap = std::max(soak.worstHeap, soak.lastHeap);
            }
        }
        previous = scene;
    }
    const bool flat = soak.warmHeap > 0 && soak.worstHeap <= soak.warmHeap + kAllowedGrowth;
    std::printf(
        "soak: %.1f minutes, %ld ticks, %d games, peak RSS %ld kB, title-screen heap %zu bytes warm, "
        "%zu bytes at worst after, %zu bytes last: %s\n",
        std::chrono::duration<double>(Clock::now() - start).count() / 60.0, soak.ticks, soak.games,
        StatusKb("VmHWM:"), soak.warmHeap, soak.worstHeap, soak.lastHeap,
        flat ? "memory flat" : "MEMORY GREW");
    return flat ? 0 : 1;
}
