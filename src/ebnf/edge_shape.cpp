#include "ebnf/edge_shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ebnf/layout.h"
#include "model/edge_geometry.h"

namespace ebnf::layout {

namespace {

constexpr double kSampleStep = 8;

void Bound(Shape& shape) {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const Vec& p : shape.points) {
        left = std::min(left, p.x);
        top = std::min(top, p.y);
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    shape.bounds =
        CRect{static_cast<int32_t>(std::floor(left)), static_cast<int32_t>(std::floor(top)),
              static_cast<int32_t>(std::ceil(right)), static_cast<int32_t>(std::ceil(bottom))};
}

}  // namespace

// The arc the editor draws for an edge between two centres with a bend,
// as points kSampleStep apart.
Shape ShapeOf(CPoint from, CPoint to, bool targetIsA, double offset, std::size_t chars) {
    Shape shape;
    const EdgeGeometry g =
        ComputeEdgeGeometry(EdgeEnds{from, to, targetIsA}, static_cast<float>(offset),
                            kLayoutFontHeight, kLayoutFontWidth, chars);
    shape.label = g.label;
    shape.labelCentre =
        Vec{(g.label.left + g.label.right) / 2.0, (g.label.top + g.label.bottom) / 2.0};
    const CPoint a = targetIsA ? to : from;
    const CPoint b = targetIsA ? from : to;
    const Vec m{double((int64_t{a.x} + b.x) / 2), double((int64_t{a.y} + b.y) / 2)};
    shape.chordMiddle = m;
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    const double c = std::sqrt(dx * dx + dy * dy) / 2;
    Vec n{0, a.x <= b.x ? 1.0 : -1.0};
    if (dy != 0) {
        const double slope = -dx / dy;
        const double len = std::sqrt(slope * slope + 1);
        n = Vec{1 / len, slope / len};
    }
    const double sign = a.y < b.y ? 1 : -1;
    const double h = 1.5 * sign * offset * kLayoutFontHeight;
    if (h == 0 || !g.arc) {
        shape.points = {Vec{double(from.x), double(from.y)}, Vec{double(to.x), double(to.y)}};
        Bound(shape);
        return shape;
    }
    const double e = (c * c - h * h) / (2 * h);
    const Vec centre{m.x + e * n.x, m.y + e * n.y};
    const double r = std::sqrt(c * c + e * e);
    const Vec middle{m.x - h * n.x, m.y - h * n.y};
    auto angle = [&](Vec p) { return std::atan2(p.y - centre.y, p.x - centre.x); };
    const double twoPi = 2 * std::numbers::pi;
    auto ccw = [&](double from_, double to_) {
        const double d = std::fmod(to_ - from_ + 2 * twoPi, twoPi);
        return d;
    };
    const double start = angle(Vec{double(from.x), double(from.y)});
    double span = twoPi;  // a loop: the whole circle
    if (from != to) {
        const double end = ccw(start, angle(Vec{double(to.x), double(to.y)}));
        span = ccw(start, angle(middle)) < end ? end : end - twoPi;
    }
    const int steps = std::clamp(static_cast<int>(std::fabs(span) * r / kSampleStep), 8, 200);
    // Turning one step at a time, rather than a sine and cosine a point.
    const double turnCos = std::cos(span / steps), turnSin = std::sin(span / steps);
    double ux = r * std::cos(start), uy = r * std::sin(start);
    for (int i = 0; i <= steps; ++i) {
        shape.points.push_back(Vec{centre.x + ux, centre.y + uy});
        const double nx = ux * turnCos - uy * turnSin;
        uy = ux * turnSin + uy * turnCos;
        ux = nx;
    }
    Bound(shape);
    return shape;
}

double SegmentDistance(Vec p, Vec a, Vec b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double x = a.x + t * vx - p.x, y = a.y + t * vy - p.y;
    return std::sqrt(x * x + y * y);
}

bool RectMeetsCircle(const CRect& r, CPoint c, double radius) {
    const double x = std::clamp(double(c.x), double(r.left), double(r.right));
    const double y = std::clamp(double(c.y), double(r.top), double(r.bottom));
    return (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y) < radius * radius;
}

bool RectsMeet(const CRect& a, const CRect& b, int gap) {
    return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap &&
           b.top < a.bottom + gap;
}

// The segment clipped to r's slabs (Liang and Barsky) keeps a piece.
bool SegmentMeetsRect(Vec a, Vec b, const CRect& r) {
    if (std::max(a.x, b.x) <= r.left || std::min(a.x, b.x) >= r.right ||
        std::max(a.y, b.y) <= r.top || std::min(a.y, b.y) >= r.bottom) {
        return false;
    }
    double t0 = 0, t1 = 1;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double lo[2] = {r.left - a.x, r.top - a.y};
    const double hi[2] = {r.right - a.x, r.bottom - a.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (lo[axis] >= 0 || hi[axis] <= 0) {
                return false;
            }
            continue;
        }
        double ta = lo[axis] / d[axis], tb = hi[axis] / d[axis];
        if (ta > tb) {
            std::swap(ta, tb);
        }
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 >= t1) {
            return false;
        }
    }
    return true;
}

}  // namespace ebnf::layout
