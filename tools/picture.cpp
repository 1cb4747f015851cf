// vektrion-picture IN OUT.ppm: decodes a stored picture ("Picture.Data" with its kind
// name, or a "BM" bitmap file) and writes it as a binary PPM, top row first. Invalid data:
// exit 1 with one line on stderr (the error's class, the file's name and the picture
// format's own text), and no output file.
#include "graphics/picture.hpp"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/dib.hpp"
#include "runtime/arguments.hpp"
#include "runtime/exception.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/stream.hpp"

namespace {

constexpr const char* kUsage =
    "usage: vektrion-picture IN OUT.ppm\n"
    "Decodes IN, a bitmap file or a stored picture (as the game keeps its pictures), and\n"
    "writes it as a binary PPM image, OUT.ppm.\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr std::string_view kOperands[] = {"IN", "OUT.ppm"};
constexpr vek::TProgramSpec kProgram{"vektrion-picture", kUsage, {}, kOperands, 2};

// Reads the picture in either form; empty when the data hold no picture.
vek::TDIB readPicture(const std::vector<std::uint8_t>& bytes) {
    vek::TSpanStream stream(bytes);
    vek::TDIB dib;
    if (vek::IsBitmapFile(bytes)) {
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

// The picture in the file; the picture format's errors come with the file's name.
vek::TDIB readPictureFile(const std::string& path) {
    const auto bytes = vek::readFileBytes(path, vek::kPictureFileLimit);
    try {
        return readPicture(bytes);
    } catch (const vek::Exception& error) {
        throw vek::EFileContentError(path, error);
    }
}

int convert(const std::string& in, const std::string& out) {
    const vek::TDIB dib = readPictureFile(in);
    if (dib.Empty())
        throw std::runtime_error("\"" + vek::shownName(in, vek::kShownPathLength) + "\" holds no picture");
    vek::writeFileBytes(out, toPpm(dib));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vek::TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    return vek::RunGuarded(kProgram.Name, [&] {
        return convert(std::string(arguments.Operands[0]), std::string(arguments.Operands[1]));
    });
}
