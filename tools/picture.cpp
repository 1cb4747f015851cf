// vektrion-picture IN OUT.ppm: decodes a stored picture ("Picture.Data" with its kind
// name, or a "BM" bitmap file) and writes it as a binary PPM, top row first. Invalid data:
// exit 1 with the error's class and text on stderr, and no output file. --help prints the
// usage; wrong arguments print it on stderr with exit 2.
#include "graphics/picture.hpp"

#include <cstdio>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/dib.hpp"
#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

namespace {

constexpr const char* kUsage =
    "usage: vektrion-picture IN OUT.ppm\n"
    "Decodes IN, a bitmap file or a stored picture (as the game keeps its pictures), and\n"
    "writes it as a binary PPM image, OUT.ppm.\n";

// "BM" starts a bitmap file; 0xFF 0xD8 (a JPEG signature) is handed to the bitmap-file
// reader too, which knows that signature and refuses it.
bool isBitmapFile(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2) return false;
    return (bytes[0] == 'B' && bytes[1] == 'M') || (bytes[0] == 0xFF && bytes[1] == 0xD8);
}

// Reads the picture in either form; empty when the data hold no picture.
vek::TDIB readPicture(const std::vector<std::uint8_t>& bytes) {
    vek::TSpanStream stream(bytes);
    vek::TDIB dib;
    if (isBitmapFile(bytes)) {
        dib.LoadFromFileStream(stream);
        return dib;
    }
    vek::TPicture picture;
    picture.ReadData(stream);
    return picture.Graphic() ? *picture.Graphic() : dib;
}

std::vector<std::uint8_t> toPpm(const vek::TDIB& dib) {
    const std::string head =
        "P6\n" + std::to_string(dib.Width()) + " " + std::to_string(dib.Height()) + "\n255\n";
    std::vector<std::uint8_t> out(head.begin(), head.end());
    out.reserve(out.size() + static_cast<std::size_t>(dib.Width()) * dib.Height() * 3);
    for (int y = 0; y < dib.Height(); ++y) {
        for (int x = 0; x < dib.Width(); ++x) {
            const vek::TColor c = dib.PixelColor(x, y);
            out.push_back(vek::getRValue(c));
            out.push_back(vek::getGValue(c));
            out.push_back(vek::getBValue(c));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 3) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        const vek::TDIB dib = readPicture(vek::readFileBytes(argv[1]));
        if (dib.Empty()) {
            std::cerr << "error: " << argv[1] << " holds no picture\n";
            return 1;
        }
        vek::writeFileBytes(argv[2], toPpm(dib));
    } catch (const vek::Exception& e) {
        std::cerr << e.className() << ": " << e.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "EOutOfMemory: Out of memory\n";
        return 1;
    }
    return 0;
}
