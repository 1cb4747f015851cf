// The headless backend installs itself while it lives and puts back what was there.
#include "platform/headless/headless_platform.hpp"

namespace vek::platform::headless {

HeadlessPlatform::HeadlessPlatform(std::uint32_t clockStart)
    : clock_(clockStart), application_(&clock_), previous_(installed() ? &current() : nullptr) {
    application_.setPads(&joysticks_);
    install(this);
}

HeadlessPlatform::~HeadlessPlatform() {
    if (installed() && &current() == this) install(previous_);
}

}  // namespace vek::platform::headless
