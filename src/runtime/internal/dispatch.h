#pragma once

// A dispatch cell: what the parser does in a state for one lookahead token.
// Internal to the runtime: not installed.

#include <cstdint>

namespace lumo::internal {

// The kind sits in the low three bits of a cell's code and an operand above
// them; aux holds what the kind needs besides, so that a step reads nothing
// but its cell.
enum CellKind : std::uint32_t {
    kConsume = 0,        // take a Token edge: operand target state; aux the edge
    kConsumeAction = 1,  // the same, for an edge with an action
    kEnter = 2,          // enter a graph: operand its start state; aux the return entry
    kPass = 3,           // pass an optional graph's Graph edge: operand the edge
    kReturn = 4,         // a final node: leave the graph
    kReject = 5,         // no way on
    // Only when no action is wanted: enter a graph and take the Token edge
    // of its node 1 at once; operand the edge's target state, aux the return
    // entry.
    kEnterConsume = 6,
};

struct Cell {
    static constexpr std::uint32_t kKindBits = 3;
    static constexpr std::uint32_t kKindMask = (1u << kKindBits) - 1;
    static constexpr std::uint32_t kMaxOperand = 0xFFFFFFFFu >> kKindBits;

    std::uint32_t code = 0;
    std::uint32_t aux = 0;

    // The one encoding of a cell, and its two halves back.
    static constexpr Cell Make(CellKind kind, std::uint32_t operand, std::uint32_t aux) {
        return Cell{(operand << kKindBits) | kind, aux};
    }
    constexpr std::uint32_t Kind() const { return code & kKindMask; }
    constexpr std::uint32_t Operand() const { return code >> kKindBits; }
};

}  // namespace lumo::internal
