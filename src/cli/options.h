#pragma once

#include <string>
#include <vector>

// What lumo-gen was asked to do.
struct GenOptions {
    enum class Action { Generate, Help, Version, UsageError };

    Action action = Action::Generate;
    std::string file;        // the grammar document
    std::string outputBase;  // -o BASE: tables at BASE.pt and BASE.txt
    bool checkOnly = false;  // --check: validate, write nothing
    std::string svgFolder;   // --svg DIR: draw every graph there instead
    std::string error;       // what was wrong, for UsageError
};

GenOptions ParseGenOptions(const std::vector<std::string>& args);

extern const char* const kGenUsage;
