// lumo-parse-bench: parses 10 million tokens of valid input for each example
// grammar, with the runtime and with a bison-generated LALR parser of the
// same language, alternately, and prints tokens per second and their ratio.
//
//   lumo-parse-bench [--tokens N] [--rounds N]
//
// Both parsers read tokens already interned as integers in memory, so the
// figures measure parsing alone. See README.md for the figures.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

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

struct Grammar {
    const char* name;
    const char* table;
    std::vector<std::string> tokens;  // the table's texts, in Symbols order
    Symbols input;
#ifdef LUMO_BENCH_BISON
    const int* bisonCodes;
    int (*bisonParse)(const int*, std::size_t);
#endif
};

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
                        ArithInput().Make(tokenCount)
#ifdef LUMO_BENCH_BISON
                            ,
                        arith_bench_codes,
                        &arith_bench_parse
#endif
    });
    grammars.push_back({"json",
                        LUMO_JSON_TABLE,
                        {"{", "}", "[", "]", ",", ":", "string", "number", "true", "false", "null"},
                        JsonInput().Make(tokenCount)
#ifdef LUMO_BENCH_BISON
                            ,
                        json_bench_codes,
                        &json_bench_parse
#endif
    });

    std::printf("CPU: %s; %d rounds each, alternating; median throughput\n", CpuName().c_str(),
                rounds);
    std::printf("%-8s %10s %16s %16s %8s %24s\n", "grammar", "tokens", "runtime Mtok/s",
                "bison Mtok/s", "ratio", "runtime+actions Mtok/s");
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
        std::vector<double> runtimeSeconds;
        std::vector<double> actionSeconds;
        std::size_t actions = 0;
        auto check = [&](const std::optional<lumo::ParseError>& error) {
            if (error) {
                std::fprintf(stderr, "%s: the runtime refused the input at token %zu: %s\n", g.name,
                             error->position, lumo::DescribeError(table, *error).c_str());
                status = 1;
            }
        };
        auto runRuntime = [&] {
            const auto start = std::chrono::steady_clock::now();
            const auto error = parser.Parse(ids);
            runtimeSeconds.push_back(Seconds(std::chrono::steady_clock::now() - start));
            check(error);
            // With a callback, as a program that acts on the input runs it;
            // for information, since bison runs no actions here.
            const auto startActions = std::chrono::steady_clock::now();
            const auto errorActions =
                parser.Parse(ids, [&actions](const lumo::Action&) { ++actions; });
            actionSeconds.push_back(Seconds(std::chrono::steady_clock::now() - startActions));
            check(errorActions);
        };
#ifdef LUMO_BENCH_BISON
        std::vector<int> codes(g.input.size());
        std::transform(g.input.begin(), g.input.end(), codes.begin(),
                       [&g](std::uint8_t s) { return g.bisonCodes[s]; });
        std::vector<double> bisonSeconds;
        auto runBison = [&] {
            const auto start = std::chrono::steady_clock::now();
            const int result = g.bisonParse(codes.data(), codes.size());
            bisonSeconds.push_back(Seconds(std::chrono::steady_clock::now() - start));
            if (result != 0) {
                std::fprintf(stderr, "%s: bison refused the input\n", g.name);
                status = 1;
            }
        };
        // Each goes first in every other round, so neither always runs on a
        // cache the other warmed or a clock the other raised.
        for (int r = 0; r < rounds; ++r) {
            if (r % 2 == 0) {
                runRuntime();
                runBison();
            } else {
                runBison();
                runRuntime();
            }
        }
        const double runtimeRate = static_cast<double>(ids.size()) / Median(runtimeSeconds) / 1e6;
        const double bisonRate = static_cast<double>(ids.size()) / Median(bisonSeconds) / 1e6;
        const double actionRate = static_cast<double>(ids.size()) / Median(actionSeconds) / 1e6;
        std::printf("%-8s %10zu %16.1f %16.1f %7.2fx %24.1f\n", g.name, ids.size(), runtimeRate,
                    bisonRate, runtimeRate / bisonRate, actionRate);
#else
        for (int r = 0; r < rounds; ++r) {
            runRuntime();
        }
        const double runtimeRate = static_cast<double>(ids.size()) / Median(runtimeSeconds) / 1e6;
        const double actionRate = static_cast<double>(ids.size()) / Median(actionSeconds) / 1e6;
        std::printf("%-8s %10zu %16.1f %16s %8s %24.1f\n", g.name, ids.size(), runtimeRate, "-",
                    "-", actionRate);
#endif
    }
    return status;
}
