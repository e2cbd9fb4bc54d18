// lumo-codegen-batch OUTDIR COUNT [GRAMMAR.lm...]: the parsers of the grammars
// and of COUNT random ones that pass the rules, in OUTDIR/part_0.cpp to 3, their
// tables in OUTDIR/tables.cpp (a change of table bytes recompiles no parser); a
// file that already holds its text is left alone, so nothing recompiles.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "codegen/cpp_names.h"
#include "codegen/cpp_parser.h"
#include "framework/archive.h"
#include "framework/file_io.h"
#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "random_grammar.h"

namespace {

const char* const kHead = "// Written by lumo-codegen-batch.\n#include \"batch.h\"\n";
std::vector<std::string> parts(4, kHead);
std::string tables = std::string(kHead) +
                     "std::string_view lumo_test::BatchTable(std::size_t i) {\n"
                     "    static constexpr std::string_view tables[] = {\n";
std::size_t added = 0;

// Adds the grammar's parser, registered with its binary table, unless the
// grammar breaks a rule.
bool Add(const std::string& name, std::string document) {
    CFlatGrammar grammar;
    grammar.Load(std::move(document));
    codegen::ParserModel model;
    try {
        grammar.Validate();
        model = codegen::BuildParserModel(codegen::ReadGrammar(grammar));
    } catch (const CParseException&) {
        return false;
    }
    const std::string ns = std::string("g").append(std::to_string(added));
    codegen::CppOptions options;
    std::tie(options.nameSpace, options.headerName, options.sourceName, options.grammarName) =
        std::tuple(ns, ns + ".h", ns + ".cpp", name);
    codegen::CppFiles files = codegen::GenerateCppParser(model, options);
    // The header goes where the source includes it, in a file that is no header.
    for (auto [text, line] : {std::pair{&files.source, "#include \"" + ns + ".h\"\n"},
                              {&files.header, "#pragma once\n"}}) {
        text->replace(text->find(line), line.size(), "");
    }
    std::string table;
    {
        CArchive ar(&table);
        grammar.WriteTable(ar, 1);
    }
    tables += "        std::string_view(" + codegen::CppString(table) + ", " +
              std::to_string(table.size()) + "),\n";
    parts[added % parts.size()] += "\n" + files.header + "\n" + files.source +
                                   "\nstatic const lumo_test::Register " + ns + "_registered({" +
                                   codegen::CppString(name) + ", lumo_test::BatchTable(" +
                                   std::to_string(added) + "), &lumo_test::RunGenerated<" + ns +
                                   "::Parser, " + ns + "::Token, " + ns + "::Action>});\n";
    ++added;
    return true;
}

// Whether MAIN enters another graph, as random grammars that pass rarely do.
bool Nests(const lm_layout::Document& doc) {
    return std::ranges::any_of(doc.graphs[0].nodes, [](const lm_layout::Node& n) {
        return std::ranges::any_of(
            n.edges, [](const lm_layout::Edge& e) { return e.type != 0 && e.input != "MAIN"; });
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 64;
    try {
        for (int i = 3; i < argc; ++i) {
            const std::string path = argv[i];
            if (!Add(path.substr(path.find_last_of('/') + 1), ReadWholeFile(path)))
                throw std::runtime_error(path + " breaks a rule");
        }
        std::mt19937 rng(20240614);
        for (unsigned long made = 0, count = std::strtoul(argv[2], nullptr, 10); made < count;) {
            const lm_layout::Document doc = lumo_test::RandomGrammar(rng);
            // Four in five enter other graphs than MAIN, as the examples do.
            if (made % 5 == 0 || Nests(doc))
                made += Add("random " + std::to_string(made), lm_layout::Write(doc, 0));
        }
        parts.push_back(tables + "    };\n    return tables[i];\n}\n");
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const std::string path = std::string(argv[1]) + "/" +
                                     (p < 4 ? "part_" + std::to_string(p) : "tables") + ".cpp";
            if (!FileExists(path) || ReadWholeFile(path) != parts[p])
                WriteFileAtomically(path, parts[p], Durability::Cached);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo-codegen-batch: %s\n", e.what());
        return 2;
    }
    return 0;
}
