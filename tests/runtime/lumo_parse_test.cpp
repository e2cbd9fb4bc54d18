// lumo-parse and the calculators as a user runs them: exit status, standard
// streams and positions.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/run_program.h"

namespace {

using lumo_test::ReadFile;
using Result = lumo_test::ProgramResult;
using Args = std::vector<std::string>;

const std::string kExamples = LUMO_SOURCE_DIR "/examples/";

class LumoParse : public ::testing::Test {
protected:
    // Under a time limit of its own, so that a program that hangs fails fast.
    Result Run(const std::string& program, Args args, const std::string& input = "") {
        args.insert(args.begin(), {"10", program});
        return lumo_test::RunProgram("/usr/bin/timeout", args, m_io, input);
    }
    std::string Path(const std::string& name) const { return m_dir.Path(name); }

    lumo_test::TempDir m_dir, m_io;
};

// The examples' tables are what lumo-gen makes of their drawings; their samples parse.
TEST_F(LumoParse, ParsesTheExampleSamplesWithTheTablesLumoGenMakes) {
    for (const std::string name : {"arith", "json"}) {
        ASSERT_EQ(Run(LUMO_GEN, {"-o", Path(name), kExamples + name + ".lm"}).status, 0);
        EXPECT_EQ(ReadFile(Path(name + ".pt")), ReadFile(kExamples + name + ".pt")) << name;
        const Result r = Run(LUMO_PARSE, {"-w", Path(name + ".pt"), kExamples + name + ".sample"});
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "0") << name;
    }
}

// Every exit status and kind of message, the streams byte for byte.
TEST_F(LumoParse, ExitStatusAndMessages) {
    lumo_test::WriteFile(Path("input.txt"), "{ string : [ number ,\n    true , ] }\n");
    lumo_test::WriteFile(Path("bad.pt"), ReadFile(kExamples + "arith.pt").substr(0, 100));
    const std::string arith = kExamples + "arith.pt", json = kExamples + "json.pt";
    const std::string values =
        "expected \"string\", \"number\", \"true\", \"false\", \"null\", \"{\" or \"[\"\n";
    const std::string noFile = "No such file or directory\n";
    // The expected status, standard output and standard error, split by "|".
    // clang-format off
    const struct {
        Args args;
        std::string input, expected;
    } cases[] = {
        {{LUMO_PARSE, "--words", "--trace", arith, "-"}, "num * ( num - num )\n",
         "0|@num\ttoken\tnum\n@num\ttoken\tnum\n@num\ttoken\tnum\n@sub\tgraph\tTerm\n"
         "@mul\tgraph\tFactor\n|"},
        // One token a line, blank lines skipped, CR ending a line too.
        {{LUMO_PARSE, json}, "{\r\nstring\n\n:\nnumber\n}", "0||"},
        {{LUMO_PARSE, json}, "{ }\n",
         "1||<stdin>:1:1: error: unexpected \"{ }\" in graph \"MAIN\" at node #1; " + values},
        {{LUMO_PARSE, "-w", json, Path("input.txt")}, "", "1||" + Path("input.txt") +
         ":2:12: error: unexpected \"]\" in graph \"Elements\" at node #1; " + values},
        // The end of input follows the last character; actions up to the error are printed.
        {{LUMO_PARSE, "-w", "-t", arith}, "num +\n", "1|@num\ttoken\tnum\n|<stdin>:2:1: error: "
         "unexpected end of input in graph \"Expr\" at node #3; expected \"num\", \"(\" or "
         "\"-\"\n"},
        {{LUMO_PARSE, "-w", "--max-depth", "10", arith}, "( ( ( ( num ) ) ) )", "1||<stdin>:1:7: "
         "error: input nested too deeply: entering graph \"Term\" at \"(\" would pass the "
         "depth limit\n"},
        {{LUMO_PARSE, Path("bad.pt")}, "num\n", "2||" + Path("bad.pt") + ": byte 96: the edge "
         "count of node #3 of graph \"Expr\" is 1, more than the 0 bytes left can hold\n"},
        {{LUMO_PARSE, Path("missing")}, "", "2||" + Path("missing") + ": " + noFile},
        {{LUMO_PARSE, arith, Path("missing")}, "", "2||" + Path("missing") + ": " + noFile},
        // A folder opens, but reading it fails.
        {{LUMO_PARSE, arith, m_dir.Root()}, "", "2||" + m_dir.Root() + ": Is a directory\n"},
        {{LUMO_CALC, "2 + 3 * 4"}, "", "0|14\n|"},
        {{LUMO_CALC, "--table", json, "1"}, "",
         "1||lumo-calc: the table has no token \"num\"; is it examples/arith.pt?\n"},
        {{LUMO_CALC, "--table", arith}, "", "64||usage: lumo-calc [--table TABLE.pt] EXPRESSION\n"},
        {{LUMO_CALC_GENERATED, "1 / (2 - 2)"}, "", "1||lumo-calc-generated: division by zero\n"},
        {{LUMO_CALC_GENERATED}, "", "64||usage: lumo-calc-generated EXPRESSION\n"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Result r = Run(c.args[0], Args(c.args.begin() + 1, c.args.end()), c.input);
        EXPECT_EQ(std::to_string(r.status) + "|" + r.out + "|" + r.err, c.expected)
            << c.args.back();
    }
    for (const Args& args : {Args{},
                             {"--bogus", "t.pt"},
                             {"--max-depth", "0", "t.pt"},
                             {"--max-depth"},
                             {"t.pt", "a", "b"},
                             {"--help"}}) {
        const Result r = Run(LUMO_PARSE, args);
        EXPECT_EQ(r.status, args.size() == 1 && args[0] == "--help" ? 0 : 64);
        EXPECT_NE((r.status == 0 ? r.out : r.err).find("usage: lumo-parse"), std::string::npos);
    }
}

// No regular file, or tokens that run out of memory: one line, status 2, no hang.
TEST_F(LumoParse, OtherKindsOfFileAndRunningOutOfMemory) {
    const auto limited = [this](const Args& args, unsigned mb) {
        return lumo_test::RunProgram(LUMO_PARSE, args, m_io, "num\n", mb);
    };
    ASSERT_EQ(::mkfifo(Path("pipe.pt").c_str(), 0600), 0);
    const Result pipe = limited({Path("pipe.pt")}, 512);
    EXPECT_EQ(std::to_string(pipe.status) + pipe.err,
              "2" + Path("pipe.pt") + ": not a regular file\n");
    if (lumo_test::kAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer aborts where std::bad_alloc would be thrown";
    }
    const Result r = limited({kExamples + "arith.pt", "/dev/zero"}, 128);
    EXPECT_EQ(std::to_string(r.status) + r.err, "2/dev/zero: Cannot allocate memory\n");
}

}  // namespace
