// Fuzz target for the stored description: the bytes are read into a main window on the
// headless backend, up to the end of loading. Unusable data must be refused with one of
// the system's own errors; anything else (a crash, another exception, a leak) is a fault.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/main_form.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/exception.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vek::platform::headless::HeadlessPlatform backend;
    static const vek::platform::headless::ScopedPlatform installed(backend);
    try {
        vek::TMainForm form(std::span(data, size), vek::TMainForm::TCreateStep::SkipOnCreate);
    } catch (const vek::Exception&) {
        // Refused as it should be.
    }
    return 0;
}
