// Compiles against the installed headers and links the installed core.
#include <cstdio>

#include "lumo_version.h"
#include "model/grammar.h"

int main(int argc, char** argv) {
    std::printf("Lumo %s\n", LUMO_VERSION);
    CGrammer doc;
    return argc > 1 && doc.OnOpenDocument(argv[1]) ? 0 : 1;
}
