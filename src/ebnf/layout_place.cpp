// Placing the nodes of a graph in columns, layered as Sugiyama's method
// does: edges that close a cycle are set aside as running backwards, the
// rest form layers by their longest path from node 1, and each column is
// ordered and spread around the mean height of its neighbours, sweeping
// left and right a few times. Edges that would then run through a node are
// bent around it afterwards.

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "ebnf/layout.h"
#include "ebnf/layout_internal.h"
#include "framework/text.h"
#include "model/graph_node.h"

namespace ebnf::layout {

namespace {

constexpr double kNodeGap = 70;     // between two nodes' circles in a column
constexpr int kMinColumnGap = 120;  // between two columns' centres
constexpr int kLabelSpace = 16;     // beside a label, before a node's circle
constexpr int kSweeps = 4;
// The widest band of columns, with room on the canvas for bends and labels
// on either side; and the space between two bands.
constexpr int kBandWidth = kCanvasSize - 2 * kCanvasMargin - 600;
constexpr double kBandGap = 160;
constexpr double kBendHeight = 1.5 * kLayoutFontHeight;  // one unit of bend, sideways

struct Vertex {
    int column = 0;
    double y = 0;
    double top = 0;  // room needed above and below y
    double bottom = 0;
    std::vector<int> preds, succs;
};

// Which edges run backwards: those that reach a node still being explored
// by a depth-first search from node 1, loops included. The others form a
// graph without cycles. Also returns the nodes in reverse post-order, an
// order in which every forward edge points ahead.
std::vector<std::vector<char>> BackEdges(const Automaton& a, std::vector<int>& topological) {
    const std::size_t n = a.states.size();
    std::vector<std::vector<char>> back(n);
    for (std::size_t s = 0; s < n; ++s) {
        back[s].assign(a.states[s].edges.size(), 0);
    }
    std::vector<char> state(n, 0);  // 0 new, 1 open, 2 done
    std::vector<std::pair<int, std::size_t>> stack{{0, 0}};
    state[0] = 1;
    while (!stack.empty()) {
        auto& [s, next] = stack.back();
        const auto& edges = a.states[static_cast<std::size_t>(s)].edges;
        if (next == edges.size()) {
            state[static_cast<std::size_t>(s)] = 2;
            topological.push_back(s);
            stack.pop_back();
            continue;
        }
        const std::size_t i = next++;
        const auto to = static_cast<std::size_t>(edges[i].to);
        if (state[to] == 1) {
            back[static_cast<std::size_t>(s)][i] = 1;
        } else if (state[to] == 0) {
            state[to] = 1;
            stack.emplace_back(static_cast<int>(to), 0);
        }
    }
    std::reverse(topological.begin(), topological.end());
    return back;
}

std::vector<int> Columns(const Automaton& a, const std::vector<std::vector<char>>& back,
                         const std::vector<int>& topological) {
    std::vector<int> column(a.states.size(), 0);
    for (int s : topological) {
        const auto& edges = a.states[static_cast<std::size_t>(s)].edges;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            if (back[static_cast<std::size_t>(s)][i] == 0) {
                int& c = column[static_cast<std::size_t>(edges[i].to)];
                c = std::max(c, column[static_cast<std::size_t>(s)] + 1);
            }
        }
    }
    // The final node without outputs ends every path: it goes to the right.
    const int last = *std::max_element(column.begin(), column.end());
    for (std::size_t s = 1; s < a.states.size(); ++s) {
        if (a.states[s].final && a.states[s].edges.empty()) {
            column[s] = last;
        }
    }
    return column;
}

// Least-squares positions for items kept in order with at least gaps[i]
// between item i and i + 1: pool adjacent violators on the positions less
// their gaps.
std::vector<double> Pack(const std::vector<double>& desired, const std::vector<double>& gaps) {
    const std::size_t n = desired.size();
    std::vector<double> offset(n, 0);
    for (std::size_t i = 1; i < n; ++i) {
        offset[i] = offset[i - 1] + gaps[i - 1];
    }
    struct Block {
        double sum;
        double count;
        std::size_t end;
    };
    std::vector<Block> blocks;
    for (std::size_t i = 0; i < n; ++i) {
        blocks.push_back({desired[i] - offset[i], 1, i + 1});
        while (blocks.size() > 1 &&
               blocks[blocks.size() - 2].sum / blocks[blocks.size() - 2].count >
                   blocks.back().sum / blocks.back().count) {
            const Block b = blocks.back();
            blocks.pop_back();
            blocks.back().sum += b.sum;
            blocks.back().count += b.count;
            blocks.back().end = b.end;
        }
    }
    std::vector<double> y(n);
    std::size_t i = 0;
    for (const Block& b : blocks) {
        for (; i < b.end; ++i) {
            y[i] = b.sum / b.count + offset[i];
        }
    }
    return y;
}

class Placer {
public:
    explicit Placer(const Automaton& a) : m_a(a) {}

