#pragma once

// From a grammar document back to EBNF: each graph's language as one rule.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "ebnf/automaton.h"

class CGraph;
class CGrammer;

namespace ebnf {

// A graph that EBNF cannot express, or a name or text it cannot spell.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Drawn graphs may be nondeterministic; making them deterministic can take
// exponentially many states, so it stops here.
inline constexpr std::size_t kMaxExportStates = 20000;
// A rule longer than this is past reading; an automaton's expression can
// grow exponentially, so its elimination stops here.
inline constexpr std::size_t kMaxExportSymbols = 10000;

// The minimal automaton of a graph's language: node 1 the start, final
// nodes accepting. Nothing when it would need more than maxStates states.
std::optional<Automaton> GraphAutomaton(const CGraph& graph,
                                        std::size_t maxStates = kMaxExportStates);

// The expression of an automaton's language, written with symbol() for
// each label; "()" for the empty sequence. The language must not be empty.
// Throws ExportError when the expression would write more than
// kMaxExportSymbols symbols.
std::string ExpressionOf(const Automaton& automaton,
                         const std::function<std::string(const Label&)>& symbol);

// The document's graphs as EBNF, one rule per graph in document order,
// each ending with a newline; reading it back gives graphs with the same
// languages. Throws ExportError, naming the graph, for a graph that
// accepts nothing, a graph name that is not an EBNF name, an input or
// action that cannot be written, a Graph edge naming no graph, or a graph
// whose expression would be too long (kMaxExportSymbols).
std::string ExportEbnf(const CGrammer& doc);

}  // namespace ebnf
