// The one installed platform backend.
#include "platform/platform.hpp"

#include <stdexcept>

namespace vek::platform {

namespace {
Platform* installedBackend = nullptr;
}

Platform& current() {
    if (!installedBackend) throw std::logic_error("no platform backend installed");
    return *installedBackend;
}

void install(Platform* backend) {
    installedBackend = backend;
}

bool installed() {
    return installedBackend != nullptr;
}

}  // namespace vek::platform
