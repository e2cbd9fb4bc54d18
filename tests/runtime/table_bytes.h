#pragma once

// Parse tables by hand, for what Lumo would never write, and tables of
// grammars built through the document, as Generate writes them.

#include <string>
#include <vector>

#include "fuzz/lm_layout.h"
#include "model/grammar.h"
#include "runtime/parse_table.h"
#include "support/grammar_builder.h"

namespace lumo_test {

struct PtNode {
    int32_t number = 1;  // negative: final
    std::vector<lm_layout::Edge> edges;
};
struct PtGraph {
    std::string name;
    std::vector<PtNode> nodes;
};

inline lm_layout::Edge Tok(const std::string& input, int32_t target,
                           const std::string& action = "") {
    return {.type = 0, .target = target, .input = input, .action = action};
}
inline lm_layout::Edge Gr(const std::string& name, int32_t target, const std::string& action = "") {
    return {.type = 1, .target = target, .input = name, .action = action};
}

inline std::string PtBytes(const std::vector<PtGraph>& graphs) {
    lm_layout::Document doc;
    for (const PtGraph& g : graphs) {
        doc.graphs.push_back({.name = g.name});
        for (const PtNode& n : g.nodes) {
            doc.graphs.back().nodes.push_back({.signedNumber = n.number, .edges = n.edges});
        }
    }
    return lm_layout::Write(doc, 1);
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
