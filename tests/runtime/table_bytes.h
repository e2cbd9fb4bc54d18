#pragma once

// Parse tables by hand, for what Lumo would never write.

#include <sstream>
#include <string>
#include <vector>

#include "fuzz/lm_layout.h"
#include "model/grammar.h"
#include "runtime/parse_table.h"
#include "support/grammar_builder.h"

namespace lumo_test {

// A table written as text: "NAME:" starts a graph, a number a node (negative:
// final), "in>7" a Token edge to node 7, "<G>7" a Graph edge; "/@act" after
// an edge gives it an action. "MAIN: 1 a>2/@a -2" is MAIN: 1 -a @a-> 2 (final).
inline std::string PtBytes(const std::string& text) {
    lm_layout::Document doc;
    std::istringstream in(text);
    for (std::string w; in >> w;) {
        const size_t arrow = w.rfind('>'), slash = w.find('/', arrow);
        const bool graph = w[0] == '<';
        if (w.back() == ':') {
            doc.graphs.push_back({.name = w.substr(0, w.size() - 1), .nodes = {}});
        } else if (arrow == std::string::npos) {
            doc.graphs.back().nodes.push_back({.signedNumber = std::stoi(w), .edges = {}});
        } else {
            doc.graphs.back().nodes.back().edges.push_back(
                {.type = graph,
                 .target = std::stoi(w.substr(arrow + 1)),
                 .input = graph ? w.substr(1, arrow - 1) : w.substr(0, arrow),
                 .action = slash == std::string::npos ? "" : w.substr(slash + 1)});
        }
    }
    return lm_layout::Write(doc, 1);
}

// The ids of space-separated words; a word the table lacks is kUnknownToken.
inline std::vector<lumo::TokenId> Ids(const lumo::ParseTable& table, const std::string& words) {
    std::vector<lumo::TokenId> ids;
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        ids.push_back(table.FindToken(w));
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
