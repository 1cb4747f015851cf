// The scripted run: key scripts, the tick report, the frame hash, and the game on the
// headless backend.
#include "script/scripted_run.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <istream>
#include <iterator>
#include <sstream>

#include "app/window/main_form.hpp"
#include "game/player.hpp"
#include "game/star_layer.hpp"
#include "media/dxtimer.hpp"
#include "media/wave_list.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/text_lines.hpp"
#include "runtime/version.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek::script {

namespace {

using platform::headless::HeadlessAudioSystem;

struct KeyName {
    std::string_view name;
    std::uint16_t key;
};

constexpr KeyName kKeyNames[] = {
    {"up", platform::vk::Up},
    {"down", platform::vk::Down},
    {"left", platform::vk::Left},
    {"right", platform::vk::Right},
    {"space", platform::vk::Space},
    {"z", 'Z'},
    {"x", 'X'},
    {"enter", platform::vk::Return},
    {"h", 'H'},
    {"j", 'J'},
    {"k", 'K'},
    {"l", 'L'},
    {"kp2", platform::vk::Numpad0 + 2},
    {"kp4", platform::vk::Numpad0 + 4},
    {"kp6", platform::vk::Numpad0 + 6},
    {"kp8", platform::vk::Numpad0 + 8},
    {"f2", platform::vk::F2},
};

bool ParseKeys(std::string_view text, TKeys& keys) {
    keys.clear();
    if (text == "-") return true;
    while (true) {
        const std::size_t plus = text.find('+');
        const std::uint16_t key = KeyOfName(text.substr(0, plus));
        if (key == 0) return false;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
        if (plus == std::string_view::npos) break;
        text.remove_prefix(plus + 1);
    }
    std::sort(keys.begin(), keys.end());
    return true;
}

bool ParseLine(const std::string& line, int previousTick, TScriptStep& step, std::string& why) {
    std::istringstream fields(line);
    std::string tick;
    std::string keys;
    std::string extra;
    if (!(fields >> tick >> keys) || (fields >> extra)) {
        why = "expected TICK KEYS";
        return false;
    }
    const auto [end, ec] = std::from_chars(tick.data(), tick.data() + tick.size(), step.Tick);
    if (ec != std::errc() || end != tick.data() + tick.size() || step.Tick < 0) {
        why = "bad tick \"" + shownName(tick) + "\"";
        return false;
    }
    if (step.Tick < previousTick) {
        why = "tick " + shownName(tick) + " comes before the previous line's";
        return false;
    }
    if (!ParseKeys(keys, step.Keys)) {
        why = "bad keys \"" + shownName(keys) + "\"";
        return false;
    }
    return true;
}

void AppendDouble(std::string& out, double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// The name of the sound whose buffer has that log id, searched among the wave list's buffers.
const char* SoundNameOf(TMainForm& form, int id) {
    auto matches = [id](TDirectSoundBuffer* buffer) {
        return buffer && buffer->HasInterface() && HeadlessAudioSystem::idOf(buffer->IBuffer()) == id;
    };
    const TWaveCollection& waves = form.DXWaveList->Items();
    for (int i = 0; i < waves.Count(); ++i) {
        TWaveCollectionItem& item = waves.Items(i);
        if (matches(item.MasterBuffer())) return item.Name().c_str();
        for (int b = 0; b < item.PlayBufferCount(); ++b)
            if (matches(&item.PlayBuffers(b))) return item.Name().c_str();
    }
    return "?";
}

const TPlayerSprite* FindPlayer(TMainForm& form) {
    TSpriteEngine& engine = form.SpriteEngine->Engine();
    for (int i = 0; i < engine.ChildCount(); ++i)
        if (auto* player = dynamic_cast<TPlayerSprite*>(&engine.Children(i))) return player;
    return nullptr;
}

}  // namespace

std::uint16_t KeyOfName(std::string_view name) {
    for (const KeyName& entry : kKeyNames)
        if (entry.name == name) return entry.key;
    return 0;
}

bool ParseScript(std::string_view text, TScript& script, std::string& error) {
    script.clear();
    TTextLines lines(text);
    for (std::string_view line; lines.Next(line);) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#') continue;
        TScriptStep step;
        std::string why;
        if (!ParseLine(std::string(line), script.empty() ? 0 : script.back().Tick, step, why)) {
            error = LineFault(lines.Number(), why);
            return false;
        }
        script.push_back(std::move(step));
    }
    return true;
}

