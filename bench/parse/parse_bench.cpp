// lumo-parse-bench: parses 10 million tokens of valid input for each example
// grammar with the runtime, with the parser lumo-gen --cpp generates, and
// with a bison-generated LALR parser of the same language, in turn, and
// prints tokens per second and their ratios.
//
//   lumo-parse-bench [--tokens N] [--rounds N]
//
// All parsers read tokens already interned as integers in memory, so the
// figures measure parsing alone. See README.md for the figures.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench_arith_parser.h"
#include "bench_json_parser.h"
#include "runtime/parser.h"

#ifdef LUMO_BENCH_BISON
extern "C" {
extern const int arith_bench_codes[7];
int arith_bench_parse(const int* tokens, std::size_t count);
extern const int json_bench_codes[11];
int json_bench_parse(const int* tokens, std::size_t count);
}
#endif

namespace {

using Symbols = std::vector<std::uint8_t>;  // indices into a grammar's token list

// Random sentences, deterministic for a seed, nested a few levels deep as
// hand-written input would be.
class ArithInput {
public:
    enum { kNum, kPlus, kMinus, kStar, kSlash, kOpen, kClose };

    Symbols Make(std::size_t atLeast) {
        Term(0);
        while (m_out.size() < atLeast) {
            m_out.push_back(Chance(50) ? kPlus : kMinus);
            Term(0);
        }
        return std::move(m_out);
    }

private:
    bool Chance(unsigned percent) { return m_rng() % 100 < percent; }
    void Expr(int depth) {
        Term(depth);
        while (Chance(40)) {
            m_out.push_back(Chance(50) ? kPlus : kMinus);
            Term(depth);
        }
    }
    void Term(int depth) {
        Factor(depth);
        while (Chance(35)) {
            m_out.push_back(Chance(50) ? kStar : kSlash);
            Factor(depth);
        }
    }
    void Factor(int depth) {
        while (Chance(8)) {
            m_out.push_back(kMinus);
        }
        if (depth < 6 && Chance(20)) {
            m_out.push_back(kOpen);
            Expr(depth + 1);
            m_out.push_back(kClose);
        } else {
            m_out.push_back(kNum);
        }
    }

    std::mt19937 m_rng{20240601};
    Symbols m_out;
};

class JsonInput {
public:
    enum {
        kLBrace,
        kRBrace,
        kLBracket,
        kRBracket,
        kComma,
        kColon,
        kString,
        kNumber,
        kTrue,
        kFalse,
        kNull
    };

    Symbols Make(std::size_t atLeast) {
        m_out.push_back(kLBracket);
        Value(1);
        while (m_out.size() + 1 < atLeast) {
            m_out.push_back(kComma);
            Value(1);
        }
        m_out.push_back(kRBracket);
        return std::move(m_out);
    }

private:
    void Value(int depth) {
        const unsigned r = m_rng() % 100;
        if (depth < 5 && r < 15) {
            Composite(kLBrace, kRBrace, depth, true);
        } else if (depth < 5 && r < 30) {
            Composite(kLBracket, kRBracket, depth, false);
        } else if (r < 62) {
            m_out.push_back(kString);
        } else if (r < 90) {
            m_out.push_back(kNumber);
        } else {
            m_out.push_back(static_cast<std::uint8_t>(kTrue + r % 3));
        }
    }
    void Composite(std::uint8_t open, std::uint8_t close, int depth, bool object) {
        m_out.push_back(open);
        const unsigned n = m_rng() % 6;
        for (unsigned i = 0; i < n; ++i) {
            if (i > 0) {
                m_out.push_back(kComma);
            }
            if (object) {
                m_out.push_back(kString);
                m_out.push_back(kColon);
            }
            Value(depth + 1);
        }
        m_out.push_back(close);
    }

    std::mt19937 m_rng{20240602};
    Symbols m_out;
};

// A generated parser on one grammar's input, its tokens found by text.
template <class Parser, class Token>
class Generated {
public:
    Generated(const Symbols& input, const std::vector<std::string>& texts,
              Token (*findToken)(std::string_view)) {
        std::vector<Token> byIndex;
        for (const std::string& text : texts) {
            byIndex.push_back(findToken(text));
        }
        for (const std::uint8_t s : input) {
            m_tokens.push_back(byIndex[s]);
        }
    }
    bool Parse() { return !m_parser.Parse(m_tokens).has_value(); }
    bool ParseCounting(std::size_t& actions) {
        return !m_parser.Parse(m_tokens, [&actions](const auto&) { ++actions; }).has_value();
    }

private:
    std::vector<Token> m_tokens;
    Parser m_parser;
};

struct Grammar {
    const char* name;
    const char* table;
    std::vector<std::string> tokens;  // the table's texts, in Symbols order
    Symbols input;
    // The generated parser on the input: parse, and parse counting actions.
    std::function<bool()> generated;
    std::function<bool(std::size_t&)> generatedCounting;
#ifdef LUMO_BENCH_BISON
    const int* bisonCodes;
    int (*bisonParse)(const int*, std::size_t);
#endif
};

template <class Parser, class Token>
void UseGenerated(Grammar& g, Token (*findToken)(std::string_view)) {
    auto parser = std::make_shared<Generated<Parser, Token>>(g.input, g.tokens, findToken);
    g.generated = [parser] { return parser->Parse(); };
    g.generatedCounting = [parser](std::size_t& actions) { return parser->ParseCounting(actions); };
}

// The thread's CPU time: parsing reads memory and nothing else, so this is
// its cost without the time other processes held the CPU, which on a shared
// machine would dwarf the differences measured.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Rate(std::size_t tokens, const std::vector<double>& seconds) {
    return static_cast<double>(tokens) / Median(seconds) / 1e6;
}

