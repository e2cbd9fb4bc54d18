// Generated parsers against the runtime's Parser, on the example grammars
// and a few hundred random ones: the same token sequences, valid and
// invalid, must give the same result, the same error in every field and
// description, and the same actions in the same order, with an action
// callback and without. And lumo-gen's parsers must refuse exactly the
// grammars the runtime refuses to load, for the same reason.

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "batch.h"
#include "codegen/parser_model.h"
#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "random_grammar.h"
#include "runtime/parser.h"

namespace {

using lumo_test::Outcome;
using lumo_test::Outcomes;
using Ids = std::vector<std::uint32_t>;

constexpr std::size_t kDeep = lumo::Parser::kDefaultMaxDepth;
constexpr std::size_t kMachine = 256;  // the generated parsers' default

Outcomes RunRuntime(const lumo::ParseTable& table, const Ids& ids, std::size_t maxDepth) {
    lumo::Parser parser(table, maxDepth);
    Outcomes out;
    const auto describe = [&table](const lumo::ParseError& error, const char* name) {
        return name != nullptr ? lumo::DescribeError(table, error, name)
                               : lumo::DescribeError(table, error);
    };
    lumo_test::Record(out.reporting,
                      parser.Parse(ids,
                                   [&](const lumo::Action& a) {
                                       out.reporting.actions.push_back(lumo_test::Describe(a));
                                   }),
                      describe);
    lumo_test::Record(out.quiet, parser.Parse(ids), describe);
    return out;
}

std::string Show(const Outcome& o) {
    std::string s = o.accepted ? "accepted" : o.description;
    for (const std::string& a : o.actions) {
        s += "\n    " + a;
    }
    return s;
}

std::string Show(const Ids& ids) {
    std::string s;
    for (const std::uint32_t id : ids) {
        s += " " + std::to_string(id);
    }
    return s;
}

// Token sequences for one grammar: sentences grown token by token from what
// the runtime says it would accept next (so they go deep into the grammar),
// their prefixes followed by a wrong token, the sentences with a mistake
// elsewhere, and random sequences with unknown tokens.
class Inputs {
public:
    Inputs(const lumo::ParseTable& table, unsigned seed) : m_table(table), m_rng(seed) {}

    std::vector<Ids> Make() {
        std::vector<Ids> all;
        for (int k = 0; k < 12; ++k) {
            const Ids sentence = Grow();
            all.push_back(sentence);
            // A wrong token after every token of some sentences: each place
            // the walk reaches retraces its own way in the error report.
            for (std::size_t n = 0; k < 4 && n <= sentence.size(); ++n) {
                Ids prefix(sentence.begin(), sentence.begin() + static_cast<std::ptrdiff_t>(n));
                prefix.push_back(AnyToken());
                all.push_back(std::move(prefix));
            }
            all.push_back(Mistake(sentence));
            all.push_back(Random());
        }
        return all;
    }

private:
    std::size_t Below(std::size_t n) { return m_rng() % n; }
    std::uint32_t AnyToken() {
        const std::size_t n = m_table.TokenCount();
        return Below(8) == 0 ? lumo::kUnknownToken : static_cast<std::uint32_t>(Below(n + 1));
    }

    Ids Grow() {
        Ids s;
        lumo::Parser parser(m_table);
        for (;;) {
            // An unknown token after the sentence so far is refused right
            // there, with all that could have come instead.
            s.push_back(lumo::kUnknownToken);
            const auto error = parser.Parse(s);
            s.pop_back();
            if (!error || error->position != s.size() || error->expected.empty() ||
                s.size() >= 24 || (error->endExpected && Below(4) == 0)) {
                return s;
            }
            s.push_back(error->expected[Below(error->expected.size())]);
        }
    }

    Ids Mistake(Ids s) {
        const std::size_t at = Below(s.size() + 1);
        switch (Below(4)) {
            case 0:
                s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), AnyToken());
                break;
            case 1:
                if (at < s.size()) {
                    s.erase(s.begin() + static_cast<std::ptrdiff_t>(at));
                }
                break;
            case 2:
                if (at < s.size()) {
                    s[at] = AnyToken();
                }
                break;
            default:
                s.resize(at);
                break;
        }
        return s;
    }

    Ids Random() {
        Ids s(Below(10));
        for (std::uint32_t& id : s) {
            id = AnyToken();
        }
        return s;
    }

    const lumo::ParseTable& m_table;
    std::mt19937 m_rng;
};

