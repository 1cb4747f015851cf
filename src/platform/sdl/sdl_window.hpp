// The SDL top-level window: caption, border, a menu bar strip that the toolkit draws above
// the client area, and the presentation of software frames, windowed or in exclusive
// desktop full screen with the picture scaled to fit.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/sdl/event_target.hpp"
#include "platform/soft/format.hpp"
#include "platform/soft/present_target.hpp"
#include "platform/toolkit.hpp"
#include "platform/toolkit/menu_bar.hpp"

namespace vek::platform::sdl {

class SdlApplication;

class SdlWindow : public soft::PresentWindow, public EventTarget {
public:
    SdlWindow(SdlApplication& app, const WindowSpec& spec);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void setCaption(const std::string& caption) override;
    std::string caption() const override { return caption_; }
    void setBorderStyle(BorderStyle style) override;
    BorderStyle borderStyle() const override { return border_; }
    void setMenu(TMenuItem* bar) override;
    void menuChanged() override;
    void setCursorVisible(bool visible) override;
    bool getPlacement(WindowPlacement& placement) const override;
    bool setPlacement(const WindowPlacement& placement) override;
    void show() override;
    void close() override;
    bool closed() const override { return closed_; }
    void minimize() override;

    void presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) override;
    bool enterExclusive(int width, int height) override;
    void leaveExclusive() override;
    bool exclusive() const override { return exclusive_; }
    void setVSync(bool on) override;
    SDL_Point clientOrigin() const override;
    SDL_Point clientSize() const override;

    Uint32 windowId() const override { return SDL_GetWindowID(window_); }
    void keyDown(std::uint16_t key, TShiftState shift) override;
    void keyUp(std::uint16_t key) override;
    void mouseEvent(const SDL_Event& event) override;
    void closeBox() override { close(); }
    void redraw() override;
    void focusChanged(bool focused) override;

    bool menuOpen() const { return menu_.isOpen(); }
    // Runs the close that close() asked for: OnDestroy, then the window is hidden.
    void finishClose();
    SDL_Window* sdlWindow() const { return window_; }
    // A pixel (0xRRGGBB) of the last presented client picture.
    std::uint32_t pixel(int x, int y) const;

private:
    int barHeight() const;
    void makeFrameTexture(int width, int height);
    void resizeForMenu();
    void refreshChrome();
    void render();
    // Lays the menu bar (and an open menu) over the client picture.
    void renderChrome();
    void applyMenuResult(const MenuResult& result);
    SDL_Rect outerRect() const;
    // On the first showing: learns the window manager's frame sizes and puts the frame's
    // outer corner at the stored position.
    void placeInFrame();
    // Shows or hides the window manager's frame as the border style asks, keeping the
    // client area's top-left corner at client.
    void applyBorder(SDL_Point client);

    SdlApplication& app_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* frameTexture_ = nullptr;
    SDL_Texture* chromeTexture_ = nullptr;
    std::string caption_;
    BorderStyle border_;
    MenuNavigator menu_;
    MenuLayout layout_;
    soft::SurfacePtr picture_;  // the client picture as last presented, 32-bit
    int clientWidth_;
    int clientHeight_;
    SDL_Rect frameExtents_{};  // left, top, right, bottom decoration sizes while bordered
    SDL_Rect windowedRect_{};  // position and size before exclusive mode
    bool cursorVisible_ = true;
    bool chromeDirty_ = true;
    bool exclusive_ = false;
    SDL_Point exclusiveSize_{};
    bool closing_ = false;
    bool closed_ = false;
    bool everShown_ = false;
};

// The part of an output of outW × outH that shows a w × h picture with its aspect kept:
// the largest whole-number scale when it is at least 1, otherwise the largest fraction.
SDL_Rect fitPicture(int outW, int outH, int w, int h);

}  // namespace vek::platform::sdl
