#include "codegen/cpp_parser.h"

#include <algorithm>
#include <cctype>

#include "codegen/cpp_emit.h"
#include "codegen/cpp_names.h"
#include "framework/file_io.h"

namespace codegen {

CppNames ChooseNames(const ParserModel& model) {
    CppNames names;
    NameSet tokens;
    for (const std::string& text : model.tokens) {
        names.tokens.push_back(tokens.Unique(Identifier(text, "t_")));
    }
    NameSet actions;
    for (const std::string& text : model.actions) {
        // "@add" reads as add; a bare "@" keeps its sign.
        const bool at = text.size() > 1 && text[0] == '@';
        names.actions.push_back(actions.Unique(Identifier(at ? text.substr(1) : text, "a_")));
    }
    // Node labels are a graph's prefix and a number, so prefixes that
    // differ give labels that differ.
    NameSet graphs;
    for (const ParserModel::Graph& graph : model.graphs) {
        names.graphs.push_back(graphs.Unique(Identifier(graph.name, "g_")));
    }
    for (const ParserModel::Node& node : model.nodes) {
        names.nodes.push_back(names.graphs[node.graph] + "_" + std::to_string(node.number));
    }
    return names;
}

std::string Fill(const std::string& text,
                 const std::vector<std::pair<std::string, std::string>>& values) {
    // One pass, so that a value is never searched for markers itself: a
    // grammar's texts may hold anything.
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', from)) {
        out.append(text, from, at - from);
        const std::size_t close = text.find('@', at + 1);
        const auto value = close == std::string::npos
                               ? values.end()
                               : std::find_if(values.begin(), values.end(), [&](const auto& v) {
                                     return text.compare(at + 1, close - at - 1, v.first) == 0;
                                 });
        if (value == values.end()) {
            out += '@';
            from = at + 1;
        } else {
            out += value->second;
            from = close + 1;
        }
    }
    out.append(text, from);
    return out;
}

CppFiles GenerateCppParser(const ParserModel& model, const CppOptions& options) {
    const CppNames names = ChooseNames(model);
    return {WriteHeader(model, names, options), WriteSource(model, names, options)};
}

std::string NamespaceForBase(std::string_view base) {
    const std::size_t slash = base.find_last_of('/');
    if (slash != std::string_view::npos) {
        base.remove_prefix(slash + 1);
    }
    // A file name's punctuation ("my-parser", "v1.2") only separates words.
    std::string words(base);
    for (char& c : words) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    std::string name = Identifier(words, "p_");
    // Names the standard keeps for itself.
    if (name == "std" || name == "posix") {
        name += '_';
    }
    return name;
}

void WriteCppParser(const ParserModel& model, const std::string& base, CppOptions options) {
    const std::size_t slash = base.find_last_of('/');
    const std::string file = slash == std::string::npos ? base : base.substr(slash + 1);
    options.headerName = file + ".h";
    options.sourceName = file + ".cpp";
    const CppFiles files = GenerateCppParser(model, options);
    // Files made from the grammar, which can be made again: not synced.
    WriteFileAtomically(base + ".h", files.header, Durability::Cached);
    WriteFileAtomically(base + ".cpp", files.source, Durability::Cached);
}

}  // namespace codegen
