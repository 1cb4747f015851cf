// vektrion-wave IN OUT.wav: reads a RIFF WAVE file and writes it back the way the stored
// description keeps waves: fmt and data chunks only, odd data padded. Exit 0 on success; 1
// with one line on stderr, and no output file, when the input is invalid (the wave
// format's own error, with the file's name) or holds no samples or no format; 2 on wrong
// usage.
#include "media/wave.hpp"

#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/arguments.hpp"
#include "runtime/exception.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/stream.hpp"

namespace {

constexpr const char* kUsage =
    "usage: vektrion-wave IN OUT.wav\n"
    "Reads the RIFF WAVE file IN and writes it to OUT.wav the way the game stores its\n"
    "sounds: the format and data chunks only.\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr std::string_view kOperands[] = {"IN", "OUT.wav"};
constexpr vek::TProgramSpec kProgram{"vektrion-wave", kUsage, {}, kOperands, 2};

// The wave in the file; the wave format's errors come with the file's name.
vek::TWave readWaveFile(const std::string& path) {
    const auto input = vek::readFileBytes(path, vek::kWaveFileLimit);
    vek::TSpanStream in(input);
    vek::TWave wave;
    try {
        wave.LoadFromStream(in);
    } catch (const vek::Exception& error) {
        throw vek::EFileContentError(path, error);
    }
    return wave;
}

int rewrite(const std::string& inPath, const std::string& outPath) {
    const vek::TWave wave = readWaveFile(inPath);
    // Such a wave saves as nothing at all, which is no RIFF WAVE file.
    if (wave.FormatSize() <= 0 || wave.Size() <= 0)
        throw std::runtime_error("\"" + vek::shownName(inPath, vek::kShownPathLength) +
                                 "\" holds no wave (no fmt or no data chunk)");
    vek::TMemoryStream out;
    wave.SaveToStream(out);
    vek::writeFileBytes(outPath, out.bytes());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vek::TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    return vek::RunGuarded(kProgram.Name, [&] {
        return rewrite(std::string(arguments.Operands[0]), std::string(arguments.Operands[1]));
    });
}
