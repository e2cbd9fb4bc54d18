// The generated descent: a function for each graph, which walks the
// graph's nodes as labels and enters another graph by calling its
// function. Returning from a graph is then the machine's own return, which
// the processor predicts, where a walk with a stack of its own jumps
// through a switch; that makes the descent about twice as fast. It nests on
// the machine stack only so far (Descent::limit), and hands over to the
// walk with a stack of its own to go deeper. It pushes the same return
// entries as that walk, so that the walk can take over anywhere.

#include "codegen/cpp_emit.h"

namespace codegen {

namespace {

class DescentWriter {
public:
    DescentWriter(const ParserModel& model, const CppNames& names)
        : m_model(model), m_names(names) {}
    std::string Write();

private:
    std::string Function(std::uint32_t graph) const {
        return "Graph_" + m_names.graphs[graph] + "<kReport>";
    }
    std::string Where(std::uint32_t node) const {
        return CppString(m_model.graphs[m_model.nodes[node].graph].name) + " #" +
               std::to_string(m_model.nodes[node].number);
    }
    void Report(Blocks& blocks, int indent, std::uint32_t action, const std::string& token,
                const std::string& graph) const;
    void WriteNode(Blocks& blocks, std::uint32_t node, const std::vector<std::size_t>& nodeBlock,
                   std::size_t fail) const;
    std::string WriteGraph(std::uint32_t graph) const;

