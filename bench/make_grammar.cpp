// lumo-bench-grammar: writes the large synthetic grammar document that the
// benchmarks use, for timing programs such as lumo-gen from outside.

#include <cstdio>
#include <exception>
#include <string>

#include "framework/message.h"
#include "generate/parse_exception.h"
#include "model/grammar.h"
#include "synthetic_grammar.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: lumo-bench-grammar OUT.lm\n");
        return 64;
    }
    const std::string path = argv[1];
    try {
        CGrammer doc;
        lumo_bench::BuildLargeGrammar(doc);
        // A grammar that fails here would time lumo-gen's error path instead.
        doc.Validate();
        if (!doc.OnSaveDocument(path)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), doc.GetLastErrorMessage().c_str());
            return 2;
        }
    } catch (const CParseException& e) {
        std::fprintf(stderr, "synthetic grammar is invalid: %s\n", e.GetMessage());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}
