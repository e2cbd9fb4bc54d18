#include "cli/options.h"

const char* const kGenUsage =
    "usage: lumo-gen [-o BASE] [--check] FILE\n"
    "       lumo-gen --svg DIR FILE\n"
    "       lumo-gen --help | --version\n";

GenOptions ParseGenOptions(const std::vector<std::string>& args) {
    GenOptions opts;
    auto usageError = [&opts](std::string message) {
        opts.action = GenOptions::Action::UsageError;
        opts.error = std::move(message);
        return opts;
    };
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            opts.action = GenOptions::Action::Help;
            return opts;
        } else if (arg == "--version") {
            opts.action = GenOptions::Action::Version;
            return opts;
        } else if (arg == "--check") {
            opts.checkOnly = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size()) {
                return usageError("option '" + arg + "' needs an argument");
            }
            opts.outputBase = args[++i];
        } else if (arg == "--svg") {
            if (i + 1 >= args.size()) {
                return usageError("option '--svg' needs an argument");
            }
            opts.svgFolder = args[++i];
        } else if (arg.rfind("--svg=", 0) == 0) {
            opts.svgFolder = arg.substr(6);
        } else if (arg.rfind("--output=", 0) == 0) {
            opts.outputBase = arg.substr(9);
        } else if (arg.rfind("-o", 0) == 0 && arg.size() > 2 && arg[1] != '-') {
            opts.outputBase = arg.substr(2);
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }
    if (files.size() != 1) {
        return usageError(files.empty() ? "no grammar file given" : "more than one file given");
    }
    if (!opts.svgFolder.empty() && (opts.checkOnly || !opts.outputBase.empty())) {
        return usageError("--svg goes with neither -o nor --check");
    }
    opts.file = files.front();
    return opts;
}
