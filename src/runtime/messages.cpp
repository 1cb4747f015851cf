// The program's name at the start of its lines on standard error.
#include "runtime/messages.hpp"

#include <errno.h>

#include <cstdio>

namespace vek {

std::string_view ProgramName() {
    return program_invocation_short_name;
}

std::string MessagePrefix() {
    return std::string(ProgramName()) + ": ";
}

std::string WarningPrefix() {
    return MessagePrefix() + "warning: ";
}

void WarnOnStderr(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace vek
