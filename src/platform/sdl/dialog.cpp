// Drawing and input of the toolkit's modal dialogs.
#include "platform/sdl/dialog.hpp"

#include <algorithm>
#include <utility>

#include "platform/sdl/message_box.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/toolkit/dialog_logic.hpp"

namespace vek::platform::sdl {

namespace {

std::uint32_t rgbOf(TColor color) {
    const TColor c = colorToRGB(color);
    return (std::uint32_t(getRValue(c)) << 16) | (std::uint32_t(getGValue(c)) << 8) | getBValue(c);
}

SDL_Rect sdlRect(const TRect& r) {
    return SDL_Rect{r.left, r.top, r.width(), r.height()};
}

// The frame around the control the keyboard is on.
void drawFocus(SDL_Surface* surface, const SDL_Rect& r) {
    constexpr std::uint32_t kFocus = 0x0078D7;
    fillRect(surface, SDL_Rect{r.x - 2, r.y - 2, r.w + 4, 2}, kFocus);
    fillRect(surface, SDL_Rect{r.x - 2, r.y + r.h, r.w + 4, 2}, kFocus);
    fillRect(surface, SDL_Rect{r.x - 2, r.y, 2, r.h}, kFocus);
    fillRect(surface, SDL_Rect{r.x + r.w, r.y, 2, r.h}, kFocus);
}

int pixelSize(const DialogControl& control) {
    return std::max(6, std::abs(control.fontHeight));
}

}  // namespace

DialogWindow::DialogWindow(SdlApplication& app, DialogSpec& dialog, SDL_Window* owner)
    : BoxWindow(app), dialog_(dialog) {
    open(dialog.caption, dialog.clientWidth, dialog.clientHeight, owner);
    if (!valid()) return;
    dialog_.redraw = [this] { redraw(); };
    hand_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    redraw();
}

DialogWindow::~DialogWindow() {
    dialog_.redraw = nullptr;
    if (arrow_) SDL_SetCursor(arrow_);
    if (hand_) SDL_FreeCursor(hand_);
    if (arrow_) SDL_FreeCursor(arrow_);
}

void DialogWindow::redraw() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGB(surface->format, kFaceColour >> 16, kFaceColour >> 8 & 0xFF, kFaceColour & 0xFF));
    for (const DialogControl& control : dialog_.controls) drawControl(surface, control);
    SDL_UpdateWindowSurface(window_);
}

void DialogWindow::drawControl(SDL_Surface* surface, const DialogControl& control) {
    TextPainter& text = app_.text();
    const SDL_Rect r = sdlRect(control.bounds);
    switch (control.kind) {
        case DialogControl::Kind::Label:
        case DialogControl::Kind::Link:
            drawText(surface, control);
            break;
        case DialogControl::Kind::Bevel:
            fillRect(surface, SDL_Rect{r.x, r.y, r.w, 1}, 0xA0A0A0);
            fillRect(surface, SDL_Rect{r.x, r.y + 1, r.w, 1}, 0xFFFFFF);
            break;
        case DialogControl::Kind::Image:
            drawImage(surface, control);
            break;
        case DialogControl::Kind::List:
            drawList(surface, control);
            break;
        case DialogControl::Kind::Button:
            drawButton(surface, text, r, control.text, control.isDefault, pressed_ == &control,
                       pixelSize(control), control.fontName);
            if (control.focused) drawFocus(surface, r);
            break;
    }
}

void DialogWindow::drawText(SDL_Surface* surface, const DialogControl& control) {
    TextPainter& text = app_.text();
    const SDL_Rect r = sdlRect(control.bounds);
    const std::uint32_t color = rgbOf(control.color);
    if (control.wordWrap) {
        text.drawWrapped(surface, r, control.text, color, pixelSize(control), control.fontName,
                         control.underline);
        return;
    }
    SDL_Rect old;
    SDL_GetClipRect(surface, &old);
    if (control.clipText) SDL_SetClipRect(surface, &r);
    text.draw(surface, r.x, r.y, control.text, color, pixelSize(control), control.fontName,
              control.underline);
    SDL_SetClipRect(surface, &old);
}

// A white well with the chosen line highlighted; lines that do not fit are not drawn.
void DialogWindow::drawList(SDL_Surface* surface, const DialogControl& control) {
    TextPainter& text = app_.text();
    const SDL_Rect r = sdlRect(control.bounds);
    fillRect(surface, r, 0x808080);
    fillRect(surface, SDL_Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2}, 0xFFFFFF);
    SDL_Rect old;
    SDL_GetClipRect(surface, &old);
    SDL_SetClipRect(surface, &r);
    const int chosen = control.chosen ? *control.chosen : -1;
    for (int i = 0; i < static_cast<int>(control.items.size()); ++i) {
        const int y = r.y + i * control.itemHeight;
        if (y >= r.y + r.h) break;
        if (i == chosen) fillRect(surface, SDL_Rect{r.x + 2, y + 1, r.w - 4, control.itemHeight}, 0x3C78D8);
        text.draw(surface, r.x + 6, y + 2, control.items[static_cast<std::size_t>(i)],
                  i == chosen ? 0xFFFFFF : 0x000000, pixelSize(control), control.fontName);
    }
    SDL_SetClipRect(surface, &old);
}

void DialogWindow::drawImage(SDL_Surface* surface, const DialogControl& control) {
    if (control.imageWidth <= 0 || control.pixels.empty()) return;
    const int height = static_cast<int>(control.pixels.size()) / control.imageWidth;
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(control.pixels.data()),
                                                            control.imageWidth, height, 32,
                                                            control.imageWidth * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!image) return;
    SDL_SetSurfaceBlendMode(image, SDL_BLENDMODE_BLEND);
    SDL_Rect dst{control.bounds.left, control.bounds.top, control.imageWidth, height};
    SDL_BlitSurface(image, nullptr, surface, &dst);
    SDL_FreeSurface(image);
}

bool DialogWindow::keyDown(std::uint16_t key, TShiftState shift) {
    if (const int result = dialogKey(dialog_, key, shift)) {
        finish(result);
        return true;
    }
    if (key == vk::Up || key == vk::Down) redraw();
    return true;
}

// A click on a list chooses its line; a double click then presses the default button.
bool DialogWindow::listClick(const SDL_Event& event) {
    DialogControl* list = firstList(dialog_);
    if (!list || event.type != SDL_MOUSEBUTTONDOWN) return false;
    const int line = listLineAt(*list, event.button.x, event.button.y);
    if (line < 0) return false;
    *list->chosen = line;
    redraw();
    if (event.button.clicks >= 2) {
        DialogControl* button = defaultButton(dialog_);
        if (const int result = button ? activateControl(dialog_, *button) : 0) finish(result);
    }
    return true;
}

void DialogWindow::updateCursor(int x, int y) {
    SDL_Cursor* wanted = cursorAt(dialog_, x, y) == crHandPoint ? hand_ : arrow_;
    if (wanted && SDL_GetCursor() != wanted) SDL_SetCursor(wanted);
}

void DialogWindow::mouseEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEMOTION) {
        updateCursor(event.motion.x, event.motion.y);
        return;
    }
    if (event.button.button != SDL_BUTTON_LEFT) return;
    if (listClick(event)) return;
    DialogControl* hit = clickableAt(dialog_, event.button.x, event.button.y);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        pressed_ = hit;
        redraw();
        return;
    }
    DialogControl* pressed = std::exchange(pressed_, nullptr);
    redraw();
    if (pressed && pressed == hit) {
        if (const int result = activateControl(dialog_, *pressed)) finish(result);
    }
}

}  // namespace vek::platform::sdl
