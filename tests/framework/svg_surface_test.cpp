// The SVG surface's picture holds every shape drawn.

#include <gtest/gtest.h>

#include "framework/svg_surface.h"

namespace {

// A loop's circle can reach beyond everything else drawn.
TEST(SvgSurface, FullCirclesWidenThePicture) {
    auto width = [](const CSvgSurface& svg) {
        const std::string doc = svg.Document("");
        return std::stod(doc.substr(doc.find("width=\"") + 7));
    };
    CSvgSurface empty, circles;
    circles.Pie(CRect{85, 85, 115, 115}, {100, 85}, {100, 85});
    circles.Arc(CRect{85, 85, 145, 115}, {100, 85}, {100, 85});
    EXPECT_EQ(width(circles) - width(empty), 60);
}

}  // namespace
