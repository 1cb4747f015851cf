// The display component: opens the graphics device for its form's window, keeps a primary
// and a back surface, switches to a full-screen mode, presents frames, owns the palette
// tables and tells its listeners when surfaces are made, lost, restored or released.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "graphics/direct_draw.hpp"
#include "graphics/kept_frame.hpp"
#include "graphics/render_options.hpp"
#include "platform/toolkit/form.hpp"
#include "runtime/component.hpp"
#include "runtime/exception.hpp"
#include "runtime/types.hpp"

namespace vek {

VEK_DECLARE_ERROR(EDXDrawError, Exception);

inline constexpr const char* kDisplayModeCannotBeChanged = "Display mode cannot be changed (%dx%d %dbit)";
inline constexpr const char* kInvalidDisplayBitCount = "Display requires 8, 16, 24 or 32 bits";

// Bit n of the stored 16-bit mask is member n.
enum TDXDrawOption : std::uint8_t {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer,
};

class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> members) {
        for (auto m : members) mask_ |= bit(m);
    }
    static constexpr TDXDrawOptions FromMask(std::uint16_t mask) {
        TDXDrawOptions o;
        o.mask_ = mask & 0x7FFF;
        return o;
    }
    constexpr std::uint16_t Mask() const { return mask_; }
    constexpr bool Contains(TDXDrawOption m) const { return (mask_ & bit(m)) != 0; }
    constexpr TDXDrawOptions& Include(TDXDrawOption m) { return mask_ |= bit(m), *this; }
    constexpr TDXDrawOptions& Exclude(TDXDrawOption m) { return mask_ &= ~bit(m), *this; }
    constexpr TDXDrawOptions operator+(TDXDrawOptions o) const { return FromMask(mask_ | o.mask_); }
    constexpr TDXDrawOptions operator-(TDXDrawOptions o) const { return FromMask(mask_ & ~o.mask_); }
    constexpr TDXDrawOptions operator*(TDXDrawOptions o) const { return FromMask(mask_ & o.mask_); }
    friend constexpr bool operator==(TDXDrawOptions, TDXDrawOptions) = default;

private:
    static constexpr std::uint16_t bit(TDXDrawOption m) { return static_cast<std::uint16_t>(1u << m); }
    std::uint16_t mask_ = 0;
};

// The members' names as a stored description spells them, in member order.
extern const std::array<std::string_view, 15> kDXDrawOptionNames;

// How a control sits in its form: alClient fills the form's client area.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

inline constexpr TDXDrawOptions kDefaultDXDrawOptions{doAllowReboot,  doWaitVBlank, doCenter,      do3D,
                                                      doDirectX7Mode, doHardware,   doSelectDriver};

// The effective options derived from wanted ones: the full rule set while not
// initialised; while initialised only the presentation members follow the new value.
TDXDrawOptions EffectiveOptions(TDXDrawOptions wanted, TDXDrawOptions current, bool initialized);

// Values 0 to 7, in this order.
enum class TDisplayNotice : std::uint8_t {
    Destroying,
    Initializing,
    Initialize,
    InitializeSurface,
    Finalize,
    FinalizeSurface,
    Restore,
    SurfaceSize,
};

class TCustomDXDraw;

// A listener: the callback receives the listening object, the display and the notice.
// A registration is the (callback, object) pair.
using TDXDrawNotifyEvent = void (*)(void* object, TCustomDXDraw& sender, TDisplayNotice notice);
using TDXDrawEvent = std::function<void(TCustomDXDraw& sender)>;

struct TDXDrawDisplayMode {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    friend bool operator==(const TDXDrawDisplayMode&, const TDXDrawDisplayMode&) = default;
};

struct TModeSearch {
    bool fixedRatio = false;  // width ÷ height must equal the wanted one exactly
    bool fixedSize = false;
    bool fixedBitCount = false;
};

// The best mode of a sorted list for the wanted size and bit count, or none.
std::optional<TDXDrawDisplayMode> SearchDisplayMode(const std::vector<TDXDrawDisplayMode>& sortedModes,
                                                    int width, int height, int bitCount,
                                                    const TModeSearch& rules);

