// The display component: effective options, mode choice, building and releasing the
// device and surfaces through a presentation strategy, presentation, palette, restore
// after lost surfaces, and the listener protocol with its fixed notice order.
#include "graphics/dxdraw.hpp"

#include <algorithm>
#include <climits>
#include <exception>
#include <tuple>

#include "platform/platform.hpp"

namespace vek {

namespace gfx = platform::gfx;

namespace {

gfx::PaletteEntries systemPalette() {
    gfx::PaletteEntries entries{};
    if (platform::installed()) platform::current().graphics().getSystemPaletteEntries(entries);
    return entries;
}

bool modeQualifies(const TDXDrawDisplayMode& mode, const TDXDrawDisplayMode& best, int width, int height,
                   int bitCount, const TModeSearch& rules) {
    if (mode.Width > best.Width || mode.Height > best.Height) return false;
    if (rules.fixedRatio &&
        static_cast<double>(mode.Width) / mode.Height != static_cast<double>(width) / height)
        return false;
    if (rules.fixedSize ? (mode.Width != width || mode.Height != height)
                        : (mode.Width < width || mode.Height < height))
        return false;
    if (rules.fixedBitCount) return mode.BitCount == bitCount;
    return (mode.BitCount > 8 && bitCount > 8) || mode.BitCount >= bitCount;
}

// Sets a flag for the lifetime of a scope, clearing it also when an error leaves.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

class CountGuard {
public:
    explicit CountGuard(int& count) : count_(count) { ++count_; }
    ~CountGuard() { --count_; }
    CountGuard(const CountGuard&) = delete;
    CountGuard& operator=(const CountGuard&) = delete;

private:
    int& count_;
};

// Runs the steps of a release sequence one after another; the first error is kept and
// raised once all steps have run.
class Steps {
public:
    template <class F>
    void run(F&& step) {
        try {
            step();
        } catch (...) {
            if (!error_) error_ = std::current_exception();
        }
    }
    void raise() const {
        if (error_) std::rethrow_exception(error_);
    }

private:
    std::exception_ptr error_;
};

}  // namespace

TDXDrawOptions EffectiveOptions(TDXDrawOptions wanted, TDXDrawOptions current, bool initialized) {
    TDXDrawOptions r;
    if (initialized) {
        const TDXDrawOptions presentation{doWaitVBlank, doStretch, doCenter};
        r = (current - presentation) + (wanted * presentation);
        if (!r.Contains(do3D)) r = r - TDXDrawOptions{doRetainedMode, doHardware, doSelectDriver, doZBuffer};
        return r;
    }
    r = wanted;
    if (!r.Contains(doFullScreen))
        r = r - TDXDrawOptions{doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip};
    if (!r.Contains(do3D))
        r = r - TDXDrawOptions{doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer};
    if (r.Contains(doSystemMemory)) r.Exclude(doFlip);
    if (r.Contains(doDirectX7Mode)) r.Exclude(doRetainedMode);
    return r.Exclude(doHardware);
}

std::optional<TDXDrawDisplayMode> SearchDisplayMode(const std::vector<TDXDrawDisplayMode>& sortedModes,
                                                    int width, int height, int bitCount,
                                                    const TModeSearch& rules) {
    TDXDrawDisplayMode best{INT_MAX, INT_MAX, bitCount};
    bool found = false;
    for (const auto& mode : sortedModes) {
        if (!modeQualifies(mode, best, width, height, bitCount, rules)) continue;
        best = mode;
        found = true;
    }
    if (!found) return std::nullopt;
    const TDXDrawDisplayMode wantedBits{best.Width, best.Height, bitCount};
    if (best.BitCount != bitCount &&
        std::find(sortedModes.begin(), sortedModes.end(), wantedBits) != sortedModes.end())
        best.BitCount = bitCount;
    return best;
}

TRect BlitTargetRect(TPoint clientOrigin, int controlWidth, int controlHeight, int backWidth, int backHeight,
                     TDXDrawOptions options) {
    if (options.Contains(doStretch))
        return Bounds(clientOrigin.x, clientOrigin.y, controlWidth, controlHeight);
    TPoint at = clientOrigin;
    if (options.Contains(doCenter)) {
        at.x += (controlWidth - backWidth) / 2;
        at.y += (controlHeight - backHeight) / 2;
    }
    return Bounds(at.x, at.y, backWidth, backHeight);
}

gfx::PaletteEntries PaletteFromColorTable(const TColorTable& table, const gfx::PaletteEntries& system,
                                          bool allow256) {
    gfx::PaletteEntries entries{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool isStatic = i < 10 || i >= 246;
        if (isStatic && !allow256) {
            entries[i] = system[i];
        } else {
            entries[i].red = table[i].rgbRed;
            entries[i].green = table[i].rgbGreen;
            entries[i].blue = table[i].rgbBlue;
        }
        entries[i].flags = 0x40;
    }
    return entries;
}

TDXDrawDisplay::TDXDrawDisplay(TCustomDXDraw* owner) : owner_(owner) {}

void TDXDrawDisplay::Assign(const TDXDrawDisplay& other) {
    width_ = other.width_;
    height_ = other.height_;
    bitCount_ = other.bitCount_;
    FixedBitCount = other.FixedBitCount;
    FixedRatio = other.FixedRatio;
    FixedSize = other.FixedSize;
}

void TDXDrawDisplay::SetBitCount(int value) {
    if (value != 8 && value != 16 && value != 24 && value != 32)
        throw EDirectDrawError(kInvalidDisplayBitCount);
    bitCount_ = value;
}

const std::vector<TDXDrawDisplayMode>& TDXDrawDisplay::modeList() {
    if (modes_) return *modes_;
    modes_.emplace();
    auto collect = [this](TDirectDraw& draw) {
        draw.LastResult = draw.IDraw().enumDisplayModes([this](const gfx::DisplayMode& m) {
            modes_->push_back(TDXDrawDisplayMode{m.width, m.height, m.bitCount});
        });
    };
    if (auto* draw = owner_ ? owner_->DDraw() : nullptr) {
        collect(*draw);
    } else if (platform::installed()) {
        try {
            TDirectDraw temporary;
            collect(temporary);
        } catch (const EDirectDrawError&) {
            // Without a device there are no modes to offer.
        }
    }
    std::sort(modes_->begin(), modes_->end(), [](const auto& a, const auto& b) {
        return std::tie(a.Width, a.Height, a.BitCount) < std::tie(b.Width, b.Height, b.BitCount);
    });
    return *modes_;
}

int TDXDrawDisplay::Count() {
    return static_cast<int>(modeList().size());
}

const TDXDrawDisplayMode& TDXDrawDisplay::Modes(int index) {
    return modeList().at(static_cast<std::size_t>(index));
}

int TDXDrawDisplay::IndexOf(int width, int height, int bitCount) {
    const auto& modes = modeList();
    const auto at = std::find(modes.begin(), modes.end(), TDXDrawDisplayMode{width, height, bitCount});
    return at == modes.end() ? -1 : static_cast<int>(at - modes.begin());
}

bool TDXDrawDisplay::ApplyMode(int width, int height, int bitCount) {
    auto* draw = owner_ ? owner_->DDraw() : nullptr;
    if (!draw) return false;
    draw->LastResult = draw->IDraw().setDisplayMode(width, height, bitCount);
    if (!gfx::succeeded(draw->LastResult)) return false;
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    return true;
}

bool TDXDrawDisplay::FindAndApplyMode(int width, int height, int bitCount) {
    if (width <= 0 || height <= 0) return false;
    if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) return false;
    if (ApplyMode(width, height, bitCount)) return true;
    TModeSearch rules{true, FixedSize, FixedBitCount};
    if (FixedRatio) {
        const auto mode = SearchDisplayMode(modeList(), width, height, bitCount, rules);
        if (mode && ApplyMode(mode->Width, mode->Height, mode->BitCount)) return true;
    }
    rules.fixedRatio = false;
    const auto mode = SearchDisplayMode(modeList(), width, height, bitCount, rules);
    return mode && ApplyMode(mode->Width, mode->Height, mode->BitCount);
}

