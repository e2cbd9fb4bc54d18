// lumo-bench: how fast the core moves a large grammar through each stage of
// its life (save, load, validate, tables), and how validation copes with the
// shapes that a pairwise check would make quadratic.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "framework/archive.h"
#include "framework/file_io.h"
#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "model/grammar.h"
#include "synthetic_grammar.h"

namespace {

// Outputs go beside the cached document, so the disk figures are those of the
// build folder's file system; LUMO_BENCH_DIR points them elsewhere.
std::string BenchFile(const std::string& name) {
    const char* dir = std::getenv("LUMO_BENCH_DIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : LUMO_BENCH_DIR) + "/" + name;
}

int64_t CountEdges(const CGrammer& doc) {
    int64_t edges = 0;
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        const CGraph* graph = doc.GetGraph(g);
        for (int i = 0; i < graph->GetNodeCount(); ++i) {
            edges += graph->GetElement(i)->GetEdgeCount();
        }
    }
    return edges;
}

// Builds the large grammar in a child process. Building it in this one made
// every later load and parse about three times slower, with the time in
// malloc's handling of free chunks: the editing operations leave the heap
// fragmented, and the figures would describe that heap rather than the code.
void WriteLargeGrammar(const std::string& path) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        int rc = 1;
        try {
            CGrammer built;
            lumo_bench::BuildLargeGrammar(built);
            rc = built.OnSaveDocument(path) ? 0 : 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        // Without exit handlers or stdio flushing, which belong to the parent.
        std::_Exit(rc);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
}

// The large grammar, built once per machine: building goes through the
// editor's hit tests and takes far longer than loading, so the document is
// kept in the bench folder under a name that changes with the generator.
class LargeDocument {
public:
    LargeDocument() : m_path(BenchFile(lumo_bench::LargeGrammarFileName())) {
        if (!FileExists(m_path) || !doc.OnOpenDocument(m_path)) {
            WriteLargeGrammar(m_path);
            if (!doc.OnOpenDocument(m_path)) {
                throw std::runtime_error("cannot load " + m_path);
            }
        }
        // Without this the table figures would be of a grammar no user could
        // generate tables from.
        doc.Validate();
        bytes = ReadWholeFile(m_path);
        m_label = std::to_string(doc.GetGraphCount()) + " graphs, " +
                  std::to_string(CountEdges(doc)) + " edges, " + std::to_string(bytes.size()) +
                  " bytes";
    }

    const std::string& Path() const { return m_path; }
    const std::string& Label() const { return m_label; }
    int64_t Size() const { return static_cast<int64_t>(bytes.size()); }

