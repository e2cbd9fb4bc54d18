// lumo-gen: validates a grammar and writes its parse tables.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "cli/documents.h"
#include "cli/options.h"
#include "codegen/cpp_parser.h"
#include "framework/archive.h"
#include "framework/document.h"
#include "framework/file_io.h"
#include "generate/parse_exception.h"
#include "generate/svg_export.h"
#include "lumo_version.h"
#include "model/flat_grammar.h"
#include "model/grammar.h"

namespace {

using lumo::cli::PrintError;
constexpr int kOk = lumo::cli::kSuccess;
constexpr int kInvalid = lumo::cli::kRejected;
constexpr int kFailed = lumo::cli::kFailed;

const char* const kHelp =
    "Validates a Lumo grammar (a document, .lm, or an EBNF text, .ebnf) and\n"
    "writes its parse table twice: a binary table (.pt) and the same table as\n"
    "text (.txt).\n"
    "\n"
    "  -o, --output BASE  write BASE.pt and BASE.txt instead of the tables\n"
    "                     beside FILE (FILE with its extension replaced)\n"
    "      --check        validate only; write nothing\n"
    "      --cpp BASE     write a C++ parser for the grammar instead, as BASE.h\n"
    "                     and BASE.cpp (C++20, standard library only)\n"
    "      --namespace NAME\n"
    "                     the parser's namespace (default: BASE's file name)\n"
    "      --svg DIR      draw every graph as DIR/NAME.svg instead (no\n"
    "                     validation, no tables)\n"
    "      --lm OUT.lm    write the grammar as a document instead, laid out\n"
    "                     for the editor when FILE is EBNF\n"
    "      --ebnf         write the grammar as EBNF to standard output instead\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "Exit status: 0 success, 1 the grammar breaks a rule (or, with --ebnf, has\n"
    "a graph EBNF cannot express), 2 a file could not be read or written or is\n"
    "not a grammar (errors in EBNF as FILE:LINE:COLUMN: error: MESSAGE), 64 a\n"
    "usage error.\n";

// Drawing goes through the editable model, which lays out labels and bends.
int DrawGraphs(const GenOptions& opts) {
    // Never destroyed, like the grammar in Run.
    CGrammer& doc = *new CGrammer;
    if (const int status = ReadGrammar(opts.file, doc); status != kOk) {
        return status;
    }
    try {
        ExportSvg(doc, opts.svgFolder);
    } catch (const CFileException& e) {
        PrintError(e.GetFileName(), e.GetErrorMessage());
        return kFailed;
    }
    return kOk;
}

// A parser in C++ for a validated grammar. What validation lets pass but the
// parser cannot walk (left recursion, say) is refused like a broken rule.
int WriteParser(const CFlatGrammar& grammar, const GenOptions& opts) {
    const std::string& base = opts.cppBase;
    for (const std::string& file : {base + ".h", base + ".cpp"}) {
        if (IsSameFile(file, opts.file)) {
            PrintError(file, "the parser would overwrite the grammar document");
            return kFailed;
        }
    }
    codegen::CppOptions options;
    options.nameSpace =
        opts.cppNamespace.empty() ? codegen::NamespaceForBase(base) : opts.cppNamespace;
    options.grammarName = std::filesystem::path(opts.file).filename().string();
    try {
        codegen::WriteCppParser(codegen::BuildParserModel(codegen::ReadGrammar(grammar)), base,
                                options);
    } catch (const CParseException& e) {
        PrintError(opts.file, e.GetMessage());
        return kInvalid;
    } catch (const CFileException& e) {
        PrintError(e.GetFileName(), e.GetErrorMessage());
        return kFailed;
    }
    return kOk;
}

// What the editor opens a zero-length file as: a new grammar.
std::string NewGrammarBytes() {
    CGrammer doc;
    std::string bytes;
    CArchive ar(&bytes);
    doc.Serialize(ar);
    return bytes;
}

}  // namespace

int Run(int argc, char** argv) {
    const GenOptions opts = ParseGenOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto status = lumo::cli::HandleStandardActions(
            opts.line, {"lumo-gen", LUMO_VERSION, kGenUsage, kHelp})) {
        return *status;
    }

    if (!opts.svgFolder.empty()) {
        return DrawGraphs(opts);
    }
    if (!opts.lmFile.empty()) {
        return WriteDocument(opts);
    }
    if (opts.ebnf) {
        return WriteEbnf(opts);
    }

    // An EBNF text goes on as the document it imports to, so that tables,
    // --check and --cpp take one road whatever the grammar was written in.
    std::string bytes;
    if (IsEbnfFile(opts.file)) {
        if (const int status = ReadEbnfAsDocument(opts.file, bytes); status != kOk) {
            return status;
        }
    } else {
        try {
            bytes = ReadWholeFile(opts.file);
        } catch (const CFileException& e) {
            PrintError(opts.file, e.GetErrorMessage());
            return kFailed;
        }
    }
    if (bytes.empty()) {
        bytes = NewGrammarBytes();
    }
    // Never destroyed: the process ends right after, and freeing a large
    // grammar's arrays page by page would cost time for nothing.
    CFlatGrammar& grammar = *new CFlatGrammar;
    try {
        grammar.Load(std::move(bytes));
    } catch (const CArchiveException& e) {
        // The document's own words first, as the editor gives them, then
        // where and why the loader refused the file.
        PrintError(opts.file, std::string(CDocument::kUnexpectedFormat) + " (" + e.what() + ")");
        return kFailed;
    } catch (const std::bad_alloc&) {
        PrintError(opts.file, std::strerror(ENOMEM));
        return kFailed;
    }
    try {
        grammar.Validate();
    } catch (const CParseException& e) {
        PrintError(opts.file, e.GetMessage());
        return kInvalid;
    }
    if (opts.checkOnly) {
        return kOk;
    }
    if (!opts.cppBase.empty()) {
        return WriteParser(grammar, opts);
    }

    std::string ptPath, txtPath;
    if (const int status = TablePaths(opts, ptPath, txtPath); status != kOk) {
        return status;
    }
    try {
        grammar.WriteParseTables(ptPath, txtPath);
    } catch (const CFileException& e) {
        PrintError(e.GetFileName(), e.GetErrorMessage());
        return kFailed;
    }
    return kOk;
}

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    std::fflush(stdout);
    std::fflush(stderr);
    // Without running destructors: see Run.
    std::_Exit(status);
}
