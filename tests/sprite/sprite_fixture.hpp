// A sprite engine drawing on an initialised 640 × 480 display of the headless device, with
// an image list of 8-bit grey pictures, shared by the image and background sprite tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "graphics/picture_fixtures.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek::testing {

// Index 0 is black (the colour key), index i > 0 a grey of level i.
inline std::vector<TRGBQuad> greyTable() {
    std::vector<TRGBQuad> t(256);
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = TRGBQuad{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    return t;
}

// Grey level v on the 32-bit back surface.
constexpr std::uint32_t grey(int v) {
    return std::uint32_t(v) * 0x010101u;
}

class SpriteDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        display.SetBounds(0, 0, 640, 480);
        display.AutoSize = false;
        list.SetDXDraw(&display);
        component.SetDXDraw(&display);
    }
    // A picture item cut into pw × ph patterns; pixel (x, y) has grey level index(x, y).
    TPictureCollectionItem& addPicture(const std::string& name, int w, int h, int pw, int ph,
                                       const std::function<std::uint8_t(int, int)>& index) {
        auto& item = list.Items().Add();
        item.SetName(name);
        item.Picture.Assign(make8BitPicture(w, h, index, greyTable()));
        item.PatternWidth = pw, item.PatternHeight = ph;
        return item;
    }
    TSpriteEngine& engine() { return component.Engine(); }
    TDirectDrawSurface& back() { return *display.Surface(); }

    platform::headless::HeadlessPlatform backend;
    platform::TCustomForm form{nullptr};
    TDXDraw display{&form};
    TDXImageList list{&form};
    TDXSpriteEngine component{&form};
};

}  // namespace vek::testing
