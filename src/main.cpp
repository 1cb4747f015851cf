// Program entry: opens the SDL backend and runs the game; without a display it says so
// in one line and ends with exit code 1.
#include <cstdio>
#include <string>

#include "app/program.hpp"
#include "platform/sdl/sdl_platform.hpp"

int main() {
    std::string error;
    auto backend = vek::platform::sdl::SdlPlatform::open(error);
    if (!backend) {
        std::fprintf(stderr, "vektrion: %s\n", error.c_str());
        return 1;
    }
    return vek::RunProgram(*backend);
}
