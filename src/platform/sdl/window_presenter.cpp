// The choice of how the window presents, and the client picture both ways keep.
#include "platform/sdl/window_presenter.hpp"

#include <SDL_opengl.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "platform/sdl/graphics_processor.hpp"
#include "platform/sdl/surface_presenter.hpp"
#include "platform/sdl/texture_presenter.hpp"
#include "platform/soft/blitter.hpp"
#include "runtime/messages.hpp"

namespace vek::platform::sdl {

namespace {

// Whether the renderer draws through an OpenGL that rasterises on the processor, as on a
// display without a graphics processor (a virtual X server, a remote desktop).
bool rasterisesOnProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const GLubyte* name = getString ? getString(GL_RENDERER) : nullptr;
    if (!name) return false;
    const std::string_view gl(reinterpret_cast<const char*>(name));
    return gl.find("llvmpipe") != gl.npos || gl.find("softpipe") != gl.npos || gl.find("swrast") != gl.npos ||
           gl.find("Software Rasterizer") != gl.npos;
}

// Says why the window draws another way than it could, once a run for each reason.
void reportOnce(bool& said, const char* what, const char* why) {
    if (said) return;
    said = true;
    std::fprintf(stderr, "%s%s: %s\n", MessagePrefix().c_str(), what, why);
}

bool saidNoRenderer = false;
bool saidNoPixels = false;

}  // namespace

void WindowPresenter::resizePicture(int width, int height) {
    picture_ = soft::resizedPicture(std::move(picture_), width, height);
}

void WindowPresenter::keep(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient) {
    if (picture_) soft::convertScaled(frame, src, *picture_, dstClient);
}

std::unique_ptr<WindowPresenter> makePresenter(SDL_Window* window) {
    // Where no graphics processor draws, no renderer is made: its OpenGL would be loaded only
    // to be found rasterising on the processor. Where one seems to, its name is checked still.
    const bool processor = graphicsProcessorLikely(window);
    SDL_Renderer* renderer = processor ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
    if (renderer && !rasterisesOnProcessor(renderer))
        return std::make_unique<TexturePresenter>(window, renderer);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (processor && !renderer)
        reportOnce(saidNoRenderer, "no accelerated renderer, the processor draws the window", SDL_GetError());
    // Without a graphics processor, the window's own pixels handed straight to the display
    // cost the least: SDL is told not to put a renderer of its own behind them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* pixels = SDL_GetWindowSurface(window);
    if (pixels && pixels->format->BytesPerPixel == 4) return std::make_unique<SurfacePresenter>(window);
    reportOnce(saidNoPixels, "the window's pixels cannot be drawn directly",
               pixels ? "they are not 32-bit" : SDL_GetError());
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer) return std::make_unique<TexturePresenter>(window, renderer);
    throw std::runtime_error(std::string("Cannot draw into the window: ") + SDL_GetError());
}

}  // namespace vek::platform::sdl
