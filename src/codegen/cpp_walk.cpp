// The body of the generated Parser::Walk, the walk that keeps the graphs it
// enters on the parser's own stack. Each node is a label with a switch on
// the lookahead; each graph that can be left has a block that pops a
// return entry and jumps where it says. It starts at node 1 of MAIN, or
// where the descent hands over to it.

#include "codegen/cpp_emit.h"

namespace codegen {

namespace {

class WalkWriter {
public:
    WalkWriter(const ParserModel& model, const CppNames& names);
    std::string Write();

private:
    void WriteStart();
    void WriteNode(std::uint32_t node);
    void WriteReturn(std::uint32_t graph);
    void Report(int indent, std::uint32_t action, const std::string& token,
                const std::string& graph);
    std::string Where(std::uint32_t node) const {
        return CppString(m_model.graphs[m_model.nodes[node].graph].name) + " #" +
               std::to_string(m_model.nodes[node].number);
    }

    const ParserModel& m_model;
    const CppNames& m_names;
    Blocks m_blocks;
    std::size_t m_start = 0;
    std::vector<std::size_t> m_nodeBlock;    // node -> its block
    std::vector<std::size_t> m_returnBlock;  // graph -> its return block
    std::size_t m_failBlock = 0;
};

WalkWriter::WalkWriter(const ParserModel& model, const CppNames& names)
    : m_model(model), m_names(names) {
    m_start = m_blocks.Add("start", "where the walk starts");
    for (std::uint32_t g = 0; g < model.graphs.size(); ++g) {
        const ParserModel::Graph& graph = model.graphs[g];
        for (std::uint32_t n = graph.firstNode; n < graph.firstNode + graph.nodeCount; ++n) {
            m_nodeBlock.push_back(
                m_blocks.Add(names.nodes[n], Where(n) + (model.nodes[n].final ? ", final" : "")));
        }
        m_returnBlock.push_back(
            m_blocks.Add(names.graphs[g] + "_return", "leaves " + CppString(graph.name)));
    }
    m_failBlock = m_blocks.Add("fail", "no way on with the lookahead");
}

void WalkWriter::Report(int indent, std::uint32_t action, const std::string& token,
                        const std::string& graph) {
    if (action == kNone) {
        return;
    }
    m_blocks.Line(indent, "if constexpr (kReport) {");
    m_blocks.Line(indent + 4, "Report(sink, context, ActionId::" + m_names.actions[action] +
                                  ", p - begin, " + token + ", " + graph + ");");
    m_blocks.Line(indent, "}");
}

// Node 1 of MAIN, or a node where the descent can hand over: one that
// enters a graph.
void WalkWriter::WriteStart() {
    m_blocks.Select(m_start);
    std::vector<std::uint32_t> starts{m_model.graphs[0].firstNode};
    for (std::uint32_t n = 0; n < m_model.nodes.size(); ++n) {
        if (m_model.nodes[n].graphEdge != kNone && n != starts[0]) {
            starts.push_back(n);
        }
    }
    if (starts.size() == 1) {
        m_blocks.Jump(4, m_nodeBlock[starts[0]]);
        return;
    }
    m_blocks.Line(4, "switch (start) {");
    for (std::size_t k = 0; k < starts.size(); ++k) {
        // The last as the default: start is always one of these.
        m_blocks.Line(8, (k + 1 == starts.size() ? "default:  // " : "case ") +
                             m_names.nodes[starts[k]] + (k + 1 == starts.size() ? "" : ":"));
        m_blocks.Jump(12, m_nodeBlock[starts[k]]);
    }
    m_blocks.Line(4, "}");
}

void WalkWriter::WriteNode(std::uint32_t node) {
    m_blocks.Select(m_nodeBlock[node]);
    const ParserModel::Node& n = m_model.nodes[node];
    const NodeCases cases = CasesOf(m_model, node);
    const bool any = !cases.takes.empty() || !cases.enters.empty();
    const int indent = any ? 12 : 4;
    if (any) {
        m_blocks.Line(4, "switch (t) {");
    }
    for (const NodeCases::Take& take : cases.takes) {
        for (const std::uint32_t token : take.tokens) {
            m_blocks.Line(8, "case Token::" + m_names.tokens[token] + ":  // " +
                                 CppString(m_model.tokens[token]));
        }
        const ParserModel::Edge& edge = m_model.edges[take.edge];
        Report(12, edge.action, "t", "-1");
        m_blocks.Line(12, "t = ++p != end ? *p : kEndOfInput;");
        m_blocks.Line(12, "mark = " + m_names.nodes[edge.target] + ";");
        m_blocks.Line(12, "markDepth = depth;");
        m_blocks.Jump(12, m_nodeBlock[edge.target]);
    }
    if (!cases.enters.empty()) {
        for (const std::uint32_t token : cases.enters) {
            m_blocks.Line(8, "case Token::" + m_names.tokens[token] + ":  // " +
                                 CppString(m_model.tokens[token]));
        }
        const ParserModel::Edge& edge = m_model.edges[n.graphEdge];
        const ParserModel::Graph& entered = m_model.graphs[edge.graph];
        m_blocks.Line(12, "// enters " + CppString(entered.name));
        m_blocks.Line(12, "if (depth == capacity) [[unlikely]] {");
        m_blocks.Line(16, "if (Reserve(depth, 1) == 0) {");
        m_blocks.Line(20, "return TooDeep(" + std::to_string(edge.graph) + ", p - begin, t);");
        m_blocks.Line(16, "}");
        m_blocks.Line(16, "stack = m_stack.data();");
        m_blocks.Line(16, "capacity = m_stack.size();");
        m_blocks.Line(12, "}");
        m_blocks.Line(12, "stack[depth++] = " + std::to_string(edge.continuation) +
                              ";  // back to " + Where(edge.target));
        m_blocks.Jump(12, m_nodeBlock[entered.firstNode]);
    }
    if (any) {
        m_blocks.Line(8, "default:");
    }
    switch (cases.otherwise) {
        case NodeCases::Otherwise::Return:
            m_blocks.Jump(indent, m_returnBlock[n.graph]);
            break;
        case NodeCases::Otherwise::Pass: {
            const ParserModel::Edge& edge = m_model.edges[n.graphEdge];
            m_blocks.Line(indent, "// passes " + CppString(m_model.graphs[edge.graph].name) +
                                      " without a token");
            Report(indent, edge.action, "kUnknownToken", std::to_string(edge.graph));
            m_blocks.Jump(indent, m_nodeBlock[edge.target]);
            break;
        }
        case NodeCases::Otherwise::Fail:
            m_blocks.Jump(indent, m_failBlock);
            break;
    }
    if (any) {
        m_blocks.Line(4, "}");
    }
}

void WalkWriter::WriteReturn(std::uint32_t graph) {
    m_blocks.Select(m_returnBlock[graph]);
    const std::vector<std::uint32_t>& callers = m_model.graphs[graph].callers;
    if (graph == 0) {
        // MAIN left with nothing entered: the end, if the input ends here.
        const int indent = callers.empty() ? 4 : 8;
        if (!callers.empty()) {
            m_blocks.Line(4, "if (depth == 0) {");
        }
        m_blocks.Line(indent, "if (p == end) {");
        m_blocks.Line(indent + 4, "return std::nullopt;");
        m_blocks.Line(indent, "}");
        m_blocks.Jump(indent, m_failBlock);
        if (!callers.empty()) {
            m_blocks.Line(4, "}");
        }
    }
    if (callers.empty()) {
        return;
    }
    const bool single = callers.size() == 1;
    m_blocks.Line(4, single ? "--depth;" : "switch (stack[--depth]) {");
    for (std::size_t k = 0; k < callers.size(); ++k) {
        const std::uint32_t c = callers[k];
        const ParserModel::Edge& edge = m_model.edges[m_model.continuations[c]];
        const std::string what = "back to " + Where(edge.target);
        if (single) {
            m_blocks.Line(4, "// " + what);
        } else if (k + 1 == callers.size()) {
            // The last as the default: every entry is one of these.
            m_blocks.Line(8, "default:  // " + std::to_string(c) + ", " + what);
        } else {
            m_blocks.Line(8, "case " + std::to_string(c) + ":  // " + what);
        }
        const int indent = single ? 4 : 12;
        Report(indent, edge.action, "kUnknownToken", std::to_string(graph));
        m_blocks.Jump(indent, m_nodeBlock[edge.target]);
    }
    if (!single) {
        m_blocks.Line(4, "}");
    }
}

std::string WalkWriter::Write() {
    WriteStart();
    for (std::uint32_t node = 0; node < m_model.nodes.size(); ++node) {
        WriteNode(node);
    }
    for (std::uint32_t graph = 0; graph < m_model.graphs.size(); ++graph) {
        WriteReturn(graph);
    }
    m_blocks.Select(m_failBlock);
    m_blocks.Line(4, "return SyntaxError(mark, markDepth, p - begin, t);");
    return m_blocks.Write(m_start);
}

}  // namespace

std::string WriteWalk(const ParserModel& model, const CppNames& names) {
    return WalkWriter(model, names).Write();
}

}  // namespace codegen
