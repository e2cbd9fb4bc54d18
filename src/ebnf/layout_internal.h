#pragma once

// The two halves of the layout: placing the nodes, then bending the edges.

#include <vector>

#include "ebnf/automaton.h"
#include "framework/geometry.h"

namespace ebnf::layout {

// Node centres before they are moved onto the canvas, and which edges run
// backwards (against the columns, or loops).
struct Placement {
    std::vector<int> column;
    std::vector<CPoint> centres;
    std::vector<std::vector<char>> back;  // per state, per edge
};

Placement PlaceNodes(const Automaton& automaton);

// A bend for every edge, so that no edge runs through a node, no label
// lies on a node, and parallel edges and loops keep apart.
std::vector<std::vector<float>> ChooseBends(const Automaton& automaton,
                                            const std::vector<CPoint>& centres,
                                            const std::vector<std::vector<char>>& back);

// Room kept around a node's circle free of lines and labels.
inline constexpr int kNodeClearance = 6;
// How far apart the labels of two parallel edges, or two loops, sit: one
// unit of bend.
inline constexpr double kBendStep = 1.0;
// The smallest loop, in units of bend: a circle of twice a label's height.
inline constexpr double kFirstLoop = 2.0;

}  // namespace ebnf::layout
