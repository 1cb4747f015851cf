// Where a top-level window stands, for both backends: the windowed rectangle it returns to,
// maximised, exclusive full screen, the frame a window manager puts around it, and the fit
// of an asked size to the screens. The model keeps these facts and answers for them; the
// backend's window moves the real window.
#pragma once

#include <vector>

#include "platform/toolkit.hpp"
#include "runtime/types.hpp"

namespace vek::platform {

// The sizes of the frame that a window manager puts around a bordered window.
struct FrameSizes {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const FrameSizes&, const FrameSizes&) = default;
};

// Room left for a window manager's frame whose sizes are not known yet (a window that has
// not been shown): borders and a caption bar as common desktops draw them.
inline constexpr FrameSizes kFrameAllowance{4, 32, 4, 4};

// The show states of a placement record.
inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMinimized = 2;
inline constexpr std::uint32_t kShowMaximized = 3;

// A window whose view would show less than a grip of itself on every screen (a place
// remembered from a screen since unplugged) moved onto the primary screen (the first),
// centred where it fits, else at its top-left corner. With no screen known, as it was.
WindowGeometry placeOnScreens(const WindowGeometry& window, const std::vector<TRect>& screens);

// The window placed on the screens (placeOnScreens), then its view reduced to the largest
// whole zoom of a picture × pictureHeight picture at which the window (the view and chrome:
// the frame and menu strip around it) fits the usable area of the screen it opens on, and
// moved to lie on that screen. A window that fits, or that no screen is known for, keeps its
// size. The screen it opens on holds its top-left corner, else it is the first (primary) one.
WindowGeometry fitToScreens(const WindowGeometry& wanted, const std::vector<TRect>& screens, TPoint picture,
                            TPoint chrome);

class PlacementModel {
public:
    // A window whose frame's top-left corner is at (left, top), around a view of
    // clientWidth × clientHeight: the client picture's size and the smallest view.
    PlacementModel(int left, int top, int clientWidth, int clientHeight);

    // The window's own area (the menu strip and the view below it) in screen pixels while
    // windowed and neither maximised nor minimised: where it returns to. Until the frame is
    // learnt, its top-left corner is the frame's.
    TRect area() const { return area_; }
    // That area with the frame around it.
    TRect outer() const;
    // The client picture's size: the smallest view.
    TPoint client() const { return client_; }
    bool maximized() const { return maximized_; }
    bool exclusive() const { return exclusive_; }
    bool framed() const { return framed_; }
    const FrameSizes& frame() const { return frame_; }
    int stripHeight() const { return strip_; }
    // What the frame and the menu strip add to the view: the learnt frame, else for a
    // bordered window the allowance.
    TPoint chrome(bool bordered) const;

    // A menu strip of this height above the view: the area grows or shrinks by the change.
    void setStripHeight(int height);
    // The window system says where the window is now and how it is shown. While in
    // exclusive full screen nothing is taken: the facts are those to return to.
    void observe(const TRect& area, bool maximized, bool minimized);
    // The window manager's frame, learnt once: the area moves inside it, so that the frame's
    // corner stays where it was asked for. False when the frame was known already.
    bool learnFrame(const FrameSizes& frame);

    WindowGeometry geometry() const;
    // Takes the geometry as it is (fit it first); the view is never smaller than the client.
    void setGeometry(const WindowGeometry& geometry);
    // The placement record: the frame around area(), and the show state.
    bool placement(WindowPlacement& placement, bool minimized) const;
    // Takes the record's rectangle and show state; false (and nothing taken) for a record
    // of the wrong length or a rectangle with no room inside the frame.
    bool setPlacement(const WindowPlacement& placement);

    // Exclusive full screen keeps the facts as they were on entering. Leaving it changes
    // none: the placement saved before full screen puts the window back.
    void enterExclusive() { exclusive_ = true; }
    void leaveExclusive() { exclusive_ = false; }

private:
    TPoint client_;
    TRect area_;
    FrameSizes frame_;
    int strip_ = 0;
    bool framed_ = false;
    bool maximized_ = false;
    bool exclusive_ = false;
};

}  // namespace vek::platform
