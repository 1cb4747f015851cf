// A presentation target without a screen: it keeps the picture of a window's client area
// as 32-bit X-R-G-B pixels that tests read back, counts presents, and plays exclusive full
// screen with its logical size. Windows of the headless toolkit build on it.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/soft/format.hpp"
#include "platform/soft/present_target.hpp"

namespace vek::platform::headless {

// The client picture after one present.
struct PresentedFrame {
    int width = 0;
    int height = 0;
    SDL_Rect destination{};             // where the frame was shown, in client coordinates
    std::vector<std::uint32_t> pixels;  // row after row, 0x00RRGGBB
};

class HeadlessScreen : public soft::PresentTarget {
public:
    explicit HeadlessScreen(int clientWidth = 640, int clientHeight = 480);

    void presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) override;
    bool enterExclusive(int width, int height) override;
    void leaveExclusive() override;
    bool exclusive() const override { return exclusive_; }
    void setVSync(bool on) override { vsync_ = on; }
    SDL_Point clientOrigin() const override;
    SDL_Point clientSize() const override;

    // Where the client area sits on the screen while windowed, and its size there.
    void setClientOrigin(int x, int y) { origin_ = SDL_Point{x, y}; }
    void setWindowedClientSize(int width, int height);
    // Makes enterExclusive fail, as when the desktop refuses full screen.
    void setRefuseExclusive(bool refuse) { refuseExclusive_ = refuse; }

    int presentCount() const { return presents_; }
    bool vsync() const { return vsync_; }
    // The logical size of exclusive mode (0, 0 while windowed).
    SDL_Point exclusiveSize() const { return exclusive_ ? logical_ : SDL_Point{0, 0}; }
    // The client picture as last presented: 0x00RRGGBB, 0 outside the client area.
    std::uint32_t pixel(int x, int y) const;
    PresentedFrame picture() const;
    // The client picture's top-left width × height, row after row into out (width × height
    // pixels), as pixel() reads them but at a copy's speed.
    void readPicture(int width, int height, std::uint32_t* out) const;
    SDL_Rect lastDestination() const { return lastDestination_; }
    // The pictures after the most recent presents, oldest first (at most limit of them;
    // none are kept until a limit is set).
    void setHistoryLimit(std::size_t limit);
    const std::deque<PresentedFrame>& history() const { return history_; }

private:
    void resizePicture(int width, int height);

    soft::SurfacePtr picture_;
    SDL_Point origin_{0, 0};
    SDL_Point windowed_;
    SDL_Point logical_{0, 0};
    bool exclusive_ = false;
    bool refuseExclusive_ = false;
    bool vsync_ = false;
    int presents_ = 0;
    SDL_Rect lastDestination_{};
    std::size_t historyLimit_ = 0;
    std::deque<PresentedFrame> history_;
};

}  // namespace vek::platform::headless
