#pragma once

// What lumo-gen and lumo-parse have in common: their exit statuses, the form
// of their error lines, and GNU-style option parsing. Standard library and
// POSIX only, so that lumo-parse, which carries nothing of the editor's
// model, can use it as well.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumo::cli {

// The exit statuses of every Lumo tool.
enum ExitStatus : int {
    kSuccess = 0,
    // The input is well formed but not what was asked for: a grammar that
    // breaks a rule, tokens that the grammar refuses.
    kRejected = 1,
    // A file could not be read or written, or is not what it claims to be.
    kFailed = 2,
    // The command line itself is wrong (the sysexits.h EX_USAGE value).
    kUsage = 64,
};

// One option a tool understands. An option without a short name uses 0.
struct OptionSpec {
    const char* longName;
    char shortName;
    bool takesArgument;
    int id;  // handed back to the tool
};

// What the command line asked for once parsed.
struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    std::vector<std::string> operands;  // the arguments that are not options
    std::string error;                  // for UsageError
};

// Called for each option in the order given; returns an error text to refuse
// its argument, or nothing.
using OptionHandler = std::function<std::optional<std::string>(int id, const std::string& arg)>;

// Parses args (without the program name) the GNU way, through getopt_long:
// "--name=value" and "--name value", bundled short options ("-wt"),
// unambiguous abbreviations of long names, options after operands, and "--"
// ending the options. "-h"/"--help" and "--version" are understood for every
// tool and end parsing at once, as does the first error.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             std::span<const OptionSpec> options, const OptionHandler& handle);

// The line every tool prints for a file it could not use:
// "FILE: error: MESSAGE".
void PrintError(const std::string& file, const std::string& message);

// Carries out Help, Version and UsageError the same way for every tool:
// help and version on standard output with status 0, a usage error as
// "TOOL: ERROR" and the usage on standard error with status 64. Returns
// nothing for Action::Run, when the tool goes on.
struct ToolText {
    const char* name;     // "lumo-gen"
    const char* version;  // "0.1.0"
    const char* usage;    // lines ending in '\n'
    const char* help;     // shown after the usage for --help
};
std::optional<int> HandleStandardActions(const CommandLine& line, const ToolText& tool);

}  // namespace lumo::cli
