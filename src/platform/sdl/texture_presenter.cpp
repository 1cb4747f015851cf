// The renderer's presentation of the client picture and the chrome.
#include "platform/sdl/texture_presenter.hpp"

#include <algorithm>

#include "platform/soft/blitter.hpp"

namespace vek::platform::sdl {

TexturePresenter::TexturePresenter(SDL_Window* window, SDL_Renderer* renderer)
    : WindowPresenter(window), renderer_(renderer) {
    SDL_RendererInfo info{};
    canZoom_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
}

TexturePresenter::~TexturePresenter() {
    if (zoomedTexture_) SDL_DestroyTexture(zoomedTexture_);
    if (frameTexture_) SDL_DestroyTexture(frameTexture_);
    if (chromeTexture_) SDL_DestroyTexture(chromeTexture_);
    SDL_DestroyRenderer(renderer_);
}

std::string TexturePresenter::name() const {
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(renderer_, &info) == 0 ? info.name : "renderer";
}

SDL_Point TexturePresenter::outputSize() const {
    SDL_Point size{};
    SDL_GetRendererOutputSize(renderer_, &size.x, &size.y);
    return size;
}

void TexturePresenter::resizePicture(int width, int height) {
    if (frameTexture_ && picture_ && picture_->w == width && picture_->h == height) return;
    if (frameTexture_) SDL_DestroyTexture(frameTexture_);
    frameTexture_ = nullptr;
    WindowPresenter::resizePicture(width, height);
    if (!picture_) return;
    frameTexture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!frameTexture_) return;
    // The renderer scales the picture by whole zooms: each pixel becomes a sharp square.
    SDL_SetTextureScaleMode(frameTexture_, SDL_ScaleModeNearest);
    SDL_UpdateTexture(frameTexture_, nullptr, picture_->pixels, picture_->pitch);
}

void TexturePresenter::presentFrame(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient,
                                    const ShownLayout& layout) {
    if (!picture_) return;
    soft::convertScaled(frame, src, *picture_, dstClient);
    // Upload only the part that changed.
    const SDL_Rect whole{0, 0, picture_->w, picture_->h};
    SDL_Rect changed{};
    if (frameTexture_ && SDL_IntersectRect(&dstClient, &whole, &changed)) {
        const auto* first =
            static_cast<const Uint8*>(picture_->pixels) + changed.y * picture_->pitch + changed.x * 4;
        SDL_UpdateTexture(frameTexture_, &changed, first, picture_->pitch);
    }
    showAll(layout);
}

void TexturePresenter::showAll(const ShownLayout& layout) {
    draw(layout);
    SDL_RenderPresent(renderer_);
}

void TexturePresenter::chromeChanged() {
    if (chromeTexture_) SDL_DestroyTexture(chromeTexture_);
    chromeTexture_ = nullptr;
}

SDL_Texture* TexturePresenter::zoomedForSmoothing(const ShownLayout& layout) {
    const SDL_Rect& p = layout.picture;
    if (!layout.smooth || !canZoom_ || !picture_ || !frameTexture_ || p.w <= 0 || p.h <= 0) return nullptr;
    const int w = picture_->w, h = picture_->h;
    const int zoom = std::max({1, (p.w + w - 1) / w, (p.h + h - 1) / h});
    if (p.w == w * zoom && p.h == h * zoom) return nullptr;
    int shownW = 0, shownH = 0;
    if (zoomedTexture_) SDL_QueryTexture(zoomedTexture_, nullptr, nullptr, &shownW, &shownH);
    if (shownW != w * zoom || shownH != h * zoom) {
        if (zoomedTexture_) SDL_DestroyTexture(zoomedTexture_);
        zoomedTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                           w * zoom, h * zoom);
        if (!zoomedTexture_) return nullptr;
        SDL_SetTextureScaleMode(zoomedTexture_, SDL_ScaleModeLinear);
    }
    if (SDL_SetRenderTarget(renderer_, zoomedTexture_) != 0) return nullptr;
    SDL_RenderCopy(renderer_, frameTexture_, nullptr, nullptr);
    SDL_SetRenderTarget(renderer_, nullptr);
    return zoomedTexture_;
}

void TexturePresenter::draw(const ShownLayout& layout) {
    SDL_Texture* zoomed = zoomedForSmoothing(layout);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, zoomed ? zoomed : frameTexture_, nullptr, &layout.picture);
    if (!layout.chrome) return;
    if (!chromeTexture_) {
        chromeTexture_ = SDL_CreateTextureFromSurface(renderer_, layout.chrome);
        if (!chromeTexture_) return;
        SDL_SetTextureBlendMode(chromeTexture_, SDL_BLENDMODE_BLEND);
    }
    const SDL_Rect area{0, 0, layout.chrome->w, layout.chrome->h};
    SDL_RenderCopy(renderer_, chromeTexture_, nullptr, &area);
}

soft::SurfacePtr TexturePresenter::shownPicture(const ShownLayout& layout) {
    const SDL_Point size = outputSize();
    soft::SurfacePtr shown(SDL_CreateRGBSurfaceWithFormat(0, size.x, size.y, 32, SDL_PIXELFORMAT_RGB888));
    if (!shown) return nullptr;
    draw(layout);
    const bool read =
        SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGB888, shown->pixels, shown->pitch) == 0;
    SDL_RenderPresent(renderer_);
    return read ? std::move(shown) : nullptr;
}

void TexturePresenter::setVSync(bool on) {
    SDL_RenderSetVSync(renderer_, on ? 1 : 0);
}

}  // namespace vek::platform::sdl
