#pragma once

// An edge as the editor draws it, for measuring a layout: an arc through
// both centres (or a line), its middle a bend's 1.5 text heights off the
// chord, as points along it, with its label.

#include <cstddef>
#include <vector>

#include "framework/geometry.h"

namespace ebnf::layout {

struct Vec {
    double x = 0;
    double y = 0;
};

struct Shape {
    std::vector<Vec> points;  // along the line or arc, source to target
    CRect label;
    Vec labelCentre;
    Vec chordMiddle;
    CRect bounds;  // of the points
};

// The edge from one centre to another with a bend and a label of `chars`
// characters; targetIsA as in EdgeEnds. Arcs are sampled a few units apart.
Shape ShapeOf(CPoint from, CPoint to, bool targetIsA, double offset, std::size_t chars);

double SegmentDistance(Vec p, Vec a, Vec b);
bool RectMeetsCircle(const CRect& r, CPoint c, double radius);
// Whether the rectangles, each grown by gap, overlap.
bool RectsMeet(const CRect& a, const CRect& b, int gap);
// Whether the segment from a to b passes through the inside of r.
bool SegmentMeetsRect(Vec a, Vec b, const CRect& r);

}  // namespace ebnf::layout
