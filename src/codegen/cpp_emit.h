#pragma once

// What the writers of the generated header, source and walk share: the
// names chosen for the grammar's tokens, actions, graphs and nodes.

#include <string>
#include <vector>

#include "codegen/cpp_names.h"
#include "codegen/cpp_parser.h"
#include "codegen/parser_model.h"

namespace codegen {

struct CppNames {
    std::vector<std::string> tokens;   // enumerators of Token
    std::vector<std::string> actions;  // enumerators of ActionId
    std::vector<std::string> nodes;    // node ids, and the walk's labels
    std::vector<std::string> graphs;   // the prefix of each graph's labels
};

CppNames ChooseNames(const ParserModel& model);

std::string WriteHeader(const ParserModel& model, const CppNames& names, const CppOptions& options);
std::string WriteSource(const ParserModel& model, const CppNames& names, const CppOptions& options);
// The body of Parser::Walk: a label per node, grouped by graph, nesting on
// the parser's stack.
std::string WriteWalk(const ParserModel& model, const CppNames& names);
// The descent: a function per graph, nesting on the machine stack.
std::string WriteDescent(const ParserModel& model, const CppNames& names);

// What a node does with the lookahead: take a token by a Token edge (edges
// with one target and one action share a case), enter the graph of its
// Graph edge on a token of that graph's first set, or else leave its graph,
// pass an optional graph or fail.
struct NodeCases {
    struct Take {
        std::vector<std::uint32_t> tokens;
        std::uint32_t edge;
    };
    std::vector<Take> takes;
    std::vector<std::uint32_t> enters;  // the first set of the Graph edge's graph
    enum class Otherwise { Return, Pass, Fail } otherwise = Otherwise::Fail;
};
NodeCases CasesOf(const ParserModel& model, std::uint32_t node);

// Code in labelled blocks. Only what can be reached from the first block
// written is kept, and only the labels some jump names, so the code
// compiles without a warning whatever the grammar.
class Blocks {
public:
    std::size_t Add(std::string label, std::string comment);
    // Lines go into this block from now on.
    void Select(std::size_t block) { m_current = block; }
    void Line(int indent, const std::string& text);
    void Jump(int indent, std::size_t block);
    // A jump that no "goto" line makes, as from a switch on node ids.
    void Refer(std::size_t block) { m_blocks[m_current].jumps.push_back(block); }
    const std::string& Label(std::size_t block) const { return m_blocks[block].label; }
    bool Empty(std::size_t block) const { return m_blocks[block].code.empty(); }
    // The blocks reached from start, start first and without a label unless
    // some jump names it.
    std::string Write(std::size_t start) const;

private:
    struct Block {
        std::string label;
        std::string comment;
        std::string code;
        std::vector<std::size_t> jumps;
    };
    std::vector<Block> m_blocks;
    std::size_t m_current = 0;
};

// Fills a template: each "@KEY@" becomes its value.
std::string Fill(const std::string& text,
                 const std::vector<std::pair<std::string, std::string>>& values);

// A comment's spelling of a text: a string literal, so that no byte of it
// can end the comment or join the next line to it.
inline std::string Shown(const std::string& text) {
    return CppString(text);
}

}  // namespace codegen
