#pragma once

// From EBNF text to a grammar document: each rule becomes one graph, the
// minimal deterministic automaton of its expression, laid out for reading.

#include <string>
#include <string_view>
#include <vector>

#include "ebnf/automaton.h"
#include "ebnf/syntax.h"

class CGrammer;

namespace ebnf {

// No rule's graph may have more nodes or edges: it would be past reading,
// or past laying out in good time. The subset construction, which can take
// exponential time, stops at kMaxNodes * 20 states.
inline constexpr std::size_t kMaxNodes = 200;
inline constexpr std::size_t kMaxEdges = 600;

struct CompiledRule {
    std::string name;      // as the graph is named: the start rule is "MAIN"
    std::string ruleName;  // as the text names it
    Position pos;
    Automaton automaton;
};

// The rules of text as minimal automata, the start rule first and the
// others in the order of the text. The start rule is the one named MAIN,
// or else the first rule, which is then named MAIN. A name that a rule
// defines is a Graph input; other names and all strings are Token inputs.
// Throws SyntaxError.
std::vector<CompiledRule> CompileGrammar(std::string_view text);

// Replaces the contents of doc by the graphs of text, laid out. On a
// SyntaxError doc is left as it was. The document is not marked modified
// and keeps its path.
void ImportEbnf(std::string_view text, CGrammer& doc);

}  // namespace ebnf
