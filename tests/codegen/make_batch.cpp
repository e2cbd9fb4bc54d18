// lumo-codegen-batch OUTDIR COUNT PARTS [GRAMMAR.lm...]: writes the parsers of
// the grammars given, then of COUNT random grammars that pass the rules, each
// in a namespace of its own (g0, g1, ...), spread over OUTDIR/part_K.cpp, and
// OUTDIR/index.cpp, which lists them with their binary tables. A file that
// already holds its text is left alone, so that nothing recompiles when the
// parsers come out the same.

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

struct Batch {
    std::vector<std::string> parts;
    std::string index, entries;
    std::size_t count = 0;
};

// Adds the grammar's parser, unless the grammar breaks a rule.
bool Add(Batch& batch, const std::string& name, std::string document) {
    CFlatGrammar grammar;
    grammar.Load(std::move(document));
    codegen::ParserModel model;
    try {
        grammar.Validate();
        model = codegen::BuildParserModel(codegen::ReadGrammar(grammar));
    } catch (const CParseException&) {
        return false;
    }
    const std::string ns = "g" + std::to_string(batch.count);
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
    const std::string run = "std::string Run_" + ns +
                            "(std::span<const std::uint32_t> ids, std::size_t maxDepth, "
                            "std::size_t machineDepth)";
    batch.parts[batch.count++ % batch.parts.size()] +=
        "\n" + files.header + "\n" + files.source + "\n" + run +
        " {\n    return lumo_test::RunGenerated<" + ns + "::Parser, " + ns + "::Token, " + ns +
        "::Action>(ids, maxDepth, machineDepth);\n}\n";
    batch.index += run + ";\n";
    batch.entries += "        {" + codegen::CppString(name) + "sv, " + codegen::CppString(table) +
                     "sv, &Run_" + ns + "},\n";
    return true;
}

// Whether MAIN has a Graph edge into another graph: random grammars that pass
// the rules mostly stay in MAIN, and the parsers must nest.
bool Nests(const lm_layout::Document& doc) {
    return std::ranges::any_of(doc.graphs[0].nodes, [](const lm_layout::Node& n) {
        return std::ranges::any_of(
            n.edges, [](const lm_layout::Edge& e) { return e.type != 0 && e.input != "MAIN"; });
    });
}

void WriteIfChanged(const std::string& path, const std::string& text) {
    if (!FileExists(path) || ReadWholeFile(path) != text)
        WriteFileAtomically(path, text, Durability::Cached);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return 64;
    const std::string dir = argv[1],
                      head = "// Written by lumo-codegen-batch.\n#include \"batch.h\"\n";
    const auto count = std::strtoul(argv[2], nullptr, 10);
    Batch batch{std::vector<std::string>(std::max(1ul, std::strtoul(argv[3], nullptr, 10)), head),
                head};
    try {
        for (int i = 4; i < argc; ++i) {
            const std::string path = argv[i];
            if (!Add(batch, path.substr(path.find_last_of('/') + 1), ReadWholeFile(path)))
                throw std::runtime_error(path + " breaks a rule");
        }
        std::mt19937 rng(20240614);
        for (unsigned long made = 0; made < count;) {
            const lm_layout::Document doc = lumo_test::RandomGrammar(rng);
            // Four in five enter other graphs than MAIN, as the examples do.
            if (made % 5 == 0 || Nests(doc))
                made += Add(batch, "random " + std::to_string(made), lm_layout::Write(doc, 0));
        }
        WriteIfChanged(dir + "/index.cpp",
                       batch.index +
                           "\nconst std::vector<lumo_test::BatchGrammar>& "
                           "lumo_test::BatchGrammars() {\n"
                           "    using namespace std::string_view_literals;\n"
                           "    static const std::vector<lumo_test::BatchGrammar> all = {\n" +
                           batch.entries + "    };\n    return all;\n}\n");
        for (std::size_t p = 0; p < batch.parts.size(); ++p)
            WriteIfChanged(dir + "/part_" + std::to_string(p) + ".cpp", batch.parts[p]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo-codegen-batch: %s\n", e.what());
        return 2;
    }
    return 0;
}
