// The command lines of the game and its tools, read one way: options and operands, --help
// and --version answered alike, every refusal one line that names what is wrong followed
// by the usage, and any error of the work itself one line and exit status 1.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vek {

// Exit statuses shared by every program.
inline constexpr int kExitFailure = 1;  // the work could not be done; one line says why
inline constexpr int kExitUsage = 2;    // the command line was wrong

struct TOptionSpec {
    std::string_view Name;       // with its dashes: "--ticks"
    std::string_view ValueName;  // "N" for an option that takes a value; empty for a switch
    bool Required = false;
};

// What a program accepts. --help and --version are accepted by every program.
struct TProgramSpec {
    std::string_view Name;   // "vektrion-replay"
    std::string_view Usage;  // printed by --help and after a refusal; starts "usage: NAME " or "Usage: NAME "
    std::span<const TOptionSpec> Options;
    std::span<const std::string_view> Operands;  // their names, in order: {"IN", "OUT.ppm"}
    std::size_t RequiredOperands = 0;            // the first ones of Operands
};

// The options given (in order, with their values; a switch has an empty value) and the
// operands.
struct TArguments {
    std::vector<std::pair<std::string_view, std::string_view>> Options;
    std::vector<std::string_view> Operands;

    bool Has(std::string_view name) const;
    // The value of the option's last occurrence.
    std::optional<std::string_view> Value(std::string_view name) const;
};

enum class TArgumentsOutcome { Run, Help, Version, Refused };

struct TArgumentsRead {
    TArgumentsOutcome Outcome = TArgumentsOutcome::Run;
    std::string Why;  // for Refused: one line, what is wrong and with which argument
};

// Reads the arguments after the program's name. "--NAME=VALUE" gives an option its value
// too; "--" ends the options; "-" alone is an operand. An argument is never taken for an
// operand because of where it stands: anything else that starts with '-' is an option.
TArgumentsRead ParseArguments(const TProgramSpec& spec, std::span<const std::string_view> args,
                              TArguments& arguments);
// Does what the outcome asks: --help prints the usage on stdout, --version "NAME VERSION"
// on stdout, a refusal "NAME: WHY" and the usage on stderr. Answers the exit status when
// the program is to end now, or nothing when it is to run.
std::optional<int> AnswerArguments(const TProgramSpec& spec, const TArgumentsRead& read);
// Both together, on main's arguments.
std::optional<int> ReadArguments(const TProgramSpec& spec, int argc, char** argv, TArguments& arguments);
// A refusal the program finds itself (a value out of range): as AnswerArguments' refusal.
int RefuseArguments(const TProgramSpec& spec, const std::string& why);

// Runs a program's work and answers its exit status; an exception ends it as one line
// "NAME: CLASS: MESSAGE" (or "NAME: MESSAGE") on stderr and status 1.
int RunGuarded(std::string_view name, const std::function<int()>& work);

// The common refusals' texts, which programs that check values of their own reuse.
std::string BadValue(std::string_view option, std::string_view needs, std::string_view value);

}  // namespace vek
