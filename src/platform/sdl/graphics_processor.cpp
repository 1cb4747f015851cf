// The graphics processor's signs: the X server's extensions and the kernel's render nodes.
// This file includes the X headers, whose macros (None, Bool, Status …) would reach the
// files built beside it: the build compiles it on its own.
#include "platform/sdl/graphics_processor.hpp"

#include <SDL_syswm.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace vek::platform::sdl {

namespace {

// A render node of the kernel's graphics drivers that this process may draw through.
bool hasRenderNode() {
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", failed)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("renderD", 0) == 0 && access(entry.path().c_str(), R_OK | W_OK) == 0) return true;
    }
    return false;
}

#if defined(SDL_VIDEO_DRIVER_X11)
bool x11DirectRendering(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
    Display* display = info.info.x11.display;
    const auto offers = [display](const char* extension) {
        int opcode = 0, event = 0, error = 0;
        return XQueryExtension(display, extension, &opcode, &event, &error) != 0;
    };
    if (offers("NV-GLX")) return true;
    return (offers("DRI3") || offers("DRI2")) && hasRenderNode();
}
#else
bool x11DirectRendering(SDL_Window*) {
    return true;
}
#endif

}  // namespace

bool graphicsProcessorLikely(SDL_Window* window) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "offscreen") == 0) return false;
    if (SDL_strcmp(driver, "x11") == 0) return x11DirectRendering(window);
    if (SDL_strcmp(driver, "wayland") == 0 || SDL_strcmp(driver, "kmsdrm") == 0) return hasRenderNode();
    return true;
}

}  // namespace vek::platform::sdl
