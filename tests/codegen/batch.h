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
#include <vector>

namespace lumo_test {

// One parse, in terms both parsers share.
struct Outcome {
    bool accepted = true;
    int kind = 0;
    std::size_t position = 0;
    std::uint32_t token = 0;
    int graph = 0;
    int node = 0;
    std::vector<std::uint32_t> expected;
    bool endExpected = false;
    std::string description;       // DescribeError(error)
    std::string namedDescription;  // DescribeError(error, "zz")
    std::vector<std::string> actions;

    bool operator==(const Outcome&) const = default;
};

// With an action callback and without: the two paths through each parser.
struct Outcomes {
    Outcome reporting;
    Outcome quiet;
};

using RunParser = Outcomes (*)(std::span<const std::uint32_t> ids, std::size_t maxDepth,
                               std::size_t machineDepth);

struct BatchGrammar {
    std::string_view name;   // an example's file name, or "random N"
    std::string_view table;  // its binary parse table
    RunParser run;
};

const std::vector<BatchGrammar>& BatchGrammars();

// An action in the shared form.
template <class Action>
std::string Describe(const Action& a) {
    return std::string(a.text) + " at " + std::to_string(a.position) + " token " +
           std::to_string(static_cast<std::uint32_t>(a.token)) + " graph " +
           std::to_string(a.graph);
}

// An error's fields in the shared form; the descriptions are the caller's.
template <class Error>
void Record(Outcome& out, const std::optional<Error>& error) {
    out.accepted = !error.has_value();
    if (!error) {
        return;
    }
    out.kind = static_cast<int>(error->kind);
    out.position = error->position;
    out.token = static_cast<std::uint32_t>(error->token);
    out.graph = error->graph;
    out.node = error->node;
    for (std::size_t k = 0; k < error->expected.size(); ++k) {
        out.expected.push_back(static_cast<std::uint32_t>(error->expected[k]));
    }
    out.endExpected = error->endExpected;
}

// Records a generated parser's actions, checking each id against its text;
// ActionText is the parser's own, found by argument-dependent lookup.
template <class Action>
struct Recorder {
    std::vector<std::string>* actions;
    void operator()(const Action& a) const {
        actions->push_back(Describe(a));
        if (ActionText(a.id) != a.text) {
            actions->push_back("an action whose id is not its text");
        }
    }
};

// Runs a generated parser; one parser for both runs, so the second also
// parses with a stack the first has used.
template <class Parser, class Token, class Action>
Outcomes RunGenerated(std::span<const std::uint32_t> ids, std::size_t maxDepth,
                      std::size_t machineDepth) {
    std::vector<Token> tokens(ids.size());
    for (std::size_t k = 0; k < ids.size(); ++k) {
        tokens[k] = static_cast<Token>(ids[k]);
    }
    Parser parser(maxDepth, machineDepth);
    Outcomes out;
    const auto error = parser.Parse(tokens, Recorder<Action>{&out.reporting.actions});
    Record(out.reporting, error);
    if (error) {
        out.reporting.description = DescribeError(*error);
        out.reporting.namedDescription = DescribeError(*error, "zz");
    }
    const auto quiet = parser.Parse(tokens);
    Record(out.quiet, quiet);
    if (quiet) {
        out.quiet.description = DescribeError(*quiet);
        out.quiet.namedDescription = DescribeError(*quiet, "zz");
    }
    return out;
}

}  // namespace lumo_test
