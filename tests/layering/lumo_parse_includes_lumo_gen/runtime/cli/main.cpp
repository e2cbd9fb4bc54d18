#include "runtime/parser.h"
#include "cli/tool.h"
#include "cli/options.h"
