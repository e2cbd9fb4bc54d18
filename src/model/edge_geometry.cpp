#include "model/edge_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace {

constexpr double kLimit = kDrawLimit;

struct Vec {
    double x = 0;
    double y = 0;
};

int Trunc(double v) {
    return static_cast<int>(v);
}  // callers keep v within kLimit

bool InRange(double v) {
    return std::isfinite(v) && std::fabs(v) < kLimit;
}

// The frame every computation shares: the ordered ends, the side sign, the
// chord's midpoint and half length, and the unit normal.
struct Frame {
    CPoint a, b, t, s;
    bool targetIsA = false;
    int sign = 1;
    CPoint mid;
    double halfChord = 0;
    bool vertical = false;  // dy != 0: the normal follows the slope m
    double slope = 0;
    Vec normal;
};

Frame MakeFrame(const EdgeEnds& ends) {
    Frame f;
    f.t = ends.target;
    f.s = ends.source;
    f.targetIsA = ends.targetIsA;
    f.a = ends.targetIsA ? f.t : f.s;
    f.b = ends.targetIsA ? f.s : f.t;
    f.sign = f.a.y < f.b.y ? 1 : -1;
    f.mid = CPoint{static_cast<int32_t>((int64_t{f.a.x} + f.b.x) / 2),
                   static_cast<int32_t>((int64_t{f.a.y} + f.b.y) / 2)};
    const double dx = double(f.a.x) - f.b.x;
    const double dy = double(f.a.y) - f.b.y;
    f.halfChord = std::sqrt(dx * dx + dy * dy) * 0.5;
    if (dy != 0) {
        f.vertical = true;
        f.slope = -dx / dy;
        const double len = std::sqrt(f.slope * f.slope + 1);
        f.normal = Vec{1 / len, f.slope / len};
    } else {
        // The limit of the sloped case for an almost level chord, so an arc
        // does not change sides when a node moves by one unit.
        f.normal = Vec{0, f.a.x <= f.b.x ? 1.0 : -1.0};
    }
    return f;
}

// The point at signed distance d from the midpoint along the normal.
Vec AlongNormal(const Frame& f, double d) {
    if (f.vertical) {
        const double x = f.mid.x + d / std::sqrt(f.slope * f.slope + 1);
        return Vec{x, f.mid.y + f.slope * (x - f.mid.x)};
    }
    return Vec{double(f.mid.x), f.mid.y + d * f.normal.y};
}

struct Circle {
    Vec centre;
    double radius = 0;
    bool ok = false;
};

// The circle through A and B whose middle lies h from the midpoint, against
// the normal.
Circle CircleFor(const Frame& f, double h) {
    Circle c;
    const double e = (f.halfChord * f.halfChord - h * h) / (2 * h);
    c.radius = std::sqrt(f.halfChord * f.halfChord + e * e);
    c.centre = AlongNormal(f, e);
    c.ok = InRange(c.centre.x - c.radius) && InRange(c.centre.x + c.radius) &&
           InRange(c.centre.y - c.radius) && InRange(c.centre.y + c.radius);
    return c;
}

CRect BoxOf(const Circle& c) {
    return CRect{Trunc(c.centre.x - c.radius), Trunc(c.centre.y - c.radius),
                 Trunc(c.centre.x + c.radius), Trunc(c.centre.y + c.radius)};
}

CRect BoundsOf(std::initializer_list<CPoint> points) {
    CRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const CPoint& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

CRect Union(const CRect& a, const CRect& b) {
    return CRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}

CRect Inflate(const CRect& r, int by) {
    auto grow = [](int32_t v, int64_t d) {
        return static_cast<int32_t>(std::clamp<int64_t>(v + d, INT32_MIN, INT32_MAX));
    };
    return CRect{grow(r.left, -by), grow(r.top, -by), grow(r.right, by), grow(r.bottom, by)};
}

CRect LabelRect(Vec centre, int fontHeight, int fontMaxWidth, std::size_t labelChars) {
    const int64_t w = static_cast<int64_t>(labelChars) * fontMaxWidth / 2;
    const int64_t v = fontHeight / 2;
    const int64_t lx = Trunc(centre.x);
    const int64_t ly = Trunc(centre.y);
    auto clamp = [](int64_t value) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    };
    return CRect{clamp(lx - w), clamp(ly - v), clamp(lx + w), clamp(ly + v)};
}

void Straight(const Frame& f, EdgeGeometry& g) {
    g.arc = false;
    g.from = f.s;
    g.to = f.t;
    g.bounds = BoundsOf({f.s, f.t});
    if (f.halfChord == 0) {
        return;  // no direction to point the arrow in
    }
    // Two base points 15 units beside the source; the arrow lines run from
    // the target toward them, 20 / c of the way, about 40 units.
    Vec u[2];
    if (f.s.y == f.t.y) {
        u[0] = Vec{double(f.s.x), f.s.y + 15.0};
        u[1] = Vec{double(f.s.x), f.s.y - 15.0};
    } else {
        const double t = 15 / (std::fabs(f.slope) + 1);
        u[0] = Vec{f.s.x - t, f.s.y - f.slope * t};
        u[1] = Vec{f.s.x + t, f.s.y + f.slope * t};
    }
    const double scale = 20 / f.halfChord;
    for (int i = 0; i < 2; ++i) {
        g.arrowEnd[i] = CPoint{Trunc(f.t.x + (u[i].x - f.t.x) * scale),
                               Trunc(f.t.y + (u[i].y - f.t.y) * scale)};
        g.bounds = Union(g.bounds, BoundsOf({g.arrowEnd[i]}));
    }
    g.arrow = true;
}

}  // namespace

