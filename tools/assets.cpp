// vektrion-assets OUT_DIR: writes the pictures and sounds of the description embedded in
// the program back out, every picture as OUT_DIR/NAME.bmp (bitmap-file form) and every
// sound as OUT_DIR/NAME.wav as stored, NAME being the item's name. Errors: exit 1, reason
// on stderr.
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "assets/embedded_description.hpp"
#include "assets/stored_items.hpp"
#include "graphics/picture.hpp"
#include "media/wave.hpp"
#include "runtime/stream.hpp"

namespace {

namespace fs = std::filesystem;

// A binary property the item must have.
const std::vector<std::uint8_t>& required(const vek::TStoredItem& item, const char* property) {
    const auto found = item.Binaries.find(property);
    if (found == item.Binaries.end()) throw std::runtime_error("item " + item.Name + " has no " + property);
    return found->second;
}

int writePictures(const fs::path& dir) {
    int count = 0;
    for (const auto& item : vek::StoredItems(vek::EmbeddedDescription(), "ImageList", "Items")) {
        vek::TSpanStream data(required(item, "Picture.Data"));
        vek::TPicture picture;
        picture.ReadData(data);
        if (picture.Empty()) throw std::runtime_error("picture " + item.Name + " is empty");
        vek::TMemoryStream file;
        picture.Graphic()->SaveToFileStream(file);
        vek::writeFileBytes((dir / (item.Name + ".bmp")).string(), file.bytes());
        ++count;
    }
    return count;
}

int writeWaves(const fs::path& dir) {
    int count = 0;
    for (const auto& item : vek::StoredItems(vek::EmbeddedDescription(), "DXWaveList", "Items")) {
        // The stored bytes are a whole RIFF WAVE file already; they are written as stored
        // once the wave reader has accepted them.
        const auto& stored = required(item, "WAVE");
        vek::TSpanStream data(stored);
        vek::TWave wave;
        wave.LoadFromStream(data);
        vek::writeFileBytes((dir / (item.Name + ".wav")).string(), stored);
        ++count;
    }
    return count;
}

constexpr const char* kUsage =
    "usage: vektrion-assets OUT_DIR\n"
    "Writes the pictures and sounds that the game carries inside itself to OUT_DIR, as\n"
    "NAME.bmp and NAME.wav.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 2) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        const fs::path dir = argv[1];
        fs::create_directories(dir);
        const int pictures = writePictures(dir);
        const int waves = writeWaves(dir);
        std::cout << pictures << " pictures and " << waves << " sounds written to " << dir.string() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "vektrion-assets: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