    CGrammer doc;
    std::string bytes;

private:
    std::string m_path;
    std::string m_label;
};

LargeDocument& Large() {
    static LargeDocument large;
    return large;
}

// What WriteParseTables does for one table, split out so that the two
// tables, and the text from the disk, can be timed apart: the table streams
// through the archive's chunks into a file that is replaced atomically but
// left to the system to write back.
// Each reports the table's size and, in largestChunk, the largest piece the
// archive handed over: near the whole table, the table was held in memory
// after all.
int64_t WriteTable(CGrammer& doc, int nMode, const std::string& path, int64_t& largestChunk) {
    CAtomicFile file(path);
    int64_t size = 0;
    doc.SetMode(nMode);
    CArchive ar([&](std::string_view chunk) {
        file.Write(chunk);
        size += static_cast<int64_t>(chunk.size());
        largestChunk = std::max(largestChunk, static_cast<int64_t>(chunk.size()));
    });
    doc.Serialize(ar);
    ar.Flush();
    doc.SetMode(0);
    file.Commit(Durability::Cached);
    return size;
}

// The same chunks, counted and dropped: the CPU part of a table.
int64_t SerializeTable(CGrammer& doc, int nMode, int64_t& largestChunk) {
    int64_t size = 0;
    doc.SetMode(nMode);
    CArchive ar([&](std::string_view chunk) {
        benchmark::DoNotOptimize(chunk.data());
        size += static_cast<int64_t>(chunk.size());
        largestChunk = std::max(largestChunk, static_cast<int64_t>(chunk.size()));
    });
    doc.Serialize(ar);
    ar.Flush();
    doc.SetMode(0);
    return size;
}

void BM_Save(benchmark::State& state) {
    LargeDocument& large = Large();
    const std::string out = BenchFile("lumo-bench-save.lm");
    for (auto _ : state) {
        if (!large.doc.OnSaveDocument(out)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    std::remove(out.c_str());
    state.SetBytesProcessed(state.iterations() * large.Size());
    state.SetLabel(large.Label());
}

void BM_Load(benchmark::State& state) {
    LargeDocument& large = Large();
    for (auto _ : state) {
        auto doc = std::make_unique<CGrammer>();
        if (!doc->OnOpenDocument(large.Path())) {
            state.SkipWithError("load failed");
            break;
        }
        // Tearing down is the cost of closing, not of opening.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * large.Size());
}

void BM_Serialize(benchmark::State& state) {
    LargeDocument& large = Large();
    for (auto _ : state) {
        std::string out;
        CArchive ar(&out);
        large.doc.Serialize(ar);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * large.Size());
}

void BM_Parse(benchmark::State& state) {
    LargeDocument& large = Large();
    for (auto _ : state) {
        auto doc = std::make_unique<CGrammer>();
        try {
            CArchive ar(large.bytes.data(), large.bytes.size());
            doc->Serialize(ar);
        } catch (const CArchiveException& e) {
            state.SkipWithError(e.what());
            break;
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * large.Size());
}

void BM_ReadFile(benchmark::State& state) {
    LargeDocument& large = Large();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWholeFile(large.Path()).data());
    }
    state.SetBytesProcessed(state.iterations() * large.Size());
}

void BM_WriteFileAtomically(benchmark::State& state) {
    LargeDocument& large = Large();
    const std::string out = BenchFile("lumo-bench-write.lm");
    for (auto _ : state) {
        WriteFileAtomically(out, large.bytes);
    }
    std::remove(out.c_str());
    state.SetBytesProcessed(state.iterations() * large.Size());
}

void BM_Validate(benchmark::State& state) {
    LargeDocument& large = Large();
    for (auto _ : state) {
        try {
            large.doc.Validate();
        } catch (const CParseException& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * large.Size());
}

// The argument is the output mode: 1 binary, 2 text.
void TimeTable(benchmark::State& state, bool bToDisk) {
    LargeDocument& large = Large();
    const auto nMode = static_cast<int>(state.range(0));
    const std::string out = BenchFile(nMode == 1 ? "lumo-bench-table.pt" : "lumo-bench-table.txt");
    int64_t tableSize = 0;
    int64_t largestChunk = 0;
    for (auto _ : state) {
        tableSize = bToDisk ? WriteTable(large.doc, nMode, out, largestChunk)
                            : SerializeTable(large.doc, nMode, largestChunk);
    }
    std::remove(out.c_str());
    state.SetBytesProcessed(state.iterations() * tableSize);
    state.counters["largest_chunk"] = static_cast<double>(largestChunk);
    state.SetLabel(std::to_string(tableSize) + " bytes");
}

void BM_TableWrite(benchmark::State& state) {
    TimeTable(state, true);
}

void BM_TableSerialize(benchmark::State& state) {
    TimeTable(state, false);
}

void BM_WriteParseTables(benchmark::State& state) {
    LargeDocument& large = Large();
    const std::string pt = BenchFile("lumo-bench-tables.pt");
    const std::string txt = BenchFile("lumo-bench-tables.txt");
    for (auto _ : state) {
        large.doc.WriteParseTables(pt, txt);
    }
    const int64_t written = static_cast<int64_t>(ReadWholeFile(pt).size()) +
                            static_cast<int64_t>(ReadWholeFile(txt).size());
    std::remove(pt.c_str());
    std::remove(txt.c_str());
    state.SetBytesProcessed(state.iterations() * written);
    state.SetLabel(std::to_string(written) + " bytes of tables");
}

// lumo-gen's path: the same document read into a flat grammar, validated
// and written as both tables.
void BM_FlatLoad(benchmark::State& state) {
    LargeDocument& large = Large();
    for (auto _ : state) {
        auto flat = std::make_unique<CFlatGrammar>();
        try {
            flat->Load(ReadWholeFile(large.Path()));
        } catch (const CArchiveException& e) {
            state.SkipWithError(e.what());
            break;
        }
        state.PauseTiming();
        flat.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * large.Size());
}

CFlatGrammar& LargeFlat() {
    static CFlatGrammar* flat = [] {
        auto* loaded = new CFlatGrammar;
        loaded->Load(Large().bytes);
        return loaded;
    }();
    return *flat;
}

void BM_FlatValidate(benchmark::State& state) {
    CFlatGrammar& flat = LargeFlat();
    for (auto _ : state) {
        try {
            flat.Validate();
        } catch (const CParseException& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * Large().Size());
}

void BM_FlatWriteParseTables(benchmark::State& state) {
    CFlatGrammar& flat = LargeFlat();
    const std::string pt = BenchFile("lumo-bench-flat.pt");
    const std::string txt = BenchFile("lumo-bench-flat.txt");
    for (auto _ : state) {
        flat.WriteParseTables(pt, txt);
    }
    const int64_t written = static_cast<int64_t>(ReadWholeFile(pt).size()) +
                            static_cast<int64_t>(ReadWholeFile(txt).size());
    std::remove(pt.c_str());
    std::remove(txt.c_str());
    state.SetBytesProcessed(state.iterations() * written);
}

template <typename Build>
void TimeValidation(benchmark::State& state, Build build) {
    CGrammer doc;
    build(doc, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        try {
            doc.Validate();
        } catch (const CParseException& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ValidateWideNode(benchmark::State& state) {
    TimeValidation(state, [](CGrammer& doc, int n) { lumo_bench::BuildWideNode(doc, n); });
}

void BM_ValidateFirstSet(benchmark::State& state) {
    TimeValidation(state,
                   [](CGrammer& doc, int n) { lumo_bench::BuildLargeFirstSet(doc, n, false); });
}

// The same set copied into MAIN's own set as well.
void BM_ValidateMergedFirstSet(benchmark::State& state) {
    TimeValidation(state,
                   [](CGrammer& doc, int n) { lumo_bench::BuildLargeFirstSet(doc, n, true); });
}

}  // namespace

// Whatever touches a file is timed by the clock on the wall, since fsync
// waits without using the CPU; the rest by CPU time, which other processes on
// the machine disturb less.
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteFileAtomically)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Validate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableWrite)
    ->ArgName("mode")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WriteParseTables)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TableSerialize)->ArgName("mode")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlatLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlatValidate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlatWriteParseTables)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ValidateWideNode)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateFirstSet)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateMergedFirstSet)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
