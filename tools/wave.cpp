// Reads a RIFF WAVE file and writes it back the way the stored description keeps waves:
// fmt and data chunks only, odd data padded. Invalid input leaves no output file.
#include "media/wave.hpp"

#include <cstdio>
#include <exception>

#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN OUT.wav\n", argv[0]);
        return 2;
    }
    try {
        const auto input = vek::readFileBytes(argv[1]);
        vek::TSpanStream in(input);
        vek::TWave wave;
        wave.LoadFromStream(in);
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
