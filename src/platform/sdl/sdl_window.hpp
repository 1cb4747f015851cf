// The SDL top-level window: caption, border, a menu bar strip that the toolkit draws above
// the client area, and the presentation of software frames. The client picture keeps its
// size; windowed it is scaled into the view below the strip, in exclusive desktop full
// screen into the whole screen, both times by the largest whole zoom that fits or, fitted,
// as large as its shape allows (PictureScale).
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/sdl/event_target.hpp"
#include "platform/sdl/window_presenter.hpp"
#include "platform/soft/format.hpp"
#include "platform/soft/present_target.hpp"
#include "platform/toolkit.hpp"
#include "platform/toolkit/menu_bar.hpp"
#include "platform/toolkit/placement_model.hpp"

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
    WindowGeometry geometry() const override;
    void setGeometry(const WindowGeometry& geometry) override;
    void show() override;
    void close() override;
    bool closed() const override { return closed_; }
    void minimize() override;
    void setPictureScale(PictureScale scale) override;
    std::string clientPicturePng(std::string& why) override;

    void presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) override;
    bool enterExclusive(int width, int height) override;
    void leaveExclusive() override;
    bool exclusive() const override { return exclusive_; }
    void setVSync(bool on) override;
    SDL_Point clientOrigin() const override;
    SDL_Point clientSize() const override;

    Uint32 windowId() const override { return SDL_GetWindowID(window_); }
    bool keyDown(std::uint16_t key, TShiftState shift) override;
    void keyUp(std::uint16_t key) override;
    void mouseEvent(const SDL_Event& event) override;
    void closeBox() override { close(); }
    void redraw() override;
    void focusChanged(bool focused) override;
    void placed() override;

    bool menuOpen() const { return menu_.isOpen(); }
    // Runs the close that close() asked for: OnDestroy, then the window is hidden.
    void finishClose();
    SDL_Window* sdlWindow() const { return window_; }
    // A pixel (0xRRGGBB) of the last presented client picture.
    std::uint32_t pixel(int x, int y) const;
    // The whole window's picture as it is shown (menu strip, borders and the scaled client
    // picture), read back as 32-bit X-R-G-B; null when it cannot be read.
    soft::SurfacePtr shownPicture();

private:
    // The menu strip's height while windowed, and whether there is one at all.
    int barHeight() const;
    int stripHeight() const;
    // Where the client picture is shown, in window (or, exclusive, screen) pixels.
    SDL_Rect pictureRect() const;
    void setMinimumSize();
    void refreshChrome();
    // What the presenter shows now: the picture's place, and the chrome unless full screen.
    ShownLayout shownLayout() const;
    // Shows the whole window again.
    void render();
    void applyMenuResult(const MenuResult& result);
    // On the first showing with a frame: learns the window manager's frame sizes and puts
    // the frame's outer corner at the stored position.
    void placeInFrame();
    bool normalNow() const;
    // Tells the placement model where the shown window is and how it is shown.
    void observe() const;
    // A maximised window the window manager has just restored is put at the model's area.
    void returnFromMaximized();
    // Moves the window to the model's area, maximised or minimised as asked.
    void applyPlace(bool minimize);
    // Shows or hides the window manager's frame as the border style asks, keeping the
    // client area's top-left corner at client.
    void applyBorder(SDL_Point client);
    // Lets the frame resize the window as the border style says.
    void applyResizable();

    SdlApplication& app_;
    SDL_Window* window_ = nullptr;
    std::unique_ptr<WindowPresenter> presenter_;
    soft::SurfacePtr chrome_;  // the menu strip and an open menu, transparent elsewhere
    std::string caption_;
    BorderStyle border_;
    MenuNavigator menu_;
    MenuLayout layout_;
    SDL_Point logical_;  // the client area's size while windowed
    // Where the window stands and returns to; the window system's reports update it, so
    // reading them refreshes it.
    mutable PlacementModel model_;
    SDL_Point drawnSize_{};  // the window's size when it was last drawn
    bool cursorVisible_ = true;
    bool chromeDirty_ = true;
    bool exclusive_ = false;
    SDL_Point exclusiveSize_{};
    bool closing_ = false;
    bool closed_ = false;
    bool everShown_ = false;
};

}  // namespace vek::platform::sdl
