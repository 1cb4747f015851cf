// Layout, drawing and input of the toolkit's message box.
#include "platform/sdl/message_box.hpp"

#include <algorithm>

#include "platform/sdl/menu_paint.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/toolkit/dialog_logic.hpp"
#include "runtime/translation.hpp"

namespace vek::platform::sdl {

namespace {

constexpr int kMargin = 24;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kStripHeight = 46;

bool inside(const SDL_Rect& r, int x, int y) {
    return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

}  // namespace

void BoxWindow::open(const std::string& caption, int width, int height, SDL_Window* owner) {
    owner_ = owner;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (owner) {
        int ox = 0, oy = 0, ow = 0, oh = 0;
        SDL_GetWindowPosition(owner, &ox, &oy);
        SDL_GetWindowSize(owner, &ow, &oh);
        x = ox + (ow - width) / 2;
        y = oy + (oh - height) / 2;
    }
    // A fixed-size dialog window for its owner: window managers give it a close box and no
    // minimise or maximise box (some, such as openbox, keep drawing every box).
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_DIALOG");
    window_ =
        SDL_CreateWindow(caption.c_str(), x, y, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR);
    // Making the surface may make the window anew (for a surface drawn through the renderer):
    // do it before the window is tied to its owner and shown, so that neither is lost.
    if (window_) SDL_GetWindowSurface(window_);
    SDL_ResetHint(SDL_HINT_X11_WINDOW_TYPE);
    if (!window_) return;
    if (owner) SDL_SetWindowModalFor(window_, owner);
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
    app_.addTarget(this);
}

BoxWindow::~BoxWindow() {
    if (!window_) return;
    app_.removeTarget(this);
    SDL_DestroyWindow(window_);
    if (owner_) SDL_RaiseWindow(owner_);  // the owner takes input again
}

void drawButton(SDL_Surface* target, TextPainter& text, const SDL_Rect& r, const std::string& caption,
                bool isDefault, bool pressed, int size, const std::string& face) {
    fillRect(target, r, isDefault ? 0x0078D7 : 0xADADAD);
    const int inset = isDefault ? 2 : 1;
    fillRect(target, SDL_Rect{r.x + inset, r.y + inset, r.w - 2 * inset, r.h - 2 * inset},
             pressed ? 0xCCE4F7 : 0xE1E1E1);
    const int x = r.x + (r.w - text.width(stripAccessMark(caption), size, face)) / 2;
    const int y = r.y + (r.h - text.lineHeight(size, face)) / 2;
    drawAccessCaption(target, text, x, y, caption, 0x000000, size, face);
}

MessageBoxWindow::MessageBoxWindow(SdlApplication& app, const std::string& text, const std::string& caption,
                                   std::uint32_t flags, SDL_Window* owner)
    : BoxWindow(app), lines_(splitLines(text)), icon_(iconFromFlags(flags)) {
    TextPainter& painter = app.text();
    int textWidth = 0;
    for (const std::string& line : lines_)
        textWidth = std::max(textWidth, painter.width(line, kMenuFontSize));
    const int textHeight = static_cast<int>(lines_.size()) * painter.lineHeight(kMenuFontSize);
    const int textLeft = kMargin + (icon_ != BoxIcon::None ? kIconSize + 16 : 0);
    const int width = std::max(textLeft + textWidth + kMargin, kButtonWidth + 2 * kMargin + 80);
    const int content = std::max(icon_ != BoxIcon::None ? kIconSize : 0, textHeight) + 2 * kMargin;
    button_ = SDL_Rect{width - kButtonWidth - 12, content + (kStripHeight - kButtonHeight) / 2, kButtonWidth,
                       kButtonHeight};
    open(caption, width, content + kStripHeight, owner);
    if (valid()) redraw();
}

void MessageBoxWindow::redraw() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    TextPainter& text = app_.text();
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    fillRect(surface, SDL_Rect{0, button_.y - (kStripHeight - kButtonHeight) / 2, surface->w, kStripHeight},
             kFaceColour);
    const int lineHeight = text.lineHeight(kMenuFontSize);
    const int textHeight = static_cast<int>(lines_.size()) * lineHeight;
    int textLeft = kMargin;
    int textTop = kMargin;
    if (icon_ != BoxIcon::None) {
        drawIcon(surface, kMargin, kMargin, icon_);
        textLeft += kIconSize + 16;
        textTop += std::max(0, (kIconSize - textHeight) / 2);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i)
        text.draw(surface, textLeft, textTop + static_cast<int>(i) * lineHeight, lines_[i], 0x000000,
                  kMenuFontSize);
    drawButton(surface, text, button_, tr("OK"), true, pressed_, kMenuFontSize, {});
    SDL_UpdateWindowSurface(window_);
}

bool MessageBoxWindow::keyDown(std::uint16_t key, TShiftState) {
    if (const int result = messageBoxKey(key)) finish(result);
    return true;
}

void MessageBoxWindow::mouseEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEMOTION || event.button.button != SDL_BUTTON_LEFT) return;
    const bool onButton = inside(button_, event.button.x, event.button.y);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        pressed_ = onButton;
    } else {
        if (pressed_ && onButton) finish(IDOK);
        pressed_ = false;
    }
    redraw();
}

}  // namespace vek::platform::sdl
