#pragma once

// The differential test's parsers, which lumo-codegen-batch registers with
// RunGenerated: it writes down what they do as the test does for the runtime.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumo_test {

struct BatchGrammar {
    std::string_view name, table;  // an example's file name or "random N"; its binary table
    std::string (*run)(std::span<const std::uint32_t> ids, std::size_t maxDepth,
                       std::size_t machineDepth);
};
std::vector<BatchGrammar>& BatchGrammars();
std::string_view BatchTable(std::size_t index);  // constant-initialised: safe while registering
struct Register {
    explicit Register(const BatchGrammar& grammar) { BatchGrammars().push_back(grammar); }
};

template <class Action>
std::string ActionLine(const Action& a) {
    return std::string(a.text) + " at " + std::to_string(a.position) + " token " +
           std::to_string(static_cast<std::uint32_t>(a.token)) + " graph " +
           std::to_string(a.graph) + "\n";
}

// The actions, every field of the error, and its descriptions (plain, and
// naming the token "zz").
template <class Error, class Describe>
std::string Record(std::string out, const std::optional<Error>& e, Describe describe) {
    if (!e)
        return out + "accepted";
    out += "kind " + std::to_string(static_cast<int>(e->kind)) + " at " +
           std::to_string(e->position) + " token " +
           std::to_string(static_cast<std::uint32_t>(e->token)) + " in " +
           std::to_string(e->graph) + "#" + std::to_string(e->node) + " expects" +
           (e->endExpected ? " $" : "");
    for (const auto id : e->expected)
        out += " " + std::to_string(static_cast<std::uint32_t>(id));
    return out + "\n" + describe(*e, nullptr) + "\n" + describe(*e, "zz");
}

// With an action callback and without, on one parser, so that the second run
// reuses the stack of the first; each action's id must give its text.
template <class Parser, class Token, class Action>
std::string RunGenerated(std::span<const std::uint32_t> ids, std::size_t maxDepth,
                         std::size_t machineDepth) {
    std::vector<Token> tokens;
    for (const std::uint32_t id : ids)
        tokens.push_back(static_cast<Token>(id));
    Parser parser(maxDepth, machineDepth);
    const auto describe = [](const auto& error, const char* name) {
        return name != nullptr ? DescribeError(error, name) : DescribeError(error);
    };
    std::string actions;
    const auto error = parser.Parse(tokens, [&actions](const Action& a) {
        actions += ActionLine(a) + (ActionText(a.id) != a.text ? "its id is not its text\n" : "");
    });
    return Record(actions, error, describe) +
           "\nwithout actions: " + Record("", parser.Parse(tokens), describe);
}

}  // namespace lumo_test
