#pragma once

// Generated C++ parsers: a grammar's graphs as C++20 code that walks them,
// parsing exactly as lumo::Parser parses with the grammar's table, with
// nothing to load at run time and nothing but the standard library to link.

#include <string>
#include <string_view>

#include "codegen/parser_model.h"

namespace codegen {

struct CppOptions {
    // The namespace of everything generated: a name, or names joined by
    // "::" (IsQualifiedNamespace).
    std::string nameSpace;
    // The header's file name, as the source includes it ("arith.h").
    std::string headerName;
    // The source's file name, for its first line ("arith.cpp").
    std::string sourceName;
    // The grammar's file name, for the header comment.
    std::string grammarName;
};

struct CppFiles {
    std::string header;
    std::string source;
};

// The two files. The same model and options always give the same bytes.
CppFiles GenerateCppParser(const ParserModel& model, const CppOptions& options);

// The namespace lumo-gen gives a parser written to base (a path without
// extension): base's file name as an identifier ("out/my-parser" gives
// "my_parser").
std::string NamespaceForBase(std::string_view base);

// Writes base + ".h" and base + ".cpp", each replacing its file atomically;
// the options' file names are filled in from base. Throws CFileException.
void WriteCppParser(const ParserModel& model, const std::string& base, CppOptions options);

}  // namespace codegen
