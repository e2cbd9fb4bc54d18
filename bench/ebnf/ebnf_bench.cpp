// lumo-bench-ebnf: reading a grammar of 1,000 rules from EBNF into a laid-out
// document, and writing the document back as EBNF, in rules per second.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "ebnf/export.h"
#include "ebnf/import.h"
#include "ebnf/layout.h"
#include "model/grammar.h"

namespace {

constexpr int kRules = 1000;

// A deterministic stand-in for a language reference: each rule has a few
// alternatives of a few items (keywords, punctuation, later rules, tokens
// with actions, and now and then an optional or repeated group). Typical
// rules nest groups once; large ones twice, with more and longer
// alternatives.
class GrammarText {
public:
    struct Shape {
        int depth;         // groups within groups
        int alternatives;  // at most, per expression
        int items;         // at most, per alternative
        int groupOneIn;    // how rare a group is among the items
    };
    static constexpr Shape kTypical{1, 3, 4, 8};
    static constexpr Shape kLarge{2, 4, 5, 4};

    explicit GrammarText(Shape shape) : m_shape(shape) {}

    std::string Make() {
        std::string text;
        for (int i = 0; i < kRules; ++i) {
            text += "Rule" + std::to_string(i) + " ::= " + Expression(i, m_shape.depth) + "\n";
        }
        return text;
    }

private:
    int Next(int n) {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((m_state >> 33) % static_cast<uint64_t>(n));
    }

    std::string Item(int rule, int depth) {
        if (depth > 0 && Next(m_shape.groupOneIn) == 0) {
            return "( " + Expression(rule, depth - 1) + " )" + "?*+"[Next(3)];
        }
        switch (Next(6)) {
            case 0:
            case 1:
                return "kw" + std::to_string(Next(40));
            case 2:
                return std::string("\"") + ",;:.+-*/()[]{}="[Next(16)] + "\"";
            case 3:
            case 4:
                if (rule + 1 < kRules) {
                    return "Rule" +
                           std::to_string(rule + 1 + Next(std::min(20, kRules - rule - 1)));
                }
                return "id";
            default:
                return "id @act" + std::to_string(Next(10));
        }
    }

    std::string Expression(int rule, int depth) {
        std::string out;
        const int alternatives = 1 + Next(m_shape.alternatives);
        for (int a = 0; a < alternatives; ++a) {
            out += a > 0 ? " | " : "";
            const int items = 1 + Next(m_shape.items);
            for (int k = 0; k < items; ++k) {
                out += (k > 0 ? " " : "") + Item(rule, depth);
            }
        }
        return out;
    }

    Shape m_shape;
    uint64_t m_state = 13;
};

const std::string& Text(bool large = false) {
    static const std::string typical = GrammarText(GrammarText::kTypical).Make();
    static const std::string largeRules = GrammarText(GrammarText::kLarge).Make();
    return large ? largeRules : typical;
}

// Arg 1: the large rules.
void BM_ImportEbnf(benchmark::State& state) {
    const std::string& text = Text(state.range(0) != 0);
    for (auto _ : state) {
        CGrammer doc;
        ebnf::ImportEbnf(text, doc);
        benchmark::DoNotOptimize(doc.GetGraphCount());
    }
    state.counters["rules/s"] = benchmark::Counter(double(kRules) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

// The same without the layout and the document: reading and automata.
void BM_CompileEbnf(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ebnf::CompileGrammar(Text(state.range(0) != 0)).size());
    }
    state.counters["rules/s"] = benchmark::Counter(double(kRules) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_LayOut(benchmark::State& state) {
    const std::vector<ebnf::CompiledRule> rules = ebnf::CompileGrammar(Text(state.range(0) != 0));
    for (auto _ : state) {
        for (const ebnf::CompiledRule& rule : rules) {
            benchmark::DoNotOptimize(ebnf::LayOut(rule.automaton).fits);
        }
    }
    state.counters["rules/s"] = benchmark::Counter(double(kRules) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_ExportEbnf(benchmark::State& state) {
    CGrammer doc;
    ebnf::ImportEbnf(Text(state.range(0) != 0), doc);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ebnf::ExportEbnf(doc).size());
    }
    state.counters["rules/s"] = benchmark::Counter(double(kRules) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

// Importing 1,000 rules and exporting them back, the round trip as a whole.
void BM_RoundTrip(benchmark::State& state) {
    const std::string& text = Text(state.range(0) != 0);
    for (auto _ : state) {
        CGrammer doc;
        ebnf::ImportEbnf(text, doc);
        benchmark::DoNotOptimize(ebnf::ExportEbnf(doc).size());
    }
    state.counters["rules/s"] = benchmark::Counter(double(kRules) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ImportEbnf)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileEbnf)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayOut)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportEbnf)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
