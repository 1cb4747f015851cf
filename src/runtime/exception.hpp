// Error classes of the run-time library and the message formatting they use.
// Every error of the system derives from Exception and carries its exact text.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vek {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    // The class name shown to a user or a tool next to the message.
    virtual const char* className() const noexcept { return "Exception"; }
};

#define VEK_DECLARE_ERROR(Name, Base)                                     \
    class Name : public Base {                                            \
    public:                                                               \
        using Base::Base;                                                 \
        const char* className() const noexcept override { return #Name; } \
    }

// Stream errors of the run-time library.
VEK_DECLARE_ERROR(EStreamError, Exception);
VEK_DECLARE_ERROR(EReadError, EStreamError);
VEK_DECLARE_ERROR(EWriteError, EStreamError);
VEK_DECLARE_ERROR(EOutOfMemory, Exception);
// An index outside a list.
VEK_DECLARE_ERROR(EListError, Exception);

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";
inline constexpr const char* kListIndexError = "List index out of bounds (%d)";
// The error text of a component that finds no form among its owners.
inline constexpr const char* kFormNotFound = "Form not found";

// Formats a message pattern that holds exactly one "%s".
std::string formatMessage(std::string_view pattern, std::string_view argument);

// Formats a message pattern that holds "%d" placeholders, filled in order.
std::string formatMessage(std::string_view pattern, std::initializer_list<long long> numbers);

}  // namespace vek
