#include "generate/grammar_checks.h"
#include "model/flat_grammar.h"
#include "model/grammar.h"

void CGrammer::Validate() {
    grammar_checks::Validate(*this);
}

void CGrammer::CheckFinalNodes() {
    grammar_checks::CheckFinalNodes(*this);
}

void CGrammer::CheckFinalGraphOutputs() {
    grammar_checks::CheckFinalGraphOutputs(*this);
}

void CGrammer::CheckGraphOutputCount() {
    grammar_checks::CheckGraphOutputCount(*this);
}

void CGrammer::CheckAmbiguity() {
    grammar_checks::CheckAmbiguity(*this);
}

void CFlatGrammar::Validate() {
    grammar_checks::Validate(*this);
}
