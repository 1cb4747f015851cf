// The SDL window toolkit on a real X display (run under xvfb-run): a main window with a
// drawn menu bar driven by synthesised keys, the loops of message boxes and dialogs, focus
// and activation, placement and exclusive mode.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/sdl_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek::platform::sdl {
namespace {

void pushPress(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    pushKey(key, mod, true);
    pushKey(key, mod, false);
}

void pushFocus(Uint32 windowId, bool gained) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
}

void pushMouse(Uint32 type, Uint32 windowId, int x, int y) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.windowID = windowId;
        event.motion.x = x;
        event.motion.y = y;
    } else {
        event.button.windowID = windowId;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
    }
    SDL_PushEvent(&event);
}

// Pushes a key press from SDL's timer thread after a delay, as a user would type it.
struct DelayedKey {
    SDL_Keycode key;
    static Uint32 fire(Uint32, void* param) {
        pushPress(static_cast<DelayedKey*>(param)->key);
        return 0;
    }
};

// Ends a run that went wrong instead of hanging the test.
Uint32 pushQuit(Uint32, void*) {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    return 0;
}

struct ToolkitSmoke : ::testing::Test {
    std::unique_ptr<SdlApplication> app = std::make_unique<SdlApplication>();
    std::unique_ptr<Window> owned;
    SdlWindow* window = nullptr;
    TMenuItem bar{"MainMenu", ""};
    TMenuItem* start = nullptr;
    std::vector<std::string> log;

    void SetUp() override {
        app->setTitle("Smoke");
        owned = app->createWindow(WindowSpec{"Smoke test window", 100, 80});
        window = static_cast<SdlWindow*>(owned.get());
        TMenuItem& game = bar.Add(std::make_unique<TMenuItem>("GameMenu", "&Juego"));
        start = &game.Add(std::make_unique<TMenuItem>("GameStart", "Iniciar juego", 0x71));
        start->OnClick = [this](TMenuItem&) { log.push_back("start"); };
        game.Add(std::make_unique<TMenuItem>("N4", "-"));
        TMenuItem& exitItem = game.Add(std::make_unique<TMenuItem>("GameExit", "&Salir"));
        exitItem.OnClick = [this](TMenuItem&) {
            log.push_back("exit");
            window->close();
        };
        TMenuItem& options = bar.Add(std::make_unique<TMenuItem>("OptionMenu", "&Opciones"));
        TMenuItem& sound = options.Add(std::make_unique<TMenuItem>("OptionSound", "Activar Sonido"));
        sound.Checked = true;
        window->setMenu(&bar);
        window->OnKeyDown = [this](std::uint16_t& key, TShiftState shift) {
            log.push_back("key " + std::to_string(key) + ((shift & ssAlt) ? " alt" : ""));
        };
        window->show();
        pushFocus(window->windowId(), true);
        app->processMessages();
    }
};

TEST_F(ToolkitSmoke, ShortcutAndAltEnterReachTheWindow) {
    EXPECT_TRUE(app->active());
    EXPECT_EQ(app->foregroundWindow(), window);
    pushPress(SDLK_F2);
    pushKey(SDLK_LALT, KMOD_LALT);
    pushPress(SDLK_RETURN, KMOD_LALT);
    pushKey(SDLK_LALT, KMOD_NONE, false);
    app->processMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "start", "key 18 alt", "key 13 alt"}));
    EXPECT_FALSE(window->menuOpen());
    std::array<std::uint8_t, 256> keys{};
    app->getKeyboardState(keys);
    EXPECT_EQ(keys[0x12], 0);
    pushKey(SDLK_SPACE);
    app->processMessages();
    app->getKeyboardState(keys);
    EXPECT_EQ(keys[0x20], 0x80);
}