// The full-screen mode settings and the lazily enumerated mode list.
class TDXDrawDisplay {
public:
    explicit TDXDrawDisplay(TCustomDXDraw* owner);
    TDXDrawDisplay(const TDXDrawDisplay&) = delete;
    TDXDrawDisplay& operator=(const TDXDrawDisplay&) = delete;
    // Copies the six published values.
    void Assign(const TDXDrawDisplay& other);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitCount() const { return bitCount_; }
    void SetWidth(int value) { width_ = value < 0 ? 0 : value; }
    void SetHeight(int value) { height_ = value < 0 ? 0 : value; }
    // Raises EDirectDrawError for anything but 8, 16, 24 or 32, keeping the old value.
    void SetBitCount(int value);
    bool FixedBitCount = false;
    bool FixedRatio = true;
    bool FixedSize = true;

    // The device's modes sorted by width, height and bit count (enumerated on first use).
    int Count();
    const TDXDrawDisplayMode& Modes(int index);
    int IndexOf(int width, int height, int bitCount);
    void ClearModes() { modes_.reset(); }
    // Switches the display mode on the open device; stores the mode on success.
    bool ApplyMode(int width, int height, int bitCount);
    bool FindAndApplyMode(int width, int height, int bitCount);

private:
    const std::vector<TDXDrawDisplayMode>& modeList();
    TCustomDXDraw* owner_;
    int width_ = 640;
    int height_ = 480;
    int bitCount_ = 16;
    std::optional<std::vector<TDXDrawDisplayMode>> modes_;
};

// A presentation strategy: opens the device, builds and restores the surfaces, presents.
// Destroying it releases the surfaces, the clipper, the palette and the device.
class TDXDrawDriver {
public:
    explicit TDXDrawDriver(TCustomDXDraw& owner);  // opens the device
    virtual ~TDXDrawDriver();
    TDXDrawDriver(const TDXDrawDriver&) = delete;
    TDXDrawDriver& operator=(const TDXDrawDriver&) = delete;

    virtual void Initialize() = 0;
    virtual void Flip() = 0;
    // Whether the back surface can be made again at another size, and doing it.
    virtual bool Resizable() const { return false; }
    virtual void RemakeSurface() {}
    // Both surfaces restored and cleared.
    bool Restore();
    // Attaches the palette to a surface; the result is the surface's last result.
    void AttachPalette(TDirectDrawSurface& surface) const;

    TDirectDraw& DDraw() const { return *draw_; }
    TDirectDrawSurface* Primary() const { return primary_.get(); }
    TDirectDrawSurface* Surface() const { return surface_.get(); }
    TDirectDrawClipper* Clipper() const { return clipper_.get(); }
    TDirectDrawPalette* Palette() const { return palette_.get(); }

protected:
    // Raises EDXDrawError "Primary Surface cannot be made" when the device refuses.
    void makePrimary(const platform::gfx::SurfaceDescription& description);
    void makePalette(std::uint32_t caps);
    TCustomDXDraw& owner_;
    // Declared in creation order, so they are released in reverse.
    std::unique_ptr<TDirectDraw> draw_;
    std::unique_ptr<TDirectDrawSurface> primary_;
    std::unique_ptr<TDirectDrawClipper> clipper_;
    std::unique_ptr<TDirectDrawPalette> palette_;
    std::unique_ptr<TDirectDrawSurface> surface_;
};

// Presents by blitting the back surface into the window's area of the primary.
class TDXDrawDriverBlt : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
    bool Resizable() const override { return true; }
    void RemakeSurface() override;
};

// Presents with a flipping chain of one back buffer (full screen only).
class TDXDrawDriverFlip : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
};

// Where a blit presentation puts the back surface, in screen coordinates.
TRect BlitTargetRect(TPoint clientOrigin, int controlWidth, int controlHeight, int backWidth, int backHeight,
                     TDXDrawOptions options);

// The hardware palette for a colour table: red, green and blue in palette order, flags
// 0x40; without allow256 the static entries 0-9 and 246-255 come from the system.
platform::gfx::PaletteEntries PaletteFromColorTable(const TColorTable& table,
                                                    const platform::gfx::PaletteEntries& system,
                                                    bool allow256);

class TCustomDXDraw : public TComponent {
public:
    explicit TCustomDXDraw(TComponent* owner);
    ~TCustomDXDraw() override;

    void Initialize();
    void Finalize();
    void Flip();
    bool CanDraw();
    bool CanPaletteAnimation();
    void UpdatePalette();
    void Restore();

    void AddNotify(TDXDrawNotifyEvent callback, void* object);
    void RemoveNotify(TDXDrawNotifyEvent callback, void* object);

