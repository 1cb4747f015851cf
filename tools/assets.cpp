// vektrion-assets [--description FILE] OUT_DIR: writes the pictures and sounds of a stored
// description back out, every picture as OUT_DIR/NAME.bmp (bitmap-file form) and every
// sound as OUT_DIR/NAME.wav as stored, NAME being the item's name. The description is the
// one embedded in the program, or the compiled one in FILE; either is first read as the
// program's start-up reads it, with the same refusals. Errors: exit 1, one line on stderr.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/window/main_form.hpp"
#include "assets/description_reader.hpp"
#include "assets/embedded_description.hpp"
#include "assets/stored_items.hpp"
#include "graphics/picture.hpp"
#include "media/wave.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/arguments.hpp"
#include "runtime/exception.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/stream.hpp"

namespace {

namespace fs = std::filesystem;
using Description = std::span<const std::uint8_t>;

// Reads the description into a main window without a screen, which refuses it exactly as
// the program's start-up would.
void checkDescription(Description description) {
    vek::platform::headless::HeadlessPlatform backend;
    const vek::platform::headless::ScopedPlatform installed(backend);
    const vek::TMainForm form(description, vek::TMainForm::TCreateStep::SkipOnCreate);
}

// A binary property the item must have.
const std::vector<std::uint8_t>& required(const vek::TStoredItem& item, const char* property) {
    const auto found = item.Binaries.find(property);
    if (found == item.Binaries.end())
        throw std::runtime_error("item " + vek::shownName(item.Name) + " has no " + property);
    return found->second;
}

// Where the item goes: its name must be a plain file name, so that no stored name writes
// outside the folder.
std::string fileFor(const fs::path& dir, const vek::TStoredItem& item, const char* extension) {
    const bool plain =
        !item.Name.empty() && vek::isPrintableName(item.Name) && item.Name.find('/') == std::string::npos;
    if (!plain) throw std::runtime_error("item name " + vek::shownName(item.Name) + " is not a file name");
    return (dir / (item.Name + extension)).string();
}

int writePictures(Description description, const fs::path& dir) {
    int count = 0;
    for (const auto& item : vek::StoredItems(description, "ImageList", "Items")) {
        vek::TSpanStream data(required(item, "Picture.Data"));
        vek::TPicture picture;
        picture.ReadData(data);
        if (picture.Empty()) throw std::runtime_error("picture " + vek::shownName(item.Name) + " is empty");
        vek::TMemoryStream file;
        picture.Graphic()->SaveToFileStream(file);
        vek::writeFileBytes(fileFor(dir, item, ".bmp"), file.bytes());
        ++count;
    }
    return count;
}

int writeWaves(Description description, const fs::path& dir) {
    int count = 0;
    for (const auto& item : vek::StoredItems(description, "DXWaveList", "Items")) {
        // The stored bytes are a whole RIFF WAVE file already; they are written as stored
        // once the wave reader has accepted them.
        const auto& stored = required(item, "WAVE");
        vek::TSpanStream data(stored);
        vek::TWave wave;
        wave.LoadFromStream(data);
        vek::writeFileBytes(fileFor(dir, item, ".wav"), stored);
        ++count;
    }
    return count;
}

constexpr const char* kUsage =
    "usage: vektrion-assets [--description FILE] OUT_DIR\n"
    "Writes the pictures and sounds that the game carries inside itself, or those of the\n"
    "compiled description in FILE, to OUT_DIR as NAME.bmp and NAME.wav. The description is\n"
    "first checked as the game checks it at start-up.\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr vek::TOptionSpec kOptions[] = {{"--description", "FILE"}};
constexpr std::string_view kOperands[] = {"OUT_DIR"};
constexpr vek::TProgramSpec kProgram{"vektrion-assets", kUsage, kOptions, kOperands, 1};

std::string checkDescriptionHeader(std::span<const std::uint8_t> header) {
    const bool magic =
        header.size() >= 5 && std::equal(header.begin(), header.begin() + 4, vek::kDescriptionMagic);
    if (magic && header[4] == vek::kDescriptionVersion) return {};
    return "it does not start with \"VKTD\" and version " + std::to_string(vek::kDescriptionVersion);
}

// A compiled description holds every picture and sound of a window; the game's own takes
// well under a megabyte.
constexpr vek::TFileLimit kDescriptionLimit{std::int64_t{64} << 20, "a compiled description", 5,
                                            checkDescriptionHeader};

void makeFolder(const fs::path& dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (error)
        throw vek::EWriteError("Cannot create folder \"" +
                               vek::shownName(dir.string(), vek::kShownPathLength) +
                               "\": " + error.message());
}

int writeAssets(const std::optional<std::string_view>& file, const fs::path& dir) {
    std::vector<std::uint8_t> read;
    Description description = vek::EmbeddedDescription();
    if (file) {
        read = vek::readFileBytes(std::string(*file), kDescriptionLimit);
        description = read;
    }
    checkDescription(description);
    makeFolder(dir);
    const int pictures = writePictures(description, dir);
    const int waves = writeWaves(description, dir);
    std::cout << pictures << " pictures and " << waves << " sounds written to "
              << vek::shownName(dir.string(), vek::kShownPathLength) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vek::TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    return vek::RunGuarded(kProgram.Name, [&] {
        return writeAssets(arguments.Value("--description"), fs::path(arguments.Operands[0]));
    });
}
