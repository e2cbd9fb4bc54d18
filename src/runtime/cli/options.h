#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/tool.h"

// What lumo-parse was asked to do.
struct ParseOptions {
    lumo::cli::CommandLine line;  // Run, or help, version or a usage error
    std::string table;            // the .pt file
    std::string input;            // the tokens; "-" for standard input
    bool words = false;           // --words: whitespace-separated, not one per line
    bool trace = false;           // --trace: print the actions
    std::size_t maxDepth = 0;     // --max-depth; 0 for the parser's default
};

ParseOptions ParseParseOptions(const std::vector<std::string>& args);

extern const char* const kParseUsage;
