// Generated parsers parse as the runtime does, on the examples and random
// grammars, and refuse exactly the grammars the runtime refuses to load.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>

#include "batch.h"
#include "codegen/parser_model.h"
#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "random_grammar.h"
#include "runtime/parser.h"

std::vector<lumo_test::BatchGrammar>& lumo_test::BatchGrammars() {
    static std::vector<BatchGrammar> all;
    return all;
}

namespace {

using Ids = std::vector<std::uint32_t>;

constexpr std::size_t kDeep = lumo::Parser::kDefaultMaxDepth;
constexpr std::size_t kMachine = 256;  // the generated parsers' default

std::string RunRuntime(const lumo::ParseTable& table, const Ids& ids, std::size_t maxDepth) {
    lumo::Parser parser(table, maxDepth);
    const auto describe = [&table](const lumo::ParseError& error, const char* name) {
        return name != nullptr ? lumo::DescribeError(table, error, name)
                               : lumo::DescribeError(table, error);
    };
    std::string actions;
    const auto error =
        parser.Parse(ids, [&](const lumo::Action& a) { actions += lumo_test::ActionLine(a); });
    return lumo_test::Record(actions, error, describe) +
           "\nwithout actions: " + lumo_test::Record("", parser.Parse(ids), describe);
}

// Sentences grown token by token from what the runtime would accept next (so
// they go deep into the grammar), each also cut short or with a wrong token
// slipped in, and random sequences with unknown tokens.
std::vector<Ids> Inputs(const lumo::ParseTable& table, unsigned seed) {
    std::mt19937 rng(seed);
    const auto below = [&rng](std::size_t n) { return rng() % n; };
    const auto any = [&]() -> std::uint32_t {
        return below(8) == 0 ? lumo::kUnknownToken
                             : static_cast<std::uint32_t>(below(table.TokenCount() + 1));
    };
    lumo::Parser parser(table);
    std::vector<Ids> all;
    for (int k = 0; k < 12; ++k) {
        Ids s;
        for (;;) {  // an unknown token is refused with all that could have come instead
            s.push_back(lumo::kUnknownToken);
            const auto error = parser.Parse(s);
            s.pop_back();
            if (!error || error->position != s.size() || error->expected.empty() ||
                s.size() >= 24 || (error->endExpected && below(4) == 0)) {
                break;
            }
            s.push_back(error->expected[below(error->expected.size())]);
        }
        all.push_back(s);
        const auto where = s.begin() + static_cast<std::ptrdiff_t>(below(s.size() + 1));
        below(2) == 0 ? void(s.erase(where, s.end())) : void(s.insert(where, any()));
        all.push_back(s);
        all.emplace_back(below(10));
        std::generate(all.back().begin(), all.back().end(), any);
    }
    return all;
}

TEST(GeneratedParsers, ParseAsTheRuntimeDoes) {
    const auto& grammars = lumo_test::BatchGrammars();
    ASSERT_GE(grammars.size(), std::size_t{LUMO_CODEGEN_BATCH});
    for (std::size_t g = 0; g < grammars.size() && !HasFailure(); ++g) {
        const lumo::ParseTable table = lumo::ParseTable::FromBytes(grammars[g].table);
        const std::vector<Ids> inputs = Inputs(table, static_cast<unsigned>(g));
        for (std::size_t k = 0; k < inputs.size(); ++k) {
            // Also the walk taking over from the descent one to three graphs
            // deep, and for every other input a depth limit low enough to reach.
            std::vector<std::pair<std::size_t, std::size_t>> depths{{kDeep, kMachine},
                                                                    {kDeep, 1 + k % 3}};
            if (k % 2 == 0)
                depths.emplace_back(k / 2 % 4, kMachine);
            for (const auto& [depth, machine] : depths) {
                EXPECT_EQ(grammars[g].run(inputs[k], depth, machine),
                          RunRuntime(table, inputs[k], depth))
                    << grammars[g].name << ", depth " << depth << ", descent " << machine
                    << ", tokens " << testing::PrintToString(inputs[k]);
            }
        }
    }
}

// Deeper than the descent nests on the machine stack, the walk with a stack
// of its own takes over, back up to the top.
TEST(GeneratedParsers, NestDeeplyWithoutTheCallStack) {
    const auto& grammars = lumo_test::BatchGrammars();
    const auto arith = std::find_if(grammars.begin(), grammars.end(),
                                    [](const auto& g) { return g.name == "arith.lm"; });
    ASSERT_NE(arith, grammars.end());
    const lumo::ParseTable table = lumo::ParseTable::FromBytes(arith->table);
    const std::size_t levels = 200000;  // each "(" enters Expr, Term and Factor
    Ids deep(levels, table.FindToken("("));
    deep.push_back(table.FindToken("num"));
    deep.insert(deep.end(), levels, table.FindToken(")"));
    deep.push_back(table.FindToken("*"));
    deep.push_back(table.FindToken("num"));
    // "num" enters three graphs too, one too many for the lowest limit.
    for (const auto& [ids, depth] : {std::pair{deep, kDeep},
                                     {Ids(deep.begin(), deep.end() - 3), kDeep},
                                     {deep, 3 * levels + 2}}) {
        EXPECT_EQ(arith->run(ids, depth, kMachine), RunRuntime(table, ids, depth));
    }
    EXPECT_TRUE(RunRuntime(table, deep, kDeep).ends_with("accepted\nwithout actions: accepted"));
    EXPECT_NE(arith->run(deep, 3 * levels + 2, kMachine)
                  .find("\ninput nested too deeply: entering graph \"Factor\" at \"num\" would "
                        "pass the depth limit\n"),
              std::string::npos);
}

TEST(GeneratedParsers, RefuseExactlyTheGrammarsTheRuntimeRefuses) {
    std::mt19937 rng(7);
    int kept = 0, refused = 0;
    for (int k = 0; k < 1500; ++k) {
        const lm_layout::Document doc = lumo_test::RandomGrammar(rng);
        CFlatGrammar grammar;
        grammar.Load(lm_layout::Write(doc, 0));
        try {
            grammar.Validate();
        } catch (const CParseException&) {
            continue;
        }
        std::string generator, runtime;
        try {
            codegen::BuildParserModel(codegen::ReadGrammar(grammar));
        } catch (const CParseException& e) {
            generator = e.what();
        }
        try {
            lumo::ParseTable::FromBytes(lm_layout::Write(doc, 1));
        } catch (const lumo::TableError& e) {  // the same but for where, and "table" for "grammar"
            runtime = std::regex_replace(e.what(), std::regex("^byte [0-9]+: "), "");
            runtime =
                std::regex_replace(runtime, std::regex("the table lacks"), "the grammar lacks");
        }
        EXPECT_EQ(generator, runtime);
        ++kept;
        refused += generator.empty() ? 0 : 1;
    }
    EXPECT_GT(refused, 20);
    EXPECT_GT(kept - refused, 80);
}

}  // namespace
