// Whether a graphics processor draws for a window, found out without making an OpenGL
// context: OpenGL loaded only to learn that it rasterises on the processor (Mesa's llvmpipe
// on a virtual X server or a machine without one) costs some 50 MB and a quarter of a second.
#pragma once

#include <SDL.h>

namespace vek::platform::sdl {

// True where the display can hand drawing to a graphics processor: an X server that offers
// its clients direct rendering (DRI3 or DRI2 with a render node to draw through, or NVIDIA's
// own GLX), or Wayland or the console with a render node; and for any other video driver,
// which is then asked itself. False for the drivers without a screen.
bool graphicsProcessorLikely(SDL_Window* window);

}  // namespace vek::platform::sdl
