// Bending the edges once the nodes stand: each edge in turn takes the bend,
// from a list of candidates, that costs least. An edge through a node or a
// label on a node costs most; a label on another label, a line through a
// label, two edges of one pair too close together cost less; a bend costs a
// little for its size. Edges are drawn as the editor draws them (an arc
// through both centres, its middle a bend's 1.5 text heights off the
// chord), so the costs are measured on that very arc.

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "ebnf/layout.h"
#include "ebnf/layout_internal.h"
#include "model/edge_geometry.h"
#include "model/graph_node.h"

namespace ebnf::layout {

namespace {

constexpr double kThroughNode = 1e6;
constexpr double kLabelOnLabel = 1e4;
constexpr double kTooClose = 1e4;
constexpr double kLineThroughLabel = 1e3;
constexpr double kPerBend = 10;
constexpr double kStraightBack = 25;  // a backward edge reads better bent
constexpr double kSampleStep = 8;

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
    const int steps = std::clamp(static_cast<int>(std::fabs(span) * r / kSampleStep), 8, 2000);
    for (int i = 0; i <= steps; ++i) {
        const double t = start + span * i / steps;
        shape.points.push_back(Vec{centre.x + r * std::cos(t), centre.y + r * std::sin(t)});
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

// Whether the segment from a to b passes through the inside of r: the
// segment clipped to r's slabs (Liang and Barsky) keeps a piece.
bool SegmentMeetsRect(Vec a, Vec b, const CRect& r) {
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

bool PathMeetsRect(const Shape& path, const CRect& r) {
    if (!RectsMeet(path.bounds, r, 0)) {
        return false;
    }
    for (std::size_t i = 1; i < path.points.size(); ++i) {
        if (SegmentMeetsRect(path.points[i - 1], path.points[i], r)) {
            return true;
        }
    }
    return false;
}

struct EdgeRef {
    int from = 0;
    std::size_t index = 0;
    int to = 0;
};

class Bender {
public:
    Bender(const Automaton& a, const std::vector<CPoint>& centres,
           const std::vector<std::vector<char>>& back)
        : m_a(a), m_centres(centres), m_back(back) {
        for (const CPoint& c : centres) {
            m_middle.x += c.x / double(centres.size());
            m_middle.y += c.y / double(centres.size());
        }
    }

    std::vector<std::vector<float>> Run() {
        std::vector<std::vector<float>> bends(m_a.states.size());
        for (std::size_t s = 0; s < m_a.states.size(); ++s) {
            bends[s].assign(m_a.states[s].edges.size(), 0.0f);
        }
        for (const EdgeRef& e : Order()) {
            bends[static_cast<std::size_t>(e.from)][e.index] = static_cast<float>(Place(e));
        }
        OrderFans(bends);
        return bends;
    }

private:
    CPoint Centre(int s) const { return m_centres[static_cast<std::size_t>(s)]; }
    bool IsBack(const EdgeRef& e) const {
        return m_back[static_cast<std::size_t>(e.from)][e.index] != 0;
    }
    const Label& LabelOf(const EdgeRef& e) const {
        return m_a.LabelOf(m_a.states[static_cast<std::size_t>(e.from)].edges[e.index]);
    }

    // Forward edges first, short ones before long ones, then backward edges
    // likewise, loops last: the edges that have the least choice go first.
    std::vector<EdgeRef> Order() const {
        std::vector<std::pair<std::pair<int, double>, EdgeRef>> keyed;
        for (std::size_t s = 0; s < m_a.states.size(); ++s) {
            const auto& edges = m_a.states[s].edges;
            for (std::size_t i = 0; i < edges.size(); ++i) {
                const EdgeRef e{static_cast<int>(s), i, edges[i].to};
                const CPoint a = Centre(e.from), b = Centre(e.to);
                const double length = std::hypot(double(a.x) - b.x, double(a.y) - b.y);
                const int kind = e.from == e.to ? 2 : IsBack(e) ? 1 : 0;
                keyed.push_back({{kind, length}, e});
            }
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        std::vector<EdgeRef> order;
        for (const auto& k : keyed) {
            order.push_back(k.second);
        }
        return order;
    }

    static std::vector<double> Candidates(bool loop) {
        std::vector<double> out;
        if (loop) {
            for (double k = kFirstLoop; k <= 8; k += kBendStep) {
                out.push_back(-k);
                out.push_back(k);
            }
            return out;
        }
        out.push_back(0);
        for (double k :
             {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 5.0, 6.0, 7.0, 8.0, 10.0, 12.0, 16.0, 20.0}) {
            out.push_back(k);
            out.push_back(-k);
        }
        return out;
    }

    double Place(const EdgeRef& e) {
        const std::size_t chars = LabelOf(e).input.size();
        const CPoint from = Centre(e.from), to = Centre(e.to);
        const bool targetIsA = e.to <= e.from;
        const bool loop = e.from == e.to;
        const auto key = std::minmax(e.from, e.to);
        double best = 0, bestCost = INFINITY;
        Shape bestShape;
        for (double k : Candidates(loop)) {
            // Candidates grow in size: once a bend alone costs more than the
            // best found, none after it can do better.
            if (std::fabs(k) * kPerBend >= bestCost) {
                break;
            }
            Shape shape = ShapeOf(from, to, targetIsA, k, chars);
            double cost = std::fabs(k) * kPerBend;
            cost += Cost(shape, e, bestCost - cost);
            for (double other : m_pairBends[key]) {
                if (std::fabs(other - k) < kBendStep - 1e-9) {
                    cost += kTooClose;
                }
            }
            if (!loop && k == 0 && IsBack(e)) {
                cost += kStraightBack;
            }
            if (k != 0 && !Outward(from, to, shape)) {
                cost += 2;
            }
            if (cost < bestCost) {
                best = k;
                bestCost = cost;
                bestShape = std::move(shape);
            }
        }
        m_pairBends[key].push_back(best);
        m_labels.push_back(bestShape.label);
        m_paths.push_back(std::move(bestShape));
        return best;
    }

    // Whether a bent edge bulges away from the middle of the graph, where
    // the other edges run: its label on the other side of its chord, or
    // for a loop, of its node. Where the middle lies on the chord, loops go
    // above and other edges below.
    bool Outward(CPoint from, CPoint to, const Shape& shape) const {
        const Vec l{shape.labelCentre.x - from.x, shape.labelCentre.y - from.y};
        const Vec m{m_middle.x - from.x, m_middle.y - from.y};
        double label = 0, middle = 0;
        if (from == to) {
            label = l.x * m.x + l.y * m.y;
            middle = label == 0 || (m.x == 0 && m.y == 0) ? 0 : -1;
            return middle == 0 ? l.y < 0 : label < 0;
        }
        const Vec c{double(to.x) - from.x, double(to.y) - from.y};
        label = c.x * l.y - c.y * l.x;
        middle = c.x * m.y - c.y * m.x;
        if (std::fabs(middle) < 1e-6 * (c.x * c.x + c.y * c.y)) {
            return l.y > 0;
        }
        return (label > 0) != (middle > 0);
    }

    // Parallel edges from one node to another, bent apart, read in the
    // order of their labels from top to bottom, where their labels still
    // keep off the nodes.
    void OrderFans(std::vector<std::vector<float>>& bends) const {
        std::map<std::pair<int, int>, std::vector<std::size_t>> fans;
        for (std::size_t s = 0; s < m_a.states.size(); ++s) {
            const auto& edges = m_a.states[s].edges;
            for (std::size_t i = 0; i < edges.size(); ++i) {
                if (edges[i].to != static_cast<int>(s)) {
                    fans[{static_cast<int>(s), edges[i].to}].push_back(i);
                }
            }
        }
        for (const auto& [ends, edges] : fans) {
            const auto [from, to] = ends;
            auto& row = bends[static_cast<std::size_t>(from)];
            std::vector<std::pair<double, float>> byHeight;
            for (const std::size_t i : edges) {
                const Shape shape = ShapeOf(Centre(from), Centre(to), to <= from, row[i], 1);
                byHeight.emplace_back(shape.labelCentre.y, row[i]);
            }
            std::sort(byHeight.begin(), byHeight.end());
            bool clear = true;
            for (std::size_t j = 0; j < edges.size() && clear; ++j) {
                const EdgeRef e{from, edges[j], to};
                const Shape shape = ShapeOf(Centre(from), Centre(to), to <= from,
                                            byHeight[j].second, LabelOf(e).input.size());
                clear = NodeCost(shape, e) == 0;
            }
            for (std::size_t j = 0; j < edges.size() && clear; ++j) {
                row[edges[j]] = byHeight[j].second;
            }
        }
    }

    // What an edge's line and label cost against the nodes.
    double NodeCost(const Shape& shape, const EdgeRef& e) const {
        double cost = 0;
        const double reach = CGraphNode::kRadius + kNodeClearance;
        for (std::size_t s = 0; s < m_centres.size(); ++s) {
            const CPoint c = m_centres[s];
            if (RectMeetsCircle(shape.label, c, reach)) {
                cost += kThroughNode;
            }
            if (static_cast<int>(s) == e.from || static_cast<int>(s) == e.to) {
                continue;
            }
            if (!RectMeetsCircle(shape.bounds, c, reach)) {
                continue;
            }
            const Vec p{double(c.x), double(c.y)};
            for (std::size_t i = 1; i < shape.points.size(); ++i) {
                if (SegmentDistance(p, shape.points[i - 1], shape.points[i]) < reach) {
                    cost += kThroughNode;
                    break;
                }
            }
        }
        return cost;
    }

    // What an edge costs against the nodes and the edges placed before it;
    // once past budget, the rest is not counted.
    double Cost(const Shape& shape, const EdgeRef& e, double budget) const {
        double cost = NodeCost(shape, e);
        for (std::size_t i = 0; i < m_labels.size() && cost <= budget; ++i) {
            if (RectsMeet(shape.label, m_labels[i], 2)) {
                cost += kLabelOnLabel;
            }
            if (PathMeetsRect(shape, m_labels[i])) {
                cost += kLineThroughLabel;
            }
            if (PathMeetsRect(m_paths[i], shape.label)) {
                cost += kLineThroughLabel;
            }
        }
        return cost;
    }

    const Automaton& m_a;
    const std::vector<CPoint>& m_centres;
    const std::vector<std::vector<char>>& m_back;
    Vec m_middle;
    std::map<std::pair<int, int>, std::vector<double>> m_pairBends;
    std::vector<CRect> m_labels;
    std::vector<Shape> m_paths;
};

}  // namespace

std::vector<std::vector<float>> ChooseBends(const Automaton& automaton,
                                            const std::vector<CPoint>& centres,
                                            const std::vector<std::vector<char>>& back) {
    return Bender(automaton, centres, back).Run();
}

}  // namespace ebnf::layout
