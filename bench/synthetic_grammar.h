#pragma once

// Grammars for the benchmarks, built through the document's editing
// operations exactly as the editor builds them, so the documents hold what a
// user could have drawn (reference counts, bends) and pass validation.

#include <string>

class CGrammer;

namespace lumo_bench {

// The large document: graphs x nodes, three output edges on every node.
// The string lengths are what takes it to about 50 MB; the counts alone
// would give a few megabytes.
struct LargeGrammarShape {
    int graphs = 400;
    int nodesPerGraph = 300;
    int inputLength = 32;
    int actionLength = 73;
};

// Fills a new document (as constructed, "MAIN" only) with the large grammar.
// Node 1 of each graph enters the next graph, so first-token sets merge along
// a chain of all graphs; every seventh node also enters some graph. All token
// inputs are distinct, which keeps the grammar valid. Throws
// std::runtime_error when the editing operations do not give the expected
// shape.
void BuildLargeGrammar(CGrammer& doc, const LargeGrammarShape& shape = {});

// A file name that changes whenever the shape or the way the grammar is built
// changes, so a cached copy is never mistaken for a different grammar.
std::string LargeGrammarFileName(const LargeGrammarShape& shape = {});

// MAIN: 1 -start-> 2, node 2 with nTokens token outputs to node 3 (final).
void BuildWideNode(CGrammer& doc, int nTokens);

// Graph T: node 1 with nTokens token outputs to node 2 (final). MAIN:
// 1 -start-> 2, node 2 enters T and has three tokens of its own to node 3
// (final). With bMainEntersT, node 1 of MAIN enters T instead of taking
// "start", so MAIN's own first-token set takes in all of T's.
void BuildLargeFirstSet(CGrammer& doc, int nTokens, bool bMainEntersT);

}  // namespace lumo_bench
