// A modal dialog window drawn by the toolkit from a DialogSpec: labels, link labels
// (underlined, hand cursor), bevel lines, pictures and push buttons; Enter presses the
// default button, the close box and Escape cancel.
#pragma once

#include <SDL.h>

#include "platform/sdl/event_target.hpp"
#include "platform/toolkit.hpp"

namespace vek::platform::sdl {

class SdlApplication;

class DialogWindow : public EventTarget {
public:
    DialogWindow(SdlApplication& app, DialogSpec& dialog, SDL_Window* owner);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    bool valid() const { return window_ != nullptr; }
    bool closed() const { return result_ != 0; }
    int result() const { return result_; }

    Uint32 windowId() const override { return window_ ? SDL_GetWindowID(window_) : 0; }
    void keyDown(std::uint16_t key, TShiftState shift) override;
    void keyUp(std::uint16_t) override {}
    void mouseEvent(const SDL_Event& event) override;
    void closeBox() override { result_ = IDCANCEL; }
    void redraw() override;
    void focusChanged(bool) override {}

private:
    void drawControl(SDL_Surface* surface, const DialogControl& control);
    void drawImage(SDL_Surface* surface, const DialogControl& control);
    void updateCursor(int x, int y);

    SdlApplication& app_;
    DialogSpec& dialog_;
    SDL_Window* window_ = nullptr;
    SDL_Window* owner_;
    SDL_Cursor* hand_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
    DialogControl* pressed_ = nullptr;
    int result_ = 0;
};

}  // namespace vek::platform::sdl
