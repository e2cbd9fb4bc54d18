#include "runtime/cli/options.h"

#include <charconv>

const char* const kParseUsage =
    "usage: lumo-parse [--words] [--trace] [--max-depth N] TABLE.pt [FILE]\n"
    "       lumo-parse --help | --version\n";

ParseOptions ParseParseOptions(const std::vector<std::string>& args) {
    ParseOptions opts;
    auto usageError = [&opts](std::string message) {
        opts.action = ParseOptions::Action::UsageError;
        opts.error = std::move(message);
        return opts;
    };
    auto setDepth = [&opts](const std::string& text) {
        std::size_t n = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (ec != std::errc() || end != text.data() + text.size() || n == 0) {
            return false;
        }
        opts.maxDepth = n;
        return true;
    };
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            opts.action = ParseOptions::Action::Help;
            return opts;
        } else if (arg == "--version") {
            opts.action = ParseOptions::Action::Version;
            return opts;
        } else if (arg == "--words" || arg == "-w") {
            opts.words = true;
        } else if (arg == "--trace" || arg == "-t") {
            opts.trace = true;
        } else if (arg == "--max-depth") {
            if (i + 1 >= args.size()) {
                return usageError("option '" + arg + "' needs an argument");
            }
            if (!setDepth(args[++i])) {
                return usageError("--max-depth needs a positive number, not '" + args[i] + "'");
            }
        } else if (arg.rfind("--max-depth=", 0) == 0) {
            if (!setDepth(arg.substr(12))) {
                return usageError("--max-depth needs a positive number, not '" + arg.substr(12) +
                                  "'");
            }
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }
    if (files.empty()) {
        return usageError("no parse table given");
    }
    if (files.size() > 2) {
        return usageError("more than one input file given");
    }
    opts.table = files[0];
    opts.input = files.size() == 2 ? files[1] : "-";
    return opts;
}
