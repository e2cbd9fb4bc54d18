#include <map>

#include "codegen/cpp_emit.h"

namespace codegen {

NodeCases CasesOf(const ParserModel& model, std::uint32_t node) {
    const ParserModel::Node& n = model.nodes[node];
    NodeCases cases;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t> same;
    for (std::uint32_t e = n.edgeBegin; e < n.edgeEnd; ++e) {
        const ParserModel::Edge& edge = model.edges[e];
        if (edge.IsGraph()) {
            cases.enters = model.graphs[edge.graph].first;
            continue;
        }
        const auto [it, added] =
            same.emplace(std::make_pair(edge.target, edge.action), cases.takes.size());
        if (added) {
            cases.takes.push_back({{}, e});
        }
        cases.takes[it->second].tokens.push_back(edge.token);
    }
    cases.otherwise = n.final                           ? NodeCases::Otherwise::Return
                      : model.PassTarget(node) != kNone ? NodeCases::Otherwise::Pass
                                                        : NodeCases::Otherwise::Fail;
    return cases;
}

std::size_t Blocks::Add(std::string label, std::string comment) {
    m_blocks.push_back({std::move(label), std::move(comment), "", {}});
    return m_blocks.size() - 1;
}

void Blocks::Line(int indent, const std::string& text) {
    std::string& code = m_blocks[m_current].code;
    code.append(static_cast<std::size_t>(indent), ' ');
    code += text;
    code += '\n';
}

void Blocks::Jump(int indent, std::size_t block) {
    Refer(block);
    Line(indent, "goto " + m_blocks[block].label + ";");
}

std::string Blocks::Write(std::size_t start) const {
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
    std::string out;
    auto write = [&](std::size_t b) {
        const Block& block = m_blocks[b];
        out += (named[b] ? block.label + ":  // " : "    // ") + block.comment + "\n";
        out += block.code;
    };
    write(start);
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        if (reached[b] && b != start) {
            out += '\n';
            write(b);
        }
    }
    return out;
}

}  // namespace codegen
