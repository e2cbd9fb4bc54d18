// The command-line skeleton both tools share: GNU conventions, usage errors.

#include "cli/tool.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Action = lumo::cli::CommandLine::Action;
using Args = std::vector<std::string>;

constexpr std::array<lumo::cli::OptionSpec, 4> kSpecs{{{"output", 'o', true, 0},
                                                       {"check", 0, false, 1},
                                                       {"words", 'w', false, 2},
                                                       {"trace", 't', false, 3}}};

// The options handled as "id=arg;" then the operands as "op|"; "help",
// "version" or the usage error otherwise.
std::string Parse(const Args& args) {
    std::string seen;
    const auto line = lumo::cli::ParseCommandLine(
        args, kSpecs, [&seen](int id, const std::string& arg) -> std::optional<std::string> {
            if (arg == "refused") {
                return "bad value '" + arg + "'";
            }
            seen += std::to_string(id) + "=" + arg + ";";
            return std::nullopt;
        });
    for (const std::string& s : line.operands) {
        seen += s + "|";
    }
    return line.action == Action::Run       ? seen
           : line.action == Action::Help    ? "help"
           : line.action == Action::Version ? "version"
                                            : "error: " + line.error;
}

TEST(CommandLine, FollowsTheGnuConventionsAndNamesWhatIsWrong) {
    // clang-format off
    const std::pair<Args, const char*> cases[] = {
        {{"-o", "base", "g.lm"}, "0=base;g.lm|"}, {{"-obase", "g.lm"}, "0=base;g.lm|"},
        {{"--output=base", "g.lm"}, "0=base;g.lm|"}, {{"--output", "base", "g.lm"}, "0=base;g.lm|"},
        {{"--out=base", "g.lm"}, "0=base;g.lm|"},  // an unambiguous abbreviation
        {{"-wt", "t.pt"}, "2=;3=;t.pt|"}, {{"-wo", "base"}, "2=;0=base;"},  // bundled
        {{"g.lm", "--check", "in"}, "1=;g.lm|in|"},  // options after operands
        {{"--check", "--", "-g.lm", "--trace"}, "1=;-g.lm|--trace|"},
        {{"-", ""}, "-||"},  // "-" and "" are operands
        {{"g.lm", "-h", "--bogus"}, "help"}, {{"--help"}, "help"}, {{"--version", "-x"}, "version"},
        {{"--bogus", "g.lm"}, "error: unknown option '--bogus'"},
        {{"--bogus=1"}, "error: unknown option '--bogus'"}, {{"-x"}, "error: unknown option '-x'"},
        {{"--check", "-wx"}, "error: unknown option '-x'"},
        {{"-o"}, "error: option '-o' needs an argument"},
        {{"g.lm", "-wo"}, "error: option '-o' needs an argument"},
        {{"--output"}, "error: option '--output' needs an argument"},
        {{"--check=yes"}, "error: option '--check' takes no argument"},
        {{"-o", "refused"}, "error: bad value 'refused'"},
        {{"-wt", "x"}, "2=;3=;x|"},  // afresh after a parse that stopped half-way
    };
    // clang-format on
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(Parse(args), expected) << testing::PrintToString(args);
    }
}

}  // namespace
