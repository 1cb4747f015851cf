// "Sharp bilinear" scaling of a 32-bit picture to a place of any size: as if the picture were
// zoomed first by the smallest whole number that reaches the place (each pixel a sharp
// square) and that were then scaled bilinearly down to the place. Pixels stay squares of
// their own colour; at most one screen pixel between two of them mixes both. At a whole
// zoom it is the nearest-pixel zoom exactly. The sampling tables are made once per place,
// and only the screen pixels that depend on a changed part of the picture are drawn again.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace vek::platform::soft {

class SharpZoom {
public:
    // The picture's size and its place in the target surface; the tables are made again
    // only when one of them changed.
    void setPlace(SDL_Point picture, const SDL_Rect& place);
    const SDL_Rect& place() const { return place_; }
    // The target pixels whose colours depend on the picture's pixels in src (clipped to the
    // picture); empty when src is.
    SDL_Rect dependents(const SDL_Rect& src) const;
    // Draws the target pixels inside area (clipped to the place) from picture, which has the
    // size given to setPlace. Both surfaces are 32-bit; a target of another channel order
    // than the picture's gets its pixels converted.
    void draw(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect& area) const;

private:
    // A screen column's (or row's) two picture columns and the second one's weight, 0-256.
    struct Tap {
        int first;
        int second;
        std::uint32_t weight;
    };
    static std::vector<Tap> taps(int pictureLength, int placeLength);
    static void spans(const std::vector<Tap>& taps, int pictureLength, std::vector<int>& from,
                      std::vector<int>& to);
    void drawRow(const SDL_Surface& picture, std::uint32_t* out, int row, int x0, int x1) const;

    SDL_Point picture_{};
    SDL_Rect place_{};
    std::vector<Tap> columns_, rows_;
    // For each picture column (row): the first and last place column (row) that shows it.
    std::vector<int> fromColumn_, toColumn_, fromRow_, toRow_;
};

}  // namespace vek::platform::soft
