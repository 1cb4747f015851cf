// The title's demonstrations: the wait, the choice of a recording, its playing and leaving.
#include "app/replays/attract_mode.hpp"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/window/main_form.hpp"
#include "game/replay_file.hpp"
#include "app/replays/replay_store.hpp"
#include "runtime/atomic_write.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "platform/platform.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/translation.hpp"

namespace vek {

namespace {

constexpr const char* kDemonstrationFile = "demonstration.vkreplay";
// TRANSLATORS: on the picture while the title plays a recorded game by itself.
constexpr const char* kMarkText = trLater("DEMOSTRACIÓN");
constexpr int kMarkTop = 440;
constexpr int kMarkSize = 20;

std::uint32_t attractClock() {
    return platform::current().clock().timeGetTime();
}

bool isScreenshotKey(std::uint16_t key) {
    return key == platform::vk::F12 || key == platform::vk::Snapshot;
}

}  // namespace

std::string DemonstrationPath(const std::string& programPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::path(programPath).parent_path();
    for (const fs::path& path :
         {folder / kDemonstrationFile, folder.parent_path() / "share" / "vektrion" / kDemonstrationFile})
        if (fs::is_regular_file(path, error)) return path.string();
    return {};
}

TAttractMode::TAttractMode(TMainForm& form, std::function<std::vector<std::string>()> recordings,
                           TWarningSink warn, std::uint32_t wait)
    : form_(form),
      recordings_(std::move(recordings)),
      warn_(std::move(warn)),
      wait_(wait),
      lastSeen_(attractClock()),
      mark_(tr(kMarkText)) {
    TGame& game = form_.Game();
    otherPlaybackEnd_ = game.OnPlaybackEnd;
    game.OnPlaybackEnd = [this](const TPlaybackEnd& end) {
        if (demonstrating_) return Ended(end);
        if (otherPlaybackEnd_) otherPlaybackEnd_(end);
    };
    form_.OnInputRead = [this] { InputRead(); };
    form_.OnFrameDrawn = [this] { FrameDrawn(); };
    form_.OnKeyPressed = [this](std::uint16_t key, platform::TShiftState) {
        // The screenshot keys keep a picture of whatever shows, a demonstration too.
        if (!isScreenshotKey(key)) Pressed();
    };
    hook_ = form_.HookMessages([this](platform::FormMessage message) {
        if (message == platform::FormMessage::MouseDown) Pressed();
    });
}

TAttractMode::~TAttractMode() {
    form_.UnhookMessages(hook_);
    form_.OnKeyPressed = nullptr;
    form_.OnFrameDrawn = nullptr;
    form_.OnInputRead = nullptr;
    form_.Game().OnPlaybackEnd = otherPlaybackEnd_;
}

// Each tick: a pad button counts as a key does; on the title, with the option on, the
// waiting time grows, and a demonstration starts once it is long enough.
void TAttractMode::InputRead() {
    if (PadButtonPressed()) Pressed();
    const TGame& game = form_.Game();
    const bool waiting = game.Scene == scTitle && game.NextScene == scNone && !game.PlayingBack() &&
                         form_.Options.Value().attractMode;
    if (!waiting) return Rewind();
    const std::uint32_t now = attractClock();
    waited_ += std::min(now - lastSeen_, kLongestStep);
    lastSeen_ = now;
    if (waited_ < wait_) return;
    Rewind();
    Start();
}

void TAttractMode::Pressed() {
    Rewind();
    if (demonstrating_) Leave();
}

// Buttons newly down since the last tick.
bool TAttractMode::PadButtonPressed() {
    const auto& buttons = form_.DXInput->Joystick().Joystate().Buttons;
    std::uint32_t held = 0;
    for (std::size_t i = 0; i < 32; ++i)
        if (buttons[i] & 0x80) held |= 1u << i;
    const bool pressed = (held & ~padButtons_) != 0;
    padButtons_ = held;
    return pressed;
}

void TAttractMode::Rewind() {
    waited_ = 0;
    lastSeen_ = attractClock();
}

void TAttractMode::Start() {
    for (const std::string& path : recordings_ ? recordings_() : std::vector<std::string>()) {
        TGameRecord record;
        if (path.empty() || refused_.contains(path) || !Read(path, record)) continue;
        demonstrating_ = true;
        playing_ = path;
        // TRANSLATORS: the caption's mark while the title plays a recorded game by itself.
        form_.SetCaptionNote(std::string(" - ") + tr("Demostración"));
        form_.Game().StartPlayback(std::move(record));
        return;
    }
}

bool TAttractMode::Read(const std::string& path, TGameRecord& record) {
    TReplayFile replay;
    if (const auto fault = LoadReplayFile(path, replay)) {
        Refuse(path, fault->Written);
        return false;
    }
    record = std::move(replay.Record);
    return true;
}

// The press that ends a demonstration is read as held before the title comes back, so the
// title takes it for one that was already down: it starts no game.
void TAttractMode::Leave() {
    form_.DXInput->Update();
    form_.Game().StopPlayback();
}

void TAttractMode::Ended(const TPlaybackEnd& end) {
    demonstrating_ = false;
    form_.SetCaptionNote({});
    if (!end.Ok && !end.Stopped) Refuse(playing_, end.Why);
    playing_.clear();
}

void TAttractMode::Refuse(const std::string& path, const std::string& why) {
    refused_.insert(path);
    warn_(WarningPrefix() + shownText(path) + ": " + why + "; not shown as a demonstration");
}

// The mark stands under the playing field while the game draws, not over a black frame.
void TAttractMode::FrameDrawn() {
    const TGame& game = form_.Game();
    if (!demonstrating_ || game.Scene != scMain || game.NextScene != scNone) return;
    auto& canvas = form_.DXDraw->Surface()->Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.color = clWhite;
    canvas.Font.size = kMarkSize;
    canvas.TextOut((kScreenWidth - canvas.TextExtent(mark_).x) / 2, kMarkTop, mark_);
    canvas.Release();
}

}  // namespace vek
