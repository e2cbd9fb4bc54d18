// The command-line skeleton both tools share: GNU conventions and the
// messages of usage errors.

#include "cli/tool.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace {

using lumo::cli::CommandLine;
using Action = CommandLine::Action;
using Args = std::vector<std::string>;

constexpr std::array<lumo::cli::OptionSpec, 4> kSpecs{{
    {"output", 'o', true, 0},
    {"check", 0, false, 1},
    {"words", 'w', false, 2},
    {"trace", 't', false, 3},
}};

// The line, and the options handled as "id=arg;" then the operands as "op|".
std::pair<CommandLine, std::string> Parse(const Args& args) {
    std::string seen;
    CommandLine line = lumo::cli::ParseCommandLine(
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
    return {line, seen};
}

TEST(CommandLine, FollowsTheGnuConventions) {
    const std::pair<Args, const char*> cases[] = {
        {{"-o", "base", "g.lm"}, "0=base;g.lm|"},
        {{"-obase", "g.lm"}, "0=base;g.lm|"},
        {{"--output=base", "g.lm"}, "0=base;g.lm|"},
        {{"--output", "base", "g.lm"}, "0=base;g.lm|"},
        {{"--out=base", "g.lm"}, "0=base;g.lm|"},  // an unambiguous abbreviation
        {{"-wt", "t.pt"}, "2=;3=;t.pt|"},          // bundled short options
        {{"-wo", "base"}, "2=;0=base;"},
        {{"g.lm", "--check", "in"}, "1=;g.lm|in|"},  // options after operands
        {{"--check", "--", "-g.lm", "--trace"}, "1=;-g.lm|--trace|"},
        {{"-", ""}, "-||"},  // "-" and "" are operands
    };
    for (const auto& [args, seen] : cases) {
        const auto [line, handled] = Parse(args);
        EXPECT_EQ(line.action, Action::Run) << seen;
        EXPECT_EQ(handled, seen);
    }
}

TEST(CommandLine, HelpVersionAndUsageErrors) {
    EXPECT_EQ(Parse({"g.lm", "-h", "--bogus"}).first.action, Action::Help);
    EXPECT_EQ(Parse({"--help"}).first.action, Action::Help);
    EXPECT_EQ(Parse({"--version", "-x"}).first.action, Action::Version);
    const std::pair<Args, std::string> errors[] = {
        {{"--bogus", "g.lm"}, "unknown option '--bogus'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--check", "-wx"}, "unknown option '-x'"},
        {{"-o"}, "option '-o' needs an argument"},
        {{"g.lm", "-wo"}, "option '-o' needs an argument"},
        {{"--output"}, "option '--output' needs an argument"},
        {{"--check=yes"}, "option '--check' takes no argument"},
        {{"-o", "refused"}, "bad value 'refused'"},
    };
    for (const auto& [args, message] : errors) {
        const CommandLine line = Parse(args).first;
        EXPECT_EQ(line.action, Action::UsageError) << message;
        EXPECT_EQ(line.error, message);
    }
    // A parse starts afresh after an earlier one stopped half-way.
    EXPECT_EQ(Parse({"-wt", "x"}).second, "2=;3=;x|");
}

}  // namespace
