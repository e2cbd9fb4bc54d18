// The body of the generated Parser::Walk. Each node is a label with a
// switch on the lookahead; each graph that can be left has a block that
// pops a return entry and jumps where it says. Only code the walk can reach
// from node 1 of MAIN is written, and only labels some jump names, so the
// code compiles without a warning.

#include <map>
#include <unordered_map>

#include "codegen/cpp_emit.h"

namespace codegen {

namespace {

struct Block {
    std::string label;
    std::string comment;
    std::string code;
    std::vector<std::size_t> jumps;  // blocks it jumps to
};

class WalkWriter {
public:
    WalkWriter(const ParserModel& model, const CppNames& names);
    std::string Write();

private:
    // What the walk does at a node on some of its tokens: enter graphs by
    // the Graph edges in pushes (none for a Token edge of the node), then
    // take the token by the Token edge consume.
    struct Case {
        std::vector<std::uint32_t> tokens;
        std::vector<std::uint32_t> pushes;
        std::uint32_t consume = kNone;
    };

    std::vector<Case> Cases(std::uint32_t node) const;
    void WriteNode(std::uint32_t node);
    void WriteReturn(std::uint32_t graph);
    void WriteFail();

    // Code lines, into the block being written.
    void Line(int indent, const std::string& text);
    void Jump(int indent, std::size_t block);
    void Report(int indent, std::uint32_t action, const std::string& token,
                const std::string& graph);
    void Push(int indent, const std::vector<std::uint32_t>& pushes);
    void Consume(int indent, std::uint32_t edge);
    std::string Where(std::uint32_t node) const {
        return CppString(m_model.graphs[m_model.nodes[node].graph].name) + " #" +
               std::to_string(m_model.nodes[node].number);
    }