bool ParseScript(std::istream& in, TScript& script, std::string& error) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ParseScript(text, script, error);
}

const TKeys& KeysAt(const TScript& script, int tick) {
    static const TKeys kNone;
    // The steps stand in tick order, so the one in force is found by halving: the last
    // step at or before tick.
    const auto after = std::upper_bound(script.begin(), script.end(), tick,
                                        [](int t, const TScriptStep& step) { return t < step.Tick; });
    return after == script.begin() ? kNone : std::prev(after)->Keys;
}

const char* SceneName(TScene scene) {
    switch (scene) {
        case scTitle:
            return "title";
        case scMain:
            return "main";
        case scGameOver:
            return "gameover";
        case scNone:
            break;
    }
    return "none";
}

std::string FormatTick(const TTickReport& r) {
    std::string out = "tick=" + std::to_string(r.Tick) + " scene=" + SceneName(r.Scene) +
                      " frame=" + std::to_string(r.FrameCount) + " score=" + std::to_string(r.Score) +
                      " sprites=" + std::to_string(r.Sprites) + " player=";
    if (r.HasPlayer) {
        AppendDouble(out, r.PlayerX);
        out += ',';
        AppendDouble(out, r.PlayerY);
        out += ',' + std::to_string(r.PlayerState) + " shots=" + std::to_string(r.ShotCount);
    } else {
        out += "-,-,- shots=-";
    }
    out += " sounds=";
    if (r.Sounds.empty()) out += '-';
    for (std::size_t i = 0; i < r.Sounds.size(); ++i) out += (i ? "," : "") + r.Sounds[i];
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(r.Hash));
    return out + " hash=" + hash;
}

std::uint64_t FrameHash(std::span<const std::uint32_t> pixels) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::uint32_t pixel : pixels) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (pixel >> shift) & 0xFF;
            hash *= 0x100000001b3ull;
        }
    }
    return hash;
}

struct TScriptedRun::Impl {
    explicit Impl(std::uint32_t clockStart) : backend(clockStart) {}

    platform::headless::HeadlessPlatform backend;
    platform::headless::ScopedPlatform installed{backend};
    std::unique_ptr<TMainForm> form;
    platform::headless::HeadlessWindow* window = nullptr;
    TKeys held;
    std::vector<std::uint32_t> frame;  // the last tick's frame, for its hash

    // The client picture's top-left frame into pixels.
    void ReadFrame(std::vector<std::uint32_t>& pixels) const {
        pixels.resize(static_cast<std::size_t>(kFrameWidth) * kFrameHeight);
        window->screen().readPicture(kFrameWidth, kFrameHeight, pixels.data());
    }
    int ticks = 0;
    std::uint32_t mixedUntil = 0;    // clock reading up to which the sound device has played
    std::uint64_t mixRemainder = 0;  // frames × 1000 not yet mixed

    // The recorded sounds play for as long as the virtual clock ran, so finished voices
    // become free again as they would on a sound card.
    void PlayRecordedSounds() {
        auto& audio = backend.recordingAudio();
        const std::uint32_t now = backend.virtualClock().timeGetTime();
        mixRemainder += std::uint64_t{now - mixedUntil} * audio.outputRate();
        mixedUntil = now;
        const std::uint64_t frames = mixRemainder / 1000;
        mixRemainder %= 1000;
        if (frames > 0) audio.mix(static_cast<std::size_t>(frames));
    }
};