TEST_F(ToolkitSmoke, MouseOpensTheMenuAndChoosesAnItemAndExposeRepaints) {
    const Uint32 id = window->windowId();
    pushMouse(SDL_MOUSEBUTTONDOWN, id, 15, 10);  // on "Juego"
    pushMouse(SDL_MOUSEBUTTONUP, id, 15, 10);
    app->processMessages();
    EXPECT_TRUE(window->menuOpen()) << "releasing on the caption leaves the menu open";
    pushMouse(SDL_MOUSEMOTION, id, 40, 33);  // over "Iniciar juego"
    pushMouse(SDL_MOUSEBUTTONUP, id, 40, 33);
    app->processMessages();
    EXPECT_FALSE(window->menuOpen());
    EXPECT_EQ(log, (std::vector<std::string>{"start"}));

    pushMouse(SDL_MOUSEBUTTONDOWN, id, 15, 10);
    pushMouse(SDL_MOUSEBUTTONDOWN, id, 320, 300);  // in the client area, outside the menu
    app->processMessages();
    EXPECT_FALSE(window->menuOpen());
    EXPECT_EQ(log.size(), 1u);

    int paints = 0;
    window->OnPaint = [&paints] { ++paints; };
    SDL_Event expose{};
    expose.type = SDL_WINDOWEVENT;
    expose.window.windowID = id;
    expose.window.event = SDL_WINDOWEVENT_EXPOSED;
    SDL_PushEvent(&expose);
    app->processMessages();
    EXPECT_GE(paints, 1);
}

TEST_F(ToolkitSmoke, MenuLoopStopsIdleUntilSalirClosesTheWindow) {
    int destroyed = 0;
    window->OnDestroy = [&destroyed] { ++destroyed; };
    int idleCalls = 0, idleWhileOpen = 0;
    app->setOnIdle([&](bool& done) {
        done = false;
        if (window->menuOpen()) ++idleWhileOpen;
        if (++idleCalls == 1) pushPress(SDLK_j, KMOD_LALT);
    });
    DelayedKey down{SDLK_DOWN}, enter{SDLK_RETURN};
    SDL_AddTimer(150, DelayedKey::fire, &down);
    SDL_AddTimer(300, DelayedKey::fire, &enter);
    const SDL_TimerID guard = SDL_AddTimer(5000, pushQuit, nullptr);
    app->run(*window);
    SDL_RemoveTimer(guard);
    EXPECT_TRUE(window->closed());
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(idleWhileOpen, 0);
    EXPECT_GE(idleCalls, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"key 74 alt", "exit"}))
        << "the open menu took Down and Enter; Down skipped the separator onto Salir";
}

// An idle handler with nothing to do for ten seconds is not called again until a key that
// comes a moment later wakes the loop: a loop that polled would call it thousands of times.
TEST_F(ToolkitSmoke, IdleWakeTimeSleepsOnTheQueueAndAKeyWakesItAtOnce) {
    int idleCalls = 0;
    std::size_t keysSeenAtSecondCall = 0;
    app->setOnIdle([&](bool& done) {
        done = false;
        if (++idleCalls == 1) {
            app->setIdleWakeTime(static_cast<std::uint32_t>(SDL_GetTicks64()) + 10000);
            return;
        }
        keysSeenAtSecondCall = log.size();
        window->close();
    });
    DelayedKey f5{SDLK_F5};
    SDL_AddTimer(100, DelayedKey::fire, &f5);
    const SDL_TimerID guard = SDL_AddTimer(5000, pushQuit, nullptr);
    app->run(*window);
    SDL_RemoveTimer(guard);
    EXPECT_EQ(idleCalls, 2);
    EXPECT_EQ(keysSeenAtSecondCall, 1u) << "the key was handled before the handler ran again";
}

TEST_F(ToolkitSmoke, MessageBoxLoopSkipsIdleAndDialogLoopRunsIt) {
    int idleCalls = 0;
    app->setOnIdle([&idleCalls](bool& done) { ++idleCalls, done = false; });
    DelayedKey enter{SDLK_RETURN};
    SDL_AddTimer(200, DelayedKey::fire, &enter);
    EXPECT_EQ(app->messageBox("Direccionales para mover la nave\rBarra espaciadora para disparar",
                              "Controles", MB_OK | MB_ICONINFORMATION),
              IDOK);
    EXPECT_EQ(idleCalls, 0);

    DialogSpec about;
    about.caption = "Acerca de";
    about.clientWidth = 436;
    about.clientHeight = 168;
    DialogControl label;
    label.text = "Version 1.2.0";
    label.bounds = Bounds(84, 30, 110, 13);
    DialogControl ok;
    ok.kind = DialogControl::Kind::Button;
    ok.text = "&Aceptar";
    ok.bounds = Bounds(344, 16, 75, 25);
    ok.isDefault = true;
    ok.modalResult = IDOK;
    about.controls = {label, ok};
    SDL_AddTimer(200, DelayedKey::fire, &enter);
    EXPECT_EQ(app->showModal(about, window), IDOK);
    EXPECT_GT(idleCalls, 0);
}