EdgeGeometry ComputeEdgeGeometry(const EdgeEnds& ends, float offset, int fontHeight,
                                 int fontMaxWidth, std::size_t labelChars) {
    const Frame f = MakeFrame(ends);
    EdgeGeometry g;
    const double k = std::isfinite(offset) ? f.sign * double(offset) : 0.0;
    const double h = 1.5 * k * fontHeight;
    Vec labelCentre{double(f.mid.x), double(f.mid.y)};

    const Circle circle = h != 0 ? CircleFor(f, h) : Circle{};
    const Vec middle = AlongNormal(f, -h);
    if (h == 0) {
        Straight(f, g);
    } else if (!circle.ok || !InRange(middle.x) || !InRange(middle.y)) {
        // An arc so flat or so wide that its circle leaves the coordinates:
        // two straight pieces through its middle look the same.
        Straight(f, g);
        if (InRange(middle.x) && InRange(middle.y)) {
            g.broken = true;
            g.middle = CPoint{Trunc(middle.x), Trunc(middle.y)};
            g.bounds = Union(g.bounds, BoundsOf({g.middle}));
            labelCentre = middle;
        }
    } else {
        g.arc = true;
        g.arcBox = BoxOf(circle);
        const bool forward = offset > 0;
        g.arcStart = forward ? f.a : f.b;
        g.arcEnd = forward ? f.b : f.a;
        labelCentre = middle;
        const CPoint p = CPoint{Trunc(middle.x), Trunc(middle.y)};
        // A minor arc stays within its chord and middle; a major one may
        // reach round its whole circle.
        if (std::fabs(h) <= f.halfChord) {
            const Vec off{p.x - double(f.mid.x), p.y - double(f.mid.y)};
            g.bounds = BoundsOf({f.a, f.b, p, CPoint{Trunc(f.a.x + off.x), Trunc(f.a.y + off.y)},
                                 CPoint{Trunc(f.b.x + off.x), Trunc(f.b.y + off.y)}});
        } else {
            g.bounds = g.arcBox;
        }
        g.bounds = Inflate(g.bounds, 1);

        if (f.a != f.b) {
            // The barbs: short pieces of a flatter and a rounder arc through
            // the same nodes, from the target to the ray through Q, the point
            // 40 units from the target toward the middle.
            const double d = std::sqrt(h * h + f.halfChord * f.halfChord);
            const CPoint q{Trunc(f.t.x - (f.t.x - double(p.x)) * 40 / d),
                           Trunc(f.t.y - (f.t.y - double(p.y)) * 40 / d)};
            g.barbs = true;
            for (int i = 0; i < 2; ++i) {
                const double kb = i == 0 ? k + 0.3 : k - 0.3;
                const Circle barb = CircleFor(f, 1.5 * kb * fontHeight);
                if (!barb.ok) {
                    g.barbs = false;
                    break;
                }
                g.barbBox[i] = BoxOf(barb);
                const bool towardT = f.targetIsA ? !forward : forward;
                g.barbStart[i] = towardT ? q : f.t;
                g.barbEnd[i] = towardT ? f.t : q;
            }
            g.bounds = Union(g.bounds, Inflate(BoundsOf({f.t}), 45));
        }
    }
    g.label = LabelRect(labelCentre, fontHeight, fontMaxWidth, labelChars);
    g.bounds = Union(g.bounds, g.label);
    return g;
}

float ComputeDropOffset(const EdgeEnds& ends, CPoint pt, int fontHeight) {
    const CPoint t = ends.target;
    const CPoint s = ends.source;
    const Vec m{double((int64_t{t.x} + s.x) / 2), double((int64_t{t.y} + s.y) / 2)};
    Vec foot;
    if (t.y == s.y) {
        foot = Vec{m.x, double(pt.y)};
    } else if (t.x == s.x) {
        foot = Vec{double(pt.x), m.y};
    } else {
        const double q = (double(t.y) - s.y) / (double(t.x) - s.x);
        foot.x = (m.x / q + q * pt.x + m.y - pt.y) / (q + 1 / q);
        foot.y = pt.y + q * (foot.x - pt.x);
    }
    const Vec fm{foot.x - m.x, foot.y - m.y};
    const double d = std::sqrt(fm.x * fm.x + fm.y * fm.y);
    if (!(d >= 5) || fontHeight <= 0) {
        return 0.0f;
    }
    const Frame f = MakeFrame(ends);
    const double along = fm.x * f.normal.x + fm.y * f.normal.y;
    const double offset = -f.sign * along / (1.5 * fontHeight);
    return std::isfinite(offset) ? static_cast<float>(offset) : 0.0f;
}
