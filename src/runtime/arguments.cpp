// Reading command lines, answering --help and --version, and ending on errors in one line:
// messages are escaped once more where they are printed, so that no error text, whatever
// it holds, can break the line or upset the terminal.
#include "runtime/arguments.hpp"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>

#include "runtime/exception.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/version.hpp"

namespace vek {

namespace {

constexpr TOptionSpec kHelp{"--help", {}};
constexpr TOptionSpec kVersionOption{"--version", {}};

std::string quoted(std::string_view text) {
    return "'" + shownName(text) + "'";
}

const TOptionSpec* findOption(const TProgramSpec& spec, std::string_view name) {
    if (name == kHelp.Name) return &kHelp;
    if (name == kVersionOption.Name) return &kVersionOption;
    const auto found =
        std::find_if(spec.Options.begin(), spec.Options.end(), [&](const auto& o) { return o.Name == name; });
    return found == spec.Options.end() ? nullptr : &*found;
}

TArgumentsRead refused(std::string why) {
    return {TArgumentsOutcome::Refused, std::move(why)};
}

// What is missing once every argument is read: a required option, then an operand.
TArgumentsRead checkComplete(const TProgramSpec& spec, const TArguments& arguments) {
    for (const TOptionSpec& option : spec.Options) {
        if (option.Required && !arguments.Has(option.Name))
            return refused("missing " + std::string(option.Name) + " " + std::string(option.ValueName));
    }
    if (arguments.Operands.size() < spec.RequiredOperands)
        return refused("missing " + std::string(spec.Operands[arguments.Operands.size()]));
    return {};
}

}  // namespace

bool TArguments::Has(std::string_view name) const {
    return std::any_of(Options.begin(), Options.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string_view> TArguments::Value(std::string_view name) const {
    const auto found =
        std::find_if(Options.rbegin(), Options.rend(), [&](const auto& o) { return o.first == name; });
    if (found == Options.rend()) return std::nullopt;
    return found->second;
}

TArgumentsRead ParseArguments(const TProgramSpec& spec, std::span<const std::string_view> args,
                              TArguments& arguments) {
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (operandsOnly || arg == "-" || !arg.starts_with("-")) {
            if (arguments.Operands.size() == spec.Operands.size())
                return refused("unexpected argument " + quoted(arg));
            arguments.Operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const TOptionSpec* option = arg.starts_with("--") ? findOption(spec, name) : nullptr;
        if (!option) return refused("unknown option " + quoted(name));
        if (option == &kHelp) return {TArgumentsOutcome::Help, {}};
        if (option == &kVersionOption) return {TArgumentsOutcome::Version, {}};
        std::string_view value;
        if (equals != std::string_view::npos) {
            if (option->ValueName.empty()) return refused("option " + quoted(name) + " takes no value");
            value = arg.substr(equals + 1);
        } else if (!option->ValueName.empty()) {
            if (i + 1 == args.size())
                return refused("option " + quoted(name) + " needs a value, " +
                               std::string(option->ValueName));
            value = args[++i];
        }
        arguments.Options.emplace_back(option->Name, value);
    }
    return checkComplete(spec, arguments);
}

std::optional<int> AnswerArguments(const TProgramSpec& spec, const TArgumentsRead& read) {
    switch (read.Outcome) {
        case TArgumentsOutcome::Run:
            return std::nullopt;
        case TArgumentsOutcome::Help:
            std::fwrite(spec.Usage.data(), 1, spec.Usage.size(), stdout);
            return 0;
        case TArgumentsOutcome::Version:
            std::printf("%.*s %s\n", static_cast<int>(spec.Name.size()), spec.Name.data(), kVersion);
            return 0;
        case TArgumentsOutcome::Refused:
            break;
    }
    return RefuseArguments(spec, read.Why);
}

std::optional<int> ReadArguments(const TProgramSpec& spec, int argc, char** argv, TArguments& arguments) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return AnswerArguments(spec, ParseArguments(spec, args, arguments));
}

int RefuseArguments(const TProgramSpec& spec, const std::string& why) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(spec.Name.size()), spec.Name.data(), why.c_str());
    std::fwrite(spec.Usage.data(), 1, spec.Usage.size(), stderr);
    return kExitUsage;
}

int RunGuarded(std::string_view name, const std::function<int()>& work) {
    const auto fail = [&](const std::string& message) {
        std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(name.size()), name.data(), message.c_str());
        return kExitFailure;
    };
    try {
        return work();
    } catch (const Exception& e) {
        return fail(std::string(e.className()) + ": " + shownText(e.what()));
    } catch (const std::bad_alloc&) {
        return fail("EOutOfMemory: Out of memory");
    } catch (const std::exception& e) {
        return fail(shownText(e.what()));
    } catch (...) {
        return fail("an unknown error");
    }
}

std::string BadValue(std::string_view option, std::string_view needs, std::string_view value) {
    return std::string(option) + " needs " + std::string(needs) + ", not " + quoted(value);
}

}  // namespace vek
