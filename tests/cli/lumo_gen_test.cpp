// lumo-gen as a user runs it: exit status, standard streams, files written.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "support/run_program.h"

namespace {

using lumo_test::ReadFile;
using lumo_test::WriteFile;
using Result = lumo_test::ProgramResult;
namespace fs = std::filesystem;

// expr.lm is the worked example; bad.lm the same with no final node in MAIN.
class LumoGen : public ::testing::Test {
protected:
    LumoGen() {
        CGrammer doc;
        lumo_test::BuildWorkedExample(doc);
        WriteFile(Path("expr.lm"), lumo_test::Store(doc));
        lumo_test::MakeFinal(doc, 3);
        WriteFile(Path("bad.lm"), lumo_test::Store(doc));
    }
    // "{}" in a text stands for the folder of the test's files.
    std::string Path(std::string text) const {
        text = text.find("{}") == std::string::npos ? "{}" + text : text;
        for (size_t at; (at = text.find("{}")) != std::string::npos;) {
            text.replace(at, 2, m_dir.Root() + "/");
        }
        return text;
    }
    // Runs lumo-gen with the words of command as its arguments.
    Result Gen(const std::string& command, unsigned memoryMb = 0) {
        std::vector<std::string> args;
        std::istringstream words(command);
        for (std::string word; words >> word;) {
            args.push_back(word.find("{}") == std::string::npos ? word : Path(word));
        }
        return lumo_test::RunProgram(LUMO_GEN, args, m_io, "", memoryMb);
    }
    size_t Files() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(m_dir.Root()), fs::directory_iterator()));
    }

    lumo_test::TempDir m_dir, m_io;
};

// Each exit status and message; no file written where the command fails.
TEST_F(LumoGen, ExitStatusAndMessages) {
    const std::string corpus = LUMO_SOURCE_DIR "/fuzz/corpus/";
    WriteFile(Path("bad.pt"), "previous");
    WriteFile(Path("junk.lm"), "not a grammar at all");
    WriteFile(Path("empty.lm"), "");  // what the desktop's "new document" entry makes
    WriteFile(Path("file"), "");
    WriteFile(Path("bad.ebnf"), "MAIN ::= a\n  E ::= ( b\n");
    WriteFile(Path("two.ebnf"), "MAIN ::= A | B\nA ::= a\nB ::= b\n");
    for (const char* name : {"bad_truncated_215", "bad_trailing_byte", "bad_repeated_number"}) {
        fs::copy_file(corpus + name + ".lm", Path(std::string(name) + ".lm"));
    }
    WriteFile(Path("left.ebnf"), "MAIN ::= E\nE ::= E\n");  // valid, but enters E for ever
    fs::create_directory(Path("dir.txt"));
    fs::copy_file(Path("expr.lm"), Path("dir.lm"));

    // A message that starts with ':' follows the name of the file read.
    const std::string noFinal = ": error: Graph 'MAIN' doesn't have final node!\n";
    const std::string format = ": error: Unexpected file format. (byte ";
    const std::string open = ":2:9: error: '(' is not closed\n";
    // clang-format off
    const std::tuple<const char*, int, std::string> cases[] = {
        {"{}bad.lm", 1, noFinal}, {"{}empty.lm", 1, noFinal},
        {"{}two.ebnf", 1, ": error: Node #1 of graph MAIN has more than one graph output!\n"},
        {"--ebnf {}bad.lm", 1, ": error: graph \"MAIN\": it accepts nothing: no final node can "
                               "be reached from node 1\n"},
        {"--cpp {}left {}left.ebnf", 1, ": error: left recursion: graph \"E\" can enter itself "
                                        "without consuming a token (E -> E)\n"},
        {"{}missing.lm", 2, ": error: No such file or directory\n"},
        {"{}junk.lm", 2, format + "4: count exceeds the data left)\n"},
        {"{}bad_truncated_215.lm", 2, format + "212: unexpected end of data)\n"},
        {"{}bad_trailing_byte.lm", 2, format + "216: data after the last graph)\n"},
        {"{}bad_repeated_number.lm", 2, format + "4: graph \"MAIN\": repeated node number)\n"},
        {"{}dir.lm", 2, "{}dir.txt: error: Is a directory\n"},
        {"--svg {}file/sub {}expr.lm", 2, "{}file/sub: error: Not a directory\n"},
        {"--lm {}two.ebnf {}two.ebnf", 2, ": error: the document would overwrite the grammar\n"},
        {"{}bad.ebnf", 2, open}, {"--svg {}svg {}bad.ebnf", 2, open},
    };
    // clang-format on
    const size_t files = Files();
    for (const auto& [command, status, err] : cases) {
        const std::string file = std::string(command).substr(std::string(command).rfind(' ') + 1);
        const Result r = Gen(command);
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err,
                  std::to_string(status) + Path((err[0] == ':' ? file : "") + err));
    }
    EXPECT_EQ(ReadFile(Path("bad.pt")), "previous");
    EXPECT_TRUE(fs::remove(Path("dir.pt")));  // complete before the text table failed
    EXPECT_EQ(Files(), files) << "a failed command wrote a file";

    for (const char* command :
         {"", "--bogus {}expr.lm", "-o", "{}expr.lm {}bad.lm", "--svg {}svg --check {}expr.lm",
          "--ebnf --check {}two.ebnf", "--lm {}x.lm -o {}x {}two.ebnf",
          "--lm {}x.lm --ebnf {}two.ebnf", "--cpp {}x -o {}y {}expr.lm",
          "--cpp {}x --namespace int {}expr.lm", "--cpp {}x --namespace a:: {}expr.lm",
          "--cpp {}x --namespace _Alpha {}expr.lm", "--namespace n {}expr.lm"}) {
        const Result r = Gen(command);
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err.substr(0, 10), "64lumo-gen: ")
            << command;
        EXPECT_NE(r.err.find("usage: lumo-gen [-o BASE] [--check] FILE"), std::string::npos);
    }
    const Result version = Gen("--version"), help = Gen("--help");
    EXPECT_EQ(version.status + help.status, 0);
    EXPECT_EQ(version.out.substr(0, version.out.find('\n')),
              std::string("lumo-gen ") + LUMO_VERSION_TEXT);
    EXPECT_EQ(help.out.rfind("usage: lumo-gen", 0), 0u);
    EXPECT_EQ(Files(), files);
}

