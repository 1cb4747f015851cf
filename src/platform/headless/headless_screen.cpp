// The screenless presentation target of the headless backend.
#include "platform/headless/headless_screen.hpp"

#include <algorithm>
#include <cstring>

#include "platform/soft/blitter.hpp"

namespace vek::platform::headless {

HeadlessScreen::HeadlessScreen(int clientWidth, int clientHeight) : windowed_{clientWidth, clientHeight} {
    resizePicture(clientWidth, clientHeight);
}

// As a window on a screen, the picture shows what it showed until the next frame comes.
void HeadlessScreen::resizePicture(int width, int height) {
    picture_ = soft::resizedPicture(std::move(picture_), std::max(1, width), std::max(1, height));
}

void HeadlessScreen::presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) {
    if (frame && picture_) soft::convertScaled(*frame, src, *picture_, dstClient);
    ++presents_;
    lastDestination_ = dstClient;
    if (historyLimit_ == 0) return;
    history_.push_back(picture());
    while (history_.size() > historyLimit_) history_.pop_front();
}

bool HeadlessScreen::enterExclusive(int width, int height) {
    if (refuseExclusive_ || width <= 0 || height <= 0) return false;
    exclusive_ = true;
    logical_ = SDL_Point{width, height};
    resizePicture(width, height);
    return true;
}

void HeadlessScreen::leaveExclusive() {
    if (!exclusive_) return;
    exclusive_ = false;
    resizePicture(windowed_.x, windowed_.y);
}

SDL_Point HeadlessScreen::clientOrigin() const {
    return exclusive_ ? SDL_Point{0, 0} : origin_;
}

SDL_Point HeadlessScreen::clientSize() const {
    return exclusive_ ? logical_ : windowed_;
}

void HeadlessScreen::setWindowedClientSize(int width, int height) {
    windowed_ = SDL_Point{width, height};
    if (!exclusive_) resizePicture(width, height);
}

std::uint32_t HeadlessScreen::pixel(int x, int y) const {
    const SDL_Point size = clientSize();
    if (!picture_ || x < 0 || y < 0 || x >= size.x || y >= size.y) return 0;
    return soft::readPixel(*picture_, x, y) & 0xFFFFFF;
}

PresentedFrame HeadlessScreen::picture() const {
    PresentedFrame frame;
    const SDL_Point size = clientSize();
    frame.width = size.x;
    frame.height = size.y;
    frame.destination = lastDestination_;
    if (!picture_ || size.x <= 0 || size.y <= 0) return frame;
    frame.pixels.resize(static_cast<std::size_t>(size.x) * static_cast<std::size_t>(size.y));
    readPicture(size.x, size.y, frame.pixels.data());
    return frame;
}

void HeadlessScreen::readPicture(int width, int height, std::uint32_t* out) const {
    const SDL_Point size = clientSize();
    const int shownWidth = picture_ ? std::clamp(std::min(size.x, picture_->w), 0, width) : 0;
    const int shownHeight = picture_ ? std::clamp(std::min(size.y, picture_->h), 0, height) : 0;
    for (int y = 0; y < height; ++y) {
        std::uint32_t* to = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        if (y < shownHeight) {
            const auto* row =
                reinterpret_cast<const std::uint8_t*>(picture_->pixels) + std::ptrdiff_t(y) * picture_->pitch;
            std::memcpy(to, row, static_cast<std::size_t>(shownWidth) * 4);
            for (int x = 0; x < shownWidth; ++x) to[x] &= 0xFFFFFF;
        }
        std::fill(to + (y < shownHeight ? shownWidth : 0), to + width, 0u);
    }
}

void HeadlessScreen::setHistoryLimit(std::size_t limit) {
    historyLimit_ = limit;
    while (history_.size() > historyLimit_) history_.pop_front();
}

}  // namespace vek::platform::headless
