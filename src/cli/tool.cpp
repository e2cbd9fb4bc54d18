#include "cli/tool.h"

#include <getopt.h>

#include <cstdio>

namespace lumo::cli {

namespace {

// getopt_long hands back a long option's index plus this, above every
// character a short option can be.
constexpr int kLongBase = 256;

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             std::span<const OptionSpec> options, const OptionHandler& handle) {
    CommandLine line;
    std::vector<option> longOptions;
    // Leading ':' makes getopt report a missing argument apart from an
    // unknown option; the messages are ours.
    std::string shortOptions = ":h";
    for (std::size_t i = 0; i < options.size(); ++i) {
        const OptionSpec& def = options[i];
        longOptions.push_back({def.longName, def.takesArgument ? required_argument : no_argument,
                               nullptr, kLongBase + static_cast<int>(i)});
        if (def.shortName != 0) {
            shortOptions += def.shortName;
            if (def.takesArgument) {
                shortOptions += ':';
            }
        }
    }
    const int helpId = kLongBase + static_cast<int>(options.size());
    const int versionId = helpId + 1;
    longOptions.push_back({"help", no_argument, nullptr, helpId});
    longOptions.push_back({"version", no_argument, nullptr, versionId});
    longOptions.push_back({nullptr, 0, nullptr, 0});

    // getopt_long permutes its argument vector, so it gets copies.
    std::vector<std::string> copies;
    copies.reserve(args.size() + 1);
    copies.push_back("tool");
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : copies) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());

    auto fail = [&line](std::string message) {
        line.action = CommandLine::Action::UsageError;
        line.error = std::move(message);
        return line;
    };
    opterr = 0;
    optind = 0;  // a full restart, also of the state left by an earlier parse
    for (;;) {
        const int c =
            getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
        if (c == -1) {
            break;
        }
        if (c == '?' || c == ':') {
            // A long option is always the whole element just read, which
            // getopt has stepped past; a short one is named by optopt.
            std::string name = std::string("-") + char(optopt);
            if (optopt == 0 || optopt >= kLongBase) {
                const std::string typed = argv[static_cast<std::size_t>(optind - 1)];
                name = typed.substr(0, typed.find('='));
            }
            if (c == ':') {
                return fail("option '" + name + "' needs an argument");
            }
            if (optopt >= kLongBase) {
                return fail("option '" + name + "' takes no argument");
            }
            return fail("unknown option '" + name + "'");
        }
        if (c == 'h' || c == helpId) {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (c == versionId) {
            line.action = CommandLine::Action::Version;
            return line;
        }
        const OptionSpec* chosen = nullptr;
        if (c >= kLongBase) {
            chosen = &options[static_cast<std::size_t>(c - kLongBase)];
        } else {
            for (const OptionSpec& candidate : options) {
                if (candidate.shortName == c) {
                    chosen = &candidate;
                }
            }
        }
        if (auto error = handle(chosen->id, optarg != nullptr ? optarg : "")) {
            return fail(*error);
        }
    }
    for (int i = optind; i < argc; ++i) {
        line.operands.push_back(argv[static_cast<std::size_t>(i)]);
    }
    return line;
}

void PrintError(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "%s: error: %s\n", file.c_str(), message.c_str());
}

std::optional<int> HandleStandardActions(const CommandLine& line, const ToolText& tool) {
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(tool.usage, stdout);
            std::fputs("\n", stdout);
            std::fputs(tool.help, stdout);
            return kSuccess;
        case CommandLine::Action::Version:
            std::printf("%s %s\n", tool.name, tool.version);
            return kSuccess;
        case CommandLine::Action::UsageError:
            std::fprintf(stderr, "%s: %s\n%s", tool.name, line.error.c_str(), tool.usage);
            return kUsage;
        case CommandLine::Action::Run:
            break;
    }
    return std::nullopt;
}

}  // namespace lumo::cli
