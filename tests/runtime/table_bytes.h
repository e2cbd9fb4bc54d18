#pragma once

// Parse tables by hand, for what Lumo would never write, and tables of
// grammars built through the document, as Generate writes them.

#include <cstdint>
#include <string>
#include <vector>

#include "model/grammar.h"
#include "runtime/parse_table.h"
#include "support/grammar_builder.h"

namespace lumo_test {

struct PtEdge {
    bool graph = false;
    int32_t target = 0;
    std::string input, action;
};
struct PtNode {
    int32_t number = 1;  // negative: final
    std::vector<PtEdge> edges;
};
struct PtGraph {
    std::string name;
    std::vector<PtNode> nodes;
};

inline PtEdge Tok(const std::string& input, int32_t target, const std::string& action = "") {
    return PtEdge{false, target, input, action};
}
inline PtEdge Gr(const std::string& name, int32_t target, const std::string& action = "") {
    return PtEdge{true, target, name, action};
}

// The archive's string: one length byte below 255, else 0xFF and 16 bits.
inline std::string PtString(const std::string& text) {
    const size_t n = text.size();
    return (n < 0xFF
                ? std::string(1, static_cast<char>(n))
                : "\xFF" + std::string{static_cast<char>(n & 0xFF), static_cast<char>(n >> 8)}) +
           text;
}

inline std::string PtBytes(const std::vector<PtGraph>& graphs) {
    std::string out = I32(static_cast<int32_t>(graphs.size()));
    for (const PtGraph& g : graphs) {
        out += PtString(g.name) + I32(static_cast<int32_t>(g.nodes.size()));
        for (const PtNode& n : g.nodes) {
            out += I32(n.number) + I32(static_cast<int32_t>(n.edges.size()));
            for (const PtEdge& e : n.edges) {
                out += std::string(1, e.graph ? '\x01' : '\x00') + I32(e.target) +
                       PtString(e.input) + PtString(e.action);
            }
        }
    }
    return out;
}

// The binary table of a document, as Generate writes it (not validated).
inline std::string TableOf(CGrammer& doc) {
    doc.SetMode(1);
    std::string bytes = Store(doc);
    doc.SetMode(0);
    return bytes;
}

// The ids of space-separated words; a word the table lacks is kUnknownToken.
inline std::vector<lumo::TokenId> Ids(const lumo::ParseTable& table, const std::string& words) {
    std::vector<lumo::TokenId> ids;
    for (size_t pos = 0; (pos = words.find_first_not_of(' ', pos)) != std::string::npos;) {
        const size_t end = std::min(words.find(' ', pos), words.size());
        ids.push_back(table.FindToken(words.substr(pos, end - pos)));
        pos = end;
    }
    return ids;
}

// Token texts of ids, space-separated; "$" for the end of input.
inline std::string Texts(const lumo::ParseTable& table, const std::vector<lumo::TokenId>& ids) {
    std::string out;
    for (const lumo::TokenId id : ids) {
        out += (out.empty() ? "" : " ") +
               (id == lumo::kEndOfInput ? std::string("$") : table.TokenText(id));
    }
    return out;
}

}  // namespace lumo_test
