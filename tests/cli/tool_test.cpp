// The command-line skeleton both tools share: GNU conventions and the
// messages of usage errors.

#include "cli/tool.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using lumo::cli::CommandLine;
using Action = CommandLine::Action;

enum { kOut, kCheck, kWords, kTrace };
constexpr std::array<lumo::cli::OptionSpec, 4> kSpecs{{
    {"output", 'o', true, kOut},
    {"check", 0, false, kCheck},
    {"words", 'w', false, kWords},
    {"trace", 't', false, kTrace},
}};

struct Parsed {
    CommandLine line;
    std::string seen;  // the options handled, as "id=arg;"
};

Parsed Parse(const std::vector<std::string>& args) {
    Parsed p;
    p.line = lumo::cli::ParseCommandLine(
        args, kSpecs, [&p](int id, const std::string& arg) -> std::optional<std::string> {
            if (arg == "refused") {
                return "bad value '" + arg + "'";
            }
            p.seen += std::to_string(id) + "=" + arg + ";";
            return std::nullopt;
        });
    return p;
}

std::string Operands(const CommandLine& line) {
    std::string all;
    for (const std::string& s : line.operands) {
        all += s + "|";
    }
    return all;
}

TEST(CommandLine, FollowsTheGnuConventions) {
    struct Case {
        std::vector<std::string> args;
        std::string seen;
        std::string operands;
    } cases[] = {
        {{"-o", "base", "g.lm"}, "0=base;", "g.lm|"},
        {{"-obase", "g.lm"}, "0=base;", "g.lm|"},
        {{"--output=base", "g.lm"}, "0=base;", "g.lm|"},
        {{"--output", "base", "g.lm"}, "0=base;", "g.lm|"},
        {{"--out=base", "g.lm"}, "0=base;", "g.lm|"},  // an unambiguous abbreviation
        {{"-wt", "t.pt"}, "2=;3=;", "t.pt|"},          // bundled short options
        {{"-wo", "base"}, "2=;0=base;", ""},
        {{"g.lm", "--check", "in"}, "1=;", "g.lm|in|"},  // options after operands
        {{"--check", "--", "-g.lm", "--trace"}, "1=;", "-g.lm|--trace|"},
        {{"-", ""}, "", "-||"},  // "-" and "" are operands
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_EQ(p.line.action, Action::Run) << c.args.front();
        EXPECT_EQ(p.seen, c.seen) << c.args.front();
        EXPECT_EQ(Operands(p.line), c.operands) << c.args.front();
    }
}

TEST(CommandLine, HelpVersionAndUsageErrors) {
    EXPECT_EQ(Parse({"g.lm", "-h", "--bogus"}).line.action, Action::Help);
    EXPECT_EQ(Parse({"--help"}).line.action, Action::Help);
    EXPECT_EQ(Parse({"--version", "-x"}).line.action, Action::Version);

    const std::pair<std::vector<std::string>, std::string> errors[] = {
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
        const CommandLine line = Parse(args).line;
        EXPECT_EQ(line.action, Action::UsageError) << message;
        EXPECT_EQ(line.error, message);
    }
    // A parse starts afresh after an earlier one stopped half-way.
    EXPECT_EQ(Parse({"-wt", "x"}).seen, "2=;3=;");
}

}  // namespace
