#pragma once

// A second, deliberately separate reading of the document format, written
// from the format's description rather than from the loader. The fuzz target
// uses it as an oracle (the loader must accept exactly what this accepts and
// save exactly what this writes); the mutator uses it to edit documents as
// structures, so that mutations keep counts consistent and get past the
// loader's checks.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lm_layout {

struct Edge {
    uint8_t type = 0;  // 0 token, anything else a graph
    int32_t target = 0;
    std::string input;
    std::string action;
    uint32_t offsetBits = 0;  // the float's bits, so NaNs compare exactly
    int32_t bottom = 0, left = 0, top = 0, right = 0;
};

struct Node {
    int32_t signedNumber = 1;  // negative for a final node
    int32_t x = 0, y = 0;
    int32_t refCount = 0;
    std::vector<Edge> edges;
};

struct Graph {
    std::string name;
    int32_t lastNumber = 1;
    std::vector<Node> nodes;
};

struct Document {
    std::vector<Graph> graphs;
};

// The byte layout only: counts, string prefixes and fixed-size fields. Empty
// when the bytes end early, a count is negative or bytes are left over.
std::optional<Document> ReadLayout(const uint8_t* data, std::size_t size);

// Whether the layout also obeys the rules of the model: at least one graph,
// each with nodes; node 1 first; node numbers positive, distinct and not above
// the graph's last number; edges ending on nodes of their own graph; each
// node's stored reference count equal to the edge ends at it.
bool FollowsModel(const Document& doc);

// Mode 0 is the document file, mode 1 the binary parse table. However a
// string's length was stored, it is written with the prefix its length calls
// for (16 bits below 0xFFFE, 32 bits from there), and any non-zero edge type
// as 1: a loaded document saves in this normal form.
std::string Write(const Document& doc, int mode);

}  // namespace lm_layout
