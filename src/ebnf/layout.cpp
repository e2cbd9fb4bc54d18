#include "ebnf/layout.h"

#include <algorithm>
#include <climits>

#include "ebnf/layout_internal.h"
#include "framework/text.h"
#include "model/edge_geometry.h"
#include "model/graph_node.h"

namespace ebnf {

GraphLayout LayOut(const Automaton& automaton) {
    const layout::Placement placement = layout::PlaceNodes(automaton);
    GraphLayout out;
    out.centres = placement.centres;
    out.bends = layout::ChooseBends(automaton, out.centres, placement.back);

    // Everything drawn, moved to the canvas's top left corner.
    CRect bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    auto extend = [&bounds](const CRect& r) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    };
    const int r = CGraphNode::kRadius;
    for (const CPoint& c : out.centres) {
        extend(CRect{c.x - r, c.y - r, c.x + r, c.y + r});
    }
    for (std::size_t s = 0; s < automaton.states.size(); ++s) {
        const auto& edges = automaton.states[s].edges;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            const auto to = static_cast<std::size_t>(edges[i].to);
            const EdgeGeometry g =
                ComputeEdgeGeometry(EdgeEnds{out.centres[s], out.centres[to], to <= s},
                                    out.bends[s][i], kLayoutFontHeight, kLayoutFontWidth,
                                    DisplayLength(automaton.LabelOf(edges[i]).input));
            extend(g.bounds);
        }
    }
    const int dx = kCanvasMargin - bounds.left;
    const int dy = kCanvasMargin - bounds.top;
    for (CPoint& c : out.centres) {
        c.x += dx;
        c.y += dy;
    }
    out.fits = bounds.right + dx <= kCanvasSize - kCanvasMargin &&
               bounds.bottom + dy <= kCanvasSize - kCanvasMargin;
    return out;
}

}  // namespace ebnf
