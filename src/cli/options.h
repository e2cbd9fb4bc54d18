#pragma once

#include <string>
#include <vector>

#include "cli/tool.h"

// What lumo-gen was asked to do.
struct GenOptions {
    lumo::cli::CommandLine line;  // Run, or help, version or a usage error
    std::string file;             // the grammar: a document, or EBNF (.ebnf)
    std::string outputBase;       // -o BASE: tables at BASE.pt and BASE.txt
    bool checkOnly = false;       // --check: validate, write nothing
    std::string svgFolder;        // --svg DIR: draw every graph there instead
    std::string cppBase;          // --cpp BASE: a parser at BASE.h and BASE.cpp instead
    std::string cppNamespace;     // --namespace NAME: its namespace
    std::string lmFile;           // --lm OUT: write the grammar as a document instead
    bool ebnf = false;            // --ebnf: write the grammar as EBNF instead
};

GenOptions ParseGenOptions(const std::vector<std::string>& args);

extern const char* const kGenUsage;