// Refused: either table being the grammar (through a hard link), what is no regular file.
TEST_F(LumoGen, RefusesToOverwriteTheGrammarOrToReadWhatIsNoFile) {
    const std::string grammar = ReadFile(Path("expr.lm"));
    for (const std::string table : {"expr.pt", "expr.txt"}) {
        ASSERT_EQ(::link(Path("expr.lm").c_str(), Path(table).c_str()), 0);
        const size_t files = Files();
        EXPECT_EQ(Gen("{}expr.lm").err,
                  Path(table + ": error: the table would overwrite the grammar document\n"));
        EXPECT_EQ(ReadFile(Path("expr.lm")), grammar);
        EXPECT_EQ(Files(), files);
        fs::remove(Path(table));
    }
    ASSERT_EQ(::mkfifo(Path("pipe.lm").c_str(), 0600), 0);
    EXPECT_EQ(Gen("--svg {}svg {}pipe.lm", 512).err, Path("pipe.lm: error: not a regular file\n"));
}

TEST_F(LumoGen, RunningOutOfMemoryIsOneLine) {
    if (lumo_test::kAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer aborts where std::bad_alloc would be thrown";
    }
    { std::ofstream out(Path("huge.lm"), std::ios::binary); }
    ASSERT_EQ(::truncate(Path("huge.lm").c_str(), off_t{8} << 30), 0);  // sparse
    const Result r = Gen("{}huge.lm", 256);
    EXPECT_EQ(std::to_string(r.status) + r.err,
              "2" + Path("huge.lm: error: Cannot allocate memory\n"));
}

// The editor's tables from a document or EBNF; --svg draws an invalid grammar too.
TEST_F(LumoGen, WritesWhatItIsAskedForAndNothingElse) {
    const std::string before = ReadFile(Path("expr.lm"));
    WriteFile(Path("g.ebnf"), "MAIN ::= a @push E\nE ::= b\n");
    fs::copy_file(Path("expr.lm"), Path("chk.lm"));
    fs::create_directory(Path("out"));
    for (const char* command :
         {"{}expr.lm", "-o {}out/tables {}expr.lm", "--check {}chk.lm", "{}g.ebnf",
          "--svg {}bad {}bad.lm", "--lm {}g.lm {}g.ebnf", "--output={}from_lm {}g.lm",
          "--cpp {}my-parser {}chk.lm", "--cpp {}ns --namespace=calc::v1 {}chk.lm",
          "--cpp {}std {}chk.lm"}) {
        const Result r = Gen(command);
        EXPECT_EQ(std::to_string(r.status) + r.out + r.err, "0") << command;
    }
    EXPECT_EQ(ReadFile(Path("expr.lm")), before);
    CGrammer doc;
    lumo_test::Load(doc, before);
    doc.WriteParseTables(Path("ref.pt"), Path("ref.txt"));
    for (const char* table : {"expr", "out/tables", "g", "from_lm"}) {
        EXPECT_EQ(ReadFile(Path(table + std::string(".pt"))), ReadFile(Path("ref.pt"))) << table;
        EXPECT_EQ(ReadFile(Path(table + std::string(".txt"))), ReadFile(Path("ref.txt"))) << table;
    }
    for (const char* none : {"bad.pt", "chk.pt", "chk.txt"}) {
        EXPECT_FALSE(fs::exists(Path(none))) << none;
    }
    EXPECT_EQ(ReadFile(Path("bad/MAIN.svg")).rfind("<?xml", 0), 0u);
    EXPECT_TRUE(fs::exists(Path("bad/E.svg")));
    for (const char* file : {"g.lm", "g.ebnf", "expr.lm"}) {
        EXPECT_EQ(Gen("--ebnf " + Path(file)).out, "MAIN ::= a @push E\nE    ::= b\n") << file;
    }
    const std::string header = ReadFile(Path("my-parser.h"));
    EXPECT_EQ(header.substr(0, header.find('\n')),
              std::string("// my-parser.h: a parser for the grammar \"chk.lm\", generated by "
                          "lumo-gen ") +
                  LUMO_VERSION_TEXT + ".");
    EXPECT_NE(header.find("namespace my_parser {"), std::string::npos);
    const std::string source = ReadFile(Path("my-parser.cpp"));
    EXPECT_EQ(source.find("#include \"my-parser.h\""), source.find('\n') + 1);
    EXPECT_NE(ReadFile(Path("ns.h")).find("namespace calc::v1 {"), std::string::npos);
    // A file name the standard keeps for itself names no namespace.
    EXPECT_NE(ReadFile(Path("std.h")).find("namespace std_ {"), std::string::npos);
}

}  // namespace