    const ParserModel& m_model;
    const CppNames& m_names;
    std::vector<Block> m_blocks;
    std::vector<std::size_t> m_nodeBlock;    // node -> its block
    std::vector<std::size_t> m_returnBlock;  // graph -> its return block
    std::size_t m_failBlock = 0;
    // Per graph, node 1's Token edges by token.
    std::vector<std::unordered_map<std::uint32_t, std::uint32_t>> m_startTokens;
    Block* m_current = nullptr;
};

WalkWriter::WalkWriter(const ParserModel& model, const CppNames& names)
    : m_model(model), m_names(names), m_startTokens(model.graphs.size()) {
    for (std::uint32_t g = 0; g < model.graphs.size(); ++g) {
        const ParserModel::Graph& graph = model.graphs[g];
        for (std::uint32_t n = graph.firstNode; n < graph.firstNode + graph.nodeCount; ++n) {
            m_nodeBlock.push_back(m_blocks.size());
            m_blocks.push_back(
                {names.nodes[n], Where(n) + (model.nodes[n].final ? ", final" : ""), "", {}});
        }
        m_returnBlock.push_back(m_blocks.size());
        m_blocks.push_back(
            {names.graphs[g] + "_return", "leaves " + CppString(graph.name), "", {}});
        const ParserModel::Node& first = model.nodes[graph.firstNode];
        for (std::uint32_t e = first.edgeBegin; e < first.edgeEnd; ++e) {
            if (!model.edges[e].IsGraph()) {
                m_startTokens[g].emplace(model.edges[e].token, e);
            }
        }
    }
    m_failBlock = m_blocks.size();
    m_blocks.push_back({"fail", "no way on with the lookahead", "", {}});
}

void WalkWriter::Line(int indent, const std::string& text) {
    m_current->code.append(static_cast<std::size_t>(indent), ' ');
    m_current->code += text;
    m_current->code += '\n';
}

void WalkWriter::Jump(int indent, std::size_t block) {
    m_current->jumps.push_back(block);
    Line(indent, "goto " + m_blocks[block].label + ";");
}

void WalkWriter::Report(int indent, std::uint32_t action, const std::string& token,
                        const std::string& graph) {
    if (action == kNone) {
        return;
    }
    Line(indent, "if constexpr (kReport) {");
    Line(indent + 4, "Report(sink, context, ActionId::" + m_names.actions[action] +
                         ", p - begin, " + token + ", " + graph + ");");
    Line(indent, "}");
}

void WalkWriter::Push(int indent, const std::vector<std::uint32_t>& pushes) {
    if (pushes.empty()) {
        return;
    }
    const std::string count = std::to_string(pushes.size());
    // The graph that could not be entered when only room entries fit.
    std::string tooDeep;
    for (std::size_t k = 0; k < pushes.size(); ++k) {
        const std::string graph = std::to_string(m_model.edges[pushes[k]].graph);
        tooDeep +=
            k + 1 == pushes.size() ? graph : "room == " + std::to_string(k) + " ? " + graph + " : ";
    }
    if (pushes.size() == 1) {
        Line(indent, "if (depth == capacity) [[unlikely]] {");
        Line(indent + 4, "if (Reserve(depth, 1) == 0) {");
    } else {
        Line(indent, "if (capacity - depth < " + count + ") [[unlikely]] {");
        Line(indent + 4,
             "if (const std::size_t room = Reserve(depth, " + count + "); room < " + count + ") {");
    }
    Line(indent + 8, "return TooDeep(" + tooDeep + ", p - begin, t);");
    Line(indent + 4, "}");
    Line(indent + 4, "stack = m_stack.data();");
    Line(indent + 4, "capacity = m_stack.size();");
    Line(indent, "}");
    for (std::size_t k = 0; k < pushes.size(); ++k) {
        const ParserModel::Edge& edge = m_model.edges[pushes[k]];
        const std::string slot = pushes.size() == 1 ? "depth++"
                                 : k == 0           ? "depth"
                                                    : "depth + " + std::to_string(k);
        Line(indent, "stack[" + slot + "] = " + std::to_string(edge.continuation) +
                         ";  // back to " + Where(edge.target));
    }
    if (pushes.size() > 1) {
        Line(indent, "depth += " + count + ";");
    }
}

void WalkWriter::Consume(int indent, std::uint32_t edge) {
    const ParserModel::Edge& e = m_model.edges[edge];
    Report(indent, e.action, "t", "-1");
    Line(indent, "t = ++p != end ? *p : kEndOfInput;");
    Line(indent, "mark = " + m_names.nodes[e.target] + ";");
    Line(indent, "markDepth = depth;");
    Jump(indent, m_nodeBlock[e.target]);
}

std::vector<WalkWriter::Case> WalkWriter::Cases(std::uint32_t node) const {
    const ParserModel::Node& n = m_model.nodes[node];
    std::vector<Case> cases;
    // Tokens that do the same share one body.
    std::map<std::tuple<std::vector<std::uint32_t>, std::uint32_t, std::uint32_t>, std::size_t>
        same;
    auto add = [&](std::uint32_t token, std::vector<std::uint32_t> pushes, std::uint32_t edge) {
        const auto key =
            std::make_tuple(pushes, m_model.edges[edge].target, m_model.edges[edge].action);
        const auto [it, added] = same.emplace(key, cases.size());
        if (added) {
            cases.push_back({{}, std::move(pushes), edge});
        }
        cases[it->second].tokens.push_back(token);
    };
    for (std::uint32_t e = n.edgeBegin; e < n.edgeEnd; ++e) {
        const ParserModel::Edge& edge = m_model.edges[e];
        if (!edge.IsGraph()) {
            add(edge.token, {}, e);
            continue;
        }
        // Entering a graph on a token of its first set leads, through the
        // graphs its node 1 enters, to the node-1 Token edge that takes it.
        for (const std::uint32_t t : m_model.graphs[edge.graph].first) {
            std::vector<std::uint32_t> pushes{e};
            std::uint32_t g = edge.graph;
            for (;;) {
                const auto taken = m_startTokens[g].find(t);
                if (taken != m_startTokens[g].end()) {
                    add(t, std::move(pushes), taken->second);
                    break;
                }
                const std::uint32_t inner = m_model.nodes[m_model.graphs[g].firstNode].graphEdge;
                pushes.push_back(inner);
                g = m_model.edges[inner].graph;
            }
        }
    }
    return cases;
}

void WalkWriter::WriteNode(std::uint32_t node) {
    m_current = &m_blocks[m_nodeBlock[node]];
    const ParserModel::Node& n = m_model.nodes[node];
    std::vector<Case> cases = Cases(node);
    const int indent = cases.empty() ? 4 : 12;
    if (!cases.empty()) {
        Line(4, "switch (t) {");
    }
    for (const Case& c : cases) {
        for (const std::uint32_t token : c.tokens) {
            Line(8, "case Token::" + m_names.tokens[token] + ":  // " +
                        CppString(m_model.tokens[token]));
        }
        if (!c.pushes.empty()) {
            std::string entered;
            for (const std::uint32_t e : c.pushes) {
                entered += (entered.empty() ? "" : ", ") +
                           CppString(m_model.graphs[m_model.edges[e].graph].name);
            }
            Line(12, "// enters " + entered);
        }
        Push(12, c.pushes);
        Consume(12, c.consume);
    }
    if (!cases.empty()) {
        Line(8, "default:");
    }
    const std::uint32_t pass = m_model.PassTarget(node);
    if (n.final) {
        Jump(indent, m_returnBlock[n.graph]);
    } else if (pass != kNone) {
        const ParserModel::Edge& edge = m_model.edges[n.graphEdge];
        Line(indent,
             "// passes " + CppString(m_model.graphs[edge.graph].name) + " without a token");
        Report(indent, edge.action, "kUnknownToken", std::to_string(edge.graph));
        Jump(indent, m_nodeBlock[pass]);
    } else {
        Jump(indent, m_failBlock);
    }
    if (!cases.empty()) {
        Line(4, "}");
    }
}

void WalkWriter::WriteReturn(std::uint32_t graph) {
    m_current = &m_blocks[m_returnBlock[graph]];
    const std::vector<std::uint32_t>& callers = m_model.graphs[graph].callers;
    if (graph == 0) {
        // MAIN left with nothing entered: the end, if the input ends here.
        const int indent = callers.empty() ? 4 : 8;
        if (!callers.empty()) {
            Line(4, "if (depth == 0) {");
        }
        Line(indent, "if (p == end) {");
        Line(indent + 4, "return std::nullopt;");
        Line(indent, "}");
        Jump(indent, m_failBlock);
        if (!callers.empty()) {
            Line(4, "}");
        }
    }
    if (callers.empty()) {
        return;
    }
    // Callers that lead to one node without an action share a body.
    std::vector<std::vector<std::uint32_t>> groups;
    std::map<std::uint32_t, std::size_t> plain;
    for (const std::uint32_t c : callers) {
        const ParserModel::Edge& edge = m_model.edges[m_model.continuations[c]];
        if (edge.action != kNone) {
            groups.push_back({c});
            continue;
        }
        const auto [it, added] = plain.emplace(edge.target, groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[it->second].push_back(c);
    }
    const bool single = groups.size() == 1;
    const int indent = single ? 4 : 12;
    if (single) {
        Line(4, "--depth;");
    } else {
        Line(4, "switch (stack[--depth]) {");
    }
    for (std::size_t k = 0; k < groups.size(); ++k) {
        for (const std::uint32_t c : groups[k]) {
            const std::uint32_t e = m_model.continuations[c];
            const std::uint32_t from = m_model.edges[e].target;
            const std::string what = "back to " + Where(from);
            if (single) {
                Line(4, "// " + what);
            } else if (k + 1 == groups.size() && c == groups[k].back()) {
                // The last as the default: every entry is one of these.
                Line(8, "default:  // " + std::to_string(c) + ", " + what);
            } else {
                Line(8, "case " + std::to_string(c) + ":  // " + what);
            }
        }
        const ParserModel::Edge& edge = m_model.edges[m_model.continuations[groups[k][0]]];
        Report(indent, edge.action, "kUnknownToken", std::to_string(graph));
        Jump(indent, m_nodeBlock[edge.target]);
    }
    if (!single) {
        Line(4, "}");
    }
}

void WalkWriter::WriteFail() {
    m_current = &m_blocks[m_failBlock];
    Line(4, "return SyntaxError(mark, markDepth, p - begin, t);");
}

std::string WalkWriter::Write() {
    for (std::uint32_t node = 0; node < m_model.nodes.size(); ++node) {
        WriteNode(node);
    }
    for (std::uint32_t graph = 0; graph < m_model.graphs.size(); ++graph) {
        WriteReturn(graph);
    }
    WriteFail();

    // What the walk reaches from node 1 of MAIN, where it starts.
    const std::size_t start = m_nodeBlock[m_model.graphs[0].firstNode];
    std::vector<bool> reached(m_blocks.size(), false);
    std::vector<bool> named(m_blocks.size(), false);
    std::vector<std::size_t> work{start};
    reached[start] = true;
    while (!work.empty()) {
        const std::size_t b = work.back();
        work.pop_back();
        for (const std::size_t to : m_blocks[b].jumps) {
            named[to] = true;
            if (!reached[to]) {
                reached[to] = true;
                work.push_back(to);
            }
        }
    }
    // The start comes first, so the walk begins there without a jump.
    std::string out;
    for (std::size_t b = start; b < m_blocks.size(); ++b) {
        if (!reached[b]) {
            continue;
        }
        if (b != start) {
            out += '\n';
        }
        const Block& block = m_blocks[b];
        out += (named[b] ? block.label + ":  // " : "    // ") + block.comment + "\n";
        out += block.code;
    }
    return out;
}

}  // namespace

std::string WriteWalk(const ParserModel& model, const CppNames& names) {
    return WalkWriter(model, names).Write();
}

}  // namespace codegen
