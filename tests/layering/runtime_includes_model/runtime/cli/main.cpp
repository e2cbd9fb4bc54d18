#include "runtime/parser.h"
#include "model/grammar.h"
