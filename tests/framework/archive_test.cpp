// An archive that stores through a sink hands its output over in pieces; the
// SVG surface's picture holds every shape drawn.

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/archive.h"
#include "framework/svg_surface.h"

namespace {

// A piece is handed over once it passes the chunk size, by one write at most.
TEST(StreamingArchive, HandsOverTheSameBytesInBoundedPieces) {
    std::string whole, joined;
    std::size_t largest = 0;
    CArchive stored(&whole), streamed([&](std::string_view piece) {
        joined.append(piece);
        largest = std::max(largest, piece.size());
    });
    for (int i = 0; i < 500; ++i) {
        stored.WriteString(std::string(300, char('a' + i % 26)));
        streamed.WriteString(std::string(300, char('a' + i % 26)));
    }
    streamed.Flush();
    EXPECT_EQ(joined, whole);
    EXPECT_TRUE(whole.size() > 2 * CArchive::kChunk && largest < CArchive::kChunk + 400);
}

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
