// vektrion-wave IN OUT.wav: reads a RIFF WAVE file and writes it back the way the stored
// description keeps waves: fmt and data chunks only, odd data padded. Exit 0 on success; 1
// with the error on stderr, and no output file, when the input is invalid or holds no
// samples or no format; 2 on wrong usage, with the usage on stderr (--help prints it on
// stdout).
#include "media/wave.hpp"

#include <cstdio>
#include <cstring>
#include <exception>

#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

namespace {

constexpr const char* kUsage =
    "usage: vektrion-wave IN OUT.wav\n"
    "Reads the RIFF WAVE file IN and writes it to OUT.wav the way the game stores its\n"
    "sounds: the format and data chunks only.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        const auto input = vek::readFileBytes(argv[1]);
        vek::TSpanStream in(input);
        vek::TWave wave;
        wave.LoadFromStream(in);
        // Such a wave saves as nothing at all, which is no RIFF WAVE file.
        if (wave.FormatSize() <= 0 || wave.Size() <= 0) {
            std::fprintf(stderr, "error: %s holds no wave (no fmt or no data chunk)\n", argv[1]);
            return 1;
        }
        vek::TMemoryStream out;
        wave.SaveToStream(out);
        vek::writeFileBytes(argv[2], out.bytes());
    } catch (const vek::Exception& e) {
        std::fprintf(stderr, "%s: %s\n", e.className(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Exception: %s\n", e.what());
        return 1;
    }
    return 0;
}