    bool Initialized() const { return initialized_; }
    // True while surfaces are being built, restored or resized.
    bool Updating() const { return updating_; }
    TDirectDraw* DDraw() const;
    TDirectDrawSurface* Primary() const { return driver_ ? driver_->Primary() : nullptr; }
    TDirectDrawSurface* Surface() const { return driver_ ? driver_->Surface() : nullptr; }
    TDXDrawDisplay& Display() { return display_; }

    TDXDrawOptions Options() const { return options_; }
    void SetOptions(TDXDrawOptions value);
    TDXDrawOptions NowOptions() const { return nowOptions_; }

    bool AutoInitialize = true;
    bool AutoSize = true;
    // Applied when loading ends: alClient takes the form's client area.
    TAlign Align = alNone;
    TColorTable ColorTable{};
    TColorTable DefColorTable{};
    // Set by the sprites before each draw; only a hardware 3-D path would act on them.
    TRenderMirrorFlipSet MirrorFlip;
    TD2DTextureFilter TextureFilter = D2D_POINT;

    int SurfaceWidth() const;
    int SurfaceHeight() const;
    void SetSurfaceWidth(int value) { SetSurfaceSize(value, SurfaceHeight()); }
    void SetSurfaceHeight(int value) { SetSurfaceSize(SurfaceWidth(), value); }
    void SetSurfaceSize(int width, int height);

    // The control's bounds within its form's client area.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    // The platform window the device binds to: the parent form's.
    platform::Window* WindowHandle() const;
    TPoint ClientOrigin() const;

    TDXDrawEvent OnInitializing;
    TDXDrawEvent OnInitialize;
    TDXDrawEvent OnInitializeSurface;
    TDXDrawEvent OnFinalize;
    TDXDrawEvent OnFinalizeSurface;
    TDXDrawEvent OnRestoreSurface;

    // The stored properties: the control's bounds and Align, AutoInitialize, AutoSize,
    // Display.*, Options, SurfaceWidth, SurfaceHeight and the six events.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    virtual void DoFinalize();
    virtual void DoFinalizeSurface();
    virtual void DoInitialize();
    virtual void DoInitializeSurface();
    virtual void DoInitializing();
    virtual void DoRestoreSurface();
    void Loaded() override;

private:
    friend class TDXDrawDriver;
    friend class TDXDrawDriverBlt;
    friend class TDXDrawDriverFlip;
    struct Listener {
        TDXDrawNotifyEvent callback;
        void* object;
        bool operator==(const Listener&) const = default;
    };

    // The back surface when it has a platform surface, else none.
    TDirectDrawSurface* madeSurface() const;
    void buildDisplay();
    void sendInitializeNotices();
    void finalizeSurfaceEvents();
    void resizeSurface(int width, int height);
    void notifyAll(TDisplayNotice notice);
    void notifyOne(const Listener& listener, TDisplayNotice notice);
    bool checkSurfaces();
    void setCooperativeLevel();
    platform::gfx::PaletteEntries paletteFor(const TColorTable& table) const;
    void loadPalette(const TColorTable& table);
    void finalizeQuietly() noexcept;
    // Draws the frame kept from before the display was built anew, and presents it.
    void showKeptFrame();
    void paint();
    void formMessage(platform::FormMessage message);

    TDXDrawDisplay display_;
    TDXDrawOptions options_ = kDefaultDXDrawOptions;
    TDXDrawOptions nowOptions_;
    std::unique_ptr<TDXDrawDriver> driver_;
    std::vector<Listener> listeners_;
    platform::TCustomForm* form_ = nullptr;
    int formHook_ = 0;
    int left_ = 0;
    int top_ = 0;
    int width_ = 100;
    int height_ = 100;
    int wantedWidth_ = 640;
    int wantedHeight_ = 480;
    bool initialized_ = false;
    bool updating_ = false;
    bool surfacesBuilt_ = false;
    bool initializeCalled_ = false;
    bool calledDoInitialize_ = false;
    bool calledDoInitializeSurface_ = false;
    int initializingNotices_ = 0;  // suppresses Restore to listeners added meanwhile
    // The last frame of the display that Finalize released, for the next one to show.
    TKeptFrame keptFrame_;
};

// The display as the main window's description publishes it.
class TDXDraw : public TCustomDXDraw {
public:
    using TCustomDXDraw::TCustomDXDraw;
    std::string_view ClassName() const override { return "TDXDraw"; }
};

}  // namespace vek
