#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/geometry.h"

// Where an edge's line or arc, arrowhead and label go, computed from its two
// node centres and its bend. The geometry is built on the end with the lower
// node number (A) and the other (B), so that A->B and B->A edges with the
// same bend lie on the same arc; the arrowhead is built on the target (T).
// All values are integers truncated toward zero, and none comes from a NaN or
// an infinity: a bend that is not finite draws straight, and an arc too large
// for the coordinates is drawn as two straight pieces through its middle.
// Coordinates beyond this are not handed to a surface: far beyond any
// canvas, yet with room to add a node's radius, an arrow, a label or a box
// around them without leaving 32 bits. A loaded file may put a node anywhere,
// so node centres are clamped to it before drawing, and computed points that
// fall outside it are not drawn as computed.
inline constexpr int32_t kDrawLimit = 1'000'000'000;

struct EdgeGeometry {
    bool arc = false;

    // Straight: a line from source to target and, when the chord has a
    // length, two arrow lines from the target.
    CPoint from, to;
    bool arrow = false;
    CPoint arrowEnd[2];

    // Arc: the circle's box and the two ray points, counterclockwise; the
    // whole circle for a loop. Between two points, two barbs, each a short
    // arc on its own box between its two ray points.
    CRect arcBox;
    CPoint arcStart, arcEnd;
    bool barbs = false;
    CRect barbBox[2];
    CPoint barbStart[2], barbEnd[2];

    // A huge, flat arc, drawn as lines from..middle..to.
    bool broken = false;
    CPoint middle;

    CRect label;
    // Contains everything drawn for the edge.
    CRect bounds;
};

struct EdgeEnds {
    CPoint source;
    CPoint target;
    // The target's number is not above the source's: the target is end A.
    bool targetIsA = false;
};

EdgeGeometry ComputeEdgeGeometry(const EdgeEnds& ends, float offset, int fontHeight,
                                 int fontMaxWidth, std::size_t labelChars);

// The bend whose arc has its middle where the label was dropped (the point of
// the chord's perpendicular bisector level with pt), or 0 within 5 units of
// the line through the two centres.
float ComputeDropOffset(const EdgeEnds& ends, CPoint pt, int fontHeight);
