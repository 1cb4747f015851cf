// Writing and reading PNG files in memory through libpng's simplified interface, which
// reports its errors in the image record instead of jumping out of the caller.
#include "platform/png/png_file.hpp"

#include <png.h>

namespace vek::platform::png {

namespace {

std::string pngError(const png_image& image, const char* fallback) {
    return image.message[0] ? std::string(image.message) : std::string(fallback);
}

}  // namespace

std::string encodeRgb(const Picture& picture, std::string& why) {
    const auto count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != count) {
        why = "the picture is empty";
        return {};
    }
    std::vector<std::uint8_t> rgb(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = picture.pixels[i];
        rgb[i * 3] = static_cast<std::uint8_t>(pixel >> 16);
        rgb[i * 3 + 1] = static_cast<std::uint8_t>(pixel >> 8);
        rgb[i * 3 + 2] = static_cast<std::uint8_t>(pixel);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    // The first call measures, the second writes.
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
        why = pngError(image, "cannot make a PNG picture");
        return {};
    }
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr)) {
        why = pngError(image, "cannot make a PNG picture");
        return {};
    }
    bytes.resize(size);
    return bytes;
}

bool decode(std::span<const std::uint8_t> bytes, Picture& picture, std::string& why, int maxSide) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        why = pngError(image, "not a PNG picture");
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > png_uint_32(maxSide) ||
        image.height > png_uint_32(maxSide)) {
        png_image_free(&image);
        why = "the picture is larger than " + std::to_string(maxSide) + " pixels on a side";
        return false;
    }
    // BGRA bytes are 0xAARRGGBB words on a little-endian machine; spelt out for any other.
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> bgra(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) {
        why = pngError(image, "cannot read the PNG picture");
        return false;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(bgra.size() / 4);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = std::uint32_t{bgra[i * 4]} | std::uint32_t{bgra[i * 4 + 1]} << 8 |
                            std::uint32_t{bgra[i * 4 + 2]} << 16 | std::uint32_t{bgra[i * 4 + 3]} << 24;
    return true;
}

}  // namespace vek::platform::png