TDXDrawDriver::TDXDrawDriver(TCustomDXDraw& owner) : owner_(owner), draw_(std::make_unique<TDirectDraw>()) {}

TDXDrawDriver::~TDXDrawDriver() = default;

bool TDXDrawDriver::Restore() {
    if (!primary_ || !surface_) return false;
    if (!primary_->Restore() || !surface_->Restore()) return false;
    primary_->Fill(0);
    surface_->Fill(0);
    return true;
}

void TDXDrawDriver::AttachPalette(TDirectDrawSurface& surface) const {
    surface.LastResult = surface.ISurface().setPalette(palette_->IDDPalette());
}

void TDXDrawDriver::makePrimary(const gfx::SurfaceDescription& description) {
    primary_ = std::make_unique<TDirectDrawSurface>(draw_.get());
    if (!primary_->CreateSurface(description))
        throw EDXDrawError(formatMessage(kCannotMake, "Primary Surface"));
}

void TDXDrawDriver::makePalette(std::uint32_t caps) {
    if (owner_.nowOptions_.Contains(doAllowPalette256)) caps |= gfx::paletteCapsAllow256;
    palette_ = std::make_unique<TDirectDrawPalette>(*draw_, caps, owner_.paletteFor(owner_.ColorTable));
}

void TDXDrawDriverBlt::Initialize() {
    gfx::SurfaceDescription description;
    description.caps = gfx::capsPrimarySurface;
    makePrimary(description);
    surface_ = std::make_unique<TDirectDrawSurface>(draw_.get());
    clipper_ = std::make_unique<TDirectDrawClipper>(*draw_);
    clipper_->SetHandle(owner_.WindowHandle());
    clipper_->AttachTo(*primary_);
    makePalette(gfx::paletteCaps8Bit | gfx::paletteCapsInitialize);
    AttachPalette(*primary_);
    RemakeSurface();
}

