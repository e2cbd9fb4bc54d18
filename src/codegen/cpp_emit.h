#pragma once

// What the writers of the generated header, source and walk share: the
// names chosen for the grammar's tokens, actions, graphs and nodes.

#include <string>
#include <vector>

#include "codegen/cpp_names.h"
#include "codegen/cpp_parser.h"
#include "codegen/parser_model.h"

namespace codegen {

struct CppNames {
    std::vector<std::string> tokens;   // enumerators of Token
    std::vector<std::string> actions;  // enumerators of ActionId
    std::vector<std::string> nodes;    // node ids, and the walk's labels
    std::vector<std::string> graphs;   // the prefix of each graph's labels
};

CppNames ChooseNames(const ParserModel& model);

std::string WriteHeader(const ParserModel& model, const CppNames& names, const CppOptions& options);
std::string WriteSource(const ParserModel& model, const CppNames& names, const CppOptions& options);
// The body of Parser::Walk: a label per node, grouped by graph.
std::string WriteWalk(const ParserModel& model, const CppNames& names);

// Fills a template: each "@KEY@" becomes its value.
std::string Fill(const std::string& text,
                 const std::vector<std::pair<std::string, std::string>>& values);

// A comment's spelling of a text: a string literal, so that no byte of it
// can end the comment or join the next line to it.
inline std::string Shown(const std::string& text) {
    return CppString(text);
}

}  // namespace codegen
