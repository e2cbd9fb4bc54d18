#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What lumo-parse was asked to do.
struct ParseOptions {
    enum class Action { Parse, Help, Version, UsageError };

    Action action = Action::Parse;
    std::string table;         // the .pt file
    std::string input;         // the tokens; "-" for standard input
    bool words = false;        // --words: whitespace-separated, not one per line
    bool trace = false;        // --trace: print the actions
    std::size_t maxDepth = 0;  // --max-depth; 0 for the parser's default
    std::string error;         // what was wrong, for UsageError
};

ParseOptions ParseParseOptions(const std::vector<std::string>& args);

extern const char* const kParseUsage;
