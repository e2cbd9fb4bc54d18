// lumo-codegen-batch OUTDIR COUNT PARTS [GRAMMAR.lm...]: writes the parsers
// of the grammars given, then of COUNT random grammars (from a fixed seed)
// that pass the rules, four in five entering other graphs than MAIN; each in
// a namespace of its own (g0, g1, ...), spread over OUTDIR/part_K.cpp, and
// OUTDIR/index.cpp, which lists them with their binary tables.

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

// Leaves a file that already holds the text alone, so that a rebuild of the
// generator recompiles none of the parsers when they come out the same.
void WriteIfChanged(const std::string& path, const std::string& text) {
    if (!FileExists(path) || ReadWholeFile(path) != text)
        WriteFileAtomically(path, text, Durability::Cached);
}

struct Parser {
    std::string name, table, code;
};

// Whether a parse can enter another graph than MAIN: only if MAIN itself can.
bool Nests(const codegen::ParserModel& model) {
    for (std::uint32_t n = 0; n < model.graphs[0].nodeCount; ++n) {
        const std::uint32_t e = model.nodes[model.graphs[0].firstNode + n].graphEdge;
        if (e != codegen::kNone && model.edges[e].graph != 0)
            return true;
    }
    return false;
}

// The grammar's parser, or nothing when the grammar breaks a rule or, with
// nesting, enters no other graph than MAIN.
bool Generate(std::string name, std::string document, std::vector<Parser>& out,
              bool nesting = false) {
    CFlatGrammar grammar;
    grammar.Load(std::move(document));
    codegen::ParserModel model;
    try {
        grammar.Validate();
        model = codegen::BuildParserModel(codegen::ReadGrammar(grammar));
    } catch (const CParseException&) {
        return false;
    }
    if (nesting && !Nests(model))
        return false;
    const std::string ns = "g" + std::to_string(out.size());
    codegen::CppOptions options;
    std::tie(options.nameSpace, options.headerName, options.sourceName, options.grammarName) =
        std::tuple(ns, ns + ".h", ns + ".cpp", name);
    codegen::CppFiles files = codegen::GenerateCppParser(model, options);
    // The header goes where the source includes it, in a file that is no header.
    for (auto [text, line] : {std::pair{&files.source, "#include \"" + ns + ".h\"\n"},
                              {&files.header, "#pragma once\n"}}) {
        text->replace(text->find(line), line.size(), "");
    }

    Parser& parser = out.emplace_back();
    parser.name = std::move(name);
    CArchive ar(&parser.table);
    grammar.WriteTable(ar, 1);
    parser.code = files.header + "\n" + files.source + "\nstd::string Run_" + ns +
                  "(std::span<const std::uint32_t> ids, std::size_t maxDepth,\n"
                  "    std::size_t machineDepth) {\n"
                  "    return lumo_test::RunGenerated<" +
                  ns + "::Parser, " + ns + "::Token, " + ns +
                  "::Action>(ids, maxDepth, machineDepth);\n}\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return 64;
    const std::string dir = argv[1];
    const auto count = std::strtoul(argv[2], nullptr, 10);
    const auto parts = std::max(1ul, std::strtoul(argv[3], nullptr, 10));
    std::vector<Parser> parsers;
    try {
        for (int i = 4; i < argc; ++i) {
            const std::string path = argv[i];
            if (!Generate(path.substr(path.find_last_of('/') + 1), ReadWholeFile(path), parsers))
                throw std::runtime_error(path + " breaks a rule");
        }
        std::mt19937 rng(20240614);
        for (unsigned long made = 0; made < count;) {
            const lm_layout::Document doc = lumo_test::RandomGrammar(rng);
            // Random grammars that pass the rules mostly stay in MAIN; four
            // in five must enter other graphs, as the examples do.
            const bool nesting = made % 5 != 0;
            made += Generate("random " + std::to_string(made), lm_layout::Write(doc, 0), parsers,
                             nesting);
        }

        const std::string head = "// Written by lumo-codegen-batch.\n#include \"batch.h\"\n";
        std::string index = head + "\n";
        std::vector<std::string> part(parts, head);
        for (std::size_t k = 0; k < parsers.size(); ++k) {
            part[k % parts] += "\n" + parsers[k].code;
            index += "std::string Run_g" + std::to_string(k) +
                     "(std::span<const std::uint32_t>, std::size_t, std::size_t);\n";
        }
        index +=
            "\nconst std::vector<lumo_test::BatchGrammar>& lumo_test::BatchGrammars() {\n"
            "    using namespace std::string_view_literals;\n"
            "    static const std::vector<lumo_test::BatchGrammar> all = {\n";
        for (std::size_t k = 0; k < parsers.size(); ++k) {
            index += "        {" + codegen::CppString(parsers[k].name) + "sv, " +
                     codegen::CppString(parsers[k].table) + "sv, &Run_g" + std::to_string(k) +
                     "},\n";
        }
        index += "    };\n    return all;\n}\n";
        WriteIfChanged(dir + "/index.cpp", index);
        for (std::size_t p = 0; p < parts; ++p)
            WriteIfChanged(dir + "/part_" + std::to_string(p) + ".cpp", part[p]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo-codegen-batch: %s\n", e.what());
        return 2;
    }
    return 0;
}
