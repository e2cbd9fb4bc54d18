#pragma once

#include <cstdint>

// Integer logical coordinates, one unit per pixel, y growing downwards.
struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    // Half-open: the left and top borders belong to the rectangle, the right
    // and bottom ones do not.
    bool PtInRect(CPoint pt) const {
        return left <= pt.x && pt.x < right && top <= pt.y && pt.y < bottom;
    }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }

    friend bool operator==(const CRect&, const CRect&) = default;
};