void TDXDrawDriverBlt::RemakeSurface() {
    owner_.nowOptions_.Exclude(doSystemMemory);
    gfx::SurfaceDescription description;
    description.width = std::max(1, owner_.wantedWidth_);
    description.height = std::max(1, owner_.wantedHeight_);
    description.caps = gfx::capsOffscreenPlain;
    if (owner_.options_.Contains(doSystemMemory)) description.caps |= gfx::capsSystemMemory;
    if (!surface_->CreateSurface(description)) {
        description.caps = gfx::capsOffscreenPlain | gfx::capsSystemMemory;
        if (!surface_->CreateSurface(description)) throw EDXDrawError(formatMessage(kCannotMake, "Surface"));
    }
    if ((surface_->SurfaceDesc().caps & gfx::capsVideoMemory) == 0)
        owner_.nowOptions_.Include(doSystemMemory);
    AttachPalette(*surface_);
    surface_->Fill(0);
}

void TDXDrawDriverBlt::Flip() {
    // A canvas still holding the back surface would keep the blit from reading it.
    surface_->Canvas().Release();
    const TRect target = BlitTargetRect(owner_.ClientOrigin(), owner_.Width(), owner_.Height(),
                                        surface_->Width(), surface_->Height(), owner_.nowOptions_);
    if (owner_.nowOptions_.Contains(doWaitVBlank)) draw_->LastResult = draw_->IDraw().waitForVerticalBlank();
    const TRect source = surface_->ClientRect();
    primary_->LastResult =
        primary_->ISurface().blt(&target, surface_->IDDSurface(), &source, gfx::bltWait, nullptr);
}

void TDXDrawDriverFlip::Initialize() {
    gfx::SurfaceDescription description;
    description.caps = gfx::capsPrimarySurface | gfx::capsFlip | gfx::capsComplex;
    description.backBufferCount = 1;
    makePrimary(description);
    gfx::Surface* back = nullptr;
    primary_->LastResult = primary_->ISurface().getAttachedSurface(gfx::capsBackBuffer, back);
    if (!gfx::succeeded(primary_->LastResult) || !back)
        throw EDXDrawError(formatMessage(kCannotMake, "Surface"));
    surface_ = std::make_unique<TDirectDrawSurface>(draw_.get());
    surface_->WrapIDDSurface(back);
    if (surface_->SurfaceDesc().caps & gfx::capsSystemMemory) owner_.nowOptions_.Include(doSystemMemory);
    clipper_ = std::make_unique<TDirectDrawClipper>(*draw_);
    makePalette(gfx::paletteCaps8Bit);
    AttachPalette(*primary_);
    AttachPalette(*surface_);
}

void TDXDrawDriverFlip::Flip() {
    auto* window = owner_.WindowHandle();
    if (!window || platform::current().application().foregroundWindow() != window) return;
    surface_->Canvas().Release();
    primary_->LastResult = primary_->ISurface().flip(gfx::bltWait);
}

