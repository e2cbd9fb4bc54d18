#pragma once

// Where the nodes of an imported graph go and how its edges bend, as a
// person would draw a railroad diagram: left to right from node 1 at the
// left, nodes in columns by their distance from node 1 and spread
// vertically, the final node without outputs at the right, parallel edges
// fanned out and edges that would cross a node bent around it.

#include <vector>

#include "ebnf/automaton.h"
#include "framework/geometry.h"

namespace ebnf {

// The font the layout measures labels with: that of the SVG drawings.
inline constexpr int kLayoutFontHeight = 16;
inline constexpr int kLayoutFontWidth = 8;
// Everything lies inside the canvas, this far from its top and left.
inline constexpr int kCanvasSize = 10000;
inline constexpr int kCanvasMargin = 40;

struct GraphLayout {
    // The centre of each state's node: state s is node s + 1.
    std::vector<CPoint> centres;
    // The bend of each edge, state by state in the automaton's edge order.
    std::vector<std::vector<float>> bends;
    // False when the graph could not be fitted into the canvas.
    bool fits = true;
};

GraphLayout LayOut(const Automaton& automaton);

}  // namespace ebnf
