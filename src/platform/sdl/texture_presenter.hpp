// Presenting through an SDL renderer: the client picture is uploaded into a streaming
// texture, and each showing clears the window, copies the texture zoomed into place (at an
// uneven zoom, smoothed sharp-bilinear) and lays the chrome over it. The renderer's work is
// the graphics processor's.
#pragma once

#include "platform/sdl/window_presenter.hpp"

namespace vek::platform::sdl {

class TexturePresenter final : public WindowPresenter {
public:
    // Takes the renderer over.
    TexturePresenter(SDL_Window* window, SDL_Renderer* renderer);
    ~TexturePresenter() override;

    std::string name() const override;
    SDL_Point outputSize() const override;
    void resizePicture(int width, int height) override;
    void presentFrame(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient,
                      const ShownLayout& layout) override;
    void showAll(const ShownLayout& layout) override;
    void chromeChanged() override;
    void showChrome(const ShownLayout& layout, int) override { showAll(layout); }
    soft::SurfacePtr shownPicture(const ShownLayout& layout) override;
    void setVSync(bool on) override;

private:
    // Draws the window's picture into the renderer without presenting it.
    void draw(const ShownLayout& layout);
    // At a place that is no whole zoom of the picture, smoothed: the picture zoomed by the
    // smallest whole number that reaches the place, in a texture that the renderer then
    // scales linearly to the place. Null where the nearest pixels are shown.
    SDL_Texture* zoomedForSmoothing(const ShownLayout& layout);

    SDL_Renderer* renderer_;
    SDL_Texture* frameTexture_ = nullptr;
    SDL_Texture* chromeTexture_ = nullptr;
    SDL_Texture* zoomedTexture_ = nullptr;
    bool canZoom_ = false;  // the renderer draws into textures
};

}  // namespace vek::platform::sdl
