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

// A window for a message box or dialog, centred on owner (or the screen), modal for it,
// kept out of the task bar.
SDL_Window* createBoxWindow(const std::string& caption, int width, int height, SDL_Window* owner);

// Draws a push button with its caption ("&" marks the access letter) centred.
void drawButton(SDL_Surface* target, TextPainter& text, const SDL_Rect& r, const std::string& caption,
                bool isDefault, bool pressed, int size, const std::string& face);

class MessageBoxWindow : public EventTarget {
public:
    MessageBoxWindow(SdlApplication& app, const std::string& text, const std::string& caption,
                     std::uint32_t flags, SDL_Window* owner);
    ~MessageBoxWindow() override;
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

    bool valid() const { return window_ != nullptr; }
    bool closed() const { return result_ != 0; }
    int result() const { return result_; }

    Uint32 windowId() const override { return window_ ? SDL_GetWindowID(window_) : 0; }
    void keyDown(std::uint16_t key, TShiftState shift) override;
    void keyUp(std::uint16_t) override {}
    void mouseEvent(const SDL_Event& event) override;
    void closeBox() override { result_ = IDOK; }
    void redraw() override;
    void focusChanged(bool) override {}

private:
    SdlApplication& app_;
    SDL_Window* window_ = nullptr;
    SDL_Window* owner_;
    std::vector<std::string> lines_;
    BoxIcon icon_;
    SDL_Rect button_{};
    bool pressed_ = false;
    int result_ = 0;
};

}  // namespace vek::platform::sdl