TEST_F(ToolkitSmoke, ActivationFollowsFocusOfOurWindows) {
    std::vector<std::string> seen;
    app->hookMainWindow([&](AppMessage m) {
        seen.push_back(std::string(m == AppMessage::Activate ? "on " : "off ") + (app->active() ? "1" : "0"));
    });
    pushFocus(window->windowId(), false);
    pushFocus(window->windowId(), true);
    app->processMessages();
    EXPECT_TRUE(seen.empty()) << "a loss and a gain in one batch leave the application active";
    pushFocus(window->windowId(), false);
    app->processMessages();
    SDL_Delay(300);
    app->processMessages();
    pushFocus(window->windowId(), true);
    app->processMessages();
    EXPECT_EQ(seen, (std::vector<std::string>{"off 0", "on 1"}));
}

TEST_F(ToolkitSmoke, PlacementAndExclusiveModeRestoreTheWindow) {
    WindowPlacement before;
    before.length = 44;
    ASSERT_TRUE(window->getPlacement(before));
    EXPECT_GE(before.normalPosition.width(), 640);
    ASSERT_TRUE(window->enterExclusive(640, 480));
    EXPECT_TRUE(window->exclusive());
    EXPECT_EQ(window->clientOrigin().x, 0);
    EXPECT_EQ(window->clientSize().y, 480);
    app->processMessages();
    window->leaveExclusive();
    ASSERT_TRUE(window->setPlacement(before)) << "the placement saved before full screen puts it back";
    app->processMessages();
    WindowPlacement after;
    after.length = 44;
    ASSERT_TRUE(window->getPlacement(after));
    EXPECT_EQ(after.normalPosition, before.normalPosition);

    WindowPlacement moved = before;
    moved.normalPosition = Bounds(before.normalPosition.left + 30, before.normalPosition.top + 20,
                                  before.normalPosition.width(), before.normalPosition.height());
    ASSERT_TRUE(window->setPlacement(moved));
    app->processMessages();
    ASSERT_TRUE(window->getPlacement(after));
    EXPECT_EQ(after.normalPosition, moved.normalPosition);
    EXPECT_EQ(window->clientSize().x, 640);
}

TEST_F(ToolkitSmoke, EightBitFrameShowsThroughItsPalette) {
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
    ASSERT_NE(frame, nullptr);
    SDL_Color colors[2] = {{0, 0, 0, 255}, {0, 200, 50, 255}};
    SDL_SetPaletteColors(frame->format->palette, colors, 0, 2);
    SDL_FillRect(frame, nullptr, 1);
    const SDL_Rect all{0, 0, 640, 480};
    window->presentFrame(frame, all, all);
    EXPECT_EQ(window->pixel(320, 240), 0x00C832u);
    SDL_FreeSurface(frame);
    const SDL_Point origin = window->clientOrigin();
    int x = 0, y = 0;
    SDL_GetWindowPosition(window->sdlWindow(), &x, &y);
    EXPECT_EQ(origin.y - y, 20) << "the client area starts below the menu strip";
}

TEST(ToolkitSmokePlatform, SdlPlatformOffersEveryService) {
    std::string error;
    const std::unique_ptr<SdlPlatform> backend = SdlPlatform::open(error);
    ASSERT_NE(backend, nullptr) << error;
    Platform& platform = *backend;
    std::unique_ptr<gfx::Device> device;
    EXPECT_EQ(platform.graphics().directDrawCreate(device), gfx::HResult::Ok);
    auto window = platform.application().createWindow(WindowSpec{"Platform"});
    EXPECT_NE(dynamic_cast<soft::PresentTarget*>(window.get()), nullptr)
        << "the graphics device presents through it";
    JoyCaps caps;
    EXPECT_EQ(platform.joysticks().joyGetDevCaps(256, caps), JOYERR_PARMS);
}

}  // namespace
}  // namespace vek::platform::sdl
