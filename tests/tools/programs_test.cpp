// The command lines of the game and every tool, run as a person runs them: --help and
// --version, an unknown option, a missing argument, and inputs that are no file of theirs
// (an endless device, a folder). Each run happens in an empty folder of its own, which
// must stay empty.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/temp_folder.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<std::string> created;  // what appeared in the folder the program ran in
};

// AddressSanitizer reserves more address space than any limit worth setting.
#if defined(__SANITIZE_ADDRESS__)
#define VEK_UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEK_UNDER_ADDRESS_SANITIZER
#endif
#endif
#ifdef VEK_UNDER_ADDRESS_SANITIZER
constexpr const char* kMemoryLimit = "";
#else
constexpr const char* kMemoryLimit = "ulimit -v 1048576 && ";
#endif

// Runs the program with the arguments (shell words) in an empty folder, without a display,
// under a memory limit of 1 GiB, so that a reader that does not stop fails instead of
// filling memory.
ProgramRun RunProgram(const std::string& program, const std::string& arguments) {
    const testing::TempFolder folder;
    const testing::TempFolder streams;
    const std::string call = "cd " + folder.path() + " && " + kMemoryLimit +
                             "env -u DISPLAY -u WAYLAND_DISPLAY " + VEK_PROGRAMS_DIR "/" + program + " " +
                             arguments + " > " + (streams / "out") + " 2> " + (streams / "err");
    ProgramRun run;
    const int status = std::system(call.c_str());
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = testing::readText(streams / "out");
    run.err = testing::readText(streams / "err");
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        run.created.push_back(entry.path().filename().string());
    return run;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

struct Program {
    const char* name;
    const char* missing;      // arguments that lack one
    const char* missingLine;  // what the program says about them
};

constexpr Program kPrograms[] = {
    {"vektrion", "--zoom", "option '--zoom' needs a value, N"},
    {"vektrion-picture", "in.bmp", "missing OUT.ppm"},
    {"vektrion-wave", "", "missing IN"},
    {"vektrion-assets", "--description d.vktd", "missing OUT_DIR"},
    {"vektrion-replay", "", "missing SCRIPT or REPLAY"},
    {"vektrion-soak", "--seed 3", "missing --minutes M"},
    {"vektrion-about-icon", "", "missing OUT.cpp"},
    {"vektrion-describe", "main_form.desc", "missing OUT.cpp"},
};

TEST(Programs, AnswerHelpVersionUnknownOptionsAndMissingArgumentsAlike) {
    for (const Program& p : kPrograms) {
        const std::string name = p.name;
        SCOPED_TRACE(name);
        const ProgramRun help = RunProgram(name, "--help");
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with("usage: " + name + " ") ||
                    help.out.starts_with("Usage: " + name + " "))
            << help.out;
        EXPECT_EQ(help.err, "");

        const ProgramRun version = RunProgram(name, "--version");
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, name + " " + VEK_VERSION + "\n");
        EXPECT_EQ(version.err, "");

        const std::string usage = help.out;
        const struct {
            const char* arguments;
            std::string line;
        } refusals[] = {{"--bogus x", name + ": unknown option '--bogus'"},
                        {p.missing, name + ": " + p.missingLine}};
        for (const auto& [arguments, line] : refusals) {
            const ProgramRun refused = RunProgram(name, arguments);
            EXPECT_EQ(refused.status, 2) << arguments;
            EXPECT_EQ(refused.out, "") << arguments;
            EXPECT_EQ(refused.err, line + "\n" + usage) << arguments;
            EXPECT_TRUE(refused.created.empty()) << arguments << ": " << refused.created[0];
        }
        EXPECT_TRUE(help.created.empty() && version.created.empty());
    }
}

// An endless input and a folder end each reader at once with one line naming the file.
TEST(Programs, EveryReaderRefusesAnEndlessInputAndAFolderInOneLine) {
    const char* readers[][2] = {
        {"vektrion-picture", "@ out.ppm"},          {"vektrion-wave", "@ out.wav"},
        {"vektrion-assets", "--description @ out"}, {"vektrion-replay", "@"},
        {"vektrion-describe", "@ out.cpp"},
    };
    for (const auto& [program, pattern] : readers) {
        for (const std::string input : {"/dev/zero", "/"}) {
            std::string arguments = pattern;
            arguments.replace(arguments.find('@'), 1, input);
            const ProgramRun run = RunProgram(program, arguments);
            EXPECT_EQ(run.status, 1) << program << " " << arguments;
            EXPECT_EQ(run.out, "") << program << " " << arguments;
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
            EXPECT_NE(FirstLine(run.err).find("\"" + input + "\""), std::string::npos) << run.err;
            EXPECT_TRUE(run.created.empty()) << program << " " << arguments;
        }
    }
}

// The media tools report a file they cannot read with the format's own error class and
// text, the file's name before the text, whether the first bytes or the rest are at fault.
TEST(Programs, TheMediaToolsNameTheFileBeforeTheFormatsOwnError) {
    using namespace std::string_literals;
    const struct {
        const char* program;
        std::string input;
        const char* line;  // after "PROGRAM: ", @ standing for the file's name
    } cases[] = {
        {"vektrion-wave", "plain text, no sound"s, "EWaveStreamError: \"@\": Wave is invalid"},
        {"vektrion-wave", "RIFF\x04\0\0\0"s, "EReadError: \"@\": Stream read error"},
        {"vektrion-wave", "RIFF\x10\0\0\0WAVEdata\x40\0\0\0\1\2"s, "EReadError: \"@\": Stream read error"},
        {"vektrion-picture", "BM\0\0\0\0\0\0"s, "EInvalidGraphic: \"@\": DIB is invalid"},
        {"vektrion-picture", "\x04TDI"s, "EReadError: \"@\": Stream read error"},
        {"vektrion-picture", "\x04JUNKdata"s,
         "EStreamError: File \"@\" is not a picture: it starts with neither \"BM\" nor the name of a picture "
         "kind"},
    };
    const testing::TempFolder inputs;
    const std::string input = inputs / "input";
    for (const auto& c : cases) {
        testing::writeText(input, c.input);
        const ProgramRun run = RunProgram(c.program, input + " out");
        std::string line = c.line;
        line.replace(line.find('@'), 1, input);
        EXPECT_EQ(run.status, 1) << c.program << ": " << c.line;
        EXPECT_EQ(run.err, c.program + ": "s + line + "\n");
        EXPECT_TRUE(run.created.empty()) << c.program << ": " << c.line;
    }
}

}  // namespace
}  // namespace vek
