// A top-level window without a screen: it keeps its caption, border, menu state, cursor
// and placement for tests to read, presents through a HeadlessScreen that keeps the last
// picture, and routes scripted keys through key preview, shortcuts and menu navigation as
// the real window does.
#pragma once

#include <cstdint>
#include <string>

#include "platform/headless/headless_screen.hpp"
#include "platform/soft/present_target.hpp"
#include "platform/toolkit.hpp"
#include "platform/toolkit/menu_bar.hpp"
#include "platform/toolkit/placement_model.hpp"

namespace vek::platform::headless {

class HeadlessApplication;

class HeadlessWindow : public soft::PresentWindow {
public:
    // Frame sizes around the client area of a bordered window (caption bar included in top).
    static constexpr int kBorder = 3;
    static constexpr int kCaptionBar = 23;

    HeadlessWindow(HeadlessApplication& app, const WindowSpec& spec);
    ~HeadlessWindow() override;

    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    // Like the desktop window, a new border keeps the client area where it is.
    void setBorderStyle(BorderStyle style) override;
    BorderStyle borderStyle() const override { return border_; }
    // A menu bar makes the window taller and keeps the client area's size.
    void setMenu(TMenuItem* bar) override;
    void menuChanged() override { ++menuRedraws_; }
    void setCursorVisible(bool visible) override { cursorVisible_ = visible; }
    bool getPlacement(WindowPlacement& placement) const override;
    bool setPlacement(const WindowPlacement& placement) override;
    // The view keeps no picture here: its size is only remembered. A view too large for
    // the screen it opens on is reduced to the largest zoom that fits.
    WindowGeometry geometry() const override;
    void setGeometry(const WindowGeometry& geometry) override;
    void show() override;
    void close() override;
    bool closed() const override { return closed_; }
    void minimize() override { minimized_ = true; }
    std::string clientPicturePng(std::string& why) override;

    void presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) override {
        screen_.presentFrame(frame, src, dstClient);
    }
    bool enterExclusive(int width, int height) override;
    void leaveExclusive() override;
    bool exclusive() const override { return screen_.exclusive(); }
    void setVSync(bool on) override { screen_.setVSync(on); }
    SDL_Point clientOrigin() const override { return screen_.clientOrigin(); }
    SDL_Point clientSize() const override { return screen_.clientSize(); }

    // What tests read.
    MenuNavigator& menu() { return menu_; }
    // The presented pictures, the exclusive-mode state and the refusal switch.
    HeadlessScreen& screen() { return screen_; }
    int menuRedraws() const { return menuRedraws_; }
    bool cursorVisible() const { return cursorVisible_; }
    bool minimized() const { return minimized_; }
    bool shown() const { return shown_; }
    // The outer frame in screen pixels, as the window manager would report it.
    TRect frameRect() const;
    // The user drags the window so that its frame's top-left corner is at (left, top).
    void moveTo(int left, int top);
    // The user restores the window from minimised: it is painted again.
    void restore();

    // Input from the application's loop.
    // Answers whether the key was used, as the real window does.
    bool keyDown(std::uint16_t key, TShiftState shift);
    void keyUp(std::uint16_t key);
    void clickMenuItem(TMenuItem& item);
    void mouseDown();
    void finishClose();

private:
    // Tells the screen where the client area now is and how big it is.
    void syncScreen();

    HeadlessApplication& app_;
    std::string caption_;
    BorderStyle border_;
    MenuNavigator menu_;
    PlacementModel model_;
    bool cursorVisible_ = true;
    bool minimized_ = false;
    bool shown_ = false;
    bool closing_ = false;
    bool closed_ = false;
    HeadlessScreen screen_;
    int menuRedraws_ = 0;
};

}  // namespace vek::platform::headless
