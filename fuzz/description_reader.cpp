// Fuzz target for the stored description: the bytes are read into a main window on the
// headless backend, up to the end of loading. Unusable data must be refused with
// EDescriptionError, whose message says where: the component (or "window"), the property
// (or "header") and a byte offset within the data, in printable characters only. Anything
// else (a crash, another exception, a refusal that does not say where, a leak) is a fault.
#include "assets/description_reader.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "app/window/main_form.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/exception.hpp"

namespace {

bool saysWhere(const vek::EDescriptionError& e, std::size_t size) {
    const std::string_view message = e.what();
    const std::size_t at = message.find(", byte " + std::to_string(e.Offset()) + ": ");
    if (at == std::string_view::npos || e.Offset() > size) return false;
    const std::string_view where = message.substr(0, at);
    const bool component =
        (where.starts_with("component ") && !e.Component().empty()) || where.starts_with("window, ");
    const bool property = (where.find(", property ") != std::string_view::npos && !e.Property().empty()) ||
                          where.ends_with(", header");
    const bool printable =
        std::all_of(message.begin(), message.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    return component && property && printable;
}

[[noreturn]] void fault(const char* what, const char* message) {
    std::fprintf(stderr, "%s: %s\n", what, message);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vek::platform::headless::HeadlessPlatform backend;
    static const vek::platform::headless::ScopedPlatform installed(backend);
    try {
        vek::TMainForm form(std::span(data, size), vek::TMainForm::TCreateStep::SkipOnCreate);
    } catch (const vek::EDescriptionError& e) {
        if (!saysWhere(e, size)) fault("refusal that does not say where", e.what());
    } catch (const vek::Exception& e) {
        fault(e.className(), e.what());
    }
    return 0;
}
