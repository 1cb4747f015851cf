// The display's stored properties as its window's description hands them over: the
// control's bounds, the display settings, the options and the events.
#include "graphics/dxdraw.hpp"

namespace vek {

const std::array<std::string_view, 15> kDXDrawOptionNames{
    "doFullScreen",   "doNoWindowChange", "doAllowReboot", "doWaitVBlank",   "doAllowPalette256",
    "doSystemMemory", "doStretch",        "doCenter",      "doFlip",         "do3D",
    "doDirectX7Mode", "doRetainedMode",   "doHardware",    "doSelectDriver", "doZBuffer",
};

namespace {

constexpr std::array<std::string_view, 6> kAlignNames{"alNone", "alTop",   "alBottom",
                                                      "alLeft", "alRight", "alClient"};
constexpr std::int64_t kMaxCoordinate = 1 << 20;
// Sizes stay within what a graphics service makes surfaces of.
constexpr std::int64_t kMaxExtent = 16384;

int coordinate(TPropertyReader& reader) {
    return static_cast<int>(reader.ReadInteger(-kMaxCoordinate, kMaxCoordinate));
}

int extent(TPropertyReader& reader) {
    return static_cast<int>(reader.ReadInteger(0, kMaxExtent));
}

}  // namespace

bool TCustomDXDraw::ReadProperty(TPropertyReader& reader) {
    using D = TCustomDXDraw;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<D> kProperties[] = {
        {"Left", [](D& d, R& r) { d.SetBounds(coordinate(r), d.top_, d.width_, d.height_); }},
        {"Top", [](D& d, R& r) { d.SetBounds(d.left_, coordinate(r), d.width_, d.height_); }},
        {"Width", [](D& d, R& r) { d.SetBounds(d.left_, d.top_, extent(r), d.height_); }},
        {"Height", [](D& d, R& r) { d.SetBounds(d.left_, d.top_, d.width_, extent(r)); }},
        {"Align", [](D& d, R& r) { d.Align = static_cast<TAlign>(r.ReadEnum(kAlignNames)); }},
        {"AutoInitialize", [](D& d, R& r) { d.AutoInitialize = r.ReadBoolean(); }},
        {"AutoSize", [](D& d, R& r) { d.AutoSize = r.ReadBoolean(); }},
        {"Display.Width", [](D& d, R& r) { d.display_.SetWidth(extent(r)); }},
        {"Display.Height", [](D& d, R& r) { d.display_.SetHeight(extent(r)); }},
        {"Display.BitCount",
         [](D& d, R& r) { d.display_.SetBitCount(static_cast<int>(r.ReadInteger(0, 64))); }},
        {"Display.FixedBitCount", [](D& d, R& r) { d.display_.FixedBitCount = r.ReadBoolean(); }},
        {"Display.FixedRatio", [](D& d, R& r) { d.display_.FixedRatio = r.ReadBoolean(); }},
        {"Display.FixedSize", [](D& d, R& r) { d.display_.FixedSize = r.ReadBoolean(); }},
        {"Options",
         [](D& d, R& r) {
             d.SetOptions(
                 TDXDrawOptions::FromMask(static_cast<std::uint16_t>(r.ReadSet(kDXDrawOptionNames))));
         }},
        {"SurfaceWidth", [](D& d, R& r) { d.SetSurfaceWidth(extent(r)); }},
        {"SurfaceHeight", [](D& d, R& r) { d.SetSurfaceHeight(extent(r)); }},
        {"OnInitializing", [](D& d, R& r) { d.ReadEvent(r, d.OnInitializing); }},
        {"OnInitialize", [](D& d, R& r) { d.ReadEvent(r, d.OnInitialize); }},
        {"OnInitializeSurface", [](D& d, R& r) { d.ReadEvent(r, d.OnInitializeSurface); }},
        {"OnFinalize", [](D& d, R& r) { d.ReadEvent(r, d.OnFinalize); }},
        {"OnFinalizeSurface", [](D& d, R& r) { d.ReadEvent(r, d.OnFinalizeSurface); }},
        {"OnRestoreSurface", [](D& d, R& r) { d.ReadEvent(r, d.OnRestoreSurface); }},
    };
    return ReadPropertyFrom<D>(kProperties, *this, reader);
}

}  // namespace vek