TScriptedRun::TScriptedRun(std::uint32_t clockStart) : impl_(std::make_unique<Impl>(clockStart)) {
    auto& app = impl_->backend.app();
    app.setTitle(kApplicationTitle);
    impl_->form = std::make_unique<TMainForm>();
    impl_->window = static_cast<platform::headless::HeadlessWindow*>(impl_->form->Handle());
    impl_->window->show();
    app.runFor(0, impl_->window);  // the window takes the focus; the timer starts
    app.setIdleAdvance(TickInterval());
    impl_->mixedUntil = impl_->backend.virtualClock().timeGetTime();
}

TScriptedRun::~TScriptedRun() = default;

void TScriptedRun::Step(const TKeys& keys) {
    auto& app = impl_->backend.app();
    for (const std::uint16_t key : impl_->held)
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) app.postKeyUp(key);
    for (const std::uint16_t key : keys)
        if (std::find(impl_->held.begin(), impl_->held.end(), key) == impl_->held.end()) app.postKeyDown(key);
    impl_->held = keys;
    impl_->backend.recordingAudio().clearLog();
    app.runFor(1, impl_->window);
    impl_->PlayRecordedSounds();
    ++impl_->ticks;
}

TTickReport TScriptedRun::StepAndReport(const TKeys& keys) {
    Step(keys);
    TMainForm& form = *impl_->form;
    const TGame& game = form.Game();
    TTickReport report;
    report.Tick = impl_->ticks - 1;
    report.Scene = game.Scene;
    report.FrameCount = game.FrameCount;
    report.Score = game.Score;
    report.Sprites = form.SpriteEngine->Engine().AllCount();
    if (const TPlayerSprite* player = FindPlayer(form)) {
        report.HasPlayer = true;
        report.PlayerX = player->X;
        report.PlayerY = player->Y;
        report.PlayerState = player->State;
        report.ShotCount = player->ShotCount;
    }
    const auto& log = impl_->backend.recordingAudio().log();
    for (const auto& entry : log)
        if (entry.call == platform::audio::BufferCall::Play)
            report.Sounds.push_back(SoundNameOf(form, entry.buffer));
    // The frame is read into the same buffer every tick: a whole game is thousands of them.
    impl_->ReadFrame(impl_->frame);
    report.Hash = FrameHash(impl_->frame);
    return report;
}

int TScriptedRun::Ticks() const {
    return impl_->ticks;
}

std::uint32_t TScriptedRun::TickInterval() const {
    return impl_->form->DXTimer->Interval();
}

TMainForm& TScriptedRun::Form() {
    return *impl_->form;
}

std::vector<std::uint32_t> TScriptedRun::Frame() const {
    std::vector<std::uint32_t> pixels;
    impl_->ReadFrame(pixels);
    return pixels;
}

std::vector<std::uint8_t> TScriptedRun::FramePpm() const {
    const std::string head =
        "P6\n" + std::to_string(kFrameWidth) + " " + std::to_string(kFrameHeight) + "\n255\n";
    std::vector<std::uint8_t> ppm(head.begin(), head.end());
    ppm.reserve(ppm.size() + static_cast<std::size_t>(kFrameWidth) * kFrameHeight * 3);
    for (const std::uint32_t pixel : Frame()) {
        ppm.push_back(static_cast<std::uint8_t>(pixel >> 16));
        ppm.push_back(static_cast<std::uint8_t>(pixel >> 8));
        ppm.push_back(static_cast<std::uint8_t>(pixel));
    }
    return ppm;
}

std::string TScriptedRun::StarChips() {
    std::string out;
    TSpriteEngine& engine = impl_->form->SpriteEngine->Engine();
    for (int i = 0; i < engine.ChildCount(); ++i) {
        auto* layer = dynamic_cast<TScrollBackground*>(&engine.Children(i));
        if (!layer) continue;
        for (int row = 0; row < layer->MapHeight(); ++row) {
            for (int column = 0; column < layer->MapWidth(); ++column) {
                if (column) out += ' ';
                out += std::to_string(layer->Chips(column, row));
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace vek::script