TCustomDXDraw::TCustomDXDraw(TComponent* owner) : TComponent(owner), display_(this) {
    nowOptions_ = EffectiveOptions(options_, {}, false);
    const auto system = systemPalette();
    for (std::size_t i = 0; i < system.size(); ++i)
        ColorTable[i] = TRGBQuad{system[i].blue, system[i].green, system[i].red, 0};
    DefColorTable = ColorTable;
    form_ = OwnerForm();
    if (form_) formHook_ = form_->HookMessages([this](platform::FormMessage m) { formMessage(m); });
    SetBounds(0, 0, 100, 100);
}

TCustomDXDraw::~TCustomDXDraw() {
    finalizeQuietly();
    try {
        notifyAll(TDisplayNotice::Destroying);
    } catch (...) {
        // A listener failing while the display goes away cannot stop it.
    }
    if (form_) form_->UnhookMessages(formHook_);
}

void TCustomDXDraw::Initialize() {
    initializeCalled_ = true;
    Finalize();
    if (!form_) throw EDXDrawError(kFormNotFound);
    try {
        buildDisplay();
        initialized_ = true;
        sendInitializeNotices();
        Restore();
        showKeptFrame();
    } catch (...) {
        finalizeQuietly();
        throw;
    }
}

void TCustomDXDraw::buildDisplay() {
    DoInitializing();
    FlagGuard updating(updating_);
    surfacesBuilt_ = true;
    notifyAll(TDisplayNotice::Initializing);
    if (nowOptions_.Contains(doFlip))
        driver_ = std::make_unique<TDXDrawDriverFlip>(*this);
    else
        driver_ = std::make_unique<TDXDrawDriverBlt>(*this);
    setCooperativeLevel();
    if (nowOptions_.Contains(doFullScreen)) {
        const int w = display_.Width(), h = display_.Height(), bits = display_.BitCount();
        if (!display_.FindAndApplyMode(w, h, bits))
            throw EDXDrawError(formatMessage(kDisplayModeCannotBeChanged, {w, h, bits}));
    }
    if (AutoSize) {
        wantedWidth_ = width_;
        wantedHeight_ = height_;
    }
    driver_->Initialize();
}

void TCustomDXDraw::sendInitializeNotices() {
    CountGuard suppressRestore(initializingNotices_);
    notifyAll(TDisplayNotice::SurfaceSize);
    notifyAll(TDisplayNotice::Initialize);
    calledDoInitialize_ = true;
    DoInitialize();
    notifyAll(TDisplayNotice::InitializeSurface);
    calledDoInitializeSurface_ = true;
    DoInitializeSurface();
}

void TCustomDXDraw::Finalize() {
    if (surfacesBuilt_) {
        if (auto* back = madeSurface()) {
            wantedWidth_ = back->Width();
            wantedHeight_ = back->Height();
            // Only a display that was whole holds a frame of the game's.
            if (calledDoInitializeSurface_ && !back->IsLost()) keptFrame_.Keep(*back, paletteFor(ColorTable));
        }
        display_.ClearModes();
        updating_ = true;
    }
    Steps steps;
    if (calledDoInitializeSurface_) {
        calledDoInitializeSurface_ = false;
        steps.run([this] { DoFinalizeSurface(); });
    }
    steps.run([this] { notifyAll(TDisplayNotice::FinalizeSurface); });
    if (calledDoInitialize_) {
        calledDoInitialize_ = false;
        steps.run([this] { DoFinalize(); });
    }
    steps.run([this] { notifyAll(TDisplayNotice::Finalize); });
    surfacesBuilt_ = false;
    initialized_ = false;
    nowOptions_ = EffectiveOptions(options_, nowOptions_, false);
    driver_.reset();
    updating_ = false;
    steps.raise();
}

// A game that is not running draws no frame of its own: without this, the new surfaces'
// black would stay on the screen until it runs again.
void TCustomDXDraw::showKeptFrame() {
    if (auto* back = madeSurface(); back && keptFrame_.PutBack(*back)) Flip();
}

void TCustomDXDraw::finalizeQuietly() noexcept {
    try {
        Finalize();
    } catch (...) {
        // Already on an error path (or in the destructor): the first error is the one reported.
    }
}

void TCustomDXDraw::Flip() {
    if (initialized_ && !updating_ && checkSurfaces()) driver_->Flip();
}

bool TCustomDXDraw::CanDraw() {
    return initialized_ && !updating_ && madeSurface() && checkSurfaces();
}

