#pragma once

// The generated parsers the differential test compiles: lumo-codegen-batch
// writes each grammar's parser into its own namespace, several to a source
// file, with a function that runs it on token ids and reports what it did
// in the form the runtime's results are put in here too.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace lumo_test {

// One parse, in terms both parsers share: every field of the error, its
// descriptions (plain, and naming the token "zz"), and every action.
struct Outcome {
    bool accepted = true, endExpected = false;
    int kind = 0, graph = 0, node = 0;
    std::size_t position = 0;
    std::uint32_t token = 0;
    std::vector<std::uint32_t> expected;
    std::string description, namedDescription;
    std::vector<std::string> actions;

    bool operator==(const Outcome&) const = default;
};

struct Outcomes {
    Outcome reporting, quiet;  // with an action callback and without
};

struct BatchGrammar {
    std::string_view name, table;  // an example's file name or "random N"; its binary table
    Outcomes (*run)(std::span<const std::uint32_t> ids, std::size_t maxDepth,
                    std::size_t machineDepth);
};
const std::vector<BatchGrammar>& BatchGrammars();

template <class Action>
std::string Describe(const Action& a) {
    return std::string(a.text) + " at " + std::to_string(a.position) + " token " +
           std::to_string(static_cast<std::uint32_t>(a.token)) + " graph " +
           std::to_string(a.graph);
}

// Records an error's fields; describe(error, name) gives its descriptions.
template <class Error, class Describe>
void Record(Outcome& out, const std::optional<Error>& error, Describe describe) {
    out.accepted = !error.has_value();
    if (!error) {
        return;
    }
    out.kind = static_cast<int>(error->kind);
    std::tie(out.position, out.graph, out.node, out.endExpected) =
        std::tuple(error->position, error->graph, error->node, error->endExpected);
    out.token = static_cast<std::uint32_t>(error->token);
    for (const auto id : error->expected) {
        out.expected.push_back(static_cast<std::uint32_t>(id));
    }
    out.description = describe(*error, nullptr);
    out.namedDescription = describe(*error, "zz");
}

// Runs a generated parser, checking each action's id against its text;
// DescribeError and ActionText are the parser's own, found by argument-
// dependent lookup. One parser for both runs, so the second also parses
// with a stack the first has used.
template <class Parser, class Token, class Action>
Outcomes RunGenerated(std::span<const std::uint32_t> ids, std::size_t maxDepth,
                      std::size_t machineDepth) {
    std::vector<Token> tokens(ids.size());
    for (std::size_t k = 0; k < ids.size(); ++k) {
        tokens[k] = static_cast<Token>(ids[k]);
    }
    Parser parser(maxDepth, machineDepth);
    Outcomes out;
    const auto describe = [](const auto& error, const char* name) {
        return name != nullptr ? DescribeError(error, name) : DescribeError(error);
    };
    Record(
        out.reporting,
        parser.Parse(tokens,
                     [&out](const Action& a) {
                         out.reporting.actions.push_back(Describe(a));
                         if (ActionText(a.id) != a.text) {
                             out.reporting.actions.push_back("an action whose id is not its text");
                         }
                     }),
        describe);
    Record(out.quiet, parser.Parse(tokens), describe);
    return out;
}

}  // namespace lumo_test