    Placement Run() {
        Placement p;
        std::vector<int> topological;
        p.back = BackEdges(m_a, topological);
        p.column = Columns(m_a, p.back, topological);
        BuildVertices(p);
        Sweep(true);
        for (int i = 0; i < kSweeps; ++i) {
            Sweep(false);
            Sweep(true);
        }
        std::vector<int> x = ColumnPositions(p);
        const std::vector<int> band = Fold(x);
        double low = 0, high = 0;
        for (const Vertex& v : m_v) {
            low = std::min(low, v.y - v.top);
            high = std::max(high, v.y + v.bottom);
        }
        for (std::size_t s = 0; s < m_a.states.size(); ++s) {
            const auto c = static_cast<std::size_t>(p.column[s]);
            const double y = m_v[s].y + band[c] * (high - low + kBandGap);
            p.centres.push_back(CPoint{x[c], static_cast<int32_t>(std::lround(y))});
        }
        return p;
    }

private:
    void BuildVertices(const Placement& p) {
        const std::size_t n = m_a.states.size();
        m_v.resize(n);
        std::vector<int> loops(n, 0);
        std::set<std::pair<int, int>> pairs;  // nodes with edges between them
        for (std::size_t s = 0; s < n; ++s) {
            m_v[s].column = p.column[s];
            for (const Automaton::Edge& e : m_a.states[s].edges) {
                if (e.to == static_cast<int>(s)) {
                    ++loops[s];
                } else {
                    pairs.insert(std::minmax(static_cast<int>(s), e.to));
                }
            }
        }
        for (std::size_t s = 0; s < n; ++s) {
            // Loops alternate above and below, each a size larger.
            const int above = (loops[s] + 1) / 2;
            const int below = loops[s] / 2;
            const double r = CGraphNode::kRadius;
            m_v[s].top = above > 0 ? (kFirstLoop + above - 1) * kBendHeight + kLayoutFontHeight : r;
            m_v[s].bottom =
                below > 0 ? (kFirstLoop + below - 1) * kBendHeight + kLayoutFontHeight : r;
        }
        // Neighbours by forward edges, which run from a lower column to a
        // higher one.
        for (const auto& pair : pairs) {
            auto [from, to] = pair;
            if (p.column[static_cast<std::size_t>(from)] > p.column[static_cast<std::size_t>(to)]) {
                std::swap(from, to);
            }
            if (HasForwardEdge(p, from, to)) {
                Link(from, to);
            }
        }
        const int columns = *std::max_element(p.column.begin(), p.column.end()) + 1;
        m_columns.assign(static_cast<std::size_t>(columns), {});
        for (std::size_t v = 0; v < m_v.size(); ++v) {
            m_columns[static_cast<std::size_t>(m_v[v].column)].push_back(static_cast<int>(v));
        }
    }

    bool HasForwardEdge(const Placement& p, int u, int v) const {
        for (int s : {u, v}) {
            const auto& edges = m_a.states[static_cast<std::size_t>(s)].edges;
            for (std::size_t i = 0; i < edges.size(); ++i) {
                if (edges[i].to == u + v - s && p.back[static_cast<std::size_t>(s)][i] == 0) {
                    return true;
                }
            }
        }
        return false;
    }

    void Link(int from, int to) {
        auto& succs = m_v[static_cast<std::size_t>(from)].succs;
        if (std::find(succs.begin(), succs.end(), to) == succs.end()) {
            succs.push_back(to);
            m_v[static_cast<std::size_t>(to)].preds.push_back(from);
        }
    }

    double Mean(const std::vector<int>& of, double otherwise) const {
        if (of.empty()) {
            return otherwise;
        }
        double sum = 0;
        for (int v : of) {
            sum += m_v[static_cast<std::size_t>(v)].y;
        }
        return sum / static_cast<double>(of.size());
    }