TEST(GeneratedParsers, ParseAsTheRuntimeDoes) {
    const auto& grammars = lumo_test::BatchGrammars();
    ASSERT_GE(grammars.size(), std::size_t{LUMO_CODEGEN_BATCH});
    int failures = 0;
    for (std::size_t g = 0; g < grammars.size() && failures < 5; ++g) {
        const lumo_test::BatchGrammar& grammar = grammars[g];
        const lumo::ParseTable table = lumo::ParseTable::FromBytes(grammar.table);
        std::vector<Ids> inputs = Inputs(table, static_cast<unsigned>(g)).Make();
        for (std::size_t k = 0; k < inputs.size(); ++k) {
            const Ids& ids = inputs[k];
            const Outcomes expected = RunRuntime(table, ids, kDeep);
            // Also: the walk with a stack of its own taking over from the
            // descent one, two or three graphs deep (it can take over
            // anywhere, and returns through the entries the descent pushed);
            // and, for every other input, a depth limit low enough to be
            // reached.
            std::vector<std::pair<std::size_t, std::size_t>> depths{{kDeep, kMachine},
                                                                    {kDeep, 1 + k % 3}};
            if (k % 2 == 0) {
                depths.emplace_back(k / 2 % 4, kMachine);
            }
            for (const auto& [depth, machine] : depths) {
                const Outcomes actual = grammar.run(ids, depth, machine);
                const Outcomes& runtime = depth == kDeep ? expected : RunRuntime(table, ids, depth);
                if (runtime.reporting != actual.reporting || runtime.quiet != actual.quiet) {
                    ADD_FAILURE() << grammar.name << ", depth limit " << depth << ", descent "
                                  << machine << " deep, tokens" << Show(ids)
                                  << "\nruntime:   " << Show(runtime.reporting)
                                  << "\ngenerated: " << Show(actual.reporting)
                                  << "\nwithout actions: " << Show(actual.quiet);
                    ++failures;
                }
            }
        }
    }
}

// Deeper than the descent nests on the machine stack, the walk with a stack
// of its own takes over, back up to the top.
TEST(GeneratedParsers, NestDeeplyWithoutTheCallStack) {
    for (const lumo_test::BatchGrammar& grammar : lumo_test::BatchGrammars()) {
        if (grammar.name != "arith.lm") {
            continue;
        }
        const lumo::ParseTable table = lumo::ParseTable::FromBytes(grammar.table);
        const std::size_t levels = 200000;  // 600000 graphs deep
        Ids deep(levels, table.FindToken("("));
        deep.push_back(table.FindToken("num"));
        deep.insert(deep.end(), levels, table.FindToken(")"));
        deep.push_back(table.FindToken("*"));
        deep.push_back(table.FindToken("num"));
        Ids unclosed(deep.begin(), deep.end() - 3);
        for (const Ids& ids : {deep, unclosed}) {
            const Outcomes expected = RunRuntime(table, ids, kDeep);
            const Outcomes actual = grammar.run(ids, kDeep, kMachine);
            EXPECT_EQ(actual.reporting, expected.reporting) << Show(actual.reporting);
            EXPECT_EQ(actual.quiet, expected.quiet);
        }
        // Each "(" enters Expr, Term and Factor; so does "num", and the
        // third of those is one too many.
        const Outcome tooDeep = grammar.run(deep, 3 * levels + 2, kMachine).reporting;
        EXPECT_EQ(tooDeep, RunRuntime(table, deep, 3 * levels + 2).reporting);
        EXPECT_EQ(tooDeep.description,
                  "input nested too deeply: entering graph \"Factor\" at \"num\" would pass the "
                  "depth limit");
        return;
    }
    FAIL() << "no arith.lm among the batch's grammars";
}

TEST(GeneratedParsers, RefuseExactlyTheGrammarsTheRuntimeRefuses) {
    std::mt19937 rng(7);
    int kept = 0;
    int refused = 0;
    for (int k = 0; k < 1500; ++k) {
        const lm_layout::Document doc = lumo_test::RandomGrammar(rng);
        CFlatGrammar grammar;
        grammar.Load(lumo_test::DocumentBytes(doc));
        try {
            grammar.Validate();
        } catch (const CParseException&) {
            continue;
        }
        std::string generator;
        std::string runtime;
        try {
            codegen::BuildParserModel(codegen::ReadGrammar(grammar));
        } catch (const CParseException& e) {
            generator = e.what();
        }
        try {
            lumo::ParseTable::FromBytes(lumo_test::TableBytes(doc));
        } catch (const lumo::TableError& e) {
            // The same message, but for where in the table, and which the
            // runtime reads as a table.
            runtime = std::regex_replace(e.what(), std::regex("^byte [0-9]+: "), "");
            runtime =
                std::regex_replace(runtime, std::regex("the table lacks"), "the grammar lacks");
        }
        EXPECT_EQ(generator, runtime);
        ++kept;
        refused += generator.empty() ? 0 : 1;
    }
    // Both ways are tried often.
    EXPECT_GT(refused, 20);
    EXPECT_GT(kept - refused, 80);
}

}  // namespace
