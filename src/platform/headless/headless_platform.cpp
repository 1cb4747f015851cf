// The headless backend installs itself while it lives and puts back what was there.
#include "platform/headless/headless_platform.hpp"

namespace vek::platform::headless {

HeadlessPlatform::HeadlessPlatform()
    : application_(&clock_), previous_(installed() ? &current() : nullptr) {
    install(this);
}

HeadlessPlatform::~HeadlessPlatform() { install(previous_); }

}  // namespace vek::platform::headless