    // One sweep over the columns: each node wants the mean height of its
    // neighbours on the side already swept, the column is ordered by that
    // (ties keep the order it has, at first the numbering) and then spread
    // as little as its gaps allow.
    void Sweep(bool rightwards) {
        const int count = static_cast<int>(m_columns.size());
        for (int i = 1; i < count; ++i) {
            auto& col = m_columns[static_cast<std::size_t>(rightwards ? i : count - 1 - i)];
            std::vector<double> want(m_v.size());
            for (int v : col) {
                const Vertex& vx = m_v[static_cast<std::size_t>(v)];
                want[static_cast<std::size_t>(v)] = Mean(rightwards ? vx.preds : vx.succs, vx.y);
            }
            std::vector<int> rank(m_v.size(), 0);
            for (std::size_t k = 0; k < col.size(); ++k) {
                rank[static_cast<std::size_t>(col[k])] = static_cast<int>(k);
            }
            std::stable_sort(col.begin(), col.end(), [&](int a, int b) {
                const double wa = want[static_cast<std::size_t>(a)];
                const double wb = want[static_cast<std::size_t>(b)];
                if (std::fabs(wa - wb) > 0.5) {
                    return wa < wb;
                }
                return rank[static_cast<std::size_t>(a)] < rank[static_cast<std::size_t>(b)];
            });
            std::vector<double> desired, gaps;
            for (std::size_t k = 0; k < col.size(); ++k) {
                const Vertex& vx = m_v[static_cast<std::size_t>(col[k])];
                desired.push_back(want[static_cast<std::size_t>(col[k])]);
                if (k > 0) {
                    const Vertex& above = m_v[static_cast<std::size_t>(col[k - 1])];
                    gaps.push_back(above.bottom + vx.top + kNodeGap);
                }
            }
            const std::vector<double> y = Pack(desired, gaps);
            for (std::size_t k = 0; k < col.size(); ++k) {
                m_v[static_cast<std::size_t>(col[k])].y = y[k];
            }
        }
    }

    // Each column far enough from the last for the labels of the edges
    // between them to sit clear of both columns' nodes.
    // A fan of parallel edges gets room to spread flat: its chord three
    // times as long as its outermost edge bulges.
    std::vector<int> ColumnPositions(const Placement& p) const {
        std::vector<int> gap(m_columns.size(), kMinColumnGap);
        std::map<std::pair<int, int>, int> fans;
        for (std::size_t s = 0; s < m_a.states.size(); ++s) {
            for (const Automaton::Edge& e : m_a.states[s].edges) {
                const int a = std::min(p.column[s], p.column[static_cast<std::size_t>(e.to)]);
                const int b = std::max(p.column[s], p.column[static_cast<std::size_t>(e.to)]);
                if (b != a + 1) {
                    continue;
                }
                const int width =
                    static_cast<int>(DisplayLength(m_a.LabelOf(e).input)) * kLayoutFontWidth;
                const int fan = ++fans[std::minmax(static_cast<int>(s), e.to)];
                const int bulge = static_cast<int>(kBendHeight) * (fan / 2);
                int& g = gap[static_cast<std::size_t>(b)];
                g = std::max({g, width + 2 * (CGraphNode::kRadius + kLabelSpace), 3 * bulge});
            }
        }
        std::vector<int> x(m_columns.size(), 0);
        for (std::size_t c = 1; c < x.size(); ++c) {
            x[c] = x[c - 1] + gap[c];
        }
        return x;
    }

    // A graph wider than the canvas is folded into bands, one below the
    // other like lines of text: each column's band, its x made relative to
    // the band's first column.
    static std::vector<int> Fold(std::vector<int>& x) {
        std::vector<int> band(x.size(), 0);
        int start = 0;
        for (std::size_t c = 1; c < x.size(); ++c) {
            band[c] = band[c - 1];
            if (x[c] - start > kBandWidth) {
                ++band[c];
                start = x[c];
            }
            x[c] -= start;
        }
        return band;
    }

    const Automaton& m_a;
    std::vector<Vertex> m_v;
    std::vector<std::vector<int>> m_columns;
};

}  // namespace

Placement PlaceNodes(const Automaton& automaton) {
    return Placer(automaton).Run();
}

}  // namespace ebnf::layout
