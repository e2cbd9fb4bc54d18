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

#include "ebnf/edge_shape.h"
#include "ebnf/layout.h"
#include "ebnf/layout_internal.h"
#include "ebnf/spatial_grid.h"
#include "framework/text.h"
#include "model/graph_node.h"

namespace ebnf::layout {

namespace {

constexpr double kLabelOnNode = 1e8;
constexpr double kThroughNode = 1e6;
constexpr double kLabelOnLabel = 1e4;
// Two edges between the same nodes drawn on top of each other are as bad as
// an edge through a node: one of them could not be seen.
constexpr double kTooClose = kThroughNode;
constexpr double kLineThroughLabel = 1e3;
constexpr double kPerBend = 10;
constexpr double kStraightBack = 25;  // a backward edge reads better bent
constexpr double kLoopApart = 1.5;    // bends between edges in opposite directions
// Past this bend an edge only goes on looking to get off a node: a label on
// a line or on another label is better than a wide detour.
constexpr double kSoftReach = 6;
// Bends up to this are tried in fine steps, wider ones in coarse steps.
constexpr double kMaxBend = 16;

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
        for (std::size_t s = 0; s < centres.size(); ++s) {
            m_nodes.Insert(centres[s].x, centres[s].y, centres[s].x, centres[s].y,
                           static_cast<int>(s));
        }
        MakeCandidates();
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

    // Bends by growing size, both ways, fine steps first. Loops start at
    // kFirstLoop.
    void MakeCandidates() {
        auto both = [](std::vector<double>& out, double k) {
            out.push_back(k);
            out.push_back(-k);
        };
        m_edgeCandidates.push_back(0);
        for (double k = 0.25; k <= kMaxBend; k += k < 4 ? 0.25 : k < 12 ? 0.5 : 1) {
            both(m_edgeCandidates, k);
        }
        for (double k = kFirstLoop; k <= kMaxBend; k += kBendStep) {
            both(m_loopCandidates, -k);
        }
        m_bounds = CRect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (const CPoint& c : m_centres) {
            m_bounds = CRect{std::min(m_bounds.left, c.x), std::min(m_bounds.top, c.y),
                             std::max(m_bounds.right, c.x), std::max(m_bounds.bottom, c.y)};
        }
        // Wider arcs, in growing steps, for an edge that finds no way past
        // the nodes otherwise.
        const double reach =
            std::max(m_bounds.right - m_bounds.left, m_bounds.bottom - m_bounds.top) /
            (1.5 * kLayoutFontHeight);
        for (double k = kMaxBend * 1.25; k < reach + kMaxBend; k *= 1.25) {
            both(m_wideCandidates, k);
        }
    }

    // The bend that puts an edge's label beyond every node, two text
    // heights clear: a last resort that keeps labels off nodes always.
    double FarBend(CPoint from, CPoint to) const {
        const double mx = (from.x + to.x) / 2.0, my = (from.y + to.y) / 2.0;
        double far = 0;
        for (const double x : {double(m_bounds.left), double(m_bounds.right)}) {
            for (const double y : {double(m_bounds.top), double(m_bounds.bottom)}) {
                far = std::max(far, std::hypot(x - mx, y - my));
            }
        }
        return (far + CGraphNode::kRadius + 3.0 * kLayoutFontHeight) / (1.5 * kLayoutFontHeight);
    }

