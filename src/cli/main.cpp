// lumo-gen: validates a grammar document and writes its parse tables.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "cli/options.h"
#include "codegen/cpp_parser.h"
#include "framework/archive.h"
#include "framework/document.h"
#include "framework/file_io.h"
#include "framework/message.h"
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
    "Validates a Lumo grammar document (.lm) and writes its parse table twice:\n"
    "a binary table (.pt) and the same table as text (.txt).\n"
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
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "Exit status: 0 success, 1 the grammar breaks a rule, 2 a file could not\n"
    "be read or written or is not a grammar document, 64 a usage error.\n";

// Drawing goes through the editable model, which lays out labels and bends.
int DrawGraphs(const GenOptions& opts) {
    // Errors are reported here, once, from the document's own account.
    SetMessageHandler([](MessageIcon, const std::string&) {});
    // Never destroyed, like the grammar in Run.
    CGrammer& doc = *new CGrammer;
    if (!doc.OnOpenDocument(opts.file)) {
        PrintError(opts.file, doc.GetLastErrorMessage());
        return kFailed;
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

    std::string bytes;
    try {
        bytes = ReadWholeFile(opts.file);
    } catch (const CFileException& e) {
        PrintError(opts.file, e.GetErrorMessage());
        return kFailed;
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
    if (opts.outputBase.empty()) {
        ptPath = CGrammer::TablePath(opts.file, ".pt");
        txtPath = CGrammer::TablePath(opts.file, ".txt");
    } else {
        ptPath = opts.outputBase + ".pt";
        txtPath = opts.outputBase + ".txt";
    }
    for (const std::string& table : {ptPath, txtPath}) {
        if (IsSameFile(table, opts.file)) {
            PrintError(table, CGrammer::kTableIsDocument);
            return kFailed;
        }
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