bool TCustomDXDraw::checkSurfaces() {
    auto* primary = Primary();
    if (!initialized_ || updating_ || !primary || !primary->IDDSurface()) return false;
    if (!primary->IsLost() && !Surface()->IsLost()) return true;
    Restore();
    auto healthy = [](TDirectDrawSurface* s) {
        return s && s->IDDSurface() && gfx::succeeded(s->IDDSurface()->isLost());
    };
    return healthy(Primary()) && healthy(Surface());
}

bool TCustomDXDraw::CanPaletteAnimation() {
    if (!initialized_ || updating_ || !nowOptions_.Contains(doFullScreen)) return false;
    gfx::DisplayMode mode;
    DDraw()->LastResult = DDraw()->IDraw().getDisplayMode(mode);
    return gfx::succeeded(DDraw()->LastResult) && mode.bitCount <= 8;
}

void TCustomDXDraw::Restore() {
    if (!initialized_ || updating_) return;
    {
        FlagGuard updating(updating_);
        if (!driver_->Restore()) return;
        driver_->AttachPalette(*Primary());
        driver_->AttachPalette(*Surface());
        loadPalette(DefColorTable);
        notifyAll(TDisplayNotice::Restore);
        DoRestoreSurface();
    }
    loadPalette(ColorTable);
}

gfx::PaletteEntries TCustomDXDraw::paletteFor(const TColorTable& table) const {
    return PaletteFromColorTable(table, systemPalette(), nowOptions_.Contains(doAllowPalette256));
}

void TCustomDXDraw::loadPalette(const TColorTable& table) {
    if (auto* palette = driver_ ? driver_->Palette() : nullptr)
        palette->SetEntries(0, 256, paletteFor(table).data());
}

void TCustomDXDraw::UpdatePalette() {
    if (initialized_ && nowOptions_.Contains(doWaitVBlank) && !DDraw()->DriverCaps().paletteChangesInVBlank)
        DDraw()->LastResult = DDraw()->IDraw().waitForVerticalBlank();
    if (initialized_) loadPalette(ColorTable);
}

void TCustomDXDraw::AddNotify(TDXDrawNotifyEvent callback, void* object) {
    const Listener listener{callback, object};
    std::erase(listeners_, listener);
    listeners_.push_back(listener);
    notifyOne(listener, TDisplayNotice::SurfaceSize);
    if (!initialized_) return;
    notifyOne(listener, TDisplayNotice::Initialize);
    if (calledDoInitializeSurface_) notifyOne(listener, TDisplayNotice::InitializeSurface);
    if (initializingNotices_ == 0) notifyOne(listener, TDisplayNotice::Restore);
}

void TCustomDXDraw::RemoveNotify(TDXDrawNotifyEvent callback, void* object) {
    const Listener listener{callback, object};
    if (std::erase(listeners_, listener) == 0 || !initialized_) return;
    if (calledDoInitializeSurface_) notifyOne(listener, TDisplayNotice::FinalizeSurface);
    notifyOne(listener, TDisplayNotice::Finalize);
}

void TCustomDXDraw::notifyAll(TDisplayNotice notice) {
    // Last registered first; a listener may unregister itself or others meanwhile.
    const auto snapshot = listeners_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        if (std::find(listeners_.begin(), listeners_.end(), *it) != listeners_.end()) notifyOne(*it, notice);
}

void TCustomDXDraw::notifyOne(const Listener& listener, TDisplayNotice notice) {
    listener.callback(listener.object, *this, notice);
}

TDirectDraw* TCustomDXDraw::DDraw() const {
    return driver_ ? &driver_->DDraw() : nullptr;
}

void TCustomDXDraw::SetOptions(TDXDrawOptions value) {
    options_ = value;
    nowOptions_ = EffectiveOptions(value, nowOptions_, initialized_);
}

TDirectDrawSurface* TCustomDXDraw::madeSurface() const {
    auto* back = Surface();
    return back && back->IDDSurface() ? back : nullptr;
}

int TCustomDXDraw::SurfaceWidth() const {
    auto* back = madeSurface();
    return back ? back->Width() : wantedWidth_;
}

int TCustomDXDraw::SurfaceHeight() const {
    auto* back = madeSurface();
    return back ? back->Height() : wantedHeight_;
}

void TCustomDXDraw::SetSurfaceSize(int width, int height) {
    if (!initialized_) {
        wantedWidth_ = width;
        wantedHeight_ = height;
        return;
    }
    if (updating_ || !driver_->Resizable() || (width == SurfaceWidth() && height == SurfaceHeight())) return;
    resizeSurface(width, height);
}

