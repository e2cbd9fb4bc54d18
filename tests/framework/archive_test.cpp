// An archive that stores through a sink hands its output over in pieces; the
// SVG surface's picture holds every shape drawn.

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/svg_surface.h"
#include "support/grammar_builder.h"

namespace {

// A piece is handed over once it passes the chunk size, by one write at most.
TEST(StreamingArchive, HandsOverTheSameBytesInBoundedPieces) {
    CGrammer doc;
    for (int i = 0; i < 400; ++i) {
        lumo_test::AddEdge(doc, 1, 1, std::string(300, char('a' + i % 26)) + std::to_string(i));
    }
    const std::string whole = lumo_test::Store(doc);
    std::string joined;
    std::size_t largest = 0, pieces = 0;
    CArchive ar([&](std::string_view piece) {
        joined.append(piece);
        largest = std::max(largest, piece.size());
        ++pieces;
    });
    doc.Serialize(ar);
    ar.Flush();
    EXPECT_EQ(joined, whole);
    EXPECT_TRUE(pieces > 2 && whole.size() > 2 * CArchive::kChunk);
    EXPECT_LT(largest, CArchive::kChunk + 400);
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