std::string CpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            return line.substr(line.find(':') + 2);
        }
    }
    return "unknown";
}

// Times fn once into seconds.
template <class Fn>
void Time(std::vector<double>& seconds, Fn fn) {
    const double start = CpuSeconds();
    fn();
    seconds.push_back(CpuSeconds() - start);
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t tokenCount = 10'000'000;
    int rounds = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--tokens") {
            tokenCount = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (arg == "--rounds") {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        }
    }

    std::vector<Grammar> grammars;
    grammars.push_back({"arith",
                        LUMO_ARITH_TABLE,
                        {"num", "+", "-", "*", "/", "(", ")"},
                        ArithInput().Make(tokenCount),
                        {},
                        {}
#ifdef LUMO_BENCH_BISON
                        ,
                        arith_bench_codes,
                        &arith_bench_parse
#endif
    });
    UseGenerated<bench_arith::Parser>(grammars.back(), &bench_arith::FindToken);
    grammars.push_back({"json",
                        LUMO_JSON_TABLE,
                        {"{", "}", "[", "]", ",", ":", "string", "number", "true", "false", "null"},
                        JsonInput().Make(tokenCount),
                        {},
                        {}
#ifdef LUMO_BENCH_BISON
                        ,
                        json_bench_codes,
                        &json_bench_parse
#endif
    });
    UseGenerated<bench_json::Parser>(grammars.back(), &bench_json::FindToken);

    std::printf("CPU: %s; %d rounds each, in turn; median throughput in Mtok/s\n",
                CpuName().c_str(), rounds);
    std::printf("%-6s %10s %9s %9s %9s %9s %9s %13s %13s\n", "", "tokens", "runtime", "generated",
                "bison", "gen/bison", "gen/rt", "rt+actions", "gen+actions");
    int status = 0;
    for (const Grammar& g : grammars) {
        const lumo::ParseTable table = lumo::ParseTable::FromFile(g.table);
        std::vector<lumo::TokenId> ids(g.input.size());
        std::vector<lumo::TokenId> byIndex;
        for (const std::string& text : g.tokens) {
            byIndex.push_back(table.FindToken(text));
        }
        std::transform(g.input.begin(), g.input.end(), ids.begin(),
                       [&byIndex](std::uint8_t s) { return byIndex[s]; });
        lumo::Parser parser(table);
        auto check = [&](bool ok, const char* who) {
            if (!ok) {
                std::fprintf(stderr, "%s: %s refused the input\n", g.name, who);
                status = 1;
            }
        };
        std::vector<double> runtimeSeconds, generatedSeconds, bisonSeconds;
        std::vector<double> runtimeActionSeconds, generatedActionSeconds;
        std::size_t runtimeActions = 0;
        std::size_t generatedActions = 0;
        // Without actions, as bison runs here; then, for information, with a
        // callback that counts them, as a program that acts on the input
        // runs.
        auto runRuntime = [&] {
            Time(runtimeSeconds, [&] { check(!parser.Parse(ids), "the runtime"); });
            Time(runtimeActionSeconds, [&] {
                check(!parser.Parse(ids, [&](const lumo::Action&) { ++runtimeActions; }),
                      "the runtime");
            });
        };
        auto runGenerated = [&] {
            Time(generatedSeconds, [&] { check(g.generated(), "the generated parser"); });
            Time(generatedActionSeconds,
                 [&] { check(g.generatedCounting(generatedActions), "the generated parser"); });
        };
        std::vector<std::function<void()>> runs = {runRuntime, runGenerated};
#ifdef LUMO_BENCH_BISON
        std::vector<int> codes(g.input.size());
        std::transform(g.input.begin(), g.input.end(), codes.begin(),
                       [&g](std::uint8_t s) { return g.bisonCodes[s]; });
        runs.push_back([&] {
            Time(bisonSeconds,
                 [&] { check(g.bisonParse(codes.data(), codes.size()) == 0, "bison"); });
        });
#endif
        // Each goes first in turn, so that none always runs on a cache
        // another warmed or a clock another raised.
        for (int r = 0; r < rounds; ++r) {
            for (std::size_t k = 0; k < runs.size(); ++k) {
                runs[(k + static_cast<std::size_t>(r)) % runs.size()]();
            }
        }
        if (runtimeActions != generatedActions) {
            std::fprintf(stderr,
                         "%s: %zu actions from the runtime, %zu from the generated parser\n",
                         g.name, runtimeActions, generatedActions);
            status = 1;
        }
        const double runtime = Rate(ids.size(), runtimeSeconds);
        const double generated = Rate(ids.size(), generatedSeconds);
        const double bison = bisonSeconds.empty() ? 0 : Rate(ids.size(), bisonSeconds);
        std::printf("%-6s %10zu %9.1f %9.1f %9.1f %8.2fx %8.2fx %13.1f %13.1f\n", g.name,
                    ids.size(), runtime, generated, bison, bison > 0 ? generated / bison : 0.0,
                    generated / runtime, Rate(ids.size(), runtimeActionSeconds),
                    Rate(ids.size(), generatedActionSeconds));
    }
    return status;
}