    const ParserModel& m_model;
    const CppNames& m_names;
};

void DescentWriter::Report(Blocks& blocks, int indent, std::uint32_t action,
                           const std::string& token, const std::string& graph) const {
    if (action == kNone) {
        return;
    }
    blocks.Line(indent, "if constexpr (kReport) {");
    blocks.Line(indent + 4, "Report(d.sink, d.context, ActionId::" + m_names.actions[action] +
                                ", p - d.begin, " + token + ", " + graph + ");");
    blocks.Line(indent, "}");
}

void DescentWriter::WriteNode(Blocks& blocks, std::uint32_t node,
                              const std::vector<std::size_t>& nodeBlock, std::size_t fail) const {
    const ParserModel::Graph& graph = m_model.graphs[m_model.nodes[node].graph];
    auto blockOf = [&](std::uint32_t n) { return nodeBlock[n - graph.firstNode]; };
    blocks.Select(blockOf(node));
    const NodeCases cases = CasesOf(m_model, node);
    const bool any = !cases.takes.empty() || !cases.enters.empty();
    const int indent = any ? 12 : 4;
    if (any) {
        blocks.Line(4, "switch (t) {");
    }
    for (const NodeCases::Take& take : cases.takes) {
        for (const std::uint32_t token : take.tokens) {
            blocks.Line(8, "case Token::" + m_names.tokens[token] + ":  // " +
                               CppString(m_model.tokens[token]));
        }
        const ParserModel::Edge& edge = m_model.edges[take.edge];
        Report(blocks, 12, edge.action, "t", "-1");
        blocks.Line(12, "t = ++p != d.end ? *p : kEndOfInput;");
        blocks.Jump(12, blockOf(edge.target));
    }
    const ParserModel::Node& n = m_model.nodes[node];
    if (!cases.enters.empty()) {
        for (const std::uint32_t token : cases.enters) {
            blocks.Line(8, "case Token::" + m_names.tokens[token] + ":  // " +
                               CppString(m_model.tokens[token]));
        }
        const ParserModel::Edge& edge = m_model.edges[n.graphEdge];
        blocks.Line(12, "// enters " + CppString(m_model.graphs[edge.graph].name));
        blocks.Line(12, "if (sp == d.limit) [[unlikely]] {");
        blocks.Line(16, "return Handover(d, " + m_names.nodes[node] + ", p, sp);");
        blocks.Line(12, "}");
        blocks.Line(12, "*sp = " + std::to_string(edge.continuation) + ";  // back to " +
                            Where(edge.target));
        blocks.Line(12, "if (const Position back = " + Function(edge.graph) +
                            "(d, p, t, sp + 1); back.p != nullptr) {");
        blocks.Line(16, "p = back.p;");
        blocks.Line(16, "t = back.t;");
        blocks.Line(12, "} else {");
        blocks.Line(16, "return back;");
        blocks.Line(12, "}");
        Report(blocks, 12, edge.action, "kUnknownToken", std::to_string(edge.graph));
        blocks.Jump(12, blockOf(edge.target));
    }
    if (any) {
        blocks.Line(8, "default:");
    }
    switch (cases.otherwise) {
        case NodeCases::Otherwise::Return:
            blocks.Line(indent, "return {p, t};");
            break;
        case NodeCases::Otherwise::Pass: {
            const ParserModel::Edge& edge = m_model.edges[n.graphEdge];
            blocks.Line(indent, "// passes " + CppString(m_model.graphs[edge.graph].name) +
                                    " without a token");
            Report(blocks, indent, edge.action, "kUnknownToken", std::to_string(edge.graph));
            blocks.Jump(indent, blockOf(edge.target));
            break;
        }
        case NodeCases::Otherwise::Fail:
            blocks.Jump(indent, fail);
            break;
    }
    if (any) {
        blocks.Line(4, "}");
    }
}

std::string DescentWriter::WriteGraph(std::uint32_t g) const {
    const ParserModel::Graph& graph = m_model.graphs[g];
    Blocks blocks;
    std::vector<std::size_t> nodeBlock;
    for (std::uint32_t n = graph.firstNode; n < graph.firstNode + graph.nodeCount; ++n) {
        nodeBlock.push_back(
            blocks.Add(m_names.nodes[n], Where(n) + (m_model.nodes[n].final ? ", final" : "")));
    }
    const std::size_t fail = blocks.Add("fail", "no way on with the lookahead");
    for (std::uint32_t n = graph.firstNode; n < graph.firstNode + graph.nodeCount; ++n) {
        WriteNode(blocks, n, nodeBlock, fail);
    }
    blocks.Select(fail);
    blocks.Line(4, "return {nullptr, t};");
    const std::string head = "Position Graph_" + m_names.graphs[g] + "(";
    return "// " + CppString(graph.name) + " from node #1, until a final node leaves it.\n" +
           "template <bool kReport>\n" + head +
           "[[maybe_unused]] Descent& d, [[maybe_unused]] const Token* p,\n" +
           std::string(head.size(), ' ') + "[[maybe_unused]] Token t, " +
           "[[maybe_unused]] std::uint32_t* sp) {\n" + blocks.Write(0) + "}\n";
}

std::string DescentWriter::Write() {
    // The graphs the descent can enter, MAIN first.
    std::vector<bool> entered(m_model.graphs.size(), false);
    std::vector<std::uint32_t> order{0};
    entered[0] = true;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const ParserModel::Graph& graph = m_model.graphs[order[k]];
        for (std::uint32_t n = graph.firstNode; n < graph.firstNode + graph.nodeCount; ++n) {
            const std::uint32_t e = m_model.nodes[n].graphEdge;
            if (e != kNone && !entered[m_model.edges[e].graph]) {
                entered[m_model.edges[e].graph] = true;
                order.push_back(m_model.edges[e].graph);
            }
        }
    }
    std::string out;
    for (const std::uint32_t g : order) {
        out += "template <bool kReport>\nPosition Graph_" + m_names.graphs[g] +
               "(Descent& d, const Token* p, Token t, std::uint32_t* sp);\n";
    }
    for (const std::uint32_t g : order) {
        out += "\n" + WriteGraph(g);
    }
    return out;
}

}  // namespace

std::string WriteDescent(const ParserModel& model, const CppNames& names) {
    return DescentWriter(model, names).Write();
}

}  // namespace codegen
