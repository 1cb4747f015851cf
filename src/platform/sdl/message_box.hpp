// The toolkit's message box: a small window drawn by the toolkit with its icon, the text
// broken into lines at carriage returns, and an OK button that Enter, Escape and Space press.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/sdl/event_target.hpp"
#include "platform/sdl/toolkit_paint.hpp"

namespace vek::platform::sdl {

class SdlApplication;

// A modal window of the toolkit (message box or dialog), centred on its owner (or the
// screen) and kept out of the task bar. It takes part in the application's loop from
// open() until its destruction; the first result given closes it.
class BoxWindow : public EventTarget {
public:
    explicit BoxWindow(SdlApplication& app) : app_(app) {}
    ~BoxWindow() override;
    BoxWindow(const BoxWindow&) = delete;
    BoxWindow& operator=(const BoxWindow&) = delete;

    bool valid() const { return window_ != nullptr; }
    bool closed() const { return result_ != 0; }
    int result() const { return result_; }

    Uint32 windowId() const override { return window_ ? SDL_GetWindowID(window_) : 0; }
    void keyUp(std::uint16_t) override {}
    void focusChanged(bool) override {}

protected:
    void open(const std::string& caption, int width, int height, SDL_Window* owner);
    void finish(int result) {
        if (result_ == 0) result_ = result;
    }

    SdlApplication& app_;
    SDL_Window* window_ = nullptr;

private:
    SDL_Window* owner_ = nullptr;
    int result_ = 0;
};

// Draws a push button with its caption ("&" marks the access letter) centred.
void drawButton(SDL_Surface* target, TextPainter& text, const SDL_Rect& r, const std::string& caption,
                bool isDefault, bool pressed, int size, const std::string& face);

class MessageBoxWindow : public BoxWindow {
public:
    MessageBoxWindow(SdlApplication& app, const std::string& text, const std::string& caption,
                     std::uint32_t flags, SDL_Window* owner);

    bool keyDown(std::uint16_t key, TShiftState shift) override;
    void mouseEvent(const SDL_Event& event) override;
    void closeBox() override { finish(IDOK); }
    void redraw() override;

private:
    std::vector<std::string> lines_;
    BoxIcon icon_;
    SDL_Rect button_{};
    bool pressed_ = false;
};

}  // namespace vek::platform::sdl