void TCustomDXDraw::resizeSurface(int width, int height) {
    try {
        FlagGuard updating(updating_);
        CountGuard suppressRestore(initializingNotices_);
        wantedWidth_ = std::max(1, width);
        wantedHeight_ = std::max(1, height);
        notifyAll(TDisplayNotice::FinalizeSurface);
        if (calledDoInitializeSurface_) {
            calledDoInitializeSurface_ = false;
            DoFinalizeSurface();
        }
        driver_->RemakeSurface();
        notifyAll(TDisplayNotice::InitializeSurface);
        calledDoInitializeSurface_ = true;
        DoInitializeSurface();
    } catch (...) {
        finalizeQuietly();
        throw;
    }
    notifyAll(TDisplayNotice::SurfaceSize);
}

void TCustomDXDraw::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (AutoSize && !updating_) SetSurfaceSize(width, height);
}

platform::Window* TCustomDXDraw::WindowHandle() const {
    return form_ ? form_->Handle() : nullptr;
}

TPoint TCustomDXDraw::ClientOrigin() const {
    auto* window = WindowHandle();
    return window ? window->clientToScreen(TPoint{left_, top_}) : TPoint{left_, top_};
}

void TCustomDXDraw::setCooperativeLevel() {
    std::uint32_t flags = gfx::coopNormal | gfx::coopFpuPreserve;
    if (nowOptions_.Contains(doFullScreen)) {
        flags = gfx::coopExclusive | gfx::coopFullScreen | gfx::coopAllowModeX | gfx::coopFpuPreserve;
        if (nowOptions_.Contains(doNoWindowChange)) flags |= gfx::coopNoWindowChanges;
        if (nowOptions_.Contains(doAllowReboot)) flags |= gfx::coopAllowReboot;
    }
    DDraw()->LastResult = DDraw()->IDraw().setCooperativeLevel(WindowHandle(), flags);
}

void TCustomDXDraw::Loaded() {
    if (Align == alClient && WindowHandle()) {
        const TRect client = WindowHandle()->clientRect();
        SetBounds(0, 0, client.width(), client.height());
    }
    if (AutoSize) {
        wantedWidth_ = width_;
        wantedHeight_ = height_;
        notifyAll(TDisplayNotice::SurfaceSize);
    }
    if (AutoInitialize && !form_) Initialize();
}

void TCustomDXDraw::paint() {
    const bool waited = nowOptions_.Contains(doWaitVBlank);
    nowOptions_.Exclude(doWaitVBlank);
    try {
        Flip();
    } catch (...) {
        if (waited) nowOptions_.Include(doWaitVBlank);
        throw;
    }
    if (waited) nowOptions_.Include(doWaitVBlank);
}

void TCustomDXDraw::formMessage(platform::FormMessage message) {
    using platform::FormMessage;
    switch (message) {
        case FormMessage::Deactivate:
        case FormMessage::EnterMenuLoop:
            if (initialized_ && nowOptions_.Contains(doFullScreen) && nowOptions_.Contains(doFlip))
                DDraw()->LastResult = DDraw()->IDraw().flipToGDISurface();
            break;
        case FormMessage::Shown:
            if (AutoInitialize && !initializeCalled_) Initialize();
            break;
        case FormMessage::Destroying:
            Finalize();
            break;
        case FormMessage::HandleCreated:
            if (initialized_ && !updating_) {
                driver_->Clipper()->SetHandle(WindowHandle());
                setCooperativeLevel();
            }
            break;
        case FormMessage::Paint:
            paint();
            break;
        case FormMessage::Activate:
        case FormMessage::Placed:
        case FormMessage::MouseDown:
            break;
    }
}

void TCustomDXDraw::DoFinalize() {
    if (OnFinalize) OnFinalize(*this);
}

void TCustomDXDraw::DoFinalizeSurface() {
    if (OnFinalizeSurface) OnFinalizeSurface(*this);
}

void TCustomDXDraw::DoInitialize() {
    if (OnInitialize) OnInitialize(*this);
}

void TCustomDXDraw::DoInitializeSurface() {
    if (OnInitializeSurface) OnInitializeSurface(*this);
}

void TCustomDXDraw::DoInitializing() {
    if (OnInitializing) OnInitializing(*this);
}

void TCustomDXDraw::DoRestoreSurface() {
    if (OnRestoreSurface) OnRestoreSurface(*this);
}

}  // namespace vek
