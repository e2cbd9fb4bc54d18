// lumo-parse as a user runs it, from a drawn grammar to a parsed input:
// exit status, standard streams and positions.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "support/grammar_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::ReadFile;
using lumo_test::TempDir;
using lumo_test::WriteFile;

using Result = lumo_test::ProgramResult;

const std::string kExamples = LUMO_SOURCE_DIR "/examples/";

class LumoParse : public ::testing::Test {
protected:
    Result Run(const std::string& program, const std::vector<std::string>& args,
               const std::string& input = "") {
        return lumo_test::RunProgram(program, args, m_io, input);
    }
    Result Parse(const std::vector<std::string>& args, const std::string& input = "") {
        return Run(LUMO_PARSE, args, input);
    }

    TempDir m_dir;
    TempDir m_io;
};

TEST_F(LumoParse, ParsesTheExamplesThroughTablesLumoGenerates) {
    for (const char* name : {"arith", "json"}) {
        const std::string base = m_dir.Path(name);
        ASSERT_EQ(Run(LUMO_GEN, {"-o", base, kExamples + name + ".lm"}).status, 0);
        EXPECT_EQ(ReadFile(base + ".pt"), ReadFile(kExamples + name + ".pt"))
            << "examples/" << name << ".pt is not what lumo-gen makes of " << name << ".lm";
        const Result r = Parse({"--words", base + ".pt", kExamples + name + ".sample"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out + r.err, "");
    }

    const Result r =
        Parse({"--words", "--trace", m_dir.Path("arith.pt"), "-"}, "num * ( num - num )\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "@num\ttoken\tnum\n"
              "@num\ttoken\tnum\n"
              "@num\ttoken\tnum\n"
              "@sub\tgraph\tTerm\n"
              "@mul\tgraph\tFactor\n");
}

// The part of an error line that does not depend on how the graphs number
// their nodes: where, what was met, and in which graph.
std::string UpToNode(const std::string& err) {
    return err.substr(0, err.find(" at node #"));
}

TEST_F(LumoParse, ParsesWithTablesFromTheExamplesEbnfAsWithTheDrawnOnes) {
    const std::pair<std::string, std::vector<std::string>> inputs[] = {
        {"arith", {"num", "num + num * - num / ( num - num )", "num +", "( num", "num num", ")"}},
        {"json",
         {"{ }", "[ ]", "[ number , { string : [ true , false , null ] } ]", "{ string }",
          "[ number , ]", "{ string : }"}},
    };
    for (const auto& [name, cases] : inputs) {
        for (const char* kind : {".lm", ".ebnf"}) {
            ASSERT_EQ(
                Run(LUMO_GEN, {"-o", m_dir.Path(name + kind), kExamples + name + kind}).status, 0);
        }
        std::vector<std::string> all = cases;
        all.push_back(ReadFile(kExamples + name + ".sample"));
        for (const std::string& input : all) {
            const Result drawn = Parse({"-w", "-t", m_dir.Path(name + ".lm.pt"), "-"}, input);
            const Result written = Parse({"-w", "-t", m_dir.Path(name + ".ebnf.pt"), "-"}, input);
            EXPECT_EQ(written.status, drawn.status) << input;
            EXPECT_EQ(written.out, drawn.out) << input;
            EXPECT_EQ(UpToNode(written.err), UpToNode(drawn.err)) << input;
        }
    }
}

// Grammars written in EBNF as a language reference would write them
// (tests/ebnf/data), checked from the text to the parse.
TEST_F(LumoParse, ParsesGrammarsWrittenInEbnfAsTheirTextSays) {
    struct Case {
        const char* grammar;
        std::vector<std::string> accepted, refused;
    };
    const Case cases[] = {
        {"expression",
         {"NUMBER", "IDENT ( NUMBER , IDENT ^ NUMBER ^ NUMBER ) * ( NUMBER - - IDENT ) % NUMBER",
          "IDENT ( )", "- - NUMBER"},
         {"NUMBER +", "( NUMBER", "IDENT ( , )", "NUMBER NUMBER", "^ NUMBER"}},
        {"json",
         {"{ }", "[ ]", "STRING", "[ NUMBER , { STRING : [ true , false , null ] } ]"},
         {"{ STRING }", "[ NUMBER , ]", "{ , }", "true false"}},
        {"statements",
         {"call ident .", "begin end .",
          "const ident = number , ident = number ; var ident , ident ; procedure ident ; var "
          "ident ; begin ident := number ; while ident < ident do begin if ident / ident * ident "
          "= ident then ident := number ; ident := ident + number end end ; begin ident := "
          "number ; while ident <= ident do begin call ident ; if odd ident then ident := - "
          "ident end end ."},
         {"begin ident := end .", "var ident ident ; .", "if odd ident do ident := number .",
          "ident := number", "procedure ident ; . ."}},
    };
    const std::string data = LUMO_SOURCE_DIR "/tests/ebnf/data/";
    for (const Case& c : cases) {
        const std::string table = m_dir.Path(c.grammar);
        const Result gen = Run(LUMO_GEN, {"-o", table, data + c.grammar + ".ebnf"});
        ASSERT_EQ(gen.status, 0) << gen.err;
        for (const std::string& input : c.accepted) {
            const Result r = Parse({"-w", table + ".pt", "-"}, input);
            EXPECT_EQ(r.status, 0) << c.grammar << ": " << input << "\n" << r.err;
        }
        for (const std::string& input : c.refused) {
            EXPECT_EQ(Parse({"-w", table + ".pt", "-"}, input).status, 1)
                << c.grammar << ": " << input;
        }
    }
    // JSON as many references write it chooses between two graphs at one
    // node, which a table cannot: imported, then refused.
    const Result r = Run(LUMO_GEN, {"--check", data + "json_two_graphs.ebnf"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, data +
                         "json_two_graphs.ebnf: error: Node #1 of graph element has more than "
                         "one graph output!\n");
}

TEST_F(LumoParse, ReadsOneTokenALineUnlessToldWords) {
    const std::string table = kExamples + "json.pt";
    // Blank lines are skipped and a carriage return ends a line too.
    EXPECT_EQ(Parse({table}, "{\r\nstring\n\n:\nnumber\n}").status, 0);
    // Words are one token per line only with --words.
    const Result r = Parse({table}, "{ }\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "<stdin>:1:1: error: unexpected \"{ }\" in graph \"MAIN\" at node #1; expected "
              "\"string\", \"number\", \"true\", \"false\", \"null\", \"{\" or \"[\"\n");
}

TEST_F(LumoParse, ReportsTheLineAndColumnOfTheRefusedToken) {
    const std::string input = m_dir.Path("input.txt");
    WriteFile(input, "{ string : [ number ,\n    true , ] }\n");
    Result r = Parse({"-w", kExamples + "json.pt", input});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, input +
                         ":2:12: error: unexpected \"]\" in graph \"Elements\" at node #1; "
                         "expected \"string\", \"number\", \"true\", \"false\", \"null\", \"{\" "
                         "or \"[\"\n");

    // The end of input sits after the last character; actions up to the
    // error have been printed.
    r = Parse({"-w", "-t", kExamples + "arith.pt"}, "num +\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "@num\ttoken\tnum\n");
    EXPECT_EQ(r.err,
              "<stdin>:2:1: error: unexpected end of input in graph \"Expr\" at node #3; expected "
              "\"num\", \"(\" or \"-\"\n");

    r = Parse({"-w", "--max-depth", "10", kExamples + "arith.pt"}, "( ( ( ( num ) ) ) )");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "<stdin>:1:7: error: input nested too deeply: entering graph \"Term\" at \"(\" would "
              "pass the depth limit\n");
}

TEST_F(LumoParse, FailsWithStatusTwoOnTablesAndInputsItCannotUse) {
    const std::string bad = m_dir.Path("bad.pt");
    WriteFile(bad, ReadFile(kExamples + "arith.pt").substr(0, 100));
    Result r = Parse({bad}, "num\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, bad +
                         ": byte 96: the edge count of node #3 of graph \"Expr\" is 1, more than "
                         "the 0 bytes left can hold\n");

    r = Parse({m_dir.Path("missing.pt")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, m_dir.Path("missing.pt") + ": No such file or directory\n");

    r = Parse({kExamples + "arith.pt", m_dir.Path("missing.txt")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, m_dir.Path("missing.txt") + ": No such file or directory\n");
}

// A table that is not a file, or too large for the memory there is: one
// line and status 2, never a hang or an abort. The tokens may come through a
// pipe; running out of memory reading them is reported the same way.
TEST_F(LumoParse, OtherKindsOfFileAndRunningOutOfMemory) {
    const std::string pipe = m_dir.Path("pipe.pt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& table : {pipe, std::string("/dev/zero")}) {
        const Result r = lumo_test::RunProgram(LUMO_PARSE, {table}, m_io, "num\n", 512);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, table + ": not a regular file\n");
    }
    if (lumo_test::kAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer aborts where std::bad_alloc would be thrown";
    }
    const std::string huge = m_dir.Path("huge.pt");
    { std::ofstream out(huge, std::ios::binary); }
    ASSERT_EQ(::truncate(huge.c_str(), off_t{8} << 30), 0);  // sparse
    Result r = lumo_test::RunProgram(LUMO_PARSE, {huge}, m_io, "num\n", 128);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, huge + ": Cannot allocate memory\n");
    r = lumo_test::RunProgram(LUMO_PARSE, {kExamples + "arith.pt", "/dev/zero"}, m_io, "", 128);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "/dev/zero: Cannot allocate memory\n");
}

TEST_F(LumoParse, RefusesBadUsageWithStatus64) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--bogus", "t.pt"},
                                               {"--max-depth", "0", "t.pt"},
                                               {"--max-depth"},
                                               {"t.pt", "a", "b"}}) {
        const Result r = Parse(args);
        EXPECT_EQ(r.status, 64);
        EXPECT_NE(r.err.find("usage: lumo-parse"), std::string::npos);
    }
    const Result help = Parse({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: lumo-parse", 0), 0u);
}

}  // namespace