    double Place(const EdgeRef& e) {
        const std::size_t chars = DisplayLength(LabelOf(e).input);
        const CPoint from = Centre(e.from), to = Centre(e.to);
        const bool targetIsA = e.to <= e.from;
        const bool loop = e.from == e.to;
        const auto key = std::minmax(e.from, e.to);
        double best = 0, bestCost = INFINITY;
        Shape bestShape;
        std::vector<double> candidates = loop ? m_loopCandidates : m_edgeCandidates;
        candidates.insert(candidates.end(), m_wideCandidates.begin(), m_wideCandidates.end());
        const double far = FarBend(from, to);
        candidates.insert(candidates.end(), {far, -far});
        for (double k : candidates) {
            // Candidates grow in size: once a bend alone costs more than the
            // best found, none after it can do better; past kSoftReach only
            // an edge through a node looks on.
            if (std::fabs(k) * kPerBend >= bestCost ||
                (bestCost < kThroughNode && std::fabs(k) > kSoftReach)) {
                break;
            }
            Shape shape = ShapeOf(from, to, targetIsA, k, chars);
            double cost = std::fabs(k) * kPerBend + Cost(shape, e);
            for (const auto& [other, otherFrom] : m_pairBends[key]) {
                // An edge back along another reads as a loop when it keeps
                // further off.
                const double apart = otherFrom == e.from ? kBendStep : kLoopApart;
                if (std::fabs(other - k) < apart - 1e-9) {
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
        m_pairBends[key].emplace_back(best, e.from);
        Keep(bestShape);
        return best;
    }

    // Whether a bent edge bulges away from the middle of the graph, where
    // the other edges run: its label on the other side of its chord, or
    // for a loop, of its node. Where the middle lies on the chord, loops go
    // above and other edges below.
    bool Outward(CPoint from, CPoint to, const Shape& shape) const {
        const Vec label{shape.labelCentre.x - from.x, shape.labelCentre.y - from.y};
        const Vec middle{m_middle.x - from.x, m_middle.y - from.y};
        if (from == to) {
            if (middle.x == 0 && middle.y == 0) {
                return label.y < 0;
            }
            return label.x * middle.x + label.y * middle.y < 0;
        }
        const Vec chord{double(to.x) - from.x, double(to.y) - from.y};
        const double labelSide = chord.x * label.y - chord.y * label.x;
        const double middleSide = chord.x * middle.y - chord.y * middle.x;
        if (std::fabs(middleSide) < 1e-6 * (chord.x * chord.x + chord.y * chord.y)) {
            return label.y > 0;
        }
        return (labelSide > 0) != (middleSide > 0);
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
                                            byHeight[j].second, DisplayLength(LabelOf(e).input));
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
        const CRect& l = shape.label;
        m_nodes.NewQuery();
        m_nodes.Near(l.left - reach, l.top - reach, l.right + reach, l.bottom + reach, [&](int s) {
            if (RectMeetsCircle(l, Centre(s), reach)) {
                cost += kLabelOnNode;
            }
        });
        m_nodes.NewQuery();
        for (std::size_t i = 1; i < shape.points.size(); ++i) {
            const Vec a = shape.points[i - 1], b = shape.points[i];
            m_nodes.Near(std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach,
                         std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach, [&](int s) {
                             const CPoint c = Centre(s);
                             if (s != e.from && s != e.to &&
                                 SegmentDistance(Vec{double(c.x), double(c.y)}, a, b) < reach) {
                                 cost += kThroughNode;
                             } else {
                                 m_nodes.Forget(s);
                             }
                         });
        }
        return cost;
    }

    // What an edge costs against the nodes and the edges placed before it.
    double Cost(const Shape& shape, const EdgeRef& e) const {
        double cost = NodeCost(shape, e);
        const CRect& l = shape.label;
        m_labelGrid.NewQuery();
        m_labelGrid.Near(l.left - 2, l.top - 2, l.right + 2, l.bottom + 2, [&](int i) {
            if (RectsMeet(l, m_labels[static_cast<std::size_t>(i)], 2)) {
                cost += kLabelOnLabel;
            }
        });
        // Labels this edge's line runs through, each counted once.
        m_labelGrid.NewQuery();
        for (std::size_t k = 1; k < shape.points.size(); ++k) {
            const Vec a = shape.points[k - 1], b = shape.points[k];
            m_labelGrid.Near(
                std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y),
                [&](int i) {
                    if (SegmentMeetsRect(a, b, m_labels[static_cast<std::size_t>(i)])) {
                        cost += kLineThroughLabel;
                    } else {
                        m_labelGrid.Forget(i);
                    }
                });
        }
        // Lines of earlier edges through this edge's label, each counted once.
        ++m_query;
        m_segmentGrid.NewQuery();
        m_segmentGrid.Near(l.left, l.top, l.right, l.bottom, [&](int k) {
            const Segment& seg = m_segments[static_cast<std::size_t>(k)];
            if (m_counted[seg.path] != m_query && SegmentMeetsRect(seg.a, seg.b, l)) {
                m_counted[seg.path] = m_query;
                cost += kLineThroughLabel;
            }
        });
        return cost;
    }

    // Keeps the edge just placed in the way of those to come.
    void Keep(const Shape& shape) {
        const int id = static_cast<int>(m_labels.size());
        m_labels.push_back(shape.label);
        m_counted.push_back(0);
        m_labelGrid.Insert(shape.label, id);
        for (std::size_t k = 1; k < shape.points.size(); ++k) {
            const Vec a = shape.points[k - 1], b = shape.points[k];
            m_segmentGrid.Insert(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                                 std::max(a.y, b.y), static_cast<int>(m_segments.size()));
            m_segments.push_back(Segment{a, b, static_cast<std::size_t>(id)});
        }
    }

    struct Segment {
        Vec a, b;
        std::size_t path;
    };

    const Automaton& m_a;
    const std::vector<CPoint>& m_centres;
    const std::vector<std::vector<char>>& m_back;
    Vec m_middle;
    std::vector<double> m_edgeCandidates, m_loopCandidates, m_wideCandidates;
    CRect m_bounds;  // of the node centres
    // The bends taken between two nodes, with the source of each.
    std::map<std::pair<int, int>, std::vector<std::pair<double, int>>> m_pairBends;
    std::vector<CRect> m_labels;
    std::vector<Segment> m_segments;
    // Which edges the current query has counted, by query number.
    mutable std::vector<uint32_t> m_counted;
    mutable uint32_t m_query = 0;
    // Lookups change only the grids' bookkeeping of what a query has seen.
    mutable SpatialGrid m_nodes, m_labelGrid, m_segmentGrid;
};

}  // namespace

std::vector<std::vector<float>> ChooseBends(const Automaton& automaton,
                                            const std::vector<CPoint>& centres,
                                            const std::vector<std::vector<char>>& back) {
    return Bender(automaton, centres, back).Run();
}

}  // namespace ebnf::layout
