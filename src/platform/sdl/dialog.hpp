// A modal dialog window drawn by the toolkit from a DialogSpec: labels, link labels,
// bevel lines, pictures and push buttons, each control with its own mouse cursor; Enter
// presses the default button, the close box and Escape cancel.
#pragma once

#include <SDL.h>

#include "platform/sdl/message_box.hpp"
#include "platform/toolkit.hpp"
#include "platform/toolkit/dialog_logic.hpp"

namespace vek::platform::sdl {

class DialogWindow : public BoxWindow {
public:
    DialogWindow(SdlApplication& app, DialogSpec& dialog, SDL_Window* owner);
    ~DialogWindow() override;

    bool keyDown(std::uint16_t key, TShiftState shift) override;
    bool padButton(int input) override { return dialogPadButton(dialog_, input); }
    void mouseEvent(const SDL_Event& event) override;
    void closeBox() override { finish(IDCANCEL); }
    void redraw() override;

private:
    void drawControl(SDL_Surface* surface, const DialogControl& control);
    void drawText(SDL_Surface* surface, const DialogControl& control);
    void drawImage(SDL_Surface* surface, const DialogControl& control);
    void drawList(SDL_Surface* surface, const DialogControl& control);
    bool listClick(const SDL_Event& event);
    void updateCursor(int x, int y);

    DialogSpec& dialog_;
    SDL_Cursor* hand_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
    DialogControl* pressed_ = nullptr;
};

}  // namespace vek::platform::sdl
